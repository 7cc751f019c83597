// The lines a message takes on the page, as the book layout sets it: the
// estimate counted 50 characters a line, so messages that the name and the
// time push onto a second line, and days whose heading takes a line of its
// own, went uncounted and a sparse chat printed half as many pages again.
#include "insights/insights.h"
#include "insights/printedlines.h"
#include "insightstest.h"

using namespace Qt::StringLiterals;

namespace {

std::optional<PrintedLines::Opening> openedBy(const QString &name)
{
    return PrintedLines::Opening { PrintedLines::nameWidth(name) };
}

int lines(const QString &text, std::optional<PrintedLines::Opening> opening = std::nullopt,
    const QStringList &media = {}, PrintedLines::Side side = PrintedLines::Side::Mine)
{
    return PrintedLines::ofMessage(text, media, side, opening);
}

int chatLines(const QString &text, const QString &name = u"Maya"_s)
{
    return PrintedLines::ofChatLine(text, {}, PrintedLines::screenNameWidth(name));
}

QList<int> dayLines(const BookFile &book)
{
    QList<int> made;
    for (const Insights::DayCount &day : Insights::read(book).days)
        made.append(day.lines);
    return made;
}

QString repeated(const QString &word, int times)
{
    return QStringList(times, word).join(u' ');
}

} // namespace

// Checked against the typeset book in every face: each of these prints on
// one line alone and on two after the name, with the time after it.
TEST(PrintedLines, TheNameAndTheTimeWrapAMiddlingMessage)
{
    for (const QString &text : { u"bring a jacket, it's cold out there tonight"_s,
             u"the train is stuck again, I'll be there by nine"_s,
             u"I think it went well, call you when I get home"_s }) {
        EXPECT_EQ(lines(text), 1) << text.toStdString();
        EXPECT_EQ(lines(text, openedBy(u"Maya"_s)), 2) << text.toStdString();
    }
    // A short message is set on the whole measure and keeps to one line.
    EXPECT_EQ(lines(u"can't talk, in a meeting"_s, openedBy(u"Alexandrina Montgomery"_s)), 1);
    EXPECT_EQ(lines(u"are you up?"_s, openedBy(u"Maya"_s)), 1);
}

// Everyone else's messages start at one edge, the far margin, short or
// long: a short one no longer has the whole measure to itself.
TEST(PrintedLines, OnlyTheUsersShortMessagesHaveTheWholeMeasure)
{
    const QString text = u"can't talk, in a meeting"_s;
    const auto opened = openedBy(u"Alexandrina Montgomery"_s);
    EXPECT_EQ(lines(text, opened, {}, PrintedLines::Side::Mine), 1);
    EXPECT_EQ(lines(text, opened, {}, PrintedLines::Side::Theirs), 2);
}

// Turnover lines hang an em in from the message's edge, so they hold less:
// nine of these words fill a first line, eight a turnover line.
TEST(PrintedLines, TurnoverLinesHangIn)
{
    EXPECT_EQ(lines(repeated(u"abcd"_s, 9)), 1);
    EXPECT_EQ(lines(repeated(u"abcd"_s, 10)), 2);
    EXPECT_EQ(lines(repeated(u"abcd"_s, 9 + 8)), 2);
    EXPECT_EQ(lines(repeated(u"abcd"_s, 9 + 8 + 1)), 3);
    EXPECT_EQ(lines(repeated(u"abcd"_s, 72)), 9);
}

// A mark is held to the word before it and the time to the mark, so a
// caption that just fills its line takes its last word onto the next.
TEST(PrintedLines, AMarkKeepsToTheWordBeforeIt)
{
    const QString caption = repeated(u"abcd"_s, 9);
    EXPECT_EQ(lines(caption), 1);
    EXPECT_EQ(lines(caption, std::nullopt, { u"photo"_s }), 2);
    EXPECT_EQ(lines(repeated(u"abcd"_s, 6), std::nullopt, { u"photo"_s, u"photo"_s }), 1);
}

