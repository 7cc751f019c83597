#include "appstyle.h"

#include "controlmetrics.h"
#include "controlpainter.h"
#include "controlparts.h"
#include "icons.h"
#include "keyboardfocus.h"
#include "style.h"
#include "textwrap.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QEvent>
#include <QHelpEvent>
#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QToolButton>
#include <QToolTip>
#include <optional>

using ControlMetrics::fieldInset;
using ControlPainter::Colors;
using ControlParts::faded;
using ControlParts::isEnabled;
using ControlParts::keyboardFocus;
using ControlParts::touchOf;

namespace {

bool isTextEditor(const QWidget *widget)
{
    return qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QTextEdit *>(widget);
}

bool isComboPopup(const QWidget *widget)
{
    return widget && widget->inherits("QComboBoxPrivateContainer");
}

// Combo boxes and spin boxes draw their own field around the line edit
// inside them.
bool isInsideField(const QWidget *widget)
{
    return widget && widget->parentWidget()
        && (qobject_cast<const QComboBox *>(widget->parentWidget())
            || qobject_cast<const QAbstractSpinBox *>(widget->parentWidget()));
}

int arrowOf(QStyle::PrimitiveElement element)
{
    switch (element) {
    case QStyle::PE_IndicatorArrowUp:
    case QStyle::PE_IndicatorSpinUp:
    case QStyle::PE_IndicatorSpinPlus:
        return Qt::UpArrow;
    case QStyle::PE_IndicatorArrowLeft:
        return Qt::LeftArrow;
    case QStyle::PE_IndicatorArrowRight:
        return Qt::RightArrow;
    default:
        return Qt::DownArrow;
    }
}

// Qt sets a plain tool tip on one line however long it is; a tip wider
// than this is broken into balanced lines, about fifty characters at most.
constexpr int tipWidth = 320;

class TipWrapper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const QString tip = widget->toolTip();
        if (tip.isEmpty() || Qt::mightBeRichText(tip))
            return false;
        const QString lines = TextWrap::broken(tip, QToolTip::font(), tipWidth, TextWrap::Lines::Balanced);
        if (lines == tip)
            return false;
        const auto *help = static_cast<QHelpEvent *>(event);
        QToolTip::showText(help->globalPos(), lines, widget, QRect(), widget->toolTipDuration());
        return true;
    }
};

} // namespace

AppStyle::AppStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{ }

void AppStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    // Worked out only for what is drawn here, not for what Fusion draws.
    std::optional<Colors> cached;
    auto colors = [&]() -> const Colors & {
        if (!cached)
            cached = ControlPainter::colors(option->palette);
        return *cached;
    };
    const bool enabled = isEnabled(option);
    switch (element) {
    case PE_IndicatorCheckBox:
    case PE_IndicatorRadioButton:
        ControlParts::checkIndicator(option, painter, element);
        return;
    case PE_FrameFocusRect:
    case PE_FrameDefaultButton:
    case PE_PanelScrollAreaCorner:
    case PE_IndicatorButtonDropDown:
        // Focus is a ring drawn with each control's own shape.
        return;
    case PE_PanelLineEdit:
    case PE_FrameLineEdit:
        if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
            frame && frame->lineWidth > 0 && !isInsideField(widget))
            ControlPainter::field(painter, option->rect, colors(), enabled, option->state & State_HasFocus);
        return;
    case PE_Frame:
        if (isTextEditor(widget))
            ControlPainter::field(painter, option->rect, colors(), enabled, option->state & State_HasFocus);
        else
            ControlPainter::outline(
                painter, option->rect, isComboPopup(widget) ? colors().popupEdge : colors().edge);
        return;
    case PE_PanelMenu:
        painter->fillRect(option->rect, colors().popup);
        return;
    case PE_FrameMenu:
        ControlPainter::outline(painter, option->rect, colors().popupEdge);
        return;
    case PE_PanelTipLabel:
        painter->fillRect(option->rect, option->palette.color(QPalette::ToolTipBase));
        ControlPainter::outline(painter, option->rect, colors().popupEdge);
        return;
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        return;
    case PE_PanelButtonCommand:
        ControlPainter::bezel(painter, option->rect, ControlPainter::buttonRadius, colors(), touchOf(option),
            enabled, keyboardFocus(option));
        return;
    case PE_PanelButtonTool: {
        const bool on = option->state & (State_On | State_Sunken);
        if (option->state & State_AutoRaise) {
            // A tool button in a bar shows itself only when touched or on.
            if (enabled && (on || (option->state & State_MouseOver)))
                ControlPainter::wash(painter, option->rect, ControlPainter::buttonRadius,
                    faded(colors().text, on ? 0.14 : 0.08));
            // ... and when the keys reach it, as every button does.
            if (enabled && keyboardFocus(option))
                ControlPainter::focusRing(painter, option->rect, ControlPainter::buttonRadius, colors());
        } else if (option->state & State_On) {
            ControlPainter::onBezel(painter, option->rect, ControlPainter::buttonRadius, colors(),
                touchOf(option), enabled, keyboardFocus(option));
        } else {
            ControlPainter::bezel(painter, option->rect, ControlPainter::buttonRadius, colors(),
                touchOf(option), enabled, keyboardFocus(option));
        }
        return;
    }
    case PE_IndicatorArrowUp:
    case PE_IndicatorArrowDown:
    case PE_IndicatorArrowLeft:
    case PE_IndicatorArrowRight:
    case PE_IndicatorSpinUp:
    case PE_IndicatorSpinDown:
    case PE_IndicatorSpinPlus:
    case PE_IndicatorSpinMinus: {
        const qreal size
            = std::clamp(std::min(option->rect.width(), option->rect.height()) * 0.55, 6.0, 10.0);
        const QColor color = enabled ? faded(option->palette.color(QPalette::ButtonText), 0.75)
                                     : option->palette.color(QPalette::Disabled, QPalette::ButtonText);
        ControlPainter::chevron(painter, option->rect, arrowOf(element), size, color);
        return;
    }
    case PE_IndicatorMenuCheckMark:
        ControlPainter::tick(
            painter, QRectF(option->rect).adjusted(2, 2, -2, -2), option->palette.color(QPalette::Text), 1.6);
        return;
    case PE_PanelItemViewItem:
        if (widget && widget->objectName() == QLatin1String("qt_calendar_calendarview")) {
            // The chosen day as a rounded mark, not a square cell.
            if (option->state & State_Selected)
                ControlPainter::wash(
                    painter, QRectF(option->rect).adjusted(3, 1, -3, -1), 6, colors().accent);
            return;
        }
        break;
    case PE_IndicatorToolBarSeparator: {
        painter->save();
        painter->setPen(colors().separator);
        const QRect r = option->rect;
        if (option->state & State_Horizontal)
            painter->drawLine(r.center().x(), r.top() + 4, r.center().x(), r.bottom() - 4);
        else
            painter->drawLine(r.left() + 4, r.center().y(), r.right() - 4, r.center().y());
        painter->restore();
        return;
    }
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void AppStyle::drawControl(
    ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    // Worked out only for what is drawn here, not for what Fusion draws.
    std::optional<Colors> cached;
    auto colors = [&]() -> const Colors & {
        if (!cached)
            cached = ControlPainter::colors(option->palette);
        return *cached;
    };
    switch (element) {
    case CE_ComboBoxLabel:
        // A choice wider than its box (a person's whole name) ends in "…"
        // instead of being cut through a letter.
        if (const auto *box = qstyleoption_cast<const QStyleOptionComboBox *>(option);
            box && !box->editable) {
            QStyleOptionComboBox shown = *box;
            int room = subControlRect(CC_ComboBox, box, SC_ComboBoxEditField, widget).width() - 2;
            if (!box->currentIcon.isNull())
                room -= box->iconSize.width() + 4;
            shown.currentText = box->fontMetrics.elidedText(box->currentText, Qt::ElideRight, room);
            QProxyStyle::drawControl(element, &shown, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    case CE_PushButtonBevel:
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option))
            ControlParts::buttonBevel(this, button, painter, widget);
        return;
    case CE_PushButtonLabel:
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option))
            ControlParts::buttonLabel(this, button, painter, widget);
        return;
    case CE_MenuItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
            ControlParts::menuItem(this, item, painter, widget);
        return;
    case CE_MenuEmptyArea:
        painter->fillRect(option->rect, colors().popup);
        return;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        return;
    case CE_MenuBarItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option)) {
            painter->fillRect(option->rect, option->palette.color(QPalette::Window));
            if ((option->state & State_Selected) && isEnabled(option))
                ControlPainter::wash(painter, QRectF(option->rect).adjusted(1, 3, -1, -3), 4,
                    faded(option->palette.color(QPalette::WindowText), 0.1));
            drawItemText(painter, option->rect,
                Qt::AlignCenter | ControlParts::mnemonicFlags(this, option, widget), item->palette,
                isEnabled(option), item->text, QPalette::WindowText);
        }
        return;
    case CE_ProgressBarGroove:
        ControlParts::progressGroove(option, painter);
        return;
    case CE_ProgressBarContents:
        if (const auto *bar = qstyleoption_cast<const QStyleOptionProgressBar *>(option))
            ControlParts::progressContents(bar, painter);
        return;
    default:
        QProxyStyle::drawControl(element, option, painter, widget);
    }
}

