#include "style.h"

#include "appstyle.h"
#include "controlpainter.h"
#include "icons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QToolTip>
#include <cmath>

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

// The interface face: Inter when the system has it, else the system's.
const char *const interfaceFamily = "Inter";
// Named after every face the app draws words in: a face missing an emoji
// falls back to it before the system's fallback, which finds a face that
// draws emoji in one colour (DejaVu Sans) first.
const char *const emojiFamily = "Noto Color Emoji";

QFont withEmoji(QFont font)
{
    font.setFamilies({ font.family(), QString::fromLatin1(emojiFamily) });
    return font;
}

// How much of the text colour the faintest tone keeps; placeholders too.
constexpr qreal tertiaryAlpha = 0.66;

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QColor over(QColor top, qreal alpha, const QColor &below)
{
    const auto mix = [alpha](int a, int b) { return int(std::lround(alpha * a + (1 - alpha) * b)); };
    return QColor(
        mix(top.red(), below.red()), mix(top.green(), below.green()), mix(top.blue(), below.blue()));
}

constexpr qreal tintAlpha = 0.12;
constexpr qreal selectionAlpha = 0.12;

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
    QFont f = withEmoji(QFont(family));
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
    // The faintest that still reads at 4.5:1 on the darkest surface of
    // each appearance, a chosen row; secondary a clear step above it.
    case Tone::Secondary:
        text.setAlphaF(0.74);
        return text;
    case Tone::Tertiary:
        text.setAlphaF(tertiaryAlpha);
        return text;
    case Tone::Quaternary:
        text.setAlphaF(0.12);
        return text;
    }
    return text;
}

QColor surface(Surface surface)
{
    return Style::surface(surface, QApplication::palette());
}

QColor surface(Surface surface, const QPalette &palette)
{
    const bool dark = isDark(palette);
    const QColor window = palette.color(QPalette::Window);
    const QColor base = palette.color(QPalette::Base);
    switch (surface) {
    case Surface::Window:
        return window;
    case Surface::Content:
        return base;
    case Surface::Card:
        return dark ? window.lighter(122) : base;
    case Surface::Section:
        return palette.color(dark ? QPalette::AlternateBase : QPalette::Base);
    case Surface::Band:
        return dark ? window.lighter(118) : window.darker(104);
    case Surface::Field:
        return ControlPainter::colors(palette).field;
    case Surface::Popup:
        return ControlPainter::colors(palette).popup;
    case Surface::Selection:
        return over(palette.color(QPalette::WindowText), selectionAlpha, window);
    case Surface::Tint:
        return over(Color::brand(dark ? Color::Appearance::Dark : Color::Appearance::Light), tintAlpha, base);
    }
    return window;
}

Color::Appearance appearance()
{
    return isDark(QApplication::palette()) ? Color::Appearance::Dark : Color::Appearance::Light;
}

QColor brand()
{
    return Color::brand(appearance());
}

QColor backdrop(const QWidget *widget)
{
    for (const QWidget *at = widget; at; at = at->parentWidget()) {
        if (at->autoFillBackground() || at->isWindow())
            return at->palette().color(at->backgroundRole());
    }
    // Only a widget's window ends the walk: never reached.
    return QApplication::palette().color(QPalette::Window);
}

QColor cardFill()
{
    return surface(Surface::Card);
}

QColor cardEdge()
{
    QColor edge = color(Tone::Primary);
    edge.setAlphaF(appearance() == Color::Appearance::Dark ? 0.10 : 0.09);
    return edge;
}

QColor error()
{
    return error(QApplication::palette());
}

QColor error(const QPalette &palette)
{
    return isDark(palette) ? QColor(0xff, 0x80, 0x78) : QColor(0xc8, 0x2a, 0x22);
}

QColor warning()
{
    return warning(QApplication::palette());
}

QColor warning(const QPalette &palette)
{
    return isDark(palette) ? QColor(0xff, 0x9f, 0x0a) : QColor(0x9e, 0x4c, 0x00);
}

void setCaution(QWidget *widget)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, warning());
    p.setColor(QPalette::Text, warning());
    widget->setPalette(p);
}

QColor success()
{
    return success(QApplication::palette());
}

QColor success(const QPalette &palette)
{
    return isDark(palette) ? QColor(0x4c, 0xd9, 0x64) : QColor(0x18, 0x77, 0x33);
}

