#include "ordertotal.h"

#include <QSet>

namespace OrderTotal {

namespace {

// The total's two halves: the percentage of a share discount comes off the
// book and its add-ons, never off the shipping.
struct Parts
{
    int book = 0;
    int shipping = 0;
};

std::optional<Parts> parts(const Pricing &pricing, const BookFile &book, int pageCount)
{
    const Order order = book.order.value_or(Order());
    const std::optional<int> base = pricing.price(order.binding, pageCount);
    if (!base)
        return std::nullopt;
    Parts parts { *base, 0 };
    if (book.order) {
        for (const Pricing::Shipping &shipping : pricing.shipping) {
            if (shipping.id == order.shipping) {
                parts.shipping = shipping.price;
                break;
            }
        }
    }
    const QStringList chosenList = book.order ? order.addons.value_or(QStringList()) : QStringList();
    const QSet<QString> chosen(chosenList.begin(), chosenList.end());
    for (const Pricing::Addon &addon : pricing.addons) {
        if (chosen.contains(addon.id))
            parts.book += pricing.price(addon, pageCount);
    }
    return parts;
}

} // namespace

std::optional<int> total(const Pricing &pricing, const BookFile &book, int pageCount)
{
    const std::optional<Parts> found = parts(pricing, book, pageCount);
    if (!found)
        return std::nullopt;
    return found->book + found->shipping;
}

std::optional<int> total(const std::optional<Pricing> &pricing, const BookFile &book, int pageCount)
{
    return pricing ? total(*pricing, book, pageCount) : std::nullopt;
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
    const std::optional<Parts> found = pricing ? parts(*pricing, book, pageCount) : std::nullopt;
    if (!found)
        return { QStringLiteral("Save PDF"), {}, {} };
    const int sum = found->book + found->shipping;
    const QString order = QStringLiteral("Order · ");
    const QString full = QStringLiteral("$") + QString::number(sum);
    if (!unusedShareCode(rewards))
        return { order + full, {}, {} };
    const int discounted = sum * 100 - found->book * rewards->share.percent;
    return { order, full, Pricing::cents(discounted) };
}

std::optional<QString> unusedShareCode(const std::optional<Rewards::Status> &rewards)
{
    if (!rewards || rewards->rewards != QLatin1String("on") || rewards->share.discountUsed)
        return std::nullopt;
    return rewards->share.discountCode;
}

bool giftCovers(const std::optional<Ordering::Gift> &gift, std::optional<int> total)
{
    return gift && gift->valid && gift->balanceCents && total && qint64(*total) * 100 <= *gift->balanceCents;
}

} // namespace OrderTotal
