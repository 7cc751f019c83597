#include "wizardlook.h"

#include "app/icons.h"
#include "app/style.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

namespace WizardLook {

QColor cardFill()
{
    const QColor window = QApplication::palette().color(QPalette::Window);
    if (Style::appearance() == Color::Appearance::Dark)
        return window.lighter(122);
    return QApplication::palette().color(QPalette::Base);
}

QColor cardEdge()
{
    QColor edge = Style::color(Style::Tone::Primary);
    edge.setAlphaF(Style::appearance() == Color::Appearance::Dark ? 0.10 : 0.09);
    return edge;
}

QString dollars(int amount)
{
    return QStringLiteral("$") + QString::number(amount);
}

QString shippingPrice(int amount)
{
    return amount == 0 ? QStringLiteral("Free") : dollars(amount);
}

QFont withEmoji(QFont font)
{
    font.setFamilies({ font.family(), QStringLiteral("Noto Color Emoji") });
    return font;
}

QLabel *symbol(const QString &name, int size, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setPixmap(Icons::pixmap(name, size, color));
    label->setFixedSize(size, size);
    return label;
}

} // namespace WizardLook