// The chat-room layout sets every message after its time and screen name
// on the whole measure, hanging its turnover lines under the name's
// column: a long message takes fewer lines than in the book layout, where
// it keeps to 78% of the measure.
TEST(PrintedLines, TheChatRoomLayoutCountsItsOwnLines)
{
    EXPECT_EQ(chatLines(u"good night"_s), 1);
    EXPECT_EQ(chatLines(QString()), 0);
    EXPECT_EQ(
        PrintedLines::ofChatLine(QString(), { u"photo"_s }, PrintedLines::screenNameWidth(u"Maya"_s)), 1);
    const QString text = repeated(u"abcd"_s, 60);
    EXPECT_EQ(chatLines(text), 7);
    EXPECT_EQ(lines(text, openedBy(u"Maya"_s), {}, PrintedLines::Side::Theirs), 8);
    // The screen name runs the words of a name together in lower case, and
    // a name without letters stays as it is.
    EXPECT_EQ(PrintedLines::screenNameWidth(u"Jordan Lee"_s), PrintedLines::screenNameWidth(u"jordanlee"_s));
    EXPECT_GT(PrintedLines::screenNameWidth(u"!!"_s), PrintedLines::screenNameWidth(QString()));
}

TEST(PrintedLines, ALongerNameWrapsSooner)
{
    const QString text = u"I think it went well, call you later"_s;
    EXPECT_EQ(lines(text, openedBy(u"Al"_s)), 1);
    EXPECT_EQ(lines(text, openedBy(u"Alexandrina Montgomery"_s)), 2);
}

TEST(PrintedLines, EmojiTakeMoreRoomThanLetters)
{
    EXPECT_EQ(lines(u"\U0001F602"_s.repeated(18)), 2);
    EXPECT_EQ(lines(u"abcdefghijklmnopqr"_s), 1);
    // A skin tone, a joined family or a flag is one emoji, not several.
    EXPECT_EQ(lines(u"\U0001F44D\U0001F3FD"_s.repeated(9)), lines(u"\U0001F602"_s.repeated(9)));
    EXPECT_EQ(lines(u"\U0001F469\u200D\u2764\uFE0F\u200D\U0001F468"_s.repeated(9)),
        lines(u"\U0001F602"_s.repeated(9)));
    EXPECT_EQ(lines(u"\U0001F1EB\U0001F1F7"_s.repeated(18)), lines(u"\U0001F602"_s.repeated(18)));
}

TEST(PrintedLines, LineFeedsLinksAndLongTextsTakeTheirLines)
{
    EXPECT_EQ(lines(u"see you\nsoon"_s), 2);
    EXPECT_EQ(lines(u"see you\n\nsoon"_s), 3);
    // A link breaks at its slashes like a word too long for the line (over
    // three lines in every face).
    EXPECT_EQ(
        lines(
            u"https://www.theguardian.com/travel/2024/mar/12/best-coastal-walks-uk-spring-and-summer-walks"_s),
        3);
}

// Long messages were counted as if justified and hyphenated, a line short
// in one of three; the book sets them ragged without hyphens. Each of these
// takes as many lines in every face, the name and the time included.
TEST(PrintedLines, LongMessagesAreSetRaggedWithoutHyphens)
{
    const QString cafe
        = u"Remember the caf\u00e9 by the station? It closed, and I felt oddly sad about it."_s;
    const QString trumpet = u"The kids next door have learnt the trumpet, or at least one note of it."_s;
    const QString heating
        = u"The landlord finally fixed the heating, so the flat is warm for the first time in weeks."_s;
    const QString garden
        = u"The garden is a jungle after all that rain; the tomatoes have taken over the path."_s;
    const QString coast = u"We should go to the coast this weekend if the weather holds up."_s;
    const QString right = u"I was thinking about what you said last night, and honestly you were right."_s;
    const QString sorry
        = u"Sorry I was short with you earlier, it was a rough afternoon and not your fault."_s;
    EXPECT_EQ(lines(QStringList { cafe, heating, sorry, garden }.join(u' '), openedBy(u"Maya"_s)), 8);
    EXPECT_EQ(lines(QStringList { garden, coast, right, trumpet, cafe }.join(u' '), openedBy(u"Sam"_s)), 9);
    EXPECT_EQ(lines(QStringList { trumpet, cafe, heating }.join(u' '), openedBy(u"Sam"_s)), 6);
    EXPECT_EQ(lines(QStringList { coast, right, trumpet, cafe }.join(u' '), openedBy(u"Maya"_s)), 7);
}

