#include "style.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QStyleOption>

namespace Style {

namespace {

struct Scale
{
    int pixels;
    Weight weight;
};

Scale scale(Text text)
{
    switch (text) {
    case Text::LargeTitle:
        return { 26, Weight::Regular };
    case Text::Title:
        return { 22, Weight::Regular };
    case Text::Title2:
        return { 17, Weight::Regular };
    case Text::Title3:
        return { 15, Weight::Regular };
    case Text::Headline:
        return { 13, Weight::Semibold };
    case Text::Body:
        return { 13, Weight::Regular };
    case Text::Callout:
        return { 12, Weight::Regular };
    case Text::Subheadline:
        return { 11, Weight::Regular };
    case Text::Footnote:
    case Text::Caption:
    case Text::Caption2:
        return { 10, Weight::Regular };
    }
    return { 13, Weight::Regular };
}

QFont::Weight qtWeight(Weight weight)
{
    switch (weight) {
    case Weight::Regular:
        return QFont::Normal;
    case Weight::Medium:
        return QFont::Medium;
    case Weight::Semibold:
        return QFont::DemiBold;
    case Weight::Bold:
        return QFont::Bold;
    }
    return QFont::Normal;
}

// Fusion, with check boxes and radio buttons drawn as the desktop's own:
// Fusion outlines them in a shade of the window colour, which vanishes on
// a dark palette.
class AppStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override
    {
        if (element != PE_IndicatorCheckBox && element != PE_IndicatorRadioButton) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const bool on = option->state & (State_On | State_NoChange);
        const bool enabled = option->state & State_Enabled;
        const QColor accent = brand();
        const bool dark = option->palette.color(QPalette::Window).lightnessF() < 0.5;
        QColor border = color(Tone::Primary, option->palette);
        border.setAlphaF(dark ? 0.35 : 0.3);
        const QColor face = dark ? QColor(0x3a, 0x3a, 0x3c) : QColor(Qt::white);
        const QRectF box = QRectF(option->rect).adjusted(1.5, 1.5, -1.5, -1.5);

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (!enabled)
            painter->setOpacity(0.45);
        painter->setPen(on ? QPen(accent, 1) : QPen(border, 1));
        painter->setBrush(on ? accent : face);
        if (element == PE_IndicatorRadioButton)
            painter->drawEllipse(box);
        else
            painter->drawRoundedRect(box, 3.5, 3.5);
        if (on) {
            const QColor mark = dark ? QColor(0x1d, 0x1d, 0x1f) : QColor(Qt::white);
            if (element == PE_IndicatorRadioButton) {
                painter->setPen(Qt::NoPen);
                painter->setBrush(mark);
                const qreal r = box.width() / 5;
                painter->drawEllipse(box.center(), r, r);
            } else if (option->state & State_NoChange) {
                painter->setPen(QPen(mark, 1.8, Qt::SolidLine, Qt::RoundCap));
                painter->drawLine(QPointF(box.left() + box.width() * 0.27, box.center().y()),
                    QPointF(box.right() - box.width() * 0.27, box.center().y()));
            } else {
                painter->setPen(QPen(mark, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter->setBrush(Qt::NoBrush);
                const QPolygonF tick { QPointF(
                                           box.left() + box.width() * 0.24, box.top() + box.height() * 0.52),
                    QPointF(box.left() + box.width() * 0.43, box.top() + box.height() * 0.71),
                    QPointF(box.left() + box.width() * 0.77, box.top() + box.height() * 0.31) };
                painter->drawPolyline(tick);
            }
        }
        painter->restore();
    }

    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return 16;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

// The interface face: Inter when the system has it, else the system's.
const char *const interfaceFamily = "Inter";

} // namespace

QFont font(Text text)
{
    return font(text, scale(text).weight);
}

QFont font(Text text, Weight weight)
{
    QFont f = QApplication::font();
    f.setPixelSize(scale(text).pixels);
    f.setWeight(qtWeight(weight));
    return f;
}

QFont bookFont(const QString &family, int pixelSize, bool italic)
{
    QFont f(family);
    f.setPixelSize(pixelSize);
    f.setItalic(italic);
    return f;
}

QColor color(Tone tone)
{
    return color(tone, QApplication::palette());
}

QColor color(Tone tone, const QPalette &palette)
{
    QColor text = palette.color(QPalette::WindowText);
    switch (tone) {
    case Tone::Primary:
        return text;
    case Tone::Secondary:
        text.setAlphaF(0.62);
        return text;
    case Tone::Tertiary:
        text.setAlphaF(0.38);
        return text;
    case Tone::Quaternary:
        text.setAlphaF(0.12);
        return text;
    }
    return text;
}

Color::Appearance appearance()
{
    return QApplication::palette().color(QPalette::Window).lightnessF() < 0.5 ? Color::Appearance::Dark
                                                                              : Color::Appearance::Light;
}

QColor brand()
{
    return Color::brand(appearance());
}

QColor cardFill()
{
    const QColor window = QApplication::palette().color(QPalette::Window);
    if (appearance() == Color::Appearance::Dark)
        return window.lighter(122);
    return QApplication::palette().color(QPalette::Base);
}

QColor cardEdge()
{
    QColor edge = color(Tone::Primary);
    edge.setAlphaF(appearance() == Color::Appearance::Dark ? 0.10 : 0.09);
    return edge;
}

QColor error()
{
    return appearance() == Color::Appearance::Dark ? QColor(0xff, 0x6b, 0x62) : QColor(0xc8, 0x2a, 0x22);
}

QLabel *label(const QString &text, Text style, Tone tone, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    setStyle(l, style, tone);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

void setStyle(QLabel *label, Text style, Tone tone)
{
    label->setFont(font(style));
    setTone(label, tone);
}

void setTone(QWidget *widget, Tone tone)
{
    QPalette p = widget->palette();
    const QColor c = color(tone, QApplication::palette());
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    widget->setPalette(p);
}

QColor prominentText()
{
    return appearance() == Color::Appearance::Dark ? QColor(0x1d, 0x1d, 0x1f) : QColor(Qt::white);
}

void setProminent(QAbstractButton *button)
{
    const QColor fill = brand();
    const QColor text = prominentText();
    QColor disabled = color(Tone::Quaternary);
    QColor disabledText = color(Tone::Tertiary);
    button->setStyleSheet(
        QStringLiteral("QPushButton, QToolButton { background: %1; color: %2; border: none;"
                       " border-radius: 6px; padding: 5px 16px; font-weight: 600; }"
                       " QPushButton:hover, QToolButton:hover { background: %3; }"
                       " QPushButton:pressed, QToolButton:pressed { background: %4; }"
                       " QPushButton:disabled, QToolButton:disabled { background: %5; color: %6; }")
            .arg(fill.name(), text.name(), fill.lighter(112).name(), fill.darker(115).name(),
                disabled.name(QColor::HexArgb), disabledText.name(QColor::HexArgb)));
    button->setCursor(Qt::PointingHandCursor);
}

void setDestructive(QAbstractButton *button)
{
    button->setStyleSheet(QStringLiteral("QPushButton { color: %1; }").arg(error().name()));
}

void setAlertLook(QMessageBox *box)
{
    box->setIcon(QMessageBox::NoIcon);
    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull())
        box->setIconPixmap(icon.pixmap(48, 48));
    if (auto *title = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        title->setFont(font(Text::Headline));
    if (auto *sentence = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        sentence->setMinimumWidth(320);
        sentence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
}

void setLink(QAbstractButton *button)
{
    const QColor text = brand();
    button->setStyleSheet(
        QStringLiteral("QPushButton, QToolButton { color: %1; border: none; background: transparent;"
                       " padding: 2px 0; }"
                       " QPushButton:hover, QToolButton:hover { text-decoration: underline; }"
                       " QPushButton:pressed, QToolButton:pressed { color: %2; }")
            .arg(text.name(), text.darker(120).name()));
    button->setCursor(Qt::PointingHandCursor);
    if (auto *push = qobject_cast<QPushButton *>(button))
        push->setAutoDefault(false);
}

QString number(qint64 value)
{
    return QLocale().toString(value);
}

QPalette lightPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0xf5, 0xf5, 0xf4));
    p.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0xf2, 0xf2, 0xf1));
    p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xff, 0xf4));
    p.setColor(QPalette::ToolTipText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::PlaceholderText, QColor(0x1d, 0x1d, 0x1f, 0x70));
    p.setColor(QPalette::Text, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Button, QColor(0xfb, 0xfb, 0xfa));
    p.setColor(QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, QColor(0xe8, 0xe8, 0xe6));
    p.setColor(QPalette::Mid, QColor(0xc9, 0xc9, 0xc6));
    p.setColor(QPalette::Dark, QColor(0xa0, 0xa0, 0x9d));
    p.setColor(QPalette::Shadow, QColor(0x60, 0x60, 0x60));
    p.setColor(QPalette::Highlight, Color::brand(Color::Appearance::Light));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, Color::brand(Color::Appearance::Light));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f, 0x60));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x1d, 0x1d, 0x1f, 0x60));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f, 0x60));
    return p;
}

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x26, 0x26, 0x28));
    p.setColor(QPalette::WindowText, QColor(0xec, 0xec, 0xee));
    p.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    p.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2c, 0x2e));
    p.setColor(QPalette::ToolTipBase, QColor(0x3a, 0x3a, 0x3c));
    p.setColor(QPalette::ToolTipText, QColor(0xec, 0xec, 0xee));
    p.setColor(QPalette::PlaceholderText, QColor(0xec, 0xec, 0xee, 0x70));
    p.setColor(QPalette::Text, QColor(0xec, 0xec, 0xee));
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3c));
    p.setColor(QPalette::ButtonText, QColor(0xec, 0xec, 0xee));
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4c));
    p.setColor(QPalette::Midlight, QColor(0x3f, 0x3f, 0x41));
    p.setColor(QPalette::Mid, QColor(0x2f, 0x2f, 0x31));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, Color::brand(Color::Appearance::Dark));
    p.setColor(QPalette::HighlightedText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Link, Color::brand(Color::Appearance::Dark));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xec, 0xec, 0xee, 0x60));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0xec, 0xec, 0xee, 0x60));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0xec, 0xec, 0xee, 0x60));
    return p;
}

