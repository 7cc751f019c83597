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
};

int height(const Block &block, int width);
// Draws in the painter's pen colour.
void paint(QPainter &painter, const QPointF &topLeft, int width, const Block &block);

} // namespace ClampedText
