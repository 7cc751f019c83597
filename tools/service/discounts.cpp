#include "discounts.h"

#include "catalog.h"
#include "store.h"

namespace Discounts {

std::optional<Discount> find(Store &store, const QString &code)
{
    if (!store.one(QStringLiteral("SELECT 1 FROM installs WHERE code = ? COLLATE NOCASE"), { code })
             .isEmpty())
        return Discount { Catalog::referralPercent, QStringLiteral("referral") };
    if (!store
             .one(QStringLiteral(
                      "SELECT 1 FROM installs WHERE share_code = ? COLLATE NOCASE AND share_used = 0"),
                 { code })
             .isEmpty())
        return Discount { Catalog::sharePercent, QStringLiteral("share") };
    // The demo code is a sharing code anyone may use again: the sheet then
    // says what it would say of a reward of this install's own.
    if (code.compare(QLatin1String(Catalog::welcomeCode), Qt::CaseInsensitive) == 0)
        return Discount { Catalog::sharePercent, QStringLiteral("share") };
    return std::nullopt;
}

} // namespace Discounts
