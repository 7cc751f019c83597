#include "jsontree.h"
#include "printers.h"

#include <QList>
#include <QStringList>
#include <gtest/gtest.h>

using namespace Brimlow;

TEST(JsonTree, ReadsMembersTextsAndNumbers)
{
    const auto tree = JsonTree::parse(
        R"({"a": [1, "caf\u00e9 \ud83d\udc4b \"q\"\n", {"b": null}], "c": true, "t": "1612129262", "e": 1.6e3,)"
        R"( "k\u0065y": "escaped key", "nested": {"x": {"y": [ ]}}})");
    ASSERT_TRUE(tree.has_value());
    const JsonTree::Node root = tree->root();
    ASSERT_TRUE(root.isObject());
    EXPECT_EQ(root.size(), 6);
    const JsonTree::Node list = root["a"];
    ASSERT_EQ(list.size(), 3);
    QList<JsonTree::Node> items;
    for (const JsonTree::Node item : list)
        items.append(item);
    EXPECT_EQ(items.at(0).integer(), 1);
    EXPECT_EQ(items.at(1).string(), "café 👋 \"q\"\n");
    EXPECT_TRUE(items.at(2)["b"].isNull());
    EXPECT_TRUE(items.at(2)["b"].isValid());
    EXPECT_FALSE(items.at(2)["missing"].isValid());
    EXPECT_TRUE(root["c"].boolean());
    EXPECT_EQ(root["t"].integer(), 1612129262);
    EXPECT_EQ(root["e"].integer(), 1600);
    EXPECT_EQ(root["key"].string(), "escaped key");
    EXPECT_EQ(root["nested"]["x"]["y"].size(), 0);
    // Asking the wrong kind of node gives nothing, never a crash.
    EXPECT_TRUE(root["c"]["a"].string().isEmpty());
    EXPECT_EQ(root["a"].string(), QString());
    EXPECT_FALSE(root["nested"].integer().has_value());

    QStringList keys;
    for (const JsonTree::Node value : root)
        keys.append(value.keyText());
    EXPECT_EQ(keys, (QStringList { "a", "c", "t", "e", "key", "nested" }));
}

TEST(JsonTree, RefusesWhatIsNotWholeJson)
{
    const QByteArray good = R"({"messages": [{"text": "a"}, {"text": "b"}]})";
    ASSERT_TRUE(JsonTree::parse(good).has_value());
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(JsonTree::parse(good.left(cut)).has_value()) << cut;
    EXPECT_FALSE(JsonTree::parse(good + " {}").has_value());
    EXPECT_FALSE(JsonTree::parse(R"({"a" 1 2})").has_value());
    EXPECT_FALSE(JsonTree::parse(R"({1: 2})").has_value());
    EXPECT_FALSE(JsonTree::parse("[tru]").has_value());
    EXPECT_FALSE(JsonTree::parse("[1}").has_value());
    EXPECT_FALSE(JsonTree::parse("[1 2]").has_value());
    // Deeper than any export nests.
    EXPECT_FALSE(JsonTree::parse(QByteArray(300, '[') + QByteArray(300, ']')).has_value());
    EXPECT_TRUE(JsonTree::parse(QByteArray(100, '[') + QByteArray(100, ']')).has_value());
}

TEST(JsonTree, RefusesMembersOutOfTurn)
{
    // A value in a key's place (after a stray colon, or with no comma before
    // it) once made walking the object run past the end of the nodes.
    for (const char *text :
        { R"({"a": "b": [{"c": 1}, 2], "d": 3})", R"({"a": 1 {"b": 2}})", R"({"a": 1, : 2})",
            R"({"a": 1,, "b": 2})", R"({"a" "b"})", R"([1, : 2])", R"({"a": })", R"({: 1})" })
        EXPECT_FALSE(JsonTree::parse(text).has_value()) << text;
    // A comma before the close is let through.
    const auto lenient = JsonTree::parse(R"({"a": [1, 2,], "b": {},})");
    ASSERT_TRUE(lenient.has_value());
    QStringList keys;
    for (const JsonTree::Node value : lenient->root())
        keys.append(value.keyText());
    EXPECT_EQ(keys, (QStringList { "a", "b" }));
    EXPECT_EQ(lenient->root()["a"].size(), 2);
}

// Nodes are kept in blocks, the first growing from a few to a block's size:
// every node on either side of each growth and of the blocks' seams reads
// as written.
TEST(JsonTree, ReadsEveryNodeAcrossTheFirstBlocksGrowthAndTheBlocksAfterIt)
{
    for (const int count : { 0, 1, 254, 255, 256, 511, 65534, 65535, 65536, 140000 }) {
        QByteArray text = "[";
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                text += ',';
            text += QByteArray::number(i);
        }
        text += ']';
        const auto tree = JsonTree::parse(text);
        ASSERT_TRUE(tree.has_value()) << count;
        ASSERT_EQ(tree->root().size(), count);
        int expected = 0;
        for (const JsonTree::Node item : tree->root()) {
            if (item.integer() != expected) {
                ADD_FAILURE() << count << ": item " << expected << " reads " << item.integer().value_or(-1);
                break;
            }
            ++expected;
        }
        EXPECT_EQ(expected, count);
    }
}
