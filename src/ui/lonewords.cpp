#include "lonewords.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QTextLayout>

namespace {

// How the lines fall at a width: their number, and whether the last one
// holds a single word.
struct Fall
{
    int lines = 0;
    bool loneWord = false;
};

Fall fallAt(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    Fall fall;
    QTextLine last;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        last = line;
        ++fall.lines;
    }
    layout.endLayout();
    if (fall.lines >= 2)
        fall.loneWord = !text.mid(last.textStart(), last.textLength()).trimmed().contains(QLatin1Char(' '));
    return fall;
}

// Keeps a label's text clear of a lone last word as the label changes size.
class Guard : public QObject
{
public:
    using QObject::QObject;

    static void adjust(QLabel *label)
    {
        const int whole = label->width();
        const int laid = LoneWords::width(label->text(), label->font(), whole);
        const int spare = whole - laid;
        if (label->alignment() & Qt::AlignHCenter)
            label->setContentsMargins(spare / 2, 0, spare - spare / 2, 0);
        else
            label->setContentsMargins(0, 0, spare, 0);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            adjust(static_cast<QLabel *>(watched));
        return false;
    }
};

} // namespace

namespace LoneWords {

int width(const QString &text, const QFont &font, int width)
{
    if (width <= 0 || text.contains(QLatin1Char('\n')))
        return width;
    const Fall wide = fallAt(text, font, width);
    if (!wide.loneWord)
        return width;
    // Narrowing pushes words down a line at a time: below the width given
    // lie the widths that still end on a lone word, then those that end on
    // two or more, then those that need another line. The widest of the
    // middle band is the answer.
    int low = width / 2;
    int high = width - 1;
    int found = width;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const Fall fall = fallAt(text, font, middle);
        if (fall.lines > wide.lines) {
            low = middle + 1;
        } else if (fall.loneWord) {
            high = middle - 1;
        } else {
            found = middle;
            low = middle + 1;
        }
    }
    return found;
}

void avoid(QLabel *label)
{
    if (!label->findChild<Guard *>(QString(), Qt::FindDirectChildrenOnly))
        label->installEventFilter(new Guard(label));
    Guard::adjust(label);
}

} // namespace LoneWords
