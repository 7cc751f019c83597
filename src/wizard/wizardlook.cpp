#include "wizardlook.h"

#include "ui/icons.h"
#include "ui/style.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

namespace WizardLook {

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
