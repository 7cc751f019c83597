// Wrapped captions never end on a word alone, and centred descriptions
// wrap into lines of about one length.
#include "ui/clampedlabel.h"
#include "ui/style.h"
#include "ui/textwrap.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTextLayout>
#include <gtest/gtest.h>

using TextWrap::Lines;

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

TEST(TextWrap, ATextEndingOnALoneWordIsWrappedNarrowerToEndOnTwo)
{
    const QFont font = Style::font(Style::Text::Caption);
    const int lone = loneWidth(soon, font);
    ASSERT_GT(lone, 0);
    const int width = TextWrap::width(soon, font, lone, Lines::NoLoneWord);
    EXPECT_LT(width, lone);
    const QList<QStringList> lines = linesAt(soon, font, width);
    EXPECT_EQ(lines.size(), linesAt(soon, font, lone).size());
    EXPECT_GE(lines.last().size(), 2);
    // The widest such width: a pixel more ends on the lone word again.
    EXPECT_EQ(linesAt(soon, font, width + 1).last().size(), 1);

    // What doesn't end alone keeps its width: one line, or a good last line.
    EXPECT_EQ(TextWrap::width(QStringLiteral("Coming soon."), font, 400, Lines::NoLoneWord), 400);
    EXPECT_EQ(TextWrap::width(soon, font, 2000, Lines::NoLoneWord), 2000);
    // A single word can't be helped.
    EXPECT_EQ(TextWrap::width(QStringLiteral("Supercalifragilistic"), font, 20, Lines::NoLoneWord), 20);
}

TEST(TextWrap, BalancedLinesAreTheNarrowestThatKeepTheirNumber)
{
    const QFont font = Style::font(Style::Text::Body);
    const QString choose
        = QStringLiteral("Pick a conversation to make a book from. Nothing is read until you say so.");
    const int wide = 400;
    const int count = int(linesAt(choose, font, wide).size());
    ASSERT_EQ(count, 2);
    const int width = TextWrap::width(choose, font, wide, Lines::Balanced);
    EXPECT_EQ(linesAt(choose, font, width).size(), count);
    EXPECT_GT(linesAt(choose, font, width - 1).size(), count);
    // The two lines now hold about as many words each.
    const QList<QStringList> lines = linesAt(choose, font, width);
    EXPECT_LE(std::abs(lines.first().size() - lines.last().size()), 3);
    EXPECT_EQ(TextWrap::width(QStringLiteral("Choose someone"), font, wide, Lines::Balanced), wide);
}

TEST(TextWrap, BrokenTextHoldsEveryWordInLinesWithinTheWidth)
{
    const QFont font = Style::font(Style::Text::Body);
    const QFontMetrics metrics(font);
    const QString choose
        = QStringLiteral("Pick a conversation to make a book from. Nothing is read until you say so.");
    const QString lines = TextWrap::broken(choose, font, 200, Lines::Balanced);
    const QStringList rows = lines.split(QLatin1Char('\n'));
    EXPECT_GE(rows.size(), 2);
    EXPECT_EQ(rows.join(QLatin1Char(' ')), choose);
    for (const QString &row : rows)
        EXPECT_LE(metrics.horizontalAdvance(row), 200) << row.toStdString();
    // A text that fits, or already keeps its own lines, stays as it is.
    EXPECT_EQ(TextWrap::broken(QStringLiteral("Choose someone"), font, 200, Lines::Balanced),
        QStringLiteral("Choose someone"));
    EXPECT_EQ(TextWrap::broken(QStringLiteral("One\ntwo three four five six seven eight nine ten"), font, 40,
                  Lines::Balanced),
        QStringLiteral("One\ntwo three four five six seven eight nine ten"));
}

TEST(TextWrap, ALabelKeepsItsWidthAndWrapsItsTextNarrower)
{
    QWidget holder;
    holder.resize(2100, 200);
    holder.show();
    QLabel *label = Style::label(soon, Style::Text::Caption);
    label->setParent(&holder);
    label->show();
    const int lone = loneWidth(soon, label->font());
    ASSERT_GT(lone, 0);
    label->resize(lone, 100);
    TextWrap::keep(label, Lines::NoLoneWord);
    EXPECT_EQ(label->width(), lone);
    EXPECT_EQ(label->contentsRect().width(), TextWrap::width(soon, label->font(), lone, Lines::NoLoneWord));
    // Wide enough for one line again: the whole width.
    label->resize(2000, 100);
    EXPECT_EQ(label->contentsRect().width(), 2000);
    // A selectable label too: it has a child of its own, a text control.
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QLabel *selectable = Style::label(soon, Style::Text::Caption);
    selectable->setParent(&holder);
    selectable->setTextInteractionFlags(Qt::TextSelectableByMouse);
    selectable->show();
    TextWrap::keep(selectable, Lines::NoLoneWord);
    selectable->resize(lone, 100);
    EXPECT_LT(selectable->contentsRect().width(), lone);
    // A label's own top and bottom margins stay.
    label->setContentsMargins(0, 6, 0, 2);
    label->resize(lone + 1, 100);
    label->resize(lone, 100);
    EXPECT_EQ(label->contentsMargins().top(), 6);
    EXPECT_EQ(label->contentsMargins().bottom(), 2);
    // Centred text keeps its middle.
    label->setAlignment(Qt::AlignCenter);
    label->resize(2000, 100);
    label->resize(lone, 100);
    EXPECT_EQ(label->contentsMargins().left(),
        (lone - TextWrap::width(soon, label->font(), lone, Lines::NoLoneWord)) / 2);
}

// A clamped label lays its lines within its contents margins, as a QLabel
// does, so its lines can be kept the same way.
TEST(TextWrap, AClampedLabelWrapsWithinItsMargins)
{
    ClampedLabel label(soon, 3);
    label.setFont(Style::font(Style::Text::Caption));
    const int lone = loneWidth(soon, label.font());
    ASSERT_GT(lone, 0);
    const int plain = label.heightForWidth(lone - 80);
    label.setContentsMargins(0, 0, 80, 0);
    EXPECT_EQ(label.heightForWidth(lone), plain);
    EXPECT_EQ(label.sizeHint().width(), std::min(label.fontMetrics().horizontalAdvance(soon) + 1, 420) + 80);
}
