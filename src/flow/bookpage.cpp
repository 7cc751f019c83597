#include "bookpage.h"

#include "project/volumeplan.h"
#include "ui/style.h"

#include <QStringList>
#include <algorithm>

namespace BookPage {

namespace {

QString chosenBinding(const BookFile &book)
{
    return book.order ? book.order->binding : QStringLiteral("paperback");
}

template<typename Entry> const Entry *entryWithId(const QList<Entry> &entries, const QString &id)
{
    const auto found
        = std::find_if(entries.cbegin(), entries.cend(), [&](const Entry &e) { return e.id == id; });
    return found == entries.cend() ? nullptr : &*found;
}

} // namespace

int volumes(const std::optional<Pricing> &pricing, int pages)
{
    if (pricing)
        return pricing->volumes(pages);
    Pricing fallback;
    fallback.pagesPerVolume = VolumePlan::defaultLimit;
    return fallback.volumes(pages);
}

int coverPages(int pages)
{
    return std::max(pages, leastCoverPages);
}

std::optional<QString> volumeNote(const std::optional<Pricing> &pricing, const BookFile &book, int pages)
{
    if (!pricing)
        return std::nullopt;
    const int count = volumes(pricing, pages);
    if (count < 2)
        return std::nullopt;
    const Pricing::Binding *binding = entryWithId(pricing->bindings, chosenBinding(book));
    if (!binding)
        return std::nullopt;
    return QStringLiteral("Your story runs to %1 books. Each book after the first is $%2 off.")
        .arg(count)
        .arg(binding->price - binding->extraVolume);
}

std::optional<RewardsLine> rewardsLine(const std::optional<Rewards::Status> &status)
{
    if (!status)
        return std::nullopt;
    // One arg() for both: the code comes from the service, and a "%1" in it
    // must stay as it is.
    QStringList parts { QStringLiteral(
        "Friends of Friends: code %1 is %2% off for you and anyone you give it to.")
                            .arg(status->code, QString::number(status->referral.percent)) };
    const bool on = status->rewards == QLatin1String("on");
    if (on && status->share.discountCode && !status->share.discountUsed)
        parts << QStringLiteral("%1% off from sharing your Wrapped").arg(status->share.percent);
    if (on && status->viral.giftCode)
        parts << QStringLiteral("A free book: gift card ") + *status->viral.giftCode;
    const bool perk = parts.size() > 1;
    return RewardsLine { parts.join(QStringLiteral(" · ")),
        perk ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("square.stack") };
}

QList<Fact> facts(const std::optional<Pricing> &pricing, const BookFile &book, int messages, int pages)
{
    QList<Fact> lines { { QStringLiteral("Messages"), Style::number(messages) },
        { QStringLiteral("Pages"), pages < 1 ? QStringLiteral("setting…") : Style::number(pages) } };
    const int count = volumes(pricing, pages);
    if (count >= 2)
        lines.append({ QStringLiteral("Books"), QString::number(count) });
    QString binding = QStringLiteral("Paperback");
    QString shipping = QStringLiteral("Economy");
    if (pricing && book.order) {
        if (const Pricing::Binding *chosen = entryWithId(pricing->bindings, book.order->binding))
            binding = chosen->name;
        if (const Pricing::Shipping *chosen = entryWithId(pricing->shipping, book.order->shipping))
            shipping = chosen->name;
    }
    lines.append({ QStringLiteral("Binding"), binding });
    lines.append({ QStringLiteral("Shipping"), shipping });
    return lines;
}

QList<AddonGroup> addonGroups(const Pricing &pricing)
{
    static const QList<std::pair<QString, QString>> order { { QStringLiteral("print"),
                                                                QStringLiteral("In the book") },
        { QStringLiteral("digital"), QStringLiteral("Alongside it") },
        { QStringLiteral("made"), QStringLiteral("Made from a moment") } };
    QList<AddonGroup> groups;
    for (const auto &[id, title] : order) {
        AddonGroup group { id, title, {} };
        for (const Pricing::Addon &addon : pricing.addons) {
            if (addon.group == id)
                group.addons.append(addon);
        }
        if (!group.addons.isEmpty())
            groups.append(group);
    }
    return groups;
}

bool isAvailable(const Pricing::Addon &addon)
{
    return addon.status == QLatin1String("available");
}

QString addonPrice(const Pricing::Addon &addon, const std::optional<Pricing> &pricing, int pages)
{
    if (!isAvailable(addon))
        return QStringLiteral("Soon");
    return QStringLiteral("+$%1").arg(pricing ? pricing->price(addon, pages) : addon.price);
}

QString coverKey(const BookFile &book, int pages)
{
    const QString style = book.design ? book.design->cover.style : QString();
    const QString color = book.design ? book.design->cover.color : QString();
    return QStringList { book.front.title, book.front.colophon, style, color, QString::number(pages) }.join(
        QLatin1Char('|'));
}

QString names(const BookFile &book)
{
    QStringList all;
    for (const BookFile::Person &person : book.people)
        all << person.name;
    return all.join(QStringLiteral(" & "));
}

QString otherName(const BookFile &book)
{
    for (const BookFile::Person &person : book.people) {
        if (!person.me)
            return person.name;
    }
    return QStringLiteral("them");
}

QString face(const BookFile &book)
{
    const QString font = book.design ? book.design->font : QString();
    if (font == QLatin1String("garamond"))
        return QStringLiteral("Garamond");
    if (font == QLatin1String("libertinus"))
        return QStringLiteral("Libertinus");
    return QStringLiteral("Palatino");
}

} // namespace BookPage
