#include "model/helpers.h"
#include "model/json.h"
#include "model/wrapped.h"
#include "testsupport.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QJsonObject card(const QString &id, const QJsonValue &kind = u"busiest"_s)
{
    return { { u"id"_s, id }, { u"kind"_s, kind }, { u"eyebrow"_s, u"BUSIEST DAY"_s }, { u"big"_s, u"31"_s },
        { u"unit"_s, u"messages in one day"_s }, { u"detail"_s, u""_s } };
}

QJsonObject document(const QJsonArray &cards = { card(u"cover"_s, u"cover"_s) })
{
    return { { u"group"_s, false }, { u"title"_s, u"{me} & {them}"_s },
        { u"people"_s,
            QJsonArray { QJsonObject { { u"id"_s, u"me"_s }, { u"name"_s, u"Sam"_s }, { u"messages"_s, 2 } },
                QJsonObject { { u"id"_s, u"them"_s }, { u"name"_s, u"Maya"_s }, { u"messages"_s, 1 } },
                QJsonObject { { u"id"_s, u"me"_s }, { u"name"_s, u"Samuel"_s }, { u"messages"_s, 0 } } } },
        { u"total"_s, 3 }, { u"firstDay"_s, u"2024-01-01"_s }, { u"lastDay"_s, u"2024-01-02"_s },
        { u"span"_s, u"2 days"_s },
        { u"months"_s, QJsonArray { QJsonObject { { u"key"_s, u"2024-01"_s }, { u"count"_s, 3 } } } },
        { u"cards"_s, cards }, { u"defaultSelection"_s, QJsonArray { u"cover"_s } },
        { u"years"_s, QJsonArray { QJsonObject { { u"year"_s, 2024 }, { u"count"_s, 3 } } } } };
}

Wrapped read(const QJsonObject &object)
{
    return Wrapped::fromJson(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

BookFile twoYears()
{
    BookFile book;
    book.format = 1;
    book.style = u"novel"_s;
    book.people = { { u"me"_s, u"Sam"_s, true }, { u"them"_s, u"Maya"_s, false } };
    for (const QString &at :
        { u"2023-12-31T23:50:00"_s, u"2024-01-01T00:10:00"_s, u"2024-01-02T09:00:00"_s }) {
        BookFile::Message message;
        message.id = QString::number(book.messages.size());
        message.at = at;
        message.from = book.messages.size() % 2 ? u"me"_s : u"them"_s;
        message.text = u"hello"_s;
        book.messages.append(message);
    }
    return book;
}

QByteArray written(const Wrapped &wrapped)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(wrapped.write(buffer));
    return buffer.data();
}

} // namespace

TEST(WrappedDocument, WritesInTheFormatsOrderWhatItReadsBack)
{
    // A document as the message tool prints it, without its line feed.
    const QByteArray printed = QStringLiteral(
        R"({"group":false,"title":"{me} & {them}",)"
        R"("people":[{"id":"me","name":"Sam","messages":1010},{"id":"them","name":"Maya","messages":994}],)"
        R"("total":2004,"firstDay":"2024-01-01","lastDay":"2024-12-31","span":"1 year",)"
        R"("months":[{"key":"2024-01","count":171},{"key":"2024-02","count":160}],)"
        R"("cards":[{"id":"cover","kind":"cover","eyebrow":"WRAPPED","big":"2,004","count":2004,)"
        R"("unit":"messages","detail":"From January 1, 2024 to December 31, 2024.",)"
        R"("rows":[{"who":"me","value":"1,010","share":1},{"who":"them","value":"994","share":0.984}]},)"
        R"({"id":"busiest","kind":"busiest","eyebrow":"BUSIEST DAY","big":"31","count":31,)"
        R"("unit":"messages in one day","detail":"March 3, 2024.",)"
        R"("rows":[{"who":"me","value":"16","share":1},{"who":"them","value":"15","share":0.9375}],)"
        R"("day":"2024-03-03"},)"
        R"({"id":"moment-birthday-them|07-14","kind":"moment","eyebrow":"BIRTHDAY","big":"🎂",)"
        R"("unit":"Maya's birthday","detail":"Jul 14. Celebrated here.","day":"2024-07-14"}],)"
        R"("defaultSelection":["cover","busiest"],"years":[{"year":2024,"count":2004}]})")
                                   .toUtf8();
    Wrapped wrapped = Wrapped::fromJson(printed);
    EXPECT_EQ(written(wrapped), printed);

    // Every optional part there, then none of them.
    wrapped.year = 2024;
    wrapped.cards.first().day = u"2024-01-01"_s;
    Wrapped again = Wrapped::fromJson(written(wrapped));
    EXPECT_EQ(again.year, 2024);
    EXPECT_EQ(again.cards, wrapped.cards);
    EXPECT_EQ(again.people, wrapped.people);
    EXPECT_EQ(again.months, wrapped.months);
    EXPECT_EQ(again.defaultSelection, wrapped.defaultSelection);
    EXPECT_EQ(written(again), written(wrapped));
    for (Wrapped::Card &card : wrapped.cards) {
        card.count.reset();
        card.day.reset();
        card.rows.clear();
    }
    wrapped.year.reset();
    again = Wrapped::fromJson(written(wrapped));
    EXPECT_FALSE(again.year);
    EXPECT_EQ(again.cards, wrapped.cards);
    EXPECT_FALSE(written(wrapped).contains("\"rows\""));
}

