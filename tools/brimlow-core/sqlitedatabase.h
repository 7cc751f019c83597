#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>

struct sqlite3;

namespace Brimlow {

// One SQLite connection. Inputs are only ever opened for reading; writing
// is for copies the tool made itself.
class SqliteDatabase
{
public:
    enum class Mode {
        ReadOnly, // mode=ro: sees what a live writer committed, takes read locks
        Immutable, // mode=ro&immutable=1: no locks, no journal, for files nobody writes
        ReadWrite, // our own copies only
    };

    // An SQLite result code with SQLite's own words; callers turn it into a
    // sentence for the user.
    class Error : public std::runtime_error
    {
    public:
        Error(int code, const QString &message);
        int code() const { return m_code; }
        int primaryCode() const { return m_code & 0xff; }

    private:
        int m_code;
    };

    SqliteDatabase() = default;
    SqliteDatabase(const QString &path, Mode mode, int busyTimeoutMs = 2000);
    ~SqliteDatabase();

    SqliteDatabase(SqliteDatabase &&other) noexcept;
    SqliteDatabase &operator=(SqliteDatabase &&other) noexcept;
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    // A store that another program may be using: read-only first, and
    // without locks when read-only access cannot set up its shared memory
    // (a WAL store in a folder we may not write).
    static SqliteDatabase openForReading(const QString &path, int busyTimeoutMs = 2000);
    // A database read from its bytes in memory, never from a file: the
    // decrypted manifest of an encrypted backup, which must not rest on
    // disk where a killed run would leave it. Read-only.
    static SqliteDatabase fromImage(QByteArray image);

    sqlite3 *handle() const { return m_db; }
    bool isOpen() const { return m_db != nullptr; }

    bool hasTable(const QString &table);
    QStringList columns(const QString &table);
    void execute(const char *sql);

    [[noreturn]] void throwLastError() const;

private:
    // Reading the schema makes a file that is no database, or that is
    // locked, fail here rather than at the first query.
    void checkSchema();
    void close();

    sqlite3 *m_db = nullptr;
    // The bytes a database made from an image reads, for as long as it is open.
    QByteArray m_image;
};

} // namespace Brimlow
