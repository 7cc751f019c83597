// The stand-in's data file across versions of the stand-in.
#include "orders.h"
#include "store.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

// `make run` keeps its data folder: orders placed before an order could
// carry a discount still open, read as charged in full, and opening the file
// again finds it as it left it.
TEST(Store, AnOlderFileKeepsItsOrdersReadAsChargedInFull)
{
    QTemporaryDir folder;
    const QByteArray file = folder.filePath(QStringLiteral("service.sqlite")).toUtf8();
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
            "CREATE TABLE orders (id TEXT PRIMARY KEY, token TEXT NOT NULL, install TEXT NOT NULL, "
            "title TEXT NOT NULL, binding TEXT NOT NULL, shipping TEXT NOT NULL, addons TEXT NOT NULL, "
            "volume_pages TEXT NOT NULL, email TEXT, gift_code TEXT, discount_code TEXT, mode TEXT NOT "
            "NULL, state TEXT NOT NULL, total INTEGER NOT NULL, submission TEXT, created TEXT NOT NULL);"
            "INSERT INTO orders VALUES ('ord_old', 't', 'i', 'Us', 'paperback', 'economy', '[]', '[2]', "
            "NULL, NULL, 'WELCOME10', 'stripe', 'awaiting payment', 45, NULL, '2024-01-01');",
            nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    for (int opening = 0; opening < 2; ++opening) {
        Store store(QString::fromUtf8(file));
        Orders orders(store, folder.path(), QStringLiteral("stripe"));
        const QJsonObject old = orders.describe(QStringLiteral("ord_old"));
        EXPECT_EQ(old.value(QStringLiteral("total")).toInteger(), 45);
        EXPECT_EQ(old.value(QStringLiteral("dueCents")).toInteger(), 4500);
    }
}

// Stores in memory each start empty with every table and column, however
// many came before them and whatever those recorded.
TEST(Store, EachStoreInMemoryStartsEmptyWithEveryColumn)
{
    for (int opening = 0; opening < 3; ++opening) {
        Store store(QStringLiteral(":memory:"));
        EXPECT_TRUE(store.query(QStringLiteral("SELECT * FROM orders")).isEmpty());
        EXPECT_TRUE(store.query(QStringLiteral("SELECT * FROM gifts")).isEmpty());
        store.exec(QStringLiteral("INSERT INTO gifts (code, balance_cents) VALUES (?, ?)"),
            { QStringLiteral("GIFT-%1").arg(opening), 500 });
        store.transaction([&] {
            store.exec(QStringLiteral("INSERT INTO orders (id, token, install, title, binding, shipping, "
                                      "addons, volume_pages, mode, state, total, created, discount_cents, "
                                      "gift_cents) VALUES ('o', 't', 'i', 'Us', 'paperback', 'economy', "
                                      "'[]', '[2]', 'stripe', 'open', 45, 'now', 5, 7)"));
        });
        EXPECT_EQ(
            store.one(QStringLiteral("SELECT discount_cents + gift_cents FROM orders")).value(0).toInt(), 12);
        EXPECT_EQ(store.query(QStringLiteral("SELECT code FROM gifts")).size(), 1);
    }
}
