#include "clampedtext.h"

#include <QPainter>
#include <QTextOption>
#include <memory>

namespace {

// The text laid out: the lines shown whole, then at most one line cut
// short with an ellipsis.
struct Laid
{
    std::unique_ptr<QTextLayout> whole;
    std::unique_ptr<QTextLayout> cut;
    qreal wholeHeight = 0;
    qreal height = 0;
    // Where the last character shown whole ends.
    int shownEnd = 0;
    // Room above the first line for marks that rise over the font's
    // ascent, as on capitals: "ZOË" must not be drawn "ZOE".
    qreal headroom = 0;
};

// Where an excerpt starts: up to two words before at, so the kept words
// come with a little of what leads to them, never across a line break nor
// more than a short phrase back.
int excerptStart(const QString &text, int at)
{
    constexpr int wordsBack = 2;
    constexpr int reach = 32;
    int start = at;
    int words = 0;
    for (int i = at - 1; i >= 0 && at - i <= reach; --i) {
        const QChar c = text.at(i);
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            break;
        if (!c.isSpace() || i + 1 >= at || text.at(i + 1).isSpace())
            continue;
        start = i + 1;
        if (++words == wordsBack)
            return start;
    }
    // Fewer words lead: the line's own start, when it is that near.
    const int lineStart = int(text.lastIndexOf(QChar::LineSeparator, std::max(0, at - 1))) + 1;
    if (at - lineStart <= reach)
        start = lineStart;
    return start;
}

QList<QTextLayout::FormatRange> within(const QList<QTextLayout::FormatRange> &formats, int from, int length)
{
    QList<QTextLayout::FormatRange> result;
    for (QTextLayout::FormatRange range : formats) {
        const int start = std::max(range.start, from);
        const int end = std::min(range.start + range.length, from + length);
        if (end <= start)
            continue;
        range.start = start - from;
        range.length = end - start;
        result.append(range);
    }
    return result;
}

std::unique_ptr<QTextLayout> layoutOf(const QString &text, const QFont &font,
    const QList<QTextLayout::FormatRange> &formats, Qt::Alignment alignment)
{
    auto layout = std::make_unique<QTextLayout>(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setAlignment(alignment & Qt::AlignHorizontal_Mask);
    layout->setTextOption(option);
    layout->setFormats(formats);
    return layout;
}

// Lays out lines until maxLines; returns where the text was cut, or -1.
int layLines(QTextLayout &layout, int width, int maxLines, qreal &height)
{
    int lines = 0;
    int cut = -1;
    height = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (maxLines > 0 && lines == maxLines - 1
            && line.textStart() + line.textLength() < layout.text().length()) {
            cut = line.textStart();
            // Unplaced, it draws nowhere; the layout is laid out again below.
            break;
        }
        line.setPosition(QPointF(0, height));
        height += line.height();
        ++lines;
    }
    layout.endLayout();
    return cut;
}

Laid layText(const QString &text, const QList<QTextLayout::FormatRange> &formats,
    const ClampedText::Block &block, int width)
{
    Laid laid;
    laid.whole = layoutOf(text, block.font, formats, block.alignment);
    const int cut = layLines(*laid.whole, width, block.maxLines, laid.wholeHeight);
    if (cut < 0) {
        laid.height = laid.wholeHeight;
        laid.shownEnd = int(text.size());
        return laid;
    }
    QString head = text.left(cut);
    if (head.endsWith(QChar::LineSeparator))
        head.chop(1);
    laid.whole.reset();
    laid.wholeHeight = 0;
    if (cut > 0) {
        laid.whole = layoutOf(head, block.font, within(formats, 0, int(head.size())), block.alignment);
        layLines(*laid.whole, width, 0, laid.wholeHeight);
    }
    QString rest = text.mid(cut);
    rest.replace(QChar::LineSeparator, QLatin1Char(' '));
    const QString shown = QFontMetrics(block.font).elidedText(rest, Qt::ElideRight, width);
    laid.cut = layoutOf(shown, block.font, within(formats, cut, int(shown.size())), block.alignment);
    laid.shownEnd = cut + int(shown.size()) - (shown == rest ? 0 : 1);
    qreal cutHeight = 0;
    // Highlights can make the elided line a little wider than the metrics
    // said; a leading line gets room so that it never wraps, an aligned one
    // keeps the width it is aligned in.
    const bool leading = !(block.alignment & (Qt::AlignRight | Qt::AlignHCenter));
    layLines(*laid.cut, leading ? width * 2 : width, 1, cutHeight);
    laid.height = laid.wholeHeight + cutHeight;
    return laid;
}

// The text from from on, after an ellipsis.
Laid layExcerpt(const QString &text, int from, const ClampedText::Block &block, int width)
{
    const QString ellipsis(QChar(0x2026));
    QList<QTextLayout::FormatRange> formats = within(block.formats, from, int(text.size()) - from);
    for (QTextLayout::FormatRange &range : formats)
        range.start += int(ellipsis.size());
    return layText(ellipsis + text.mid(from), formats, block, width);
}

// How far the ink of the first line rises above its ascent.
qreal headroomOf(const Laid &laid, const QFont &font)
{
    const QTextLayout *layout = laid.whole ? laid.whole.get() : laid.cut.get();
    if (!layout || layout->lineCount() == 0)
        return 0;
    const QTextLine line = layout->lineAt(0);
    const QString text = layout->text().mid(line.textStart(), line.textLength());
    const qreal top = QFontMetricsF(font).tightBoundingRect(text).top();
    return std::max<qreal>(0, std::ceil(-top - line.ascent()));
}

Laid layClamped(const ClampedText::Block &block, int width)
{
    width = std::max(width, 1);
    QString text = block.text;
    // Line feeds break lines; a layout knows only the Unicode separator.
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    Laid laid = layText(text, block.formats, block, width);
    if (block.keepFrom <= 0 || block.keepTo <= laid.shownEnd || block.keepFrom >= text.size())
        return laid;
    const int lead = excerptStart(text, block.keepFrom);
    Laid excerpt = layExcerpt(text, lead, block, width);
    if (excerpt.cut)
        return excerpt;
    // The message ends within the lines: they show its end, beginning as
    // early as still fits, rather than a short tail under empty room.
    QList<int> starts;
    for (int i = 1; i < lead; ++i) {
        if (!text.at(i).isSpace() && text.at(i - 1).isSpace())
            starts.append(i);
    }
    qsizetype fits = starts.size();
    qsizetype low = 0;
    while (low < fits) {
        const qsizetype middle = (low + fits) / 2;
        if (layExcerpt(text, starts.at(middle), block, width).cut)
            low = middle + 1;
        else
            fits = middle;
    }
    return fits < starts.size() ? layExcerpt(text, starts.at(fits), block, width) : std::move(excerpt);
}

Laid lay(const ClampedText::Block &block, int width)
{
    Laid laid = layClamped(block, width);
    laid.headroom = headroomOf(laid, block.font);
    laid.height += laid.headroom;
    return laid;
}

QString linesOf(const QTextLayout &layout)
{
    QStringList lines;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        QString text = layout.text().mid(line.textStart(), line.textLength());
        text.remove(QChar::LineSeparator);
        lines << text.trimmed();
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

namespace ClampedText {

int height(const Block &block, int width)
{
    return int(std::ceil(lay(block, width).height));
}

QString shownText(const Block &block, int width)
{
    const Laid laid = lay(block, width);
    QStringList parts;
    if (laid.whole)
        parts << linesOf(*laid.whole);
    if (laid.cut)
        parts << linesOf(*laid.cut);
    return parts.join(QLatin1Char('\n'));
}

void paint(QPainter &painter, const QPointF &topLeft, int width, const Block &block)
{
    const Laid laid = lay(block, width);
    const QPointF origin = topLeft + QPointF(0, laid.headroom);
    if (laid.whole)
        laid.whole->draw(&painter, origin);
    if (laid.cut)
        laid.cut->draw(&painter, origin + QPointF(0, laid.wholeHeight));
}

} // namespace ClampedText
