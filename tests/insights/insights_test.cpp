#include "insights/insights.h"
#include "insights/tally.h"
#include "insightstest.h"

#include <QSet>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString at(int day, int hour = 12, int minute = 0, int second = 0)
{
    return QString::asprintf("2024-03-%02dT%02d:%02d:%02d", day, hour, minute, second);
}

const Insights::Moment *moment(const Insights &insights, const QString &id)
{
    const auto it = std::find_if(insights.moments.cbegin(), insights.moments.cend(),
        [&](const Insights::Moment &m) { return m.id == id; });
    return it == insights.moments.cend() ? nullptr : &*it;
}

QStringList momentIds(const Insights &insights)
{
    QStringList ids;
    for (const Insights::Moment &m : insights.moments)
        ids.append(m.id);
    return ids;
}

std::optional<QString> receipt(const Insights &insights, const QString &label)
{
    for (const QStringList &line : insights.receiptLines) {
        if (line.value(0) == label)
            return line.value(1);
    }
    return std::nullopt;
}

// Sam writes, Alex answers after mine[i] seconds, Sam answers after 120 s:
// Alex gets mine.size() reply gaps and Sam as many.
QList<BookFile::Message> exchange(const QList<int> &mine)
{
    QList<BookFile::Message> messages;
    QDateTime t(QDate(2024, 3, 1), QTime(9, 0));
    int n = 0;
    for (const int gap : mine) {
        messages.append(message(
            QString::number(n++), t.toString(u"yyyy-MM-dd'T'HH:mm:ss"), QStringLiteral("them"), u"hm"_s));
        t = t.addSecs(gap);
        messages.append(message(
            QString::number(n++), t.toString(u"yyyy-MM-dd'T'HH:mm:ss"), QStringLiteral("me"), u"ok"_s));
        t = t.addSecs(120);
    }
    messages.append(
        message(QString::number(n), t.toString(u"yyyy-MM-dd'T'HH:mm:ss"), QStringLiteral("them"), u"hm"_s));
    return messages;
}

QList<BookFile::Message> repeated(int times, const QString &from, const QString &text, int firstDay = 1)
{
    QList<BookFile::Message> messages;
    for (int i = 0; i < times; ++i)
        messages.append(message(from + QString::number(i), at(firstDay + i % 20), from, text));
    return messages;
}

} // namespace

using InsightsRead = InsightsTest;

TEST_F(InsightsRead, emptyBookHasOnlyTheName)
{
    const Insights insights = Insights::read(book({}));
    EXPECT_EQ(insights.total, 0);
    EXPECT_EQ(insights.mine + insights.theirs, 0);
    EXPECT_TRUE(insights.days.isEmpty());
    EXPECT_TRUE(insights.moments.isEmpty());
    EXPECT_TRUE(insights.receiptLines.isEmpty());
    EXPECT_TRUE(insights.celebrations.isEmpty());
    EXPECT_FALSE(insights.latestNight);
    EXPECT_EQ(insights.them, u"Sam");
}

TEST_F(InsightsRead, oneMessageBookHasFirstAndBusiest)
{
    const Insights insights = Insights::read(book({ message("1", at(5, 14, 30), "me", u"  hi there\n"_s) }));
    ASSERT_EQ(insights.days.size(), 1);
    EXPECT_EQ(insights.days[0].iso, u"2024-03-05");
    EXPECT_EQ(insights.days[0].count, 1);
    EXPECT_EQ(momentIds(insights), QStringList({ "first", "busiest" }));
    EXPECT_EQ(insights.moments[0].title, u"You texted first");
    EXPECT_EQ(insights.moments[0].detail, u"\u201Chi there\u201D March 5, 2024");
    EXPECT_EQ(insights.moments[0].messageID, u"1"_s);
    EXPECT_EQ(insights.moments[1].title, u"1 messages in one day");
    EXPECT_EQ(insights.moments[1].detail, u"March 5, 2024 was your busiest day.");
    EXPECT_TRUE(insights.receiptLines.isEmpty());
}

