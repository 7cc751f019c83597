#include "controlparts.h"

#include "style.h"

#include <QAbstractSpinBox>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

using ControlPainter::Colors;
using ControlPainter::Touch;
using ControlPainter::wash;

namespace ControlParts {

namespace {

bool isSmall(const QWidget *widget)
{
    return Style::controlSize(widget) == Style::ControlSize::Small;
}

} // namespace

bool isEnabled(const QStyleOption *option)
{
    return option->state & QStyle::State_Enabled;
}

Touch touchOf(const QStyleOption *option)
{
    if (!isEnabled(option))
        return Touch::None;
    if (option->state & QStyle::State_Sunken)
        return Touch::Pressed;
    if (option->state & QStyle::State_MouseOver)
        return Touch::Hover;
    return Touch::None;
}

bool keyboardFocus(const QStyleOption *option)
{
    return (option->state & QStyle::State_HasFocus) && (option->state & QStyle::State_KeyboardFocusChange);
}

int mnemonicFlags(const QStyle *style, const QStyleOption *option, const QWidget *widget)
{
    return style->styleHint(QStyle::SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic
                                                                          : Qt::TextHideMnemonic;
}

QColor faded(QColor color, qreal alpha)
{
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}

QColor labelColor(const QStyleOption *option, const QWidget *widget)
{
    const Colors colors = ControlPainter::colors(option->palette);
    const Style::ButtonLook look = Style::look(widget);
    if (!isEnabled(option)) {
        return look == Style::ButtonLook::Prominent
            ? faded(colors.text, 0.38)
            : option->palette.color(QPalette::Disabled, QPalette::ButtonText);
    }
    if (look == Style::ButtonLook::Prominent)
        return colors.onAccent;
    if (Style::isDestructive(widget))
        return Style::error(option->palette);
    if (look == Style::ButtonLook::Link
        || (look == Style::ButtonLook::Chip && (option->state & QStyle::State_On)))
        return colors.accent;
    return option->palette.color(QPalette::ButtonText);
}

void buttonBevel(
    const QStyle *style, const QStyleOptionButton *button, QPainter *painter, const QWidget *widget)
{
    const Colors colors = ControlPainter::colors(button->palette);
    const QRectF r(button->rect);
    const bool enabled = isEnabled(button);
    const bool focused = keyboardFocus(button);
    const Touch touch = touchOf(button);
    const bool on = button->state & QStyle::State_On;
    const qreal radius = isSmall(widget) ? 5 : ControlPainter::buttonRadius;
    switch (Style::look(widget)) {
    case Style::ButtonLook::Link:
    case Style::ButtonLook::Plain:
        if (focused)
            ControlPainter::focusRing(painter, r, 4, colors);
        break;
    case Style::ButtonLook::Prominent:
        ControlPainter::accentBezel(painter, r, radius, colors, touch, enabled, focused);
        break;
    case Style::ButtonLook::Chip:
        if (on)
            ControlPainter::onBezel(painter, r, r.height() / 2, colors, touch, enabled, focused);
        else
            ControlPainter::bezel(painter, r, r.height() / 2, colors, touch, enabled, focused);
        break;
    case Style::ButtonLook::Standard:
        if (button->features & QStyleOptionButton::Flat) {
            // A flat button shows its bezel only while it is touched.
            if (touch != Touch::None || on)
                wash(painter, r, radius, faded(colors.text, touch == Touch::Pressed ? 0.14 : 0.08));
            if (focused)
                ControlPainter::focusRing(painter, r, radius, colors);
        } else if (on) {
            ControlPainter::onBezel(painter, r, radius, colors, touch, enabled, focused);
        } else {
            ControlPainter::bezel(painter, r, radius, colors, touch, enabled, focused);
        }
        break;
    }
    if (button->features & QStyleOptionButton::HasMenu) {
        const int indicator = style->pixelMetric(QStyle::PM_MenuButtonIndicator, button, widget);
        const QRectF room(r.right() - buttonPadding / 2.0 - indicator, r.top(), indicator, r.height());
        ControlPainter::chevron(painter, room, Qt::DownArrow, 8, labelColor(button, widget));
    }
}

void buttonLabel(
    const QProxyStyle *style, const QStyleOptionButton *button, QPainter *painter, const QWidget *widget)
{
    const Style::ButtonLook look = Style::look(widget);
    QStyleOptionButton copy = *button;
    copy.palette.setColor(QPalette::ButtonText, labelColor(button, widget));
    painter->save();
    if (look == Style::ButtonLook::Chip) {
        QFont font = painter->font();
        font.setWeight((button->state & QStyle::State_On) ? QFont::DemiBold : QFont::Normal);
        painter->setFont(font);
    }
    if (look == Style::ButtonLook::Link || look == Style::ButtonLook::Plain) {
        // Words set like a line of text: from the leading edge, underlined
        // under the pointer when they are a link.
        if (look == Style::ButtonLook::Link && (button->state & QStyle::State_MouseOver)
            && isEnabled(button)) {
            QFont font = painter->font();
            font.setUnderline(true);
            painter->setFont(font);
        }
        QRect room = button->rect;
        if (!button->icon.isNull()) {
            const QIcon::Mode mode = isEnabled(button) ? QIcon::Normal : QIcon::Disabled;
            const QPixmap pixmap
                = button->icon.pixmap(button->iconSize, painter->device()->devicePixelRatioF(), mode);
            const QRect place(
                QPoint(room.left(), room.top() + (room.height() - button->iconSize.height()) / 2),
                button->iconSize);
            painter->drawPixmap(place, pixmap);
            room.setLeft(place.right() + 5);
        }
        style->drawItemText(painter, room,
            Qt::AlignLeft | Qt::AlignVCenter | mnemonicFlags(style, button, widget), copy.palette,
            isEnabled(button), button->text, QPalette::ButtonText);
    } else {
        style->baseStyle()->drawControl(QStyle::CE_PushButtonLabel, &copy, painter, widget);
    }
    painter->restore();
}

void toolButton(
    const QProxyStyle *style, const QStyleOptionToolButton *tool, QPainter *painter, const QWidget *widget)
{
    QStyleOptionToolButton copy = *tool;
    const Style::ButtonLook look = Style::look(widget);
    if (look == Style::ButtonLook::Link || look == Style::ButtonLook::Plain) {
        copy.palette.setColor(QPalette::ButtonText, labelColor(tool, widget));
        if (look == Style::ButtonLook::Link && (tool->state & QStyle::State_MouseOver) && isEnabled(tool))
            copy.font.setUnderline(true);
        style->drawControl(QStyle::CE_ToolButtonLabel, &copy, painter, widget);
        if (keyboardFocus(tool))
            ControlPainter::focusRing(painter, tool->rect, 4, ControlPainter::colors(tool->palette));
        return;
    }
    // A symbol that opens a menu says so itself: no arrow beside it.
    if ((tool->state & QStyle::State_AutoRaise) && (copy.features & QStyleOptionToolButton::HasMenu)
        && !(copy.features & QStyleOptionToolButton::MenuButtonPopup))
        copy.features &= ~QStyleOptionToolButton::HasMenu;
    style->baseStyle()->drawComplexControl(QStyle::CC_ToolButton, &copy, painter, widget);
}

void checkIndicator(const QStyleOption *option, QPainter *painter, QStyle::PrimitiveElement element)
{
    // Fusion outlines check boxes in a shade of the window colour, which
    // vanishes on a dark palette; these are the desktop's own.
    const Colors colors = ControlPainter::colors(option->palette);
    const bool on = option->state & (QStyle::State_On | QStyle::State_NoChange);
    QColor border = option->palette.color(QPalette::WindowText);
    border.setAlphaF(colors.dark ? 0.35 : 0.3);
    const QRectF box = QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5);
    const bool radio = element == QStyle::PE_IndicatorRadioButton;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (!isEnabled(option))
        painter->setOpacity(0.45);
    painter->setPen(on ? QPen(colors.accent, 1) : QPen(border, 1));
    painter->setBrush(on ? colors.accent : colors.face);
    if (radio)
        painter->drawEllipse(box);
    else
        painter->drawRoundedRect(box, 3.5, 3.5);
    if (keyboardFocus(option)) {
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(colors.focus, 2));
        const QRectF ring = box.adjusted(-1.5, -1.5, 1.5, 1.5);
        if (radio)
            painter->drawEllipse(ring);
        else
            painter->drawRoundedRect(ring, 5, 5);
    }
    if (on) {
        if (radio) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(colors.onAccent);
            const qreal r = box.width() / 5;
            painter->drawEllipse(box.center(), r, r);
        } else if (option->state & QStyle::State_NoChange) {
            painter->setPen(QPen(colors.onAccent, 1.8, Qt::SolidLine, Qt::RoundCap));
            painter->drawLine(QPointF(box.left() + box.width() * 0.27, box.center().y()),
                QPointF(box.right() - box.width() * 0.27, box.center().y()));
        } else {
            ControlPainter::tick(painter, box, colors.onAccent, 1.8);
        }
    }
    painter->restore();
}