void apply()
{
    // The platform's palette, before Fusion replaces it, tells whether the
    // desktop is dark.
    const bool systemDark = QApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
    QApplication::setStyle(new AppStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
    if (QFontDatabase::families().contains(QLatin1String(interfaceFamily))) {
        QFont f(QString::fromLatin1(interfaceFamily));
        f.setPixelSize(13);
        QApplication::setFont(f);
    }
    if (qEnvironmentVariableIsSet("QUORVEL_APPEARANCE")) {
        QApplication::setPalette(qEnvironmentVariable("QUORVEL_APPEARANCE") == QLatin1String("dark")
                ? darkPalette()
                : lightPalette());
    } else {
        QApplication::setPalette(systemDark ? darkPalette() : lightPalette());
    }
    qApp->setStyleSheet(controlSheet());
}

QString controlSheet()
{
    // Fusion's buttons are small and square beside the prominent one, and its
    // fields lose their frame on a dark palette; these are the desktop's
    // rounded bezel buttons and framed fields, in the palette's colours.
    const bool dark = appearance() == Color::Appearance::Dark;
    const QPalette palette = QApplication::palette();
    const QColor face = dark ? QColor(0x3a, 0x3a, 0x3c) : QColor(Qt::white);
    const QColor border = dark ? QColor(255, 255, 255, 0x22) : QColor(0, 0, 0, 0x2a);
    const QColor hover = dark ? face.lighter(115) : QColor(0xf4, 0xf4, 0xf3);
    const QColor pressed = dark ? face.lighter(135) : QColor(0xe6, 0xe6, 0xe4);
    QColor focus = brand();
    focus.setAlphaF(0.7);
    const QString fields
        = QStringLiteral("QLineEdit { background: %1; border: 1px solid %2; border-radius: 5px;"
                         " padding: 3px 6px; selection-background-color: %3; }"
                         " QLineEdit:focus { border-color: %4; }"
                         " QLineEdit:disabled { color: %5; }")
              .arg(palette.color(QPalette::Base).name(), border.name(QColor::HexArgb), brand().name(),
                  focus.name(QColor::HexArgb),
                  palette.color(QPalette::Disabled, QPalette::Text).name(QColor::HexArgb));
    return fields
        + QStringLiteral(" QPushButton { background: %1; color: %2; border: 1px solid %3; border-radius: 6px;"
                         " padding: 4px 14px; min-height: 18px; }"
                         " QPushButton:hover { background: %4; }"
                         " QPushButton:pressed { background: %5; }"
                         " QPushButton:focus { border-color: %6; }"
                         " QPushButton:disabled { color: %7; }"
                         " QPushButton:flat { border: none; background: transparent; }")
              .arg(face.name(), palette.color(QPalette::ButtonText).name(), border.name(QColor::HexArgb),
                  hover.name(), pressed.name(), focus.name(QColor::HexArgb),
                  palette.color(QPalette::Disabled, QPalette::ButtonText).name(QColor::HexArgb));
}

} // namespace Style