TEST_F(InsightsRead, oddDocumentsReadWithoutFault)
{
    BookFile odd = book({ message("1", "", "me"), message("2", "2024", "them", u"x"_s),
        message("3", "garbage-at-value", "ghost", u""_s), message("4", "2024-03-05T", "me", u"a"_s),
        message("5", "2024-03-05Txx:yy:zz", "them", u"b"_s), message("6", "2024-03-0", "me") });
    odd.people = { { "me", "Alex", true }, { "x", "Nobody", true } };
    const Insights insights = Insights::read(odd);
    EXPECT_EQ(insights.them, u"Them");
    EXPECT_EQ(insights.total, 6);
    EXPECT_EQ(insights.mine, 3);
    QStringList days;
    for (const Insights::DayCount &day : insights.days)
        days.append(day.iso);
    EXPECT_EQ(days, QStringList({ "", "2024", "garbage-at", "2024-03-05", "2024-03-0" }));
    EXPECT_FALSE(insights.latestNight);
    // The first message with a text, even an empty one.
    EXPECT_EQ(moment(insights, "first")->messageID, u"2"_s);
}

TEST_F(InsightsRead, replyGapsExcludeZeroAndSixHours)
{
    QList<int> gaps(19, 60);
    for (const int last : { 0, 21600 }) {
        const Insights insights = Insights::read(book(exchange(gaps + QList<int> { last })));
        EXPECT_FALSE(moment(insights, "reply")) << last;
        EXPECT_FALSE(receipt(insights, "Reply time, you")) << last;
    }
    const Insights insights = Insights::read(book(exchange(gaps + QList<int> { 21599 })));
    EXPECT_EQ(receipt(insights, "Reply time, you"), u"60 seconds"_s);
    EXPECT_EQ(receipt(insights, "Reply time, Sam"), u"2 minutes"_s);
    ASSERT_TRUE(moment(insights, "reply"));
    EXPECT_EQ(moment(insights, "reply")->title, u"You reply faster");
    EXPECT_EQ(moment(insights, "reply")->detail, u"Usually in 60 seconds, against 2 minutes.");
}

TEST_F(InsightsRead, repliesOfOneSideInARowMakeOneGap)
{
    QList<BookFile::Message> messages = exchange(QList<int>(19, 100));
    // A second message from Alex right after each answer is no reply.
    for (qsizetype i = messages.size() - 2; i > 0; i -= 2) {
        BookFile::Message again = messages[i];
        again.id += u"b";
        messages.insert(i + 1, again);
    }
    EXPECT_FALSE(receipt(Insights::read(book(messages)), "Reply time, you"));
}

TEST_F(InsightsRead, closeReplySpeedsAreTheSame)
{
    const Insights insights = Insights::read(book(exchange(QList<int>(20, 110))));
    ASSERT_TRUE(moment(insights, "reply"));
    EXPECT_EQ(moment(insights, "reply")->title, u"Same reply speed");
    EXPECT_EQ(moment(insights, "reply")->detail, u"You both reply in about 2 minutes.");
}

TEST_F(InsightsRead, medianNeedsTwentyValuesAndTakesTheUpperMiddle)
{
    QList<double> values;
    for (int i = 19; i >= 1; --i)
        values.append(i);
    EXPECT_FALSE(Insights::median(values));
    values.append(20);
    EXPECT_EQ(Insights::median(values), 11.0);
}

TEST_F(InsightsRead, durationsRoundToTheirUnit)
{
    EXPECT_EQ(Insights::duration(0.4), u"no time");
    EXPECT_EQ(Insights::duration(1), u"1 second");
    EXPECT_EQ(Insights::duration(89.4), u"89 seconds");
    EXPECT_EQ(Insights::duration(90), u"2 minutes");
    EXPECT_EQ(Insights::duration(5399), u"90 minutes");
    EXPECT_EQ(Insights::duration(5400), u"1.5 hours");
}

