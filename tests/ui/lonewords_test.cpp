// Wrapped captions never end on a word alone.
#include "ui/lonewords.h"
#include "ui/style.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QLabel>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

const QString soon
    = QStringLiteral("Your photos printed in colour, in the line where they were sent. Coming soon.");

// The lines of text wrapped at width, as words each.
QList<QStringList> linesAt(const QString &text, const QFont &font, int width)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QList<QStringList> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(
            text.mid(line.textStart(), line.textLength()).split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    layout.endLayout();
    return lines;
}

// A width at which text ends on a lone word, from the widest down.
int loneWidth(const QString &text, const QFont &font)
{
    for (int width = 600; width > 60; --width) {
        const QList<QStringList> lines = linesAt(text, font, width);
        if (lines.size() >= 2 && lines.last().size() == 1)
            return width;
    }
    return 0;
}

} // namespace

TEST(LoneWords, ATextEndingOnALoneWordIsWrappedNarrowerToEndOnTwo)
{
    const QFont font = Style::font(Style::Text::Caption);
    const int lone = loneWidth(soon, font);
    ASSERT_GT(lone, 0);
    const int width = LoneWords::width(soon, font, lone);
    EXPECT_LT(width, lone);
    const QList<QStringList> lines = linesAt(soon, font, width);
    EXPECT_EQ(lines.size(), linesAt(soon, font, lone).size());
    EXPECT_GE(lines.last().size(), 2);
    // The widest such width: a pixel more ends on the lone word again.
    EXPECT_EQ(linesAt(soon, font, width + 1).last().size(), 1);

    // What doesn't end alone keeps its width: one line, or a good last line.
    EXPECT_EQ(LoneWords::width(QStringLiteral("Coming soon."), font, 400), 400);
    EXPECT_EQ(LoneWords::width(soon, font, 2000), 2000);
    // A single word can't be helped.
    EXPECT_EQ(LoneWords::width(QStringLiteral("Supercalifragilistic"), font, 20), 20);
}

TEST(LoneWords, ALabelKeepsItsWidthAndWrapsItsTextNarrower)
{
    QLabel *label = Style::label(soon, Style::Text::Caption);
    QWidget holder;
    label->setParent(&holder);
    holder.resize(2100, 200);
    holder.show();
    const int lone = loneWidth(soon, label->font());
    ASSERT_GT(lone, 0);
    label->resize(lone, 100);
    LoneWords::avoid(label);
    EXPECT_EQ(label->width(), lone);
    EXPECT_EQ(label->contentsRect().width(), LoneWords::width(soon, label->font(), lone));
    // Wide enough for one line again: the whole width.
    label->resize(2000, 100);
    EXPECT_EQ(label->contentsRect().width(), 2000);
    // Centred text keeps its middle.
    label->setAlignment(Qt::AlignCenter);
    label->resize(lone, 100);
    EXPECT_EQ(label->contentsMargins().left(), (lone - LoneWords::width(soon, label->font(), lone)) / 2);
}
