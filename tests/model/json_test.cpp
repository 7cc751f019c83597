#include "model/json.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

namespace {

QJsonObject object(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

template<typename Read> QString errorOf(Read read)
{
    try {
        read();
    } catch (const JsonError &error) {
        return error.description();
    }
    return QStringLiteral("no error");
}

} // namespace

TEST(Json, RequiredKeysRefuseAbsenceNullAndWrongTypes)
{
    const QJsonObject o = object(R"({"s": "x", "n": null, "i": 3, "b": true})");
    EXPECT_EQ(errorOf([&] { Json::requiredString(o, "missing"); }), "missing: missing required key");
    EXPECT_EQ(errorOf([&] { Json::requiredString(o, "n"); }), "n: required key is null");
    EXPECT_EQ(errorOf([&] { Json::requiredString(o, "i"); }), "i: expected a string, found a number");
    EXPECT_EQ(errorOf([&] { Json::requiredBool(o, "s"); }), "s: expected a boolean, found a string");
}

TEST(Json, OptionalKeysTakeAbsenceAndNullButNotWrongTypes)
{
    const QJsonObject o = object(R"({"n": null, "i": 3})");
    EXPECT_EQ(Json::optionalString(o, "missing"), std::nullopt);
    EXPECT_EQ(Json::optionalString(o, "n"), std::nullopt);
    EXPECT_THROW(Json::optionalString(o, "i"), JsonError);
}

TEST(Json, IntegersMustBeIntegralAndInRange)
{
    const QJsonObject o = object(R"({"whole": 4.0, "half": 1.5, "big": 3000000000, "text": "1"})");
    EXPECT_EQ(Json::requiredInt(o, "whole"), 4);
    EXPECT_THROW(Json::requiredInt(o, "half"), JsonError);
    EXPECT_THROW(Json::requiredInt(o, "big"), JsonError);
    EXPECT_EQ(Json::toInt64(o.value("big")), 3000000000LL);
    EXPECT_THROW(Json::requiredInt(o, "text"), JsonError);
}

TEST(Json, ErrorsNameThePathThroughRecordsAndArrays)
{
    const QJsonObject o = object(R"({"outer": {"items": [{"v": 1}, {"v": "x"}]}})");
    const QString error = errorOf([&] {
        Json::requiredRecord(o, "outer", [](const QJsonObject &outer) {
            return Json::requiredRecords(
                outer, "items", [](const QJsonObject &item) { return Json::requiredInt(item, "v"); });
        });
    });
    EXPECT_EQ(error, "outer.items[1].v: expected an integer, found a string");
}
