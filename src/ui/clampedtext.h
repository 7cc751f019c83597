#pragma once

#include <QFont>
#include <QList>
#include <QString>
#include <QTextLayout>

class QPainter;

// Plain text in at most a few lines, the last one ending in "…" when the
// text goes on: how message texts show in lists and sheets. Never rich
// text: a message reading "<b>x</b>" shows exactly that.
namespace ClampedText {

struct Block
{
    QString text;
    QFont font;
    int maxLines = 1;
    // Extra formats over the text (search highlights), by character.
    QList<QTextLayout::FormatRange> formats;
    // How each line sits in the width: leading, centred or trailing.
    Qt::Alignment alignment = Qt::AlignLeft;
    // Characters that must show, from keepFrom up to keepTo: when the lines
    // would end before them, the text shows from a few words before them,
    // after an ellipsis. -1: show from the start whatever the lines hold.
    int keepFrom = -1;
    int keepTo = -1;
};

int height(const Block &block, int width);
// What the lines read, ellipses included, a line feed between lines.
QString shownText(const Block &block, int width);
// Draws in the painter's pen colour.
void paint(QPainter &painter, const QPointF &topLeft, int width, const Block &block);

} // namespace ClampedText
