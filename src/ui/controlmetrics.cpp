#include "controlmetrics.h"

#include "controlparts.h"
#include "style.h"

#include <QAbstractSpinBox>
#include <QFontMetrics>
#include <QStyleOption>
#include <QWidget>

using ControlParts::arrowWidth;

namespace ControlMetrics {

namespace {

constexpr int smallButtonHeight = 20;
constexpr int smallButtonPadding = 9;
constexpr int chipPadding = 12;
constexpr int stepperWidth = 18;
constexpr int menuItemHeight = 24;

} // namespace

QRect scrollBarPart(const QStyleOptionSlider *bar, QStyle::SubControl part)
{
    const QRect whole = bar->rect;
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const int length = horizontal ? whole.width() : whole.height();
    const qint64 range = qint64(bar->maximum) - bar->minimum;
    int handle = length;
    if (range > 0) {
        handle = int(qint64(length) * bar->pageStep / (range + bar->pageStep));
        handle = std::clamp(handle, std::min(scrollHandleMin, length), length);
    }
    const int start = QStyle::sliderPositionFromValue(
        bar->minimum, bar->maximum, bar->sliderPosition, length - handle, bar->upsideDown);
    auto span = [&](int from, int size) {
        return horizontal ? QRect(whole.x() + from, whole.y(), size, whole.height())
                          : QRect(whole.x(), whole.y() + from, whole.width(), size);
    };
    switch (part) {
    case QStyle::SC_ScrollBarGroove:
        return whole;
    case QStyle::SC_ScrollBarSlider:
        return span(start, handle);
    case QStyle::SC_ScrollBarSubPage:
        return span(0, start);
    case QStyle::SC_ScrollBarAddPage:
        return span(start + handle, length - start - handle);
    default:
        // No arrow buttons, nor first and last.
        return {};
    }
}

QRect comboBoxPart(const QStyleOptionComboBox *combo, QStyle::SubControl part)
{
    const QRect r = combo->rect;
    switch (part) {
    case QStyle::SC_ComboBoxFrame:
        return r;
    case QStyle::SC_ComboBoxArrow:
        return { r.right() - arrowWidth, r.top() + 1, arrowWidth, r.height() - 2 };
    case QStyle::SC_ComboBoxEditField:
        // The words start where a field's do; a line edit inside adds its
        // own two pixels.
        if (combo->editable)
            return { r.left() + fieldInset, r.top() + 1, r.width() - arrowWidth - fieldInset - 2,
                r.height() - 2 };
        return { r.left() + 9, r.top() + 1, r.width() - arrowWidth - 10, r.height() - 2 };
    case QStyle::SC_ComboBoxListBoxPopup:
        // The menu opens over the button with its words where the button's
        // are, its check column to their left.
        if (!combo->editable)
            return r.adjusted(-(ControlParts::menuPadding + ControlParts::menuCheckColumn - 9), 0, 0, 0);
        return {};
    default:
        return {};
    }
}

QRect spinBoxPart(const QStyleOptionSpinBox *spin, QStyle::SubControl part)
{
    const QRect r = spin->rect;
    const bool buttons = spin->buttonSymbols != QAbstractSpinBox::NoButtons;
    const int steppers = buttons ? stepperWidth : 0;
    const int middle = r.top() + r.height() / 2;
    switch (part) {
    case QStyle::SC_SpinBoxFrame:
        return r;
    case QStyle::SC_SpinBoxUp:
        return buttons ? QRect(r.right() - steppers, r.top() + 1, steppers, middle - r.top() - 1) : QRect();
    case QStyle::SC_SpinBoxDown:
        return buttons ? QRect(r.right() - steppers, middle, steppers, r.bottom() - middle) : QRect();
    case QStyle::SC_SpinBoxEditField:
        return { r.left() + 6, r.top() + 1, r.width() - steppers - 8, r.height() - 2 };
    default:
        return {};
    }
}

QSize buttonSize(const QStyleOption *option, const QSize &contents, const QWidget *widget)
{
    const Style::ButtonLook look = Style::look(widget);
    switch (look) {
    case Style::ButtonLook::Link:
    case Style::ButtonLook::Plain:
        return contents + QSize(0, 4);
    case Style::ButtonLook::Chip: {
        // As wide as its words in bold, which they are when it is on.
        QSize size = contents;
        const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option);
        if (button && widget) {
            QFont bold = widget->font();
            bold.setWeight(QFont::DemiBold);
            size.rwidth() += QFontMetrics(bold).horizontalAdvance(button->text)
                - QFontMetrics(widget->font()).horizontalAdvance(button->text);
        }
        return { size.width() + 2 * chipPadding + 2, size.height() + 8 };
    }
    case Style::ButtonLook::Prominent:
    case Style::ButtonLook::Standard:
        break;
    }
    if (Style::controlSize(widget) == Style::ControlSize::Small)
        return { contents.width() + 2 * smallButtonPadding + 2,
            std::max(contents.height() + 4, smallButtonHeight) };
    const int padding = ControlParts::buttonPadding + (look == Style::ButtonLook::Prominent ? 2 : 0);
    return { contents.width() + 2 * padding + 2, std::max(contents.height() + 10, buttonHeight) };
}

QSize comboBoxSize(const QStyleOptionComboBox *combo, const QSize &contents, const QWidget *widget)
{
    const bool editable = (combo && combo->editable) || qobject_cast<const QAbstractSpinBox *>(widget);
    if (editable)
        return { contents.width() + fieldInset + 4 + arrowWidth, contents.height() + 8 };
    return { contents.width() + 14 + arrowWidth, std::max(contents.height() + 10, buttonHeight) };
}

QSize spinBoxSize(const QSize &contents)
{
    return { contents.width() + 8 + stepperWidth, contents.height() + 8 };
}

QSize menuItemSize(const QStyleOptionMenuItem *item, const QSize &contents)
{
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return { contents.width(), 9 };
    int width = contents.width() + 2 * ControlParts::menuPadding + 8;
    if (item->menuHasCheckableItems || item->maxIconWidth > 0)
        width += ControlParts::menuCheckColumn;
    if (item->text.contains(QLatin1Char('\t')) || item->reservedShortcutWidth > 0)
        width += 28;
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu)
        width += 14;
    const int height = std::max(menuItemHeight, QFontMetrics(item->font).height() + 8);
    return { std::max(width, 120), height };
}

} // namespace ControlMetrics
