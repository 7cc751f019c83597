#include "model/jsonwriter.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

TEST(JsonWriter, WritesEveryTextSoThatItReadsBack)
{
    const QStringList texts = { QString(), "plain", "say \"hi\" \\ bye", "line one\nline two\r\n\ttabbed",
        QString("bell") + QChar(7) + QChar(0) + QChar(0x1f), "déjà vu – “quoted” 👋🏽",
        "ascii first, then ü and a \" quote", QString(70000, QChar('x')) };
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        JsonWriter json(&buffer);
        json.beginObject();
        json.member("texts", texts);
        json.member("count", qint64(-9007199254740991));
        json.member("empty", QStringList());
        json.key("nested");
        json.beginArray();
        json.beginObject();
        json.member("flag", false);
        json.endObject();
        json.beginObject();
        json.endObject();
        json.endArray();
        json.endObject();
    }
    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(buffer.data(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << buffer.data().left(200).constData();
    const QJsonArray read = object.value("texts").toArray();
    ASSERT_EQ(read.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i)
        EXPECT_EQ(read.at(i).toString(), texts.at(i)) << i;
    EXPECT_EQ(object.value("count").toInteger(), -9007199254740991);
    EXPECT_EQ(object.value("empty").toArray(), QJsonArray());
    EXPECT_EQ(
        object.value("nested").toArray(), (QJsonArray { QJsonObject { { "flag", false } }, QJsonObject() }));
    // Keys stay in the order written.
    EXPECT_TRUE(buffer.data().startsWith("{\"texts\":[\"\",\"plain\","));
}

TEST(JsonWriter, WritesFractionsShortAndWholeNumbersWithoutAPoint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        JsonWriter json(&buffer);
        json.beginArray();
        for (const double number : { 1.0, 0.0, 0.9375, 1.0 / 3.0, qQNaN(), qInf() })
            json.value(number);
        json.endArray();
    }
    EXPECT_EQ(buffer.data(), "[1,0,0.9375,0.3333333333333333,0,0]");
}

// Plain keys go straight in; a key that needs escaping still reads back.
TEST(JsonWriter, KeysThatNeedEscapingReadBack)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        JsonWriter json(&buffer);
        json.beginObject();
        json.member("say \"hi\" \\", true);
        json.member("caf\xC3\xA9", qint64(1));
        json.member("tab\there", qint64(2));
        json.endObject();
    }
    const QJsonObject object = QJsonDocument::fromJson(buffer.data()).object();
    EXPECT_EQ(object.value("say \"hi\" \\").toBool(), true) << buffer.data().constData();
    EXPECT_EQ(object.value(QStringLiteral("café")).toInteger(), 1);
    EXPECT_EQ(object.value("tab\there").toInteger(), 2);
}
