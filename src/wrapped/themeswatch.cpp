#include "themeswatch.h"

#include "ui/accessibility.h"
#include "ui/focushalo.h"
#include "ui/style.h"

#include <QConicalGradient>
#include <QPainter>

ThemeSwatch::ThemeSwatch(WrappedSettings::Theme theme, QWidget *parent)
    : QAbstractButton(parent)
    , m_theme(theme)
{
    Accessibility::setKind(this, Accessibility::Kind::Choice);
    setFixedSize(26, 26);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    const QString name = WrappedSettings::themeName(theme);
    setToolTip(name.left(1).toUpper() + name.mid(1));
    setAccessibleName(toolTip());
    setCheckable(true);
    FocusHalo::follow(this, width() / 2.0);
}

void ThemeSwatch::setLook(const WrappedSettings &settings)
{
    WrappedSettings shown = settings;
    shown.theme = m_theme;
    m_palette = shown.palette();
    setChecked(settings.theme == m_theme);
    update();
}

void ThemeSwatch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(Qt::NoPen);
    if (m_theme == WrappedSettings::Theme::Custom) {
        QConicalGradient wheel(face.center(), 0);
        const QList<QColor> colours { Qt::red, Qt::yellow, Qt::green, Qt::blue, QColor(0x80, 0x00, 0x80) };
        for (int i = 0; i < colours.size(); ++i)
            wheel.setColorAt(i / qreal(colours.size()), colours[i]);
        wheel.setColorAt(1, Qt::red);
        painter.setBrush(wheel);
        painter.drawEllipse(face);
    } else {
        painter.setBrush(m_palette.background);
        painter.drawEllipse(face);
        painter.setBrush(m_palette.accent);
        painter.drawEllipse(QRectF(0, 0, 9, 9).translated(face.center() - QPointF(4.5, 4.5)));
    }
    const bool current = isChecked();
    QColor ring = current ? Style::brand() : Style::color(Style::Tone::Secondary, palette());
    if (!current)
        ring.setAlphaF(0.3f);
    const qreal width = current ? 2 : 1;
    painter.setPen(QPen(ring, width));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2));
}
