// `brimlow-core wrapped`, run as the app runs it: the book on standard
// input, the document read back with the app's own strict reader.
#include "insights/celebrations.h"
#include "insights/insights.h"
#include "model/bookfile.h"
#include "model/json.h"
#include "model/wrapped.h"
#include "printers.h"
#include "toolrunner.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>
#include <QTimeZone>
#include <algorithm>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Long sentences no card may quote; each is used once.
QString sentence(int n)
{
    static const QStringList openings { u"Honestly the weather over the harbour"_s,
        u"Remember when the tram stopped near Ferncliffe"_s, u"My grandmother's recipe for quince jam"_s,
        u"The projector at the community hall"_s, u"Your brother's surprisingly loud parrot"_s };
    return openings[n % openings.size()] + u" kept surprising everyone, number %1 of many."_s.arg(n);
}

class BookMaker
{
public:
    explicit BookMaker(QList<BookFile::Person> people)
    {
        m_book.format = 1;
        m_book.style = u"novel"_s;
        m_book.front.title = u"The Book Club"_s;
        m_book.people = std::move(people);
    }

    void add(const QDateTime &at, const QString &from, std::optional<QString> text = std::nullopt)
    {
        BookFile::Message message;
        message.id = QString::number(m_book.messages.size());
        message.at = at.toString(u"yyyy-MM-dd'T'HH:mm:ss"_s);
        message.from = from;
        message.text = text ? std::move(text) : sentence(int(m_book.messages.size()));
        m_book.messages.append(message);
    }

    // Everyone writes in turn, minutes apart, starting at the given time.
    void exchange(QDateTime at, const QStringList &from, int messages)
    {
        for (int i = 0; i < messages; ++i) {
            add(at, from[i % from.size()]);
            at = at.addSecs(180 + 60 * (i % from.size()));
        }
    }

    const BookFile &book() const { return m_book; }

private:
    BookFile m_book;
};

QDateTime at(int year, int month, int day, int hour = 12, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone::utc());
}

// Two people over three years: a seven-day run, late nights, a first "I
// love you" said back, a birthday wished twice, a trip, a first date, emoji,
// and enough back and forth for reply times.
BookFile couple()
{
    BookMaker maker({ { u"me"_s, u"Sam Lee"_s, true }, { u"them"_s, u"Maya Ortiz"_s, false } });
    const QStringList both { u"them"_s, u"me"_s };
    maker.add(at(2022, 1, 3, 9), u"them"_s, u"hi, this is Maya from the pottery class"_s);
    for (int day = 10; day <= 16; ++day)
        maker.exchange(at(2022, 1, day, 18), both, 8);
    maker.add(at(2022, 1, 17, 0, 47), u"me"_s);
    maker.add(at(2022, 1, 17, 1, 10), u"them"_s);
    maker.add(at(2022, 1, 17, 4, 59), u"me"_s);
    maker.add(at(2022, 2, 14, 20), u"me"_s, u"Well, I think I love you \u2764\uFE0F"_s);
    maker.add(at(2022, 2, 14, 22), u"them"_s, u"love you too \U0001F60A\U0001F60A"_s);
    maker.add(at(2022, 7, 14, 9), u"me"_s, u"happy birthday!! \U0001F382"_s);
    maker.add(at(2023, 3, 1, 10), u"them"_s, u"our first date was a year ago today"_s);
    maker.exchange(at(2023, 3, 2, 18), both, 12);
    maker.add(at(2023, 7, 14, 9), u"me"_s, u"happy birthday again \U0001F382"_s);
    maker.add(at(2024, 5, 2, 8), u"them"_s, u"Just landed in Rome"_s);
    maker.add(at(2024, 5, 9, 8), u"them"_s, u"we landed home, tired"_s);
    maker.exchange(at(2024, 6, 1, 18), both, 10);
    return maker.book();
}

// Four people: the user and three friends who write in turn.
BookFile group()
{
    BookMaker maker({ { u"me"_s, u"Sam Lee"_s, true }, { u"p1"_s, u"Ann Park"_s, false },
        { u"p2"_s, u"Ben Cho"_s, false }, { u"p3"_s, u"Cleo Diaz"_s, false } });
    const QStringList all { u"p1"_s, u"me"_s, u"p2"_s, u"p3"_s, u"p1"_s };
    for (int day = 1; day <= 20; ++day)
        maker.exchange(at(2024, 4, day, 19), all, 6);
    maker.add(at(2024, 4, 21, 2, 30), u"p3"_s, u"still awake \U0001F989"_s);
    maker.add(at(2024, 4, 22, 2, 40), u"p3"_s, u"again \U0001F989"_s);
    maker.add(at(2024, 4, 23, 3, 10), u"p2"_s, u"me too"_s);
    maker.add(at(2024, 4, 23, 12), u"p1"_s, u"happy anni, you two"_s);
    return maker.book();
}

