#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QString>
#include <QStringList>

class QPainter;
class QPaintDevice;

// Text on the share cards, measured in card points (a story card is 360 x
// 640) on whatever the card is painted on: the screen, a PNG, a video
// frame. Qt 6.4 has no font features, so equal-width digits are set by
// hand, and every face lists the colour emoji font, without which emoji
// come out monochrome.
namespace CardText {

enum class Digits { Proportional, Tabular };

// A face whose pixel size is size card points on device, whatever its
// resolution; tracking is extra space after each character, in points.
QFont font(const QPaintDevice *device, const QString &family, qreal size,
    QFont::Weight weight = QFont::Normal, bool italic = false, qreal tracking = 0);

// The same face at another size.
QFont resized(const QPaintDevice *device, const QFont &font, qreal size);

QFontMetricsF metrics(const QPaintDevice *device, const QFont &font);

qreal width(
    const QPaintDevice *device, const QFont &font, const QString &text, Digits digits = Digits::Proportional);

// One line from its baseline's start.
void draw(QPainter &painter, const QFont &font, QPointF baseline, const QString &text,
    Digits digits = Digits::Proportional);

// The text cut to width, with an ellipsis when it had to be cut.
QString elided(const QPaintDevice *device, const QFont &font, const QString &text, qreal width);

// A text wrapped to a width in at most maxLines lines, the last one cut
// with an ellipsis when the text runs longer.
struct Paragraph
{
    QFont font;
    QStringList lines;
    // True when the text needed more lines than it may have.
    bool cut = false;

    qreal height(const QPaintDevice *device) const;
    // Draws the lines from the top-left corner, each centred in width when
    // asked; returns the height used.
    qreal draw(
        QPainter &painter, QPointF topLeft, qreal width = 0, Qt::Alignment alignment = Qt::AlignLeft) const;
};

Paragraph wrap(const QPaintDevice *device, const QFont &font, const QString &text, qreal width, int maxLines);

// The text at the largest size, from size down to size * minimumScale,
// that fits width in maxLines lines; at the smallest size, cut.
Paragraph shrinkToFit(const QPaintDevice *device, const QFont &font, qreal size, const QString &text,
    qreal width, int maxLines, qreal minimumScale);

} // namespace CardText