void menuItem(const QStyle *style, const QStyleOptionMenuItem *item, QPainter *painter, const QWidget *widget)
{
    const Colors colors = ControlPainter::colors(item->palette);
    const QRect r = item->rect;
    painter->save();
    painter->fillRect(r, colors.popup);
    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        painter->setPen(colors.separator);
        const int y = r.center().y();
        painter->drawLine(r.left() + menuPadding, y, r.right() - menuPadding, y);
        painter->restore();
        return;
    }
    const bool enabled = isEnabled(item);
    const bool selected = (item->state & QStyle::State_Selected) && enabled;
    QColor text = enabled ? item->palette.color(QPalette::Text)
                          : item->palette.color(QPalette::Disabled, QPalette::Text);
    if (selected) {
        wash(painter, QRectF(r).adjusted(4, 1, -4, -1), 4, colors.accent);
        text = colors.onAccent;
    }
    painter->setFont(item->font);

    // The check column is there when any item of the menu can be checked
    // or has a symbol, so the words of every item start at one line.
    int left = r.left() + menuPadding;
    const QRect check(left, r.top(), menuCheckColumn - 6, r.height());
    if (item->menuHasCheckableItems || item->maxIconWidth > 0)
        left += menuCheckColumn;
    if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        const qreal inset = (r.height() - 14) / 2.0;
        ControlPainter::tick(painter, QRectF(check).adjusted(1, inset, -3, -inset), text, 1.6);
    } else if (!item->icon.isNull()) {
        const int side = 16;
        const QIcon::Mode mode = !enabled ? QIcon::Disabled : selected ? QIcon::Selected : QIcon::Normal;
        QPixmap pixmap = item->icon.pixmap(QSize(side, side), painter->device()->devicePixelRatioF(), mode);
        if (selected) {
            // The symbol takes the colour of the words on the highlight.
            QPainter tint(&pixmap);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(pixmap.rect(), text);
        }
        painter->drawPixmap(QRect(check.left(), r.top() + (r.height() - side) / 2, side, side), pixmap);
    }

    QString words = item->text;
    QString shortcut;
    if (const qsizetype tab = words.indexOf(QLatin1Char('\t')); tab >= 0) {
        shortcut = words.mid(tab + 1);
        words.truncate(tab);
    }
    int right = r.right() - menuPadding;
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        ControlPainter::chevron(painter, QRectF(right - 8, r.top(), 8, r.height()), Qt::RightArrow, 8, text);
        right -= 14;
    }
    const QRect line(left, r.top(), right - left, r.height());
    const int flags = Qt::AlignVCenter | Qt::TextSingleLine | mnemonicFlags(style, item, widget);
    if (!shortcut.isEmpty()) {
        painter->setPen(selected ? text : Style::color(Style::Tone::Secondary, item->palette));
        painter->drawText(line, flags | Qt::AlignRight, shortcut);
    }
    painter->setPen(text);
    painter->drawText(line, flags | Qt::AlignLeft, words);
    painter->restore();
}