struct Answer
{
    ToolRun run;
    std::optional<Wrapped> wrapped;
    QString failure;
};

Answer wrappedOf(const BookFile &book, const QStringList &extra = {})
{
    Answer answer;
    answer.run = runTool(QStringList { u"wrapped"_s } + extra, book.toJsonBytes() + '\n');
    try {
        answer.wrapped = Wrapped::fromJson(answer.run.out);
    } catch (const JsonError &error) {
        answer.failure = error.description();
    }
    return answer;
}

// Every text the document shows, for the checks that no message is quoted.
QStringList shownTexts(const Wrapped &wrapped)
{
    QStringList texts { wrapped.title, wrapped.span };
    for (const Wrapped::Card &card : wrapped.cards) {
        texts << card.eyebrow << card.big << card.unit << card.detail;
        for (const Wrapped::Row &row : card.rows)
            texts << row.value;
    }
    return texts;
}

int digitsOf(const QString &text)
{
    return text.left(text.indexOf(u' ')).remove(QRegularExpression(u"[^0-9]"_s)).toInt();
}

void expectSoundDocument(const Wrapped &wrapped)
{
    QSet<QString> ids;
    QSet<QString> people;
    for (const Wrapped::Person &person : wrapped.people)
        people.insert(person.id);
    ASSERT_FALSE(wrapped.cards.isEmpty());
    EXPECT_EQ(wrapped.cards.first().kind, Wrapped::Kind::Cover);
    for (const Wrapped::Card &card : wrapped.cards) {
        EXPECT_FALSE(ids.contains(card.id)) << card.id.toStdString();
        ids.insert(card.id);
        EXPECT_NE(card.kind, Wrapped::Kind::Other) << card.id.toStdString();
        EXPECT_FALSE(card.eyebrow.contains(u'{')) << card.id.toStdString();
        EXPECT_EQ(card.eyebrow, card.eyebrow.toUpper());
        for (const Wrapped::Row &row : card.rows) {
            EXPECT_TRUE(people.contains(row.who)) << card.id.toStdString();
            EXPECT_GE(row.share, 0.0);
            EXPECT_LE(row.share, 1.0);
            EXPECT_FALSE(row.value.contains(u'{'));
        }
        if (card.count)
            EXPECT_EQ(digitsOf(card.big), *card.count) << card.id.toStdString();
    }
    EXPECT_FALSE(wrapped.defaultSelection.isEmpty());
    for (const QString &id : wrapped.defaultSelection)
        EXPECT_TRUE(ids.contains(id)) << id.toStdString();
    int sum = 0;
    for (const Wrapped::Person &person : wrapped.people)
        sum += person.messages;
    EXPECT_EQ(sum, wrapped.total);
}

void expectNothingQuoted(const BookFile &book, const Wrapped &wrapped)
{
    const QString shown = shownTexts(wrapped).join(u'\n');
    for (const BookFile::Message &message : book.messages) {
        const QString text = message.text.value_or(QString());
        for (qsizetype i = 0; i + 12 <= text.size(); ++i)
            ASSERT_FALSE(shown.contains(text.mid(i, 12))) << text.mid(i, 12).toStdString();
    }
}

} // namespace