TEST(PrintedLines, AttachmentsPrintTheirMarksAndNothingPrintsNothing)
{
    EXPECT_EQ(lines(QString()), 0);
    EXPECT_EQ(lines(QString(), openedBy(u"Maya"_s), { u"photo"_s }), 1);
    EXPECT_EQ(lines(QString(), openedBy(u"Maya"_s), { u"photo"_s, u"photo"_s, u"voice memo"_s }), 1);
    EXPECT_EQ(lines(u"look at this"_s, openedBy(u"Maya"_s), { u"photo"_s }), 1);
}

using PrintedDays = InsightsTest;

// A day of one short message prints three lines: the blank line above its
// heading, the heading and the message.
TEST_F(PrintedDays, EveryDaysHeadingTakesTwoLines)
{
    const BookFile sparse = book({ message("1", "2024-03-01T09:00:00", "me", u"morning!"_s),
        message("2", "2024-03-02T09:00:00", "them", u"hi"_s),
        message("3", "2024-03-03T09:00:00", "me", u"ok"_s),
        message("4", "2024-03-03T09:05:00", "me", u"ok!!"_s) });
    EXPECT_EQ(dayLines(sparse), QList<int>({ 3, 3, 4 }));
}

// The name and time come where the speaker changes, and a day's first
// message always opens a run.
TEST_F(PrintedDays, TheNameRunsInWhereTheSpeakerChanges)
{
    const QString middling = u"bring a jacket, it's cold out there tonight"_s;
    const BookFile turns = book({ message("1", "2024-03-01T09:00:00", "them", middling),
        message("2", "2024-03-01T09:01:00", "them", middling),
        message("3", "2024-03-01T09:02:00", "me", middling),
        message("4", "2024-03-02T09:00:00", "me", middling) });
    EXPECT_EQ(dayLines(turns), QList<int>({ 2 + 2 + 1 + 2, 2 + 2 }));
}

// A speaker who writes again after more than an hour gets the time again,
// which takes this message onto a second line; exactly an hour later it
// goes on bare.
TEST_F(PrintedDays, TheTimeComesAgainAfterAnHoursSilence)
{
    const QString train = u"the train is stuck again, I'll be there by nine"_s;
    const BookFile day = book({ message("1", "2024-03-01T09:00:00", "them", u"ok"_s),
        message("2", "2024-03-01T10:00:00", "them", train),
        message("3", "2024-03-01T11:00:01", "them", train),
        message("4", "2024-03-01T11:05:00", "them", train) });
    EXPECT_EQ(dayLines(day), QList<int>({ 2 + 1 + 1 + 2 + 1 }));
}

// Messages the book leaves out (no text, no attachment) take no line, and
// a day of nothing else has no heading; one that speaks for someone the
// people don't list goes by its own name.
TEST_F(PrintedDays, WhatTheBookLeavesOutTakesNoLine)
{
    BookFile odd = book({ message("1", "2024-03-01T09:00:00", "me"),
        message("2", "2024-03-02T09:00:00", "me", u""_s), message("3", "2024-03-02T09:01:00", "me", u"hi"_s),
        message("4", "2024-03-02T09:02:00", "ghost", u"I think it went well, call you later"_s) });
    odd.messages[3].who = u"Alexandrina Montgomery"_s;
    EXPECT_EQ(dayLines(odd), QList<int>({ 0, 2 + 1 + 2 }));
}