void comboBox(
    const QStyle *style, const QStyleOptionComboBox *combo, QPainter *painter, const QWidget *widget)
{
    const Colors colors = ControlPainter::colors(combo->palette);
    const bool enabled = isEnabled(combo);
    const QRect arrow = style->subControlRect(QStyle::CC_ComboBox, combo, QStyle::SC_ComboBoxArrow, widget);
    const QColor ink = enabled ? faded(combo->palette.color(QPalette::ButtonText), 0.75)
                               : combo->palette.color(QPalette::Disabled, QPalette::ButtonText);
    if (combo->editable) {
        // A field with a chevron that opens what can be picked (a date
        // field's calendar).
        if (combo->frame)
            ControlPainter::field(
                painter, combo->rect, colors, enabled, combo->state & QStyle::State_HasFocus);
        if ((combo->activeSubControls & QStyle::SC_ComboBoxArrow) && enabled)
            wash(painter, QRectF(arrow).adjusted(2, 3, -3, -3), 4,
                faded(colors.text, (combo->state & QStyle::State_Sunken) ? 0.14 : 0.07));
        ControlPainter::chevron(painter, arrow, Qt::DownArrow, 8, ink);
        return;
    }
    // A button that opens a menu over itself: the desktop's pop-up button,
    // with a pair of chevrons.
    const Touch touch = (combo->state & QStyle::State_On) && enabled ? Touch::Pressed : touchOf(combo);
    if (combo->frame)
        ControlPainter::bezel(
            painter, combo->rect, ControlPainter::buttonRadius, colors, touch, enabled, keyboardFocus(combo));
    const QRectF pair = QRectF(arrow).adjusted(0, 0, -3, 0);
    ControlPainter::chevron(painter, pair.translated(0, -3.5), Qt::UpArrow, 7, ink);
    ControlPainter::chevron(painter, pair.translated(0, 3.5), Qt::DownArrow, 7, ink);
}

