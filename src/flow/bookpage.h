#pragma once

#include "model/bookfile.h"
#include "service/pricing.h"
#include "service/rewards.h"

#include <QList>
#include <QString>
#include <optional>

// What the book's own page and the making screen say about a book, worked
// out from the book, its latest page count, the price list (when it loaded)
// and the install's rewards, apart from the widgets that show it.
namespace BookPage {

// Covers are drawn for at least this many pages, so a thin book still has
// a spine.
inline constexpr int leastCoverPages = 40;

// The printed books the page count needs: one more after every page limit
// (the default limit without a price list, as orders count), and at least
// one.
int volumes(const std::optional<Pricing> &pricing, int pages);
// The page count a cover is drawn for.
int coverPages(int pages);

// The note on a book of several volumes, with the saving of each further
// volume in the chosen binding; nullopt for one volume, without prices, or
// when the price list lacks the binding.
std::optional<QString> volumeNote(const std::optional<Pricing> &pricing, const BookFile &book, int pages);

// The line about the install's rewards, and the symbol before it.
struct RewardsLine
{
    QString text;
    QString symbol;
};
std::optional<RewardsLine> rewardsLine(const std::optional<Rewards::Status> &status);

// One line of the facts under the title.
struct Fact
{
    QString label;
    QString value;
    friend bool operator==(const Fact &, const Fact &) = default;
};
QList<Fact> facts(const std::optional<Pricing> &pricing, const BookFile &book, int messages, int pages);

// The add-ons of one group the page lists, in price-list order.
struct AddonGroup
{
    QString id;
    QString title;
    QList<Pricing::Addon> addons;
};
// The groups "print", "digital" and "made" that have add-ons; add-ons of
// any other group are not offered on the page.
QList<AddonGroup> addonGroups(const Pricing &pricing);
bool isAvailable(const Pricing::Addon &addon);
// "+$12" for an add-on on offer, priced for the page count; "Soon" else.
QString addonPrice(const Pricing::Addon &addon, const std::optional<Pricing> &pricing, int pages);

// What the cover picture is drawn from: a new key draws it again.
QString coverKey(const BookFile &book, int pages);

// Every participant's name, joined by " & ".
QString names(const BookFile &book);
// The first participant who is not the user, or "them".
QString otherName(const BookFile &book);
// The display name of the book's typeface.
QString face(const BookFile &book);

} // namespace BookPage