TEST_F(InsightsRead, countsUseTheLocalesGrouping)
{
    EXPECT_FALSE(Insights::count(0, "photo"));
    EXPECT_EQ(Insights::count(1, "photo"), u"1 photo"_s);
    EXPECT_EQ(Insights::count(3, "voice memo"), u"3 voice memos"_s);
    EXPECT_EQ(Insights::count(1234, "photo"), u"1,234 photos"_s);
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(Insights::count(1234, "photo"), u"1.234 photos"_s);
}

TEST_F(InsightsRead, monthNamesComeFromTheLocale)
{
    EXPECT_EQ(Insights::monthName("2021-03"), u"March 2021");
    EXPECT_EQ(Insights::monthName("soon"), u"soon");
    EXPECT_EQ(Insights::monthName(""), u"");
}

TEST_F(InsightsRead, loveExpressionMatchesWhatTheTwoSay)
{
    for (const char *text : { "love you", "i love u", "ily", "i really love you", "ok. love you",
             "night,  ily", "so i still love u", "well i do love you!", "love u" })
        EXPECT_TRUE(Insights::saysLoveYou(QString::fromUtf8(text))) << text;
    for (const char *text : { "love you guys", "i love you all", "love you both", "family", "i love your dog",
             "glove you", "so love you", "i love youuu", "we love you" })
        EXPECT_FALSE(Insights::saysLoveYou(QString::fromUtf8(text))) << text;
}

TEST_F(InsightsRead, firstLoveIsEachSidesFirstAndTheCardTheEarliest)
{
    const Insights insights = Insights::read(book({ message("1", "2024-03-03T08:00:00", "them", u"morning"_s),
        message("2", "2024-03-03T10:00:00", "them", u"Love you"_s),
        message("3", "2024-03-03T12:00:00", "me", u"I LOVE YOU"_s),
        message("4", "2024-03-03T13:00:00", "them", u"i love you"_s) }));
    EXPECT_EQ(insights.firstLove.value("them").id, u"2");
    EXPECT_EQ(insights.firstLove.value("me").id, u"3");
    const Insights::Moment *love = moment(insights, "first-love");
    ASSERT_TRUE(love);
    EXPECT_EQ(love->title, u"Sam said \u201CI love you\u201D first");
    EXPECT_EQ(love->detail, u"\u201CLove you\u201D March 3, 2024. You said it back 2 hours later.");
    EXPECT_EQ(love->messageID, u"2"_s);
}

TEST_F(InsightsRead, saidItBackSpansMinutesToDays)
{
    const auto detail = [](const QString &back) {
        const Insights insights = Insights::read(book(
            { message("1", "2024-03-03T10:00:00", "me", u"ily"_s), message("2", back, "them", u"ily"_s) }));
        return moment(insights, "first-love")->detail;
    };
    EXPECT_TRUE(detail("2024-03-03T10:00:30").endsWith(u"Sam said it back 1 minute later."));
    EXPECT_TRUE(detail("2024-03-04T23:59:59").endsWith(u"back 37 hours later."));
    EXPECT_TRUE(detail("2024-03-06T10:00:00").endsWith(u"back 3 days later."));
}

TEST_F(InsightsRead, threeLoversShowTheEarliestWithoutSayingBack)
{
    BookFile group = book({ message("1", "2024-03-03T10:00:00", "x", u"i love you"_s),
        message("2", "2024-03-03T09:00:00", "them", u"i love you"_s),
        message("3", "2024-03-03T11:00:00", "me", u"i love you"_s) });
    const Insights insights = Insights::read(group);
    EXPECT_EQ(insights.firstLove.size(), 3);
    EXPECT_EQ(moment(insights, "first-love")->detail, u"\u201Ci love you\u201D March 3, 2024");
}