void spinBox(const QStyle *style, const QStyleOptionSpinBox *spin, QPainter *painter, const QWidget *widget)
{
    const Colors colors = ControlPainter::colors(spin->palette);
    const bool enabled = isEnabled(spin);
    if (spin->frame)
        ControlPainter::field(painter, spin->rect, colors, enabled, spin->state & QStyle::State_HasFocus);
    if (spin->buttonSymbols == QAbstractSpinBox::NoButtons)
        return;
    const QRect up = style->subControlRect(QStyle::CC_SpinBox, spin, QStyle::SC_SpinBoxUp, widget);
    const QRect down = style->subControlRect(QStyle::CC_SpinBox, spin, QStyle::SC_SpinBoxDown, widget);
    painter->save();
    painter->setPen(colors.edge);
    painter->drawLine(QPointF(up.left() + 0.5, up.top() + 4), QPointF(up.left() + 0.5, down.bottom() - 3));
    painter->restore();
    const QColor ink = faded(spin->palette.color(QPalette::ButtonText), 0.75);
    const QColor off = spin->palette.color(QPalette::Disabled, QPalette::ButtonText);
    const struct
    {
        QRect rect;
        QStyle::SubControl part;
        QAbstractSpinBox::StepEnabledFlag step;
        int arrow;
    } steppers[] = { { up, QStyle::SC_SpinBoxUp, QAbstractSpinBox::StepUpEnabled, Qt::UpArrow },
        { down, QStyle::SC_SpinBoxDown, QAbstractSpinBox::StepDownEnabled, Qt::DownArrow } };
    for (const auto &stepper : steppers) {
        const bool can = enabled && (spin->stepEnabled & stepper.step);
        if (can && (spin->activeSubControls & stepper.part))
            wash(painter, QRectF(stepper.rect).adjusted(2, 1, -2, -1), 3,
                faded(colors.text, (spin->state & QStyle::State_Sunken) ? 0.14 : 0.07));
        ControlPainter::chevron(painter, stepper.rect, stepper.arrow, 7, can ? ink : off);
    }
}

void scrollBar(const QStyle *style, const QStyleOptionSlider *bar, QPainter *painter, const QWidget *widget)
{
    if (bar->maximum <= bar->minimum)
        return;
    const bool horizontal = bar->orientation == Qt::Horizontal;
    const bool hover = (bar->state & QStyle::State_MouseOver) && isEnabled(bar);
    const bool dragging
        = (bar->state & QStyle::State_Sunken) && (bar->activeSubControls & QStyle::SC_ScrollBarSlider);
    const QColor ink = bar->palette.color(QPalette::WindowText);
    // The track shows only while the pointer is on the bar, so a resting
    // bar is just its handle, thin, on whatever lies under it.
    if (hover || dragging)
        painter->fillRect(bar->rect, faded(ink, 0.05));
    const qreal thickness = hover || dragging ? 8 : 6;
    QRectF handle = style->subControlRect(QStyle::CC_ScrollBar, bar, QStyle::SC_ScrollBarSlider, widget);
    if (horizontal) {
        handle.adjust(2, 0, -2, 0);
        handle.setTop(bar->rect.center().y() + 1 - thickness / 2);
        handle.setHeight(thickness);
    } else {
        handle.adjust(0, 2, 0, -2);
        handle.setLeft(bar->rect.center().x() + 1 - thickness / 2);
        handle.setWidth(thickness);
    }
    wash(painter, handle, thickness / 2, faded(ink, dragging ? 0.55 : hover ? 0.42 : 0.28));
}

void progressGroove(const QStyleOption *option, QPainter *painter)
{
    const QRectF r(option->rect);
    const qreal radius = std::min(r.width(), r.height()) / 2;
    wash(painter, r, radius, faded(option->palette.color(QPalette::WindowText), 0.12));
}

void progressContents(const QStyleOptionProgressBar *bar, QPainter *painter)
{
    const QColor accent = bar->palette.color(QPalette::Highlight);
    const qint64 range = qint64(bar->maximum) - bar->minimum;
    // A bar without a range is busy without a measure: a faint fill.
    const qreal share = range > 0 ? qreal(bar->progress - bar->minimum) / range : 1.0;
    QRectF r(bar->rect);
    r.setWidth(r.width() * std::clamp(share, 0.0, 1.0));
    if (r.width() <= 0)
        return;
    const qreal radius = std::min(bar->rect.width(), bar->rect.height()) / 2.0;
    wash(painter, r, radius, range > 0 ? accent : faded(accent, 0.4));
}

} // namespace ControlParts
