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
};

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

Laid lay(const ClampedText::Block &block, int width)
{
    width = std::max(width, 1);
    QString text = block.text;
    // Line feeds break lines; a layout knows only the Unicode separator.
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    Laid laid;
    laid.whole = layoutOf(text, block.font, block.formats, block.alignment);
    const int cut = layLines(*laid.whole, width, block.maxLines, laid.wholeHeight);
    if (cut < 0) {
        laid.height = laid.wholeHeight;
        return laid;
    }
    QString head = text.left(cut);
    if (head.endsWith(QChar::LineSeparator))
        head.chop(1);
    laid.whole.reset();
    laid.wholeHeight = 0;
    if (cut > 0) {
        laid.whole = layoutOf(head, block.font, within(block.formats, 0, int(head.size())), block.alignment);
        layLines(*laid.whole, width, 0, laid.wholeHeight);
    }
    QString rest = text.mid(cut);
    rest.replace(QChar::LineSeparator, QLatin1Char(' '));
    const QString shown = QFontMetrics(block.font).elidedText(rest, Qt::ElideRight, width);
    laid.cut = layoutOf(shown, block.font, within(block.formats, cut, int(shown.size())), block.alignment);
    qreal cutHeight = 0;
    // Highlights can make the elided line a little wider than the metrics
    // said; a leading line gets room so that it never wraps, an aligned one
    // keeps the width it is aligned in.
    const bool leading = !(block.alignment & (Qt::AlignRight | Qt::AlignHCenter));
    layLines(*laid.cut, leading ? width * 2 : width, 1, cutHeight);
    laid.height = laid.wholeHeight + cutHeight;
    return laid;
}

} // namespace

namespace ClampedText {

int height(const Block &block, int width)
{
    return int(std::ceil(lay(block, width).height));
}

void paint(QPainter &painter, const QPointF &topLeft, int width, const Block &block)
{
    const Laid laid = lay(block, width);
    if (laid.whole)
        laid.whole->draw(&painter, topLeft);
    if (laid.cut)
        laid.cut->draw(&painter, topLeft + QPointF(0, laid.wholeHeight));
}

} // namespace ClampedText
