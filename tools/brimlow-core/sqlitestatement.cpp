#include "sqlitestatement.h"

#include "sqlitedatabase.h"

#include <sqlite3.h>

namespace Brimlow {

SqliteStatement::SqliteStatement(SqliteDatabase &database, const char *sql)
    : m_database(database)
{
    prepare(QByteArray(sql));
}

SqliteStatement::SqliteStatement(SqliteDatabase &database, const QString &sql)
    : m_database(database)
{
    prepare(sql.toUtf8());
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_statement);
}

void SqliteStatement::prepare(const QByteArray &sql)
{
    if (sqlite3_prepare_v2(m_database.handle(), sql.constData(), int(sql.size()), &m_statement, nullptr)
        != SQLITE_OK)
        m_database.throwLastError();
}

void SqliteStatement::bind(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_statement, index, value) != SQLITE_OK)
        m_database.throwLastError();
}

void SqliteStatement::bind(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        m_database.throwLastError();
}

void SqliteStatement::bind(int index, const QByteArray &blob)
{
    if (sqlite3_bind_blob(m_statement, index, blob.constData(), int(blob.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        m_database.throwLastError();
}

bool SqliteStatement::next()
{
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    m_database.throwLastError();
}

bool SqliteStatement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QString SqliteStatement::text(int column) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
}

QByteArray SqliteStatement::blob(int column) const
{
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
    return QByteArray(data, sqlite3_column_bytes(m_statement, column));
}

} // namespace Brimlow