TEST(Wrapped, OneToOneBookGivesADocumentTheAppReads)
{
    const BookFile book = couple();
    const Answer answer = wrappedOf(book);
    ASSERT_EQ(answer.run.exitCode, 0) << answer.run.err.constData();
    EXPECT_TRUE(answer.run.err.isEmpty());
    ASSERT_TRUE(answer.wrapped) << answer.failure.toStdString();
    const Wrapped &wrapped = *answer.wrapped;
    expectSoundDocument(wrapped);
    expectNothingQuoted(book, wrapped);

    EXPECT_FALSE(wrapped.group);
    EXPECT_EQ(wrapped.title, u"{me} & {them}"_s);
    EXPECT_EQ(wrapped.total, book.messages.size());
    EXPECT_EQ(wrapped.firstDay, u"2022-01-03"_s);
    EXPECT_EQ(wrapped.lastDay, u"2024-06-01"_s);
    EXPECT_EQ(wrapped.span, u"2 years, 4 months"_s);
    ASSERT_EQ(wrapped.months.size(), 30);
    EXPECT_EQ(wrapped.months.first().key, u"2022-01"_s);
    EXPECT_EQ(wrapped.months.at(2), (Wrapped::Month { u"2022-03"_s, 0 }));
    EXPECT_EQ(wrapped.defaultSelection,
        (QStringList {
            u"cover"_s, u"talks"_s, u"busiest"_s, u"love"_s, u"streak"_s, u"late"_s, u"words"_s }));
    EXPECT_FALSE(wrapped.year);

    const Wrapped::Card *love = wrapped.card(u"love"_s);
    ASSERT_TRUE(love);
    EXPECT_EQ(love->big, u"{me}"_s);
    EXPECT_EQ(love->detail, u"February 14, 2022, {them} said it back 2 hours later."_s);
    const Wrapped::Card *late = wrapped.card(u"late"_s);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->detail, u"The latest was 4:59 a.m., on January 17, 2022."_s);
    const Wrapped::Card *emoji = wrapped.card(u"emoji"_s);
    ASSERT_TRUE(emoji);
    EXPECT_EQ(emoji->big, u"\U0001F382"_s);
    EXPECT_EQ(emoji->unit, u"used 2 times"_s);
    EXPECT_TRUE(wrapped.card(u"leftOnRead"_s));
    EXPECT_TRUE(wrapped.card(u"moment-first-date"_s));
    EXPECT_FALSE(wrapped.card(u"crew"_s));
}

TEST(Wrapped, GroupBookNamesEveryMember)
{
    const BookFile book = group();
    const Answer answer = wrappedOf(book);
    ASSERT_EQ(answer.run.exitCode, 0) << answer.run.err.constData();
    ASSERT_TRUE(answer.wrapped) << answer.failure.toStdString();
    const Wrapped &wrapped = *answer.wrapped;
    expectSoundDocument(wrapped);
    expectNothingQuoted(book, wrapped);

    EXPECT_TRUE(wrapped.group);
    EXPECT_EQ(wrapped.title, u"The Book Club"_s);
    EXPECT_EQ(wrapped.defaultSelection.value(1), u"crew"_s);

    const Wrapped::Card *crew = wrapped.card(u"crew"_s);
    ASSERT_TRUE(crew);
    EXPECT_EQ(crew->big, u"4"_s);
    EXPECT_EQ(crew->rows.size(), 4);
    EXPECT_EQ(crew->rows.first().who, u"p1"_s);

    // Words and emoji are counted for every member, not only two sides.
    const Wrapped::Card *words = wrapped.card(u"words"_s);
    ASSERT_TRUE(words);
    EXPECT_EQ(words->rows.size(), 4);
    const Wrapped::Card *late = wrapped.card(u"late"_s);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->rows.first(), (Wrapped::Row { u"p3"_s, u"2"_s, 1.0 }));
    EXPECT_EQ(late->rows.last(), (Wrapped::Row { u"p2"_s, u"1"_s, 0.5 }));

    const Wrapped::Card *superlatives = wrapped.card(u"superlatives"_s);
    ASSERT_TRUE(superlatives);
    QSet<QString> holders;
    for (const Wrapped::Row &row : superlatives->rows) {
        EXPECT_FALSE(holders.contains(row.who)) << row.who.toStdString();
        holders.insert(row.who);
    }
    EXPECT_EQ(superlatives->rows.first(), (Wrapped::Row { u"p1"_s, u"Most messages"_s, 1.0 }));
    EXPECT_EQ(superlatives->rows.at(1), (Wrapped::Row { u"p3"_s, u"Night owl"_s, 1.0 }));
}

