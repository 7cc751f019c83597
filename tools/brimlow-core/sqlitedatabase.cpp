#include "sqlitedatabase.h"

#include "sqlitestatement.h"

#include <QUrl>
#include <sqlite3.h>

namespace Brimlow {

SqliteDatabase::Error::Error(int code, const QString &message)
    : std::runtime_error(message.toStdString())
    , m_code(code)
{ }

SqliteDatabase::SqliteDatabase(const QString &path, Mode mode, int busyTimeoutMs)
{
    QByteArray uri = "file:" + QUrl::toPercentEncoding(path, "/");
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case Mode::ReadOnly:
        uri += "?mode=ro";
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::Immutable:
        uri += "?mode=ro&immutable=1";
        flags |= SQLITE_OPEN_READONLY;
        break;
    case Mode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    }
    const int rc = sqlite3_open_v2(uri.constData(), &m_db, flags, nullptr);
    if (m_db)
        sqlite3_extended_result_codes(m_db, 1);
    if (rc != SQLITE_OK) {
        const Error error(
            rc, m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory"));
        close();
        throw error;
    }
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    checkSchema();
}

SqliteDatabase SqliteDatabase::fromImage(QByteArray image)
{
    SqliteDatabase database;
    database.m_image = std::move(image);
    int rc
        = sqlite3_open_v2(":memory:", &database.m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (database.m_db)
        sqlite3_extended_result_codes(database.m_db, 1);
    if (rc == SQLITE_OK) {
        const auto size = sqlite3_int64(database.m_image.size());
        rc = sqlite3_deserialize(database.m_db, "main",
            reinterpret_cast<unsigned char *>(database.m_image.data()), size, size,
            SQLITE_DESERIALIZE_READONLY);
    }
    if (rc != SQLITE_OK) {
        const Error error(rc,
            database.m_db ? QString::fromUtf8(sqlite3_errmsg(database.m_db))
                          : QStringLiteral("out of memory"));
        database.close();
        throw error;
    }
    database.checkSchema();
    return database;
}

void SqliteDatabase::checkSchema()
{
    try {
        SqliteStatement probe(*this, "SELECT count(*) FROM sqlite_master");
        probe.next();
    } catch (...) {
        close();
        throw;
    }
}

SqliteDatabase::~SqliteDatabase()
{
    close();
}

SqliteDatabase::SqliteDatabase(SqliteDatabase &&other) noexcept
    : m_db(other.m_db)
    , m_image(std::move(other.m_image))
{
    other.m_db = nullptr;
}

SqliteDatabase &SqliteDatabase::operator=(SqliteDatabase &&other) noexcept
{
    if (this != &other) {
        close();
        m_db = other.m_db;
        m_image = std::move(other.m_image);
        other.m_db = nullptr;
    }
    return *this;
}

void SqliteDatabase::close()
{
    if (m_db)
        sqlite3_close_v2(m_db);
    m_db = nullptr;
    m_image.clear();
}

SqliteDatabase SqliteDatabase::openForReading(const QString &path, int busyTimeoutMs)
{
    try {
        return SqliteDatabase(path, Mode::ReadOnly, busyTimeoutMs);
    } catch (const Error &error) {
        if (error.primaryCode() != SQLITE_CANTOPEN && error.primaryCode() != SQLITE_READONLY)
            throw;
    }
    return SqliteDatabase(path, Mode::Immutable, busyTimeoutMs);
}

bool SqliteDatabase::hasTable(const QString &table)
{
    SqliteStatement query(*this, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?");
    query.bind(1, table);
    return query.next();
}

QStringList SqliteDatabase::columns(const QString &table)
{
    SqliteStatement query(*this, "SELECT name FROM pragma_table_info(?)");
    query.bind(1, table);
    QStringList names;
    while (query.next())
        names.append(query.text(0));
    return names;
}

void SqliteDatabase::execute(const char *sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throwLastError();
}

void SqliteDatabase::throwLastError() const
{
    throw Error(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)));
}

} // namespace Brimlow
