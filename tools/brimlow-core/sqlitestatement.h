#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3_stmt;

namespace Brimlow {

class SqliteDatabase;

// A prepared statement; every failure throws SqliteDatabase::Error.
class SqliteStatement
{
public:
    SqliteStatement(SqliteDatabase &database, const char *sql);
    SqliteStatement(SqliteDatabase &database, const QString &sql);
    ~SqliteStatement();

    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    void bind(int index, qint64 value);
    void bind(int index, const QString &value);
    void bind(int index, const QByteArray &blob);

    // Steps to the next row; false when there is none.
    bool next();

    bool isNull(int column) const;
    qint64 integer(int column) const;
    QString text(int column) const;
    QByteArray blob(int column) const;

private:
    void prepare(const QByteArray &sql);

    SqliteDatabase &m_database;
    sqlite3_stmt *m_statement = nullptr;
};

} // namespace Brimlow