TEST_F(InsightsRead, lateNightsShowTheLatestClock)
{
    const Insights single = Insights::read(book({ message("1", at(5, 0, 5), "me", u"up?"_s) }));
    EXPECT_FALSE(moment(single, "late"));
    EXPECT_EQ(single.latestNight, u"12:05 AM"_s);
    EXPECT_EQ(receipt(single, "Latest night"), u"12:05 AM"_s);

    const Insights insights = Insights::read(book({ message("1", at(5, 0, 5), "me", u"up?"_s),
        message("2", at(6, 4, 59), "them", u"yes"_s), message("3", at(7, 4, 59), "me", u"again"_s),
        message("4", at(8, 5, 0), "me", u"morning"_s), message("5", "2024-03-09Txx:30:00", "me", u"?"_s),
        message("6", "2024-03-09T-1:30:00", "me", u"?"_s),
        message("7", "2024-03-10T04:75:00", "me", u"?"_s) }));
    const Insights::Moment *late = moment(insights, "late");
    ASSERT_TRUE(late);
    EXPECT_EQ(late->title, u"Still up at 4:59 a.m.");
    // A sign or a minute past 59 is no clock reading: -1:30 is not late, and
    // 4:75 counts as 4:00 rather than as 5:15.
    EXPECT_EQ(late->detail, u"4 messages after midnight. The latest was March 6, 2024.");
    EXPECT_EQ(late->messageID, u"2"_s);
    EXPECT_EQ(insights.latestNight, u"4:59 AM"_s);
}

TEST_F(InsightsRead, streakNeedsSevenDaysAndSilenceFour)
{
    QList<BookFile::Message> six;
    for (int day = 1; day <= 6; ++day)
        six.append(message(QString::number(day), at(day), "me", u"hi"_s));
    const Insights sixDays = Insights::read(book(six));
    EXPECT_FALSE(moment(sixDays, "streak"));
    EXPECT_EQ(receipt(sixDays, "Longest streak"), u"6 days"_s);

    QList<BookFile::Message> seven = six;
    seven.append(message("7", at(7), "me", u"hi"_s));
    seven.append(message("8", at(10), "me", u"hi"_s));
    const Insights sevenDays = Insights::read(book(seven));
    const Insights::Moment *streak = moment(sevenDays, "streak");
    ASSERT_TRUE(streak);
    EXPECT_EQ(streak->title, u"7 days in a row");
    EXPECT_EQ(streak->detail, u"You didn't miss a day from March 1, 2024 to March 7, 2024.");
    EXPECT_EQ(streak->day, u"2024-03-01"_s);
    // 7th to 10th is a gap of 3.
    EXPECT_FALSE(moment(sevenDays, "silence"));

    seven.append(message("9", at(14), "me", u"hi"_s));
    const Insights silent = Insights::read(book(seven));
    const Insights::Moment *silence = moment(silent, "silence");
    ASSERT_TRUE(silence);
    EXPECT_EQ(silence->title, u"4 quiet days");
    EXPECT_EQ(silence->detail, u"The longest gap, from March 10, 2024 to March 14, 2024.");
    EXPECT_EQ(silence->day, u"2024-03-14"_s);
}

TEST_F(InsightsRead, busiestTieGoesToTheEarlierDay)
{
    const Insights insights = Insights::read(book({ message("1", at(1), "me"), message("2", at(2), "me"),
        message("3", at(2), "me"), message("4", at(3), "me"), message("5", at(3), "me") }));
    EXPECT_EQ(moment(insights, "busiest")->day, u"2024-03-02"_s);
}

TEST_F(InsightsRead, dayStartersNeedTenDays)
{
    QList<BookFile::Message> messages;
    for (int day = 1; day <= 9; ++day)
        messages.append(message(QString::number(day), at(day), day <= 5 ? "them" : "me", u"hi"_s));
    EXPECT_FALSE(moment(Insights::read(book(messages)), "starter"));
    messages.append(message("10", at(10), "them", u"hi"_s));
    const Insights insights = Insights::read(book(messages));
    const Insights::Moment *starter = moment(insights, "starter");
    ASSERT_TRUE(starter);
    EXPECT_EQ(starter->title, u"Sam starts the day");
    EXPECT_EQ(starter->detail, u"First message of the day 60% of the time.");
}

