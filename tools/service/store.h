#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <mutex>

struct sqlite3;

// The stand-in's state: one SQLite file in the data folder. Every request
// thread shares the one connection, so each call holds the lock; a
// transaction() runs several statements as one step that a crash or a
// concurrent request cannot split.
class Store
{
public:
    using Row = QVariantList;

    // Opens (creating when needed) fileName and its tables. Throws
    // std::runtime_error when the file cannot be used.
    explicit Store(const QString &fileName);

    // SQLite's own name for a database that lives in memory: a store of
    // that name starts from a copy of an empty one made once.
    static QString inMemory() { return QStringLiteral(":memory:"); }
    ~Store();

    void exec(const QString &sql, const QVariantList &parameters = {});
    QList<Row> query(const QString &sql, const QVariantList &parameters = {});
    // The first row, or an empty row when there is none.
    Row one(const QString &sql, const QVariantList &parameters = {});

    // Runs work inside BEGIN IMMEDIATE ... COMMIT; an exception rolls back.
    void transaction(const std::function<void()> &work);

private:
    Q_DISABLE_COPY_MOVE(Store)

    // How a new store gets its tables: by running the schema, or, for one
    // in memory, by copying a store in memory that ran it.
    enum class Setup { FromSchema, FromPristineCopy };
    Store(const QString &fileName, Setup setup);
    // A store in memory as it starts, set up once a process: a store for
    // one request (the fuzz target's, thousands a second) copies its pages
    // rather than run the schema again.
    static sqlite3 *pristineInMemory();

    QList<Row> run(const QString &sql, const QVariantList &parameters);
    void addMissingColumn(const QString &table, const QString &column, const QString &definition);

    sqlite3 *m_db = nullptr;
    std::recursive_mutex m_mutex;
};