TEST(Wrapped, CardsTheWizardLinksToAgreeWithItsMoments)
{
    for (const BookFile &book : { couple(), group() }) {
        const Answer answer = wrappedOf(book);
        ASSERT_TRUE(answer.wrapped) << answer.failure.toStdString();
        const Wrapped &wrapped = *answer.wrapped;
        const Insights insights = Insights::read(book);
        for (const Insights::Moment &moment : insights.moments) {
            const QString card = moment.id == u"first-love"_s ? u"love"_s : moment.id.section(u'-', 0, 0);
            if (!QStringList {
                    u"first"_s, u"love"_s, u"streak"_s, u"late"_s, u"busiest"_s, u"emoji"_s, u"words"_s }
                     .contains(card))
                continue;
            const Wrapped::Card *found = wrapped.card(card);
            ASSERT_TRUE(found) << moment.id.toStdString();
            if (moment.day && card != u"emoji"_s && card != u"words"_s)
                EXPECT_EQ(found->day, moment.day) << moment.id.toStdString();
            if (card == u"streak"_s || card == u"busiest"_s)
                EXPECT_EQ(found->count, digitsOf(moment.title)) << moment.title.toStdString();
            if (card == u"late"_s)
                EXPECT_EQ(found->count, digitsOf(moment.detail)) << moment.detail.toStdString();
        }
        const QList<Celebration> days = Celebrations::find(book.messages, insights.them);
        EXPECT_FALSE(days.isEmpty());
        for (const Celebration &day : days) {
            const Wrapped::Card *found = wrapped.card(u"moment-"_s + day.id);
            ASSERT_TRUE(found) << day.id.toStdString();
            EXPECT_EQ(found->day, day.day);
            EXPECT_EQ(found->big, day.emoji);
        }
    }
}

// Who replies faster is the wizard's call: two people who both answer in
// about five minutes reply at the same speed on the card too.
TEST(Wrapped, ReplySpeedFollowsTheWizardsRule)
{
    BookMaker close({ { u"me"_s, u"Sam Lee"_s, true }, { u"them"_s, u"Maya Ortiz"_s, false } });
    QDateTime when = at(2024, 3, 1, 9);
    for (int i = 0; i < 60; ++i) {
        close.add(when, i % 2 ? u"me"_s : u"them"_s);
        when = when.addSecs(i % 2 ? 300 : 310);
    }
    const auto reply = [](const BookFile &book) {
        for (const Insights::Moment &moment : Insights::read(book).moments) {
            if (moment.id == u"reply"_s)
                return moment;
        }
        return Insights::Moment {};
    };
    ASSERT_EQ(reply(close.book()).title, u"Same reply speed"_s);
    const Answer tie = wrappedOf(close.book());
    ASSERT_TRUE(tie.wrapped) << tie.failure.toStdString();
    expectSoundDocument(*tie.wrapped);
    const Wrapped::Card *even = tie.wrapped->card(u"leftOnRead"_s);
    ASSERT_TRUE(even);
    EXPECT_EQ(even->eyebrow, u"WHO REPLIES FASTER"_s);
    EXPECT_EQ(even->big, u"A tie"_s);
    EXPECT_EQ(even->unit, u"same reply speed"_s);
    EXPECT_EQ(even->detail, u"{me} and {them} both reply in about 5 minutes."_s);
    EXPECT_EQ(even->rows.size(), 2);

    // Three minutes against four is a difference: the wizard's faster side
    // is the card's.
    ASSERT_EQ(reply(couple()).title, u"You reply faster"_s);
    const Answer apart = wrappedOf(couple());
    ASSERT_TRUE(apart.wrapped) << apart.failure.toStdString();
    const Wrapped::Card *faster = apart.wrapped->card(u"leftOnRead"_s);
    ASSERT_TRUE(faster);
    EXPECT_EQ(faster->big, u"{me}"_s);
    EXPECT_EQ(faster->unit, u"replies fastest"_s);
    EXPECT_EQ(faster->detail, u"Usually in 3 minutes."_s);
}

