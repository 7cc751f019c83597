#include "model/bookfile.h"
#include "model/json.h"

#include <QJsonDocument>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// The smallest document the reader accepts.
QJsonObject minimal()
{
    return QJsonDocument::fromJson(R"({
        "format": 2, "style": "novel",
        "front": {"title": "You & Alex", "colophon": "", "dedication": []},
        "people": [{"id": "me", "name": "Sam", "me": true}, {"id": "p1", "name": "Alex", "me": false}],
        "messages": [{"id": "m1", "at": "2024-03-05T10:00:00", "from": "p1", "text": "hi/there"}],
        "edits": {}
    })")
        .object();
}

QJsonObject withDesign(const char *designJson)
{
    QJsonObject document = minimal();
    document.insert("design", QJsonDocument::fromJson(designJson).object());
    return document;
}

const char *const fullDesign = R"({"font": "pagella", "chapters": "month", "receipt": true,
    "cover": {"style": "cloth", "color": "oxblood"}})";

} // namespace

TEST(BookFile, EmptyEditsRoundTripWithoutAbsentParts)
{
    const BookFile book = BookFile::fromJson(minimal());
    EXPECT_FALSE(book.design);
    EXPECT_FALSE(book.order);
    EXPECT_FALSE(book.stats);

    const QJsonObject written = book.toJson();
    EXPECT_EQ(written.value("edits").toObject(), QJsonObject());
    EXPECT_FALSE(written.contains("design"));
    EXPECT_FALSE(written.contains("order"));
    EXPECT_FALSE(written.contains("stats"));
    EXPECT_TRUE(book.toJsonBytes().contains("\"edits\":{}"));
    EXPECT_TRUE(book.toJsonBytes().contains("hi/there"));
}

TEST(BookFile, MissingRequiredPartsFailTheWholeDocument)
{
    for (const char *key : { "format", "style", "front", "people", "messages", "edits" }) {
        QJsonObject document = minimal();
        document.remove(key);
        EXPECT_THROW(BookFile::fromJson(document), JsonError) << key;
        document.insert(key, QJsonValue::Null);
        EXPECT_THROW(BookFile::fromJson(document), JsonError) << key;
    }
}

TEST(BookFile, ErrorsSayWhereTheDocumentIsWrong)
{
    QJsonObject document = minimal();
    QJsonArray messages = document.value("messages").toArray();
    messages.append(QJsonObject { { "id", "m2" }, { "at", QJsonValue::Null }, { "from", "me" } });
    document.insert("messages", messages);
    try {
        BookFile::fromJson(document);
        FAIL() << "read a message without a time";
    } catch (const JsonError &error) {
        EXPECT_EQ(error.path(), "messages[1].at");
    }
}

TEST(BookFile, MalformedBytesThrowJsonError)
{
    EXPECT_THROW(BookFile::fromJson(QByteArray("{\"format\": 1,")), JsonError);
    EXPECT_THROW(BookFile::fromJson(QByteArray("[]")), JsonError);
    EXPECT_THROW(BookFile::fromJson(QByteArray()), JsonError);
}

TEST(BookFile, DesignWithoutRequiredKeysFailsOptionalOnesReadAbsent)
{
    EXPECT_THROW(BookFile::fromJson(withDesign(R"({"font": "pagella", "chapters": "month",
        "cover": {"style": "cloth", "color": "oxblood"}})")),
        JsonError);
    EXPECT_THROW(
        BookFile::fromJson(withDesign(R"({"font": "pagella", "chapters": "month", "receipt": true})")),
        JsonError);
    EXPECT_THROW(BookFile::fromJson(withDesign(R"({"font": "pagella", "chapters": "month", "receipt": true,
        "cover": {"style": "cloth"}})")),
        JsonError);

    const BookFile book = BookFile::fromJson(withDesign(fullDesign));
    ASSERT_TRUE(book.design);
    EXPECT_FALSE(book.design->layout);
    EXPECT_FALSE(book.design->colourCoding);
    EXPECT_EQ(*book.design, Design());
}

// Books written before the app kept the reader's dates have none, and keep
// none; a dates object is whole or the document fails.
TEST(BookFile, DatesAreOptionalButWholeWhenPresent)
{
    const BookFile book = BookFile::fromJson(minimal());
    EXPECT_FALSE(book.dates);
    EXPECT_FALSE(book.toJson().contains("dates"));
    for (const char *key : { "day", "date", "month", "time" }) {
        QJsonObject dates { { "day", "EEEE d MMMM" }, { "date", "d MMMM y" }, { "month", "MMMM y" },
            { "time", "HH:mm" } };
        dates.remove(key);
        QJsonObject document = minimal();
        document.insert("dates", dates);
        EXPECT_THROW(BookFile::fromJson(document), JsonError) << key;
    }
}

