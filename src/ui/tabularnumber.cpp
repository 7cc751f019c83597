#include "tabularnumber.h"

#include <QPainter>

TabularNumber::TabularNumber(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

qreal TabularNumber::digitWidth() const
{
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (char c = '0'; c <= '9'; ++c)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(c)));
    return widest;
}

qreal TabularNumber::advance(QChar c) const
{
    return c.isDigit() ? digitWidth() : QFontMetricsF(font()).horizontalAdvance(c);
}

qreal TabularNumber::textWidth() const
{
    qreal width = 0;
    for (const QChar c : text())
        width += advance(c);
    return width;
}

QSize TabularNumber::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return { int(std::ceil(textWidth())) + 1, int(std::ceil(metrics.height())) };
}

void TabularNumber::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF metrics(font());
    qreal x = alignment() & Qt::AlignRight ? width() - textWidth() : 0;
    const qreal baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    for (const QChar c : text()) {
        const qreal cell = advance(c);
        // A digit sits in the middle of its cell.
        const qreal inset = c.isDigit() ? (cell - metrics.horizontalAdvance(c)) / 2 : 0;
        painter.drawText(QPointF(x + inset, baseline), QString(c));
        x += cell;
    }
}