TEST(WrappedDocument, ReadsCardsWithTheirOptionalParts)
{
    QJsonObject full = card(u"b"_s);
    full.insert(u"count"_s, 31);
    full.insert(u"day"_s, u"2024-01-02"_s);
    full.insert(u"rows"_s,
        QJsonArray { QJsonObject { { u"who"_s, u"me"_s }, { u"value"_s, u"16"_s }, { u"share"_s, 1 } },
            QJsonObject { { u"who"_s, u"nobody"_s }, { u"value"_s, u"15"_s }, { u"share"_s, 0.9375 } } });
    QJsonObject nullRows = card(u"n"_s, u"wrapped2025"_s);
    nullRows.insert(u"rows"_s, QJsonValue::Null);
    const Wrapped wrapped = read(document({ full, card(u"plain"_s, u"leftOnRead"_s), nullRows }));

    ASSERT_EQ(wrapped.cards.size(), 3);
    const Wrapped::Card &b = wrapped.cards.at(0);
    EXPECT_EQ(b.kind, Wrapped::Kind::Busiest);
    EXPECT_EQ(b.count, 31);
    EXPECT_EQ(b.day, u"2024-01-02"_s);
    ASSERT_EQ(b.rows.size(), 2);
    EXPECT_EQ(b.rows.at(0), (Wrapped::Row { u"me"_s, u"16"_s, 1.0 }));
    EXPECT_EQ(b.rows.at(1).share, 0.9375);
    EXPECT_EQ(wrapped.person(b.rows.at(1).who), nullptr);

    const Wrapped::Card &plain = wrapped.cards.at(1);
    EXPECT_EQ(plain.kind, Wrapped::Kind::LeftOnRead);
    EXPECT_FALSE(plain.count);
    EXPECT_FALSE(plain.day);
    EXPECT_TRUE(plain.rows.isEmpty());
    EXPECT_EQ(wrapped.cards.at(2).kind, Wrapped::Kind::Other);
    EXPECT_TRUE(wrapped.cards.at(2).rows.isEmpty());

    EXPECT_FALSE(wrapped.year);
    EXPECT_EQ(wrapped.years, (QList<Wrapped::Year> { { 2024, 3 } }));
    // Lookups take the first entry with an id.
    ASSERT_NE(wrapped.person(u"me"_s), nullptr);
    EXPECT_EQ(wrapped.person(u"me"_s)->name, u"Sam"_s);
    EXPECT_EQ(wrapped.card(u"plain"_s), &wrapped.cards.at(1));
    EXPECT_EQ(wrapped.card(u"zz"_s), nullptr);
}

TEST(WrappedDocument, KindsReadBackByTheirNames)
{
    for (int k = 0; k <= int(Wrapped::Kind::Other); ++k)
        EXPECT_EQ(Wrapped::kindNamed(Wrapped::kindName(Wrapped::Kind(k))), Wrapped::Kind(k)) << k;
    EXPECT_EQ(Wrapped::kindName(Wrapped::Kind::LeftOnRead), u"leftOnRead"_s);
    EXPECT_EQ(Wrapped::kindNamed(u"LeftOnRead"_s), Wrapped::Kind::Other);
}

TEST(WrappedDocument, RefusesADocumentWithAnythingRequiredAmiss)
{
    QJsonObject year = document();
    year.insert(u"year"_s, QJsonValue::Null);
    EXPECT_FALSE(read(year).year);
    year.insert(u"year"_s, 2024);
    EXPECT_EQ(read(year).year, 2024);

    for (const QString &key : document().keys()) {
        QJsonObject missing = document();
        missing.remove(key);
        EXPECT_THROW(read(missing), JsonError) << key.toStdString();
        missing.insert(key, QJsonValue::Null);
        EXPECT_THROW(read(missing), JsonError) << key.toStdString();
    }
    EXPECT_THROW(read(document({ card(u"a"_s, 3) })), JsonError);
    QJsonObject fractional = card(u"a"_s);
    fractional.insert(u"count"_s, 1.5);
    EXPECT_THROW(read(document({ fractional })), JsonError);
    QJsonObject textShare = card(u"a"_s);
    textShare.insert(u"rows"_s,
        QJsonArray { QJsonObject { { u"who"_s, u"me"_s }, { u"value"_s, u"1"_s }, { u"share"_s, u"1"_s } } });
    EXPECT_THROW(read(document({ textShare })), JsonError);
    EXPECT_THROW(Wrapped::fromJson("not json"), JsonError);
}

TEST(WrappedDocument, MakesTheDocumentWithTheMessageTool)
{
    const Wrapped whole = TestSupport::await(Wrapped::make(twoYears()));
    EXPECT_FALSE(whole.year);
    EXPECT_EQ(whole.total, 3);
    EXPECT_EQ(whole.years, (QList<Wrapped::Year> { { 2023, 1 }, { 2024, 2 } }));

    const Wrapped year = TestSupport::await(Wrapped::make(twoYears(), 2024));
    EXPECT_EQ(year.year, 2024);
    EXPECT_EQ(year.total, 2);
    EXPECT_EQ(year.years, whole.years);
    EXPECT_EQ(year.firstDay, u"2024-01-01"_s);

    EXPECT_EQ(TestSupport::failureOf(Wrapped::make(twoYears(), 2019)),
        u"brimlow-core failed (1): Error: There are no messages from 2019."_s);
}