TEST(BookFile, NullCustomCoverReadsAbsent)
{
    const BookFile book = BookFile::fromJson(withDesign(R"({"font": "f", "chapters": "none", "receipt": false,
        "cover": {"style": "cloth", "color": "navy", "custom": null}})"));
    ASSERT_TRUE(book.design);
    EXPECT_FALSE(book.design->cover.custom);
}

TEST(BookFile, NullTextReadsAbsentAndIsNotWrittenBack)
{
    QJsonObject document = minimal();
    document.insert("messages",
        QJsonArray { QJsonObject { { "id", "m1" }, { "at", "2024-03-05T10:00:00" }, { "from", "p1" },
            { "text", QJsonValue::Null } } });
    const BookFile book = BookFile::fromJson(document);
    EXPECT_FALSE(book.messages.first().text);
    EXPECT_FALSE(book.toJson().value("messages").toArray().first().toObject().contains("text"));
}

TEST(BookFile, EveryFieldSurvivesARoundTripAndUnknownKeysAreDropped)
{
    const QJsonObject document = QJsonDocument::fromJson(R"({
        "format": 3, "style": "novel", "extra": 1,
        "front": {"title": "T", "colophon": "C", "dedication": ["a", ""]},
        "people": [{"id": "p1", "name": "Alex", "me": false}],
        "messages": [{"id": "m1", "at": "2024-03-05T10:00:00", "from": "p1", "who": "Alex", "text": "x",
                      "media": ["photo"], "photos": ["/a.jpg"]}],
        "edits": {"range": {"from": "2024-01-01"}, "hidden": ["m2"], "text": {"m1": "y"},
                  "emphasis": [{"id": "m1"}, {"id": "m1", "phrase": "x"}], "words": ["love"],
                  "chapters": [{"start": "m1", "title": "One"}], "inserts": [{"before": "m1", "kind": "page", "text": "t"}],
                  "pins": [{"id": "m1", "page": 12}]},
        "design": {"font": "f", "chapters": "c", "receipt": true, "receiptLines": [["Days", "3"]],
                   "colourCoding": false, "layout": "bubbles",
                   "cover": {"style": "photo", "color": "c", "image": "/i.png", "fit": "fill",
                             "custom": {"background": "#000000", "ink": "#ffffff", "font": "g", "position": "top"}}},
        "order": {"binding": "hardcover", "shipping": "express", "recipient": "gift", "addons": ["a"],
                  "moments": [{"addon": "a", "day": "2024-03-05", "title": "M"}]},
        "stats": {"messages": 1, "first": "x"},
        "dates": {"day": "EEEE d MMMM", "date": "d MMMM y", "month": "MMMM y", "time": "HH:mm"}
    })")
                                     .object();
    QJsonObject expected = document;
    expected.remove("extra");
    EXPECT_EQ(BookFile::fromJson(document).toJson(), expected);
}

TEST(Design, NewRecordsStartWithTheFirstLook)
{
    const Design design;
    EXPECT_EQ(design.font, "pagella");
    EXPECT_EQ(design.chapters, "month");
    EXPECT_TRUE(design.receipt);
    EXPECT_EQ(design.cover.style, "cloth");
    EXPECT_EQ(design.cover.color, "oxblood");
    EXPECT_FALSE(design.cover.image || design.cover.fit || design.cover.custom);

    const Design::Cover::Custom custom;
    EXPECT_EQ(custom.background, "#6b1f24");
    EXPECT_EQ(custom.ink, "#efe6d2");
    EXPECT_EQ(custom.font, "garamond");
    EXPECT_EQ(custom.position, "middle");

    const Order order;
    EXPECT_EQ(order.binding, "paperback");
    EXPECT_EQ(order.shipping, "economy");
    EXPECT_EQ(order.recipient, "me");
    EXPECT_FALSE(order.addons || order.moments);
}

TEST(Design, EqualityComparesEveryFieldDownToTheCustomCover)
{
    Design a;
    a.cover.custom = Design::Cover::Custom();
    Design b = a;
    EXPECT_EQ(a, b);
    b.cover.custom->position = QStringLiteral("top");
    EXPECT_NE(a, b);
    b = a;
    b.receiptLines = QList<QStringList>();
    EXPECT_NE(a, b);
}

TEST(Edits, PartsAreHashableOverAllFields)
{
    QSet<Edits::Pin> pins { { "m1", 3 }, { "m1", 3 }, { "m1", 4 } };
    EXPECT_EQ(pins.size(), 2);
    QSet<Edits::Emphasis> emphasis { { "m1", std::nullopt }, { "m1", QString() }, { "m1", std::nullopt } };
    EXPECT_EQ(emphasis.size(), 2);
    QSet<Order::MomentPick> picks { { "a", "2024-01-01", "t" }, { "a", "2024-01-01", "t" } };
    EXPECT_EQ(picks.size(), 1);
}
