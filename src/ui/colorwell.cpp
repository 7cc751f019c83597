#include "colorwell.h"

#include "style.h"

#include <QColorDialog>
#include <QPainter>

ColorWell::ColorWell(const QString &name, std::function<void(const QColor &)> picked, QWidget *parent)
    : QPushButton(parent)
    , m_name(name)
    , m_picked(std::move(picked))
{
    setAccessibleName(name);
    setToolTip(name);
    setFixedSize(44, 22);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QPushButton::clicked, this, &ColorWell::openPanel);
}

void ColorWell::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    // The well shows its colour only to the eye: a listener hears it said.
    setAccessibleDescription(colour.isValid() ? colour.name(QColor::HexRgb).toUpper() : QString());
    update();
}

void ColorWell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = Style::appearance() == Color::Appearance::Dark;
    painter.setPen(QPen(dark ? QColor(255, 255, 255, 50) : QColor(0, 0, 0, 45), 1));
    painter.setBrush(palette().color(QPalette::Button));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    painter.setBrush(m_colour);
    painter.drawRoundedRect(QRectF(rect()).adjusted(4, 4, -4, -4), 3, 3);
    if (hasFocus()) {
        painter.setPen(QPen(Style::brand(), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 6, 6);
    }
}

void ColorWell::openPanel()
{
    if (m_panel)
        return;
    m_panel = new QColorDialog(m_colour, window());
    m_panel->setAttribute(Qt::WA_DeleteOnClose);
    m_panel->setOption(QColorDialog::DontUseNativeDialog);
    m_panel->setOption(QColorDialog::ShowAlphaChannel, false);
    m_panel->setWindowTitle(m_name);
    m_panel->setWindowModality(Qt::WindowModal);
    connect(m_panel, &QColorDialog::colorSelected, this, [this](const QColor &colour) { m_picked(colour); });
    m_panel->open();
}