// Called a tie, the card read "both reply in about 6 minutes" above rows
// of "5 minutes" and "6 minutes": a faster side after all. The tied rows
// say the time of the tie, with whole bars; anyone slower keeps their own.
TEST(Wrapped, ATiesRowsShowTheTimeOfTheTie)
{
    BookMaker close({ { u"me"_s, u"Sam Lee"_s, true }, { u"them"_s, u"Maya Ortiz"_s, false } });
    BookMaker crew({ { u"me"_s, u"Sam Lee"_s, true }, { u"p1"_s, u"Maya Ortiz"_s, false },
        { u"p2"_s, u"Jo Park"_s, false } });
    QDateTime when = at(2024, 3, 1, 9);
    QDateTime crewWhen = when;
    // One answers in 320 seconds, the other in 340: 5 and 6 minutes
    // rounded, close enough for the wizard to call them even. In the crew,
    // Maya takes 15 minutes.
    for (int i = 0; i < 60; ++i) {
        close.add(when, i % 2 ? u"me"_s : u"them"_s);
        when = when.addSecs(i % 2 ? 340 : 320);
    }
    const QStringList turns { u"me"_s, u"p1"_s, u"p2"_s };
    const QHash<QString, int> replies { { u"me"_s, 320 }, { u"p1"_s, 900 }, { u"p2"_s, 340 } };
    for (int i = 0; i < 90; ++i) {
        crew.add(crewWhen, turns.at(i % 3));
        crewWhen = crewWhen.addSecs(replies.value(turns.at((i + 1) % 3)));
    }
    const Answer tie = wrappedOf(close.book());
    ASSERT_TRUE(tie.wrapped) << tie.failure.toStdString();
    const Wrapped::Card *even = tie.wrapped->card(u"leftOnRead"_s);
    ASSERT_TRUE(even);
    EXPECT_EQ(even->big, u"A tie"_s);
    EXPECT_EQ(even->detail, u"{me} and {them} both reply in about 6 minutes."_s);
    ASSERT_EQ(even->rows.size(), 2);
    for (const Wrapped::Row &row : even->rows) {
        EXPECT_EQ(row.value, u"6 minutes"_s) << row.who.toStdString();
        EXPECT_EQ(row.share, 1.0) << row.who.toStdString();
    }

    const Answer three = wrappedOf(crew.book());
    ASSERT_TRUE(three.wrapped) << three.failure.toStdString();
    const Wrapped::Card *group = three.wrapped->card(u"leftOnRead"_s);
    ASSERT_TRUE(group);
    EXPECT_EQ(group->big, u"A tie"_s);
    ASSERT_EQ(group->rows.size(), 3);
    EXPECT_EQ(group->rows[0].value, u"6 minutes"_s);
    EXPECT_EQ(group->rows[1].value, u"6 minutes"_s);
    EXPECT_EQ(group->rows[2].who, u"p1"_s);
    EXPECT_EQ(group->rows[2].value, u"15 minutes"_s);
    EXPECT_NEAR(group->rows[2].share, 330.0 / 900.0, 1e-3);
}

TEST(Wrapped, AYearKeepsEveryYearOnOffer)
{
    const BookFile book = couple();
    const Answer whole = wrappedOf(book);
    ASSERT_TRUE(whole.wrapped) << whole.failure.toStdString();
    const QList<Wrapped::Year> years = whole.wrapped->years;
    ASSERT_EQ(years.size(), 3);
    EXPECT_EQ(years.at(0).year, 2022);
    EXPECT_EQ(years.at(2).year, 2024);
    EXPECT_EQ(years.at(0).count + years.at(1).count + years.at(2).count, whole.wrapped->total);

    const Answer year = wrappedOf(book, { u"--year"_s, u"2023"_s });
    ASSERT_EQ(year.run.exitCode, 0) << year.run.err.constData();
    ASSERT_TRUE(year.wrapped) << year.failure.toStdString();
    expectSoundDocument(*year.wrapped);
    EXPECT_EQ(year.wrapped->year, 2023);
    EXPECT_EQ(year.wrapped->years, years);
    EXPECT_EQ(year.wrapped->total, years.at(1).count);
    EXPECT_EQ(year.wrapped->firstDay, u"2023-03-01"_s);
    EXPECT_EQ(year.wrapped->lastDay, u"2023-07-14"_s);
    EXPECT_EQ(year.wrapped->cards.first().eyebrow, u"2023 WRAPPED"_s);
    EXPECT_FALSE(year.wrapped->card(u"love"_s));
}

