#include "ordertotal.h"

#include <QSet>

namespace OrderTotal {

std::optional<Price> price(const std::optional<Pricing> &pricing, const BookFile &book, int pageCount)
{
    if (!pricing)
        return std::nullopt;
    // A book without choices is ordered as a default order, shipping and
    // all, so it is priced as one.
    const Order order = book.order.value_or(Order());
    const std::optional<int> base = pricing->price(order.binding, pageCount);
    if (!base)
        return std::nullopt;
    Price made { *base, 0 };
    for (const Pricing::Shipping &shipping : pricing->shipping) {
        if (shipping.id == order.shipping) {
            made.shipping = shipping.price;
            break;
        }
    }
    const QStringList chosenList = order.addons.value_or(QStringList());
    const QSet<QString> chosen(chosenList.begin(), chosenList.end());
    for (const Pricing::Addon &addon : pricing->addons) {
        if (chosen.contains(addon.id))
            made.book += pricing->price(addon, pageCount);
    }
    return made;
}

QString Label::plainText() const
{
    return hasDiscount() ? text + struck + QLatin1Char(' ') + discounted : text;
}

QString Label::html() const
{
    if (!hasDiscount())
        return text.toHtmlEscaped();
    return text.toHtmlEscaped() + QStringLiteral("<s>") + struck.toHtmlEscaped() + QStringLiteral("</s> ")
        + discounted.toHtmlEscaped();
}

Label label(const std::optional<Pricing> &pricing, const BookFile &book, int pageCount,
    const std::optional<Rewards::Status> &rewards)
{
    const std::optional<Price> found = price(pricing, book, pageCount);
    if (!found)
        return { QStringLiteral("Save PDF"), {}, {} };
    const QString order = QStringLiteral("Order · ");
    const QString full = QStringLiteral("$") + QString::number(found->total());
    if (!unusedShareCode(rewards))
        return { order + full, {}, {} };
    return { order, full, Pricing::cents(int(found->dueCents(rewards->share.percent))) };
}

std::optional<QString> unusedShareCode(const std::optional<Rewards::Status> &rewards)
{
    if (!rewards || rewards->rewards != QLatin1String("on") || rewards->share.discountUsed)
        return std::nullopt;
    return rewards->share.discountCode;
}

bool giftCovers(const std::optional<Ordering::Gift> &gift, std::optional<qint64> dueCents)
{
    return gift && gift->valid && gift->balanceCents && dueCents && *dueCents <= *gift->balanceCents;
}

} // namespace OrderTotal