void AppStyle::drawComplexControl(
    ComplexControl control, const QStyleOptionComplex *option, QPainter *painter, const QWidget *widget) const
{
    switch (control) {
    case CC_ComboBox:
        if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option))
            ControlParts::comboBox(this, combo, painter, widget);
        return;
    case CC_SpinBox:
        if (const auto *spin = qstyleoption_cast<const QStyleOptionSpinBox *>(option))
            ControlParts::spinBox(this, spin, painter, widget);
        return;
    case CC_ScrollBar:
        if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option))
            ControlParts::scrollBar(this, bar, painter, widget);
        return;
    case CC_ToolButton:
        if (const auto *tool = qstyleoption_cast<const QStyleOptionToolButton *>(option))
            ControlParts::toolButton(this, tool, painter, widget);
        return;
    default:
        QProxyStyle::drawComplexControl(control, option, painter, widget);
    }
}

QRect AppStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option,
    SubControl subControl, const QWidget *widget) const
{
    QRect part;
    if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
        bar && control == CC_ScrollBar)
        part = ControlMetrics::scrollBarPart(bar, subControl);
    else if (const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option))
        part = ControlMetrics::comboBoxPart(combo, subControl);
    else if (const auto *spin = qstyleoption_cast<const QStyleOptionSpinBox *>(option))
        part = ControlMetrics::spinBoxPart(spin, subControl);
    else
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    if (part.isEmpty() && control == CC_ComboBox)
        return QProxyStyle::subControlRect(control, option, subControl, widget);
    return visualRect(option->direction, option->rect, part);
}

QRect AppStyle::subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget) const
{
    switch (element) {
    case SE_LineEditContents:
        if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
            frame && frame->lineWidth > 0)
            return option->rect.adjusted(fieldInset, 2, -fieldInset, -2);
        return option->rect;
    case SE_PushButtonContents:
        return option->rect.adjusted(4, 2, -4, -2);
    default:
        return QProxyStyle::subElementRect(element, option, widget);
    }
}

QSize AppStyle::sizeFromContents(
    ContentsType type, const QStyleOption *option, const QSize &contents, const QWidget *widget) const
{
    switch (type) {
    case CT_PushButton:
        return ControlMetrics::buttonSize(option, contents, widget);
    case CT_LineEdit:
        if (const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
            frame && frame->lineWidth > 0)
            return contents + QSize(2 * fieldInset, 8);
        return contents;
    case CT_ComboBox:
        return ControlMetrics::comboBoxSize(
            qstyleoption_cast<const QStyleOptionComboBox *>(option), contents, widget);
    case CT_SpinBox:
        return ControlMetrics::spinBoxSize(contents);
    case CT_ToolButton: {
        const Style::ButtonLook look = Style::look(widget);
        if (look == Style::ButtonLook::Link || look == Style::ButtonLook::Plain)
            return contents + QSize(0, 4);
        break;
    }
    case CT_MenuItem:
        if (const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option))
            return ControlMetrics::menuItemSize(item, contents);
        break;
    default:
        break;
    }
    return QProxyStyle::sizeFromContents(type, option, contents, widget);
}

int AppStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
        return 16;
    case PM_ScrollBarExtent:
        return ControlMetrics::scrollBarExtent;
    case PM_ScrollBarSliderMin:
        return ControlMetrics::scrollHandleMin;
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
        return 0;
    case PM_MenuVMargin:
        return 4;
    case PM_MenuButtonIndicator:
        return 16;
    case PM_ButtonShiftHorizontal:
    case PM_ButtonShiftVertical:
    case PM_ButtonDefaultIndicator:
        return 0;
    case PM_DefaultFrameWidth:
        if (isTextEditor(widget))
            return ControlMetrics::editorFrame;
        if (isComboPopup(widget))
            return 1;
        break;
    case PM_ComboBoxFrameWidth:
    case PM_SpinBoxFrameWidth:
        return 1;
    case PM_ToolTipLabelFrameWidth:
        return 5;
    case PM_MessageBoxIconSize:
        return 48;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int AppStyle::styleHint(
    StyleHint hint, const QStyleOption *option, const QWidget *widget, QStyleHintReturn *returnData) const
{
    switch (hint) {
    case SH_ScrollBar_Transient:
    case SH_DialogButtonBox_ButtonsHaveIcons:
    case SH_MessageBox_CenterButtons:
        return 0;
    case SH_ToolTipLabel_Opacity:
        return 255;
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

QIcon AppStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    const QColor ink = (option ? option->palette : QApplication::palette()).color(QPalette::WindowText);
    switch (icon) {
    case SP_MessageBoxInformation:
    case SP_MessageBoxWarning:
    case SP_MessageBoxCritical:
    case SP_MessageBoxQuestion:
        // An alert speaks for the app, under its symbol, whatever it says.
        return Style::appSymbol();
    case SP_ArrowLeft:
    case SP_ArrowBack:
        return Icons::icon(QStringLiteral("chevron.left"), ink);
    case SP_ArrowRight:
    case SP_ArrowForward:
        return Icons::icon(QStringLiteral("chevron.right"), ink);
    case SP_LineEditClearButton:
        return Icons::icon(QStringLiteral("xmark.circle.fill"), faded(ink, 0.45));
    default:
        return QProxyStyle::standardIcon(icon, option, widget);
    }
}

void AppStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (isTextEditor(widget)) {
        // The field drawn as the editor's frame is its background.
        static_cast<QAbstractScrollArea *>(widget)->viewport()->setAutoFillBackground(false);
        widget->installEventFilter(this);
        // Every text area here is a field of a form: Tab goes on to the
        // next control, or a keyboard could never leave it forwards.
        if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
            plain->setTabChangesFocus(true);
        else if (auto *rich = qobject_cast<QTextEdit *>(widget))
            rich->setTabChangesFocus(true);
    }
    if (qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractSpinBox *>(widget)
        || qobject_cast<QAbstractButton *>(widget))
        widget->setAttribute(Qt::WA_Hover);
    if (auto *calendar = qobject_cast<QCalendarWidget *>(widget))
        polishCalendar(calendar);
    if (widget->inherits("QCalendarPopup")) {
        // A date field's calendar opens in a bare window: it gets the
        // outline of the app's other popups.
        if (widget->layout())
            widget->layout()->setContentsMargins(1, 1, 1, 1);
        widget->installEventFilter(this);
    }
}

void AppStyle::polish(QApplication *application)
{
    QProxyStyle::polish(application);
    if (!m_tipWrapper) {
        m_tipWrapper = new TipWrapper(this);
        application->installEventFilter(m_tipWrapper);
    }
    if (!m_returnPresses) {
        m_returnPresses = KeyboardFocus::returnPressesFocusedButtons(this);
        application->installEventFilter(m_returnPresses);
    }
}

void AppStyle::unpolish(QApplication *application)
{
    if (m_tipWrapper) {
        application->removeEventFilter(m_tipWrapper);
        delete m_tipWrapper;
        m_tipWrapper = nullptr;
    }
    if (m_returnPresses) {
        application->removeEventFilter(m_returnPresses);
        delete m_returnPresses;
        m_returnPresses = nullptr;
    }
    QProxyStyle::unpolish(application);
}

void AppStyle::polishCalendar(QCalendarWidget *calendar)
{
    // Qt's calendar heads itself with a bar in the selection colour and
    // marks weekends red; the desktop's calendars are calm, one colour,
    // with the chosen day as the one highlight.
    const QTextCharFormat plain;
    calendar->setWeekdayTextFormat(Qt::Saturday, plain);
    calendar->setWeekdayTextFormat(Qt::Sunday, plain);
    QTextCharFormat header;
    header.setForeground(Style::color(Style::Tone::Secondary, calendar->palette()));
    calendar->setHeaderTextFormat(header);
    if (auto *bar = calendar->findChild<QWidget *>(QStringLiteral("qt_calendar_navigationbar"))) {
        bar->setBackgroundRole(QPalette::Base);
        // The month and year buttons write in the selection's text colour
        // while they rest.
        QPalette palette = bar->palette();
        palette.setColor(QPalette::HighlightedText, palette.color(QPalette::ButtonText));
        bar->setPalette(palette);
        bar->setContentsMargins(4, 4, 4, 2);
    }
}

void AppStyle::unpolish(QWidget *widget)
{
    if (isTextEditor(widget) || widget->inherits("QCalendarPopup"))
        widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

bool AppStyle::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched->inherits("QCalendarPopup")) {
        auto *popup = static_cast<QWidget *>(watched);
        QPainter painter(popup);
        ControlPainter::popupPanel(&painter, popup->rect(), ControlPainter::colors(popup->palette()));
        return false;
    }
    // An editor's frame shows its focus; Qt repaints only the text area.
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        static_cast<QWidget *>(watched)->update();
    return QProxyStyle::eventFilter(watched, event);
}
