#pragma once

#include <QString>
#include <optional>

class Store;

// The codes an order may carry for a discount: an install's Friends of
// Friends code (for its owner and anyone they give it to), a sharing
// reward's code until an order has used it, and the demo code WELCOME10, a
// sharing code that never runs out. The check the app makes and the order
// it places judge a code alike.
namespace Discounts {

struct Discount
{
    // Off the book and its add-ons, never the shipping.
    int percent = 0;
    // "referral" or "share", the only kinds the service gives.
    QString kind;
};

// What code takes off, letter case aside; nullopt when it doesn't work.
std::optional<Discount> find(Store &store, const QString &code);

} // namespace Discounts