TEST_F(InsightsRead, laughsAndSorrysCountOncePerMessage)
{
    const Insights nineteen
        = Insights::read(book(repeated(10, "me", u"hahaha lol"_s) + repeated(9, "them", u"LMAO"_s)));
    EXPECT_FALSE(moment(nineteen, "laughs"));
    const Insights insights = Insights::read(book(repeated(10, "me", u"hahaha lol"_s)
        + repeated(10, "them", u"LMAO"_s) + repeated(1, "me", u"Sorry sorry"_s)));
    const Insights::Moment *laughs = moment(insights, "laughs");
    ASSERT_TRUE(laughs);
    EXPECT_EQ(laughs->title, u"You laugh more");
    EXPECT_EQ(laughs->detail, u"10 \u201Chaha\u201Ds from you, 10 from Sam.");
    EXPECT_EQ(receipt(insights, "Sorrys"), u"1 you, 0 Sam"_s);
}

TEST_F(InsightsRead, topWordsNeedFifteenUsesAndAClearLead)
{
    const QString mine = u"Pasta, sushi & pizza! don't it\u2019s ok cafe\u0301"_s;
    const Insights insights = Insights::read(book(repeated(15, "me", mine) + repeated(2, "me", u"pasta"_s)
        + repeated(1, "me", u"cafe\u0301"_s) + repeated(14, "me", u"darling"_s)
        + repeated(5, "them", u"pizza sushi"_s) + repeated(1, "them", u"pizza"_s)));
    const Insights::Moment *words = moment(insights, "words-me");
    ASSERT_TRUE(words);
    EXPECT_EQ(words->title, u"Your words");
    // pizza: 15 is not more than 2.5 x 6; sushi: 15 is more than 2.5 x 5.
    EXPECT_EQ(words->detail,
        u"\u201Cpasta\u201D 17\u00D7, \u201Ccafe\u0301\u201D 16\u00D7, \u201Csushi\u201D 15\u00D7");
    EXPECT_FALSE(moment(insights, "words-them"));
}

// A word is a run of letters and "'" counted in characters as the reader
// sees them: emoji with skin tones or joiners end a word like any sign,
// and a mark or variation selector after a letter stays in its word.
TEST_F(InsightsRead, wordsAreCutAtEverySignHoweverManyCodeUnitsItTakes)
{
    const QList<BookFile::Message> messages = {
        message("1", at(1), "me",
            u"pizza\U0001F44D\U0001F3FDpasta \U0001F468\u200D\U0001F469\u200D\U0001F467sushi"_s),
        message(
            "2", at(2), "me", u"\U0001F1E9\U0001F1EAsalad h\u00E9llo\u2764\uFE0Fw\u00F6rld rock'n'roll"_s),
        message("3", at(3), "me", u"\u043C\u0438\u0440\u2764\uFE0F\u0434\u043E\u043C ab\u0301c x\uFE0Fyz"_s),
        message("4", at(4), "me", u"ok\U0001F44Dno by\u200Dte"_s),
    };
    Tally tally;
    for (const BookFile::Message &each : messages)
        tally.add(each);
    const WordCounts &words = tally.side(u"me"_s).words;
    QStringList counted;
    for (const auto &[word, count] : words)
        counted.append(word);
    counted.sort();
    EXPECT_EQ(counted,
        QStringList({ u"ab\u0301c"_s, u"by\u200Dte"_s, u"h\u00E9llo"_s, u"pasta"_s, u"pizza"_s,
            u"rock'n'roll"_s, u"salad"_s, u"sushi"_s, u"w\u00F6rld"_s, u"x\uFE0Fyz"_s,
            u"\u0434\u043E\u043C"_s, u"\u043C\u0438\u0440"_s }));
}

