#include "cardtext.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <cmath>

namespace CardText {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The text in runs of digits and runs of everything else.
QList<QStringView> runs(QStringView text)
{
    QList<QStringView> made;
    qsizetype start = 0;
    for (qsizetype i = 1; i <= text.size(); ++i) {
        if (i == text.size() || isDigit(text[i]) != isDigit(text[start])) {
            made.append(text.mid(start, i - start));
            start = i;
        }
    }
    return made;
}

qreal digitCell(const QFontMetricsF &metrics)
{
    qreal widest = 0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit)
        widest = std::max(widest, metrics.horizontalAdvance(QChar(digit)));
    return widest;
}

} // namespace

QFont font(const QPaintDevice *device, const QString &family, qreal size, QFont::Weight weight, bool italic,
    qreal tracking)
{
    QFont made;
    made.setFamilies({ family, QStringLiteral("Noto Color Emoji") });
    made.setWeight(weight);
    made.setItalic(italic);
    // Unhinted, so that a card measures the same at every scale it is drawn.
    made.setHintingPreference(QFont::PreferNoHinting);
    if (tracking != 0)
        made.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    return resized(device, made, size);
}

QFont resized(const QPaintDevice *device, const QFont &font, qreal size)
{
    QFont made = font;
    // Points of the device's resolution, so that one font pixel is one
    // card point on the screen and in a picture alike.
    made.setPointSizeF(std::max(size, 0.01) * 72.0 / device->logicalDpiY());
    return made;
}

QFontMetricsF metrics(const QPaintDevice *device, const QFont &font)
{
    return QFontMetricsF(font, device);
}

qreal width(const QPaintDevice *device, const QFont &font, const QString &text, Digits digits)
{
    const QFontMetricsF m = metrics(device, font);
    if (digits == Digits::Proportional)
        return m.horizontalAdvance(text);
    const qreal cell = digitCell(m);
    qreal total = 0;
    for (const QStringView run : runs(text))
        total += isDigit(run.front()) ? cell * run.size() : m.horizontalAdvance(run.toString());
    return total;
}

void draw(QPainter &painter, const QFont &font, QPointF baseline, const QString &text, Digits digits)
{
    painter.setFont(font);
    if (digits == Digits::Proportional) {
        painter.drawText(baseline, text);
        return;
    }
    const QFontMetricsF m = metrics(painter.device(), font);
    const qreal cell = digitCell(m);
    qreal x = baseline.x();
    for (const QStringView run : runs(text)) {
        if (!isDigit(run.front())) {
            const QString part = run.toString();
            painter.drawText(QPointF(x, baseline.y()), part);
            x += m.horizontalAdvance(part);
            continue;
        }
        for (const QChar digit : run) {
            painter.drawText(
                QPointF(x + (cell - m.horizontalAdvance(digit)) / 2, baseline.y()), QString(digit));
            x += cell;
        }
    }
}

QString elided(const QPaintDevice *device, const QFont &font, const QString &text, qreal width)
{
    return metrics(device, font).elidedText(text, Qt::ElideRight, width);
}

qreal Paragraph::height(const QPaintDevice *device) const
{
    return lines.size() * metrics(device, font).lineSpacing();
}

qreal Paragraph::draw(QPainter &painter, QPointF topLeft, qreal width, Qt::Alignment alignment) const
{
    const QFontMetricsF m = metrics(painter.device(), font);
    painter.setFont(font);
    qreal y = topLeft.y();
    for (const QString &line : lines) {
        qreal x = topLeft.x();
        if (alignment & Qt::AlignHCenter)
            x += (width - m.horizontalAdvance(line)) / 2;
        painter.drawText(QPointF(x, y + m.ascent()), line);
        y += m.lineSpacing();
    }
    return y - topLeft.y();
}

Paragraph wrap(const QPaintDevice *device, const QFont &font, const QString &text, qreal width, int maxLines)
{
    Paragraph paragraph { font, {}, false };
    if (text.isEmpty())
        return paragraph;
    QString laidOut = text;
    laidOut.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(laidOut, font, const_cast<QPaintDevice *>(device));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QList<std::pair<int, int>> ranges;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ranges.append({ line.textStart(), line.textLength() });
    }
    layout.endLayout();
    const auto lineText = [&](int start, int length) {
        QString part = laidOut.mid(start, length);
        while (!part.isEmpty() && (part.back().isSpace() || part.back() == QChar::LineSeparator))
            part.chop(1);
        return part;
    };
    for (qsizetype i = 0; i < ranges.size() && i < maxLines - 1; ++i)
        paragraph.lines.append(lineText(ranges[i].first, ranges[i].second));
    if (ranges.size() <= maxLines) {
        if (ranges.size() == maxLines)
            paragraph.lines.append(lineText(ranges.last().first, ranges.last().second));
        return paragraph;
    }
    // The rest of the text on the last line allowed, cut to its width.
    const int restStart = ranges[maxLines - 1].first;
    QString rest = laidOut.mid(restStart);
    rest.replace(QChar::LineSeparator, u' ');
    paragraph.lines.append(elided(device, font, rest, width));
    paragraph.cut = true;
    return paragraph;
}

Paragraph shrinkToFit(const QPaintDevice *device, const QFont &font, qreal size, const QString &text,
    qreal width, int maxLines, qreal minimumScale)
{
    for (qreal scale = 1; scale > minimumScale; scale -= 0.025) {
        const Paragraph paragraph = wrap(device, resized(device, font, size * scale), text, width, maxLines);
        if (!paragraph.cut)
            return paragraph;
    }
    return wrap(device, resized(device, font, size * minimumScale), text, width, maxLines);
}

} // namespace CardText