QColor tint()
{
    QColor wash = brand();
    wash.setAlphaF(tintAlpha);
    return wash;
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

namespace {

const char *const lookProperty = "quorvelLook";
const char *const destructiveProperty = "quorvelDestructive";
const char *const sizeProperty = "quorvelControlSize";

} // namespace

void setLook(QAbstractButton *button, ButtonLook look)
{
    button->setProperty(lookProperty, int(look));
    if (look == ButtonLook::Link || look == ButtonLook::Plain || look == ButtonLook::Chip
        || look == ButtonLook::Prominent)
        button->setCursor(Qt::PointingHandCursor);
    if (auto *push = qobject_cast<QPushButton *>(button); push && look != ButtonLook::Standard)
        push->setAutoDefault(false);
    // A button keeps the size it last worked out until its style changes.
    QEvent changed(QEvent::StyleChange);
    QApplication::sendEvent(button, &changed);
    button->update();
}

ButtonLook look(const QWidget *widget)
{
    const QVariant value = widget ? widget->property(lookProperty) : QVariant();
    return value.isValid() ? ButtonLook(value.toInt()) : ButtonLook::Standard;
}

void setControlSize(QWidget *widget, ControlSize size)
{
    widget->setProperty(sizeProperty, int(size));
    if (size == ControlSize::Small)
        widget->setFont(font(Text::Subheadline));
    widget->updateGeometry();
}

ControlSize controlSize(const QWidget *widget)
{
    const QVariant value = widget ? widget->property(sizeProperty) : QVariant();
    return value.isValid() ? ControlSize(value.toInt()) : ControlSize::Regular;
}

void setProminent(QAbstractButton *button)
{
    QFont bold = button->font();
    bold.setWeight(QFont::DemiBold);
    button->setFont(bold);
    setLook(button, ButtonLook::Prominent);
}

void setDestructive(QAbstractButton *button)
{
    button->setProperty(destructiveProperty, true);
    button->update();
}

bool isDestructive(const QWidget *widget)
{
    return widget && widget->property(destructiveProperty).toBool();
}

void setLink(QAbstractButton *button)
{
    setLook(button, ButtonLook::Link);
}

QIcon appSymbol()
{
    const QIcon icon = QApplication::windowIcon();
    return icon.isNull() ? Icons::icon(QStringLiteral("book.closed"), brand()) : icon;
}

void setAlertLook(QMessageBox *box)
{
    box->setIcon(QMessageBox::NoIcon);
    box->setIconPixmap(appSymbol().pixmap(48, 48));
    if (auto *title = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
        title->setFont(font(Text::Headline));
    if (auto *sentence = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        sentence->setMinimumWidth(320);
        sentence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
}

QString number(qint64 value)
{
    return QLocale().toString(value);
}

QString literal(const QString &text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QPalette lightPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0xf5, 0xf5, 0xf4));
    p.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0xf2, 0xf2, 0xf1));
    p.setColor(QPalette::ToolTipBase, QColor(0xfd, 0xfd, 0xfc));
    p.setColor(QPalette::ToolTipText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::PlaceholderText, color(Tone::Tertiary, p));
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
    p.setColor(QPalette::PlaceholderText, color(Tone::Tertiary, p));
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
    const bool systemDark = isDark(QApplication::palette());
    QApplication::setStyle(new AppStyle);
    // Every widget's face and the type scale derive from this one, so emoji
    // in lists and labels are drawn in colour, as the pages draw them.
    QFont f = QApplication::font();
    if (QFontDatabase::families().contains(QLatin1String(interfaceFamily))) {
        f = QFont(QString::fromLatin1(interfaceFamily));
        f.setPixelSize(13);
    }
    QApplication::setFont(withEmoji(f));
    if (qEnvironmentVariableIsSet("QUORVEL_APPEARANCE"))
        usePalette(qEnvironmentVariable("QUORVEL_APPEARANCE") == QLatin1String("dark") ? darkPalette()
                                                                                       : lightPalette());
    else
        usePalette(systemDark ? darkPalette() : lightPalette());
}

void usePalette(const QPalette &palette)
{
    QApplication::setPalette(palette);
    // Tool tips keep a palette of their own, taken from the platform.
    QToolTip::setPalette(palette);
}

} // namespace Style