// Links pasted again and again made "com" and "www" someone's words.
TEST_F(InsightsRead, linksAndMailAddressesAreNotWords)
{
    const QString links = u"pizza pizza at https://www.google.com/maps?q=pasta or google.com, (bit.ly/3xYz) "
                          "mail sam.lee@gmail.com. ok.so"_s;
    const Insights insights = Insights::read(book(repeated(16, "me", links)));
    const Insights::Moment *words = moment(insights, "words-me");
    ASSERT_TRUE(words);
    EXPECT_EQ(words->detail, u"\u201Cpizza\u201D 32\u00D7, \u201Cmail\u201D 16\u00D7"_s);
}

TEST_F(InsightsRead, emojiCountPerScalarWithEmojiPresentation)
{
    // U+2764 alone has no emoji presentation; each member of a family counts.
    const QString text
        = u"\u2764\uFE0F \U0001F44D\U0001F3FD \U0001F468\u200D\U0001F469\u200D\U0001F467 \U0001F44D"_s;
    const Insights insights = Insights::read(book(
        { message("1", at(1), "me", text), message("2", at(1), "x", u"\U0001F389\U0001F389\U0001F389"_s) }));
    const Insights::Moment *emoji = moment(insights, "emoji-me");
    ASSERT_TRUE(emoji);
    EXPECT_EQ(emoji->title, u"Your emoji");
    const QStringList shown = emoji->detail.split(u"   "_s);
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], u"\U0001F44D 2");
    EXPECT_FALSE(moment(insights, "emoji-x"));
    EXPECT_EQ(insights.topEmoji.size(), 5);
    EXPECT_EQ(insights.topEmoji.mid(0, 2), QStringList({ u"\U0001F389"_s, u"\U0001F44D"_s }));
    EXPECT_FALSE(insights.topEmoji.contains(u"\u2764"_s));
    EXPECT_EQ(QSet<QString>(insights.topEmoji.cbegin() + 2, insights.topEmoji.cend()).size(), 3);
}

TEST_F(InsightsRead, mediaTitleCountsPhotosAndVoiceMemos)
{
    BookFile::Message photos = message("1", at(1), "me");
    photos.media = QStringList(12, QStringLiteral("photo")) + QStringList { "voice memo", "video" };
    const Insights insights = Insights::read(book({ photos }));
    const Insights::Moment *media = moment(insights, "media");
    ASSERT_TRUE(media);
    EXPECT_EQ(media->title, u"12 photos, 1 voice memo");
}

TEST_F(InsightsRead, quotesCutAtEightyCharacters)
{
    const QString eighty = u"\U0001F600"_s.repeated(80);
    const Insights whole = Insights::read(book({ message("1", at(1), "me", u" \n"_s + eighty + u"\n"_s) }));
    EXPECT_EQ(whole.moments[0].detail, u'\u201C' + eighty + u"\u201D March 1, 2024"_s);
    const Insights cut = Insights::read(book({ message("1", at(1), "me", eighty + u"a"_s) }));
    EXPECT_EQ(cut.moments[0].detail, u'\u201C' + eighty.left(156) + u"\u2026\u201D March 1, 2024"_s);
}

TEST_F(InsightsRead, timesAreLocalAndStrict)
{
    setZone("America/New_York");
    const auto before = Insights::time("2024-03-10T01:59:00");
    const auto after = Insights::time("2024-03-10T03:01:00");
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->msecsTo(*after), 2 * 60 * 1000);
    // Skipped by the clock change: read as the same time after it.
    EXPECT_EQ(Insights::time("2024-03-10T02:30:00"), Insights::time("2024-03-10T03:30:00"));
    for (const char *bad :
        { "2024-03-05 10:00:00", "2024-13-01T00:00:00", "2024-03-05T10:00", "2024-03-05T24:00:00" })
        EXPECT_FALSE(Insights::time(bad)) << bad;
}
