#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// What the wizard's steps share in looks and words: prices as the price list states them, and faces that draw
// emoji in colour.
namespace WizardLook {

// Whole dollars as "$" and the plain integer: "$39", "$1250".
QString dollars(int amount);
// A shipping price: "Free" at 0, else dollars().
QString shippingPrice(int amount);
// The font with the colour emoji face behind it, so emoji in names and
// messages aren't drawn in a monochrome fallback.
QFont withEmoji(QFont font);
// A symbol as a picture label of the given size and colour.
QLabel *symbol(const QString &name, int size, const QColor &color, QWidget *parent = nullptr);

} // namespace WizardLook