TEST(Wrapped, BooksWithoutMuchInThemStillGiveADocument)
{
    BookFile empty = couple();
    empty.messages.clear();
    const Answer none = wrappedOf(empty);
    ASSERT_EQ(none.run.exitCode, 0) << none.run.err.constData();
    ASSERT_TRUE(none.wrapped) << none.failure.toStdString();
    EXPECT_EQ(none.wrapped->total, 0);
    EXPECT_TRUE(none.wrapped->months.isEmpty());
    EXPECT_TRUE(none.wrapped->years.isEmpty());
    EXPECT_EQ(none.wrapped->firstDay, QString());
    ASSERT_EQ(none.wrapped->cards.size(), 1);
    EXPECT_EQ(none.wrapped->cards.first().big, u"0"_s);
    EXPECT_EQ(none.wrapped->cards.first().unit, u"messages"_s);
    EXPECT_EQ(none.wrapped->defaultSelection, QStringList { u"cover"_s });

    BookMaker alone({ { u"me"_s, u"Sam Lee"_s, true } });
    alone.add(at(2024, 1, 1), u"me"_s, u"a note to self"_s);
    const Answer self = wrappedOf(alone.book());
    ASSERT_TRUE(self.wrapped) << self.failure.toStdString();
    expectSoundDocument(*self.wrapped);
    EXPECT_EQ(self.wrapped->title, u"{me}"_s);
    EXPECT_EQ(self.wrapped->span, u"1 day"_s);
    EXPECT_EQ(self.wrapped->cards.first().unit, u"message"_s);
    EXPECT_FALSE(self.wrapped->card(u"talks"_s));
}

// A person who sent "https://google.com" was said to write "com" most.
TEST(Wrapped, InYourWordsLeavesLinksAndMailAddressesOut)
{
    BookMaker maker({ { u"me"_s, u"Sam Lee"_s, true }, { u"them"_s, u"Maya Ortiz"_s, false } });
    for (int day = 1; day <= 3; ++day) {
        maker.add(at(2024, 5, day, 9), u"them"_s, u"https://google.com"_s);
        maker.add(at(2024, 5, day, 10), u"them"_s, u"www.booking.com/hotel/nl or maya@example.org"_s);
        maker.add(at(2024, 5, day, 11), u"me"_s, u"pasta tonight? see bit.ly/3xYz"_s);
    }
    maker.add(at(2024, 5, 4, 9), u"them"_s, u"pasta."_s);
    const Answer answer = wrappedOf(maker.book());
    ASSERT_TRUE(answer.wrapped) << answer.failure.toStdString();
    const Wrapped::Card *words = answer.wrapped->card(u"words"_s);
    ASSERT_TRUE(words);
    QStringList rows;
    for (const Wrapped::Row &row : words->rows)
        rows.append(row.who + u": "_s + row.value);
    EXPECT_EQ(
        rows, (QStringList { u"me: \u201Cpasta\u201D 3\u00D7"_s, u"them: \u201Cpasta\u201D 1\u00D7"_s }));
}

TEST(Wrapped, RefusesWhatItCannotCountWithOneSentence)
{
    struct Case
    {
        QStringList arguments;
        QByteArray input;
        int status;
        QString line;
    };
    const QByteArray book = couple().toJsonBytes() + '\n';
    const QList<Case> cases = {
        { { u"wrapped"_s, u"--year"_s, u"2019"_s }, book, 1, u"Error: There are no messages from 2019."_s },
        { { u"wrapped"_s }, "{\"format\": 1,", 1,
            u"Error: The book on standard input can't be read: not valid JSON (unterminated object at offset 13)."_s },
        { { u"wrapped"_s }, "{\"format\": 1}\n", 1,
            u"Error: The book on standard input can't be read: style: missing required key."_s },
        { { u"wrapped"_s }, {}, 1,
            u"Error: The book on standard input can't be read: not valid JSON (illegal value at offset 0)."_s },
        { { u"wrapped"_s, u"--year"_s }, book, 2, u"Error: --year needs a value."_s },
        { { u"wrapped"_s, u"--year"_s, u"x"_s }, book, 2,
            u"Error: --year needs a year such as 2024, not “x”."_s },
        { { u"wrapped"_s, u"--year"_s, u"0"_s }, book, 2,
            u"Error: --year needs a year such as 2024, not “0”."_s },
        { { u"wrapped"_s, u"--year"_s, u"20245"_s }, book, 2,
            u"Error: --year needs a year such as 2024, not “20245”."_s },
        { { u"--db"_s, u"a.db"_s, u"wrapped"_s }, book, 2, u"Error: Unknown option “--db”."_s },
        { { u"--db"_s, u"a.db"_s, u"chats"_s, u"--year"_s, u"2024"_s }, {}, 2,
            u"Error: Unknown option “--year”."_s },
    };
    for (const Case &c : cases) {
        const ToolRun run = runTool(c.arguments, c.input);
        EXPECT_FALSE(run.crashed);
        EXPECT_EQ(run.exitCode, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(run.err).trimmed(), c.line);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.constData();
    }
}
