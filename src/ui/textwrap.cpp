#include "textwrap.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QStringList>
#include <QTextLayout>

namespace {

// How the lines fall at a width: their number, and whether the last one
// holds a single word.
struct Fall
{
    int lines = 0;
    bool loneWord = false;
};

// The text of each line, in order, when text wraps at word boundaries
// within width.
QStringList linesAt(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

Fall fallAt(const QString &text, const QFont &font, int width)
{
    const QStringList lines = linesAt(text, font, width);
    Fall fall;
    fall.lines = int(lines.size());
    if (fall.lines >= 2)
        fall.loneWord = !lines.last().contains(QLatin1Char(' '));
    return fall;
}

// The narrowest width that keeps the number of lines.
int balanced(const QString &text, const QFont &font, int width, int lines)
{
    int low = width / 2;
    int high = width;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (fallAt(text, font, middle).lines > lines)
            low = middle + 1;
        else
            high = middle;
    }
    return high;
}

// The widest narrower width that keeps the number of lines and ends on two
// words. Narrowing pushes words down a line at a time: below the width
// given lie the widths that still end on a lone word, then those that end
// on two or more, then those that need another line.
int withoutLoneWord(const QString &text, const QFont &font, int width, int lines)
{
    int low = width / 2;
    int high = width - 1;
    int found = width;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const Fall fall = fallAt(text, font, middle);
        if (fall.lines > lines) {
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

// Keeps a label's lines as asked as the label changes size.
class Keeper : public QObject
{
public:
    // Found again by its name: without a meta-object of its own, a cast
    // would take any child of the label (a selectable label has a text
    // control) for the keeper.
    static constexpr const char *name = "textWrapKeeper";

    Keeper(TextWrap::Lines lines, QLabel *label)
        : QObject(label)
        , m_lines(lines)
    {
        setObjectName(QLatin1String(name));
    }

    void setLines(TextWrap::Lines lines) { m_lines = lines; }

    void adjust(QLabel *label) const
    {
        // The sides are the keeper's; the top and bottom stay the label's own.
        const QMargins own = label->contentsMargins();
        const int whole = label->width();
        const int spare = whole - TextWrap::width(label->text(), label->font(), whole, m_lines);
        if (label->alignment() & Qt::AlignHCenter)
            label->setContentsMargins(spare / 2, own.top(), spare - spare / 2, own.bottom());
        else
            label->setContentsMargins(0, own.top(), spare, own.bottom());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            adjust(static_cast<QLabel *>(watched));
        return false;
    }

private:
    TextWrap::Lines m_lines;
};

} // namespace

namespace TextWrap {

int width(const QString &text, const QFont &font, int width, Lines lines)
{
    if (width <= 0 || text.contains(QLatin1Char('\n')))
        return width;
    const Fall wide = fallAt(text, font, width);
    if (wide.lines < 2)
        return width;
    if (lines == Lines::Balanced)
        return balanced(text, font, width, wide.lines);
    return wide.loneWord ? withoutLoneWord(text, font, width, wide.lines) : width;
}

QString broken(const QString &text, const QFont &font, int width, Lines lines)
{
    if (text.contains(QLatin1Char('\n')))
        return text;
    return linesAt(text, font, TextWrap::width(text, font, width, lines)).join(QLatin1Char('\n'));
}

void keep(QLabel *label, Lines lines)
{
    auto *keeper = static_cast<Keeper *>(
        label->findChild<QObject *>(QLatin1String(Keeper::name), Qt::FindDirectChildrenOnly));
    if (!keeper) {
        keeper = new Keeper(lines, label);
        label->installEventFilter(keeper);
    }
    keeper->setLines(lines);
    keeper->adjust(label);
}

} // namespace TextWrap
