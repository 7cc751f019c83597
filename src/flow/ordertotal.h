#pragma once

#include "model/bookfile.h"
#include "service/ordering.h"
#include "service/pricing.h"
#include "service/rewards.h"

#include <QString>
#include <optional>

// What a book costs as it is set up, in whole dollars, and what the service
// asks for it once a code's percentage is taken off, in cents: the book
// page's order button and the order sheet both reckon with this, so they
// always agree with each other and with the service.
namespace OrderTotal {

// The order's price in its two halves, whole dollars: a percentage comes
// off the book and its add-ons, never off the shipping.
struct Price
{
    int book = 0;
    int shipping = 0;

    int total() const { return book + shipping; }
    // What is due once percent is taken off the book. Whole dollars times
    // a percentage are cents, so the service's own arithmetic is exact.
    qint64 dueCents(int percent = 0) const { return qint64(total()) * 100 - qint64(book) * percent; }
    friend bool operator==(const Price &, const Price &) = default;
};

// The chosen binding (a paperback for a book without order choices) at
// pageCount pages, the chosen shipping (economy for a book without choices,
// as its page says and its order sends; nothing when the list lacks it) and
// every chosen add-on the price list knows, each once. nullopt without a
// price list or without a price for the binding.
std::optional<Price> price(const std::optional<Pricing> &pricing, const BookFile &book, int pageCount);

// The order button's words. Without a share discount, text is the whole
// label ("Order · $55"); with one, text is what comes before the full price,
// struck is the full price drawn struck through, and discounted follows it
// after a space ("Order · ", "$55", "$50.10").
struct Label
{
    QString text;
    QString struck;
    QString discounted;

    bool hasDiscount() const { return !struck.isEmpty(); }
    // The words as one line of plain text, the struck price included.
    QString plainText() const;
    // The words as rich text, the full price in <s>.
    QString html() const;
    friend bool operator==(const Label &, const Label &) = default;
};

// "Save PDF" without prices for the book's binding. An unused share reward
// takes its percentage off the book and its add-ons, never the shipping.
Label label(const std::optional<Pricing> &pricing, const BookFile &book, int pageCount,
    const std::optional<Rewards::Status> &rewards);

// The share reward's discount code while rewards are on and it is unused.
std::optional<QString> unusedShareCode(const std::optional<Rewards::Status> &rewards);

// Whether a gift card pays for the whole order: valid, with a balance that
// reaches what is due (in cents), when that is known.
bool giftCovers(const std::optional<Ordering::Gift> &gift, std::optional<qint64> dueCents);

} // namespace OrderTotal
