#include "store.h"

#include <sqlite3.h>
#include <stdexcept>
#include <utility>

namespace {

const char *const schema = R"(
PRAGMA journal_mode = WAL;
PRAGMA synchronous = NORMAL;
CREATE TABLE IF NOT EXISTS orders (
    id TEXT PRIMARY KEY, token TEXT NOT NULL, install TEXT NOT NULL, title TEXT NOT NULL,
    binding TEXT NOT NULL, shipping TEXT NOT NULL, addons TEXT NOT NULL, volume_pages TEXT NOT NULL,
    email TEXT, gift_code TEXT, discount_code TEXT, mode TEXT NOT NULL, state TEXT NOT NULL,
    total INTEGER NOT NULL, submission TEXT, created TEXT NOT NULL,
    discount_cents INTEGER NOT NULL DEFAULT 0, gift_cents INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS uploads (
    order_id TEXT NOT NULL, name TEXT NOT NULL, bytes INTEGER NOT NULL, pages INTEGER NOT NULL,
    sha256 TEXT NOT NULL, PRIMARY KEY (order_id, name));
CREATE TABLE IF NOT EXISTS gifts (
    code TEXT PRIMARY KEY, balance_cents INTEGER NOT NULL, recipient TEXT, giver TEXT);
CREATE TABLE IF NOT EXISTS installs (
    install TEXT PRIMARY KEY, code TEXT NOT NULL UNIQUE, share_state TEXT NOT NULL,
    share_code TEXT, share_used INTEGER NOT NULL DEFAULT 0, viral_state TEXT NOT NULL,
    viral_gift TEXT);
CREATE TABLE IF NOT EXISTS submissions (
    id INTEGER PRIMARY KEY AUTOINCREMENT, install TEXT NOT NULL, kind TEXT NOT NULL,
    url TEXT NOT NULL, email TEXT NOT NULL, views TEXT, likes TEXT, reposts TEXT,
    screenshot TEXT, status TEXT NOT NULL, at TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS events (
    id INTEGER PRIMARY KEY AUTOINCREMENT, step TEXT NOT NULL, at TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS inboxes (
    code TEXT PRIMARY KEY, token TEXT NOT NULL, name TEXT, bytes INTEGER, sha256 TEXT,
    created TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS inbox_uploads (
    upload TEXT PRIMARY KEY, code TEXT NOT NULL, name TEXT NOT NULL, part_size INTEGER NOT NULL,
    done INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS inbox_parts (
    upload TEXT NOT NULL, number INTEGER NOT NULL, bytes INTEGER NOT NULL, etag TEXT NOT NULL,
    PRIMARY KEY (upload, number));
)";

[[noreturn]] void fail(sqlite3 *db, const QString &what)
{
    throw std::runtime_error(
        QStringLiteral("%1: %2").arg(what, QString::fromUtf8(sqlite3_errmsg(db))).toStdString());
}

void bind(sqlite3 *db, sqlite3_stmt *statement, int index, const QVariant &value)
{
    int result = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        result = sqlite3_bind_null(statement, index);
        break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        result = sqlite3_bind_int64(statement, index, value.toLongLong());
        break;
    case QMetaType::Double:
        result = sqlite3_bind_double(statement, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        result = sqlite3_bind_blob64(
            statement, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        result = sqlite3_bind_text64(
            statement, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
    if (result != SQLITE_OK)
        fail(db, QStringLiteral("bind"));
}

QVariant column(sqlite3_stmt *statement, int index)
{
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, index));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, index)),
                sqlite3_column_bytes(statement, index)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, index)),
            sqlite3_column_bytes(statement, index)));
    default:
        return QVariant();
    }
}

[[noreturn]] void failToOpen(sqlite3 *&db, const QString &fileName, const QString &message)
{
    sqlite3_close(db);
    db = nullptr;
    throw std::runtime_error(QStringLiteral("cannot open %1: %2").arg(fileName, message).toStdString());
}

} // namespace

sqlite3 *Store::pristineInMemory()
{
    static sqlite3 *const pristine = [] {
        Store store(inMemory(), Setup::FromSchema);
        return std::exchange(store.m_db, nullptr);
    }();
    return pristine;
}

Store::Store(const QString &fileName)
    : Store(fileName, fileName == inMemory() ? Setup::FromPristineCopy : Setup::FromSchema)
{ }

Store::Store(const QString &fileName, Setup setup)
{
    if (sqlite3_open_v2(
            fileName.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        != SQLITE_OK)
        failToOpen(m_db, fileName, QString::fromUtf8(sqlite3_errmsg(m_db)));
    sqlite3_busy_timeout(m_db, 5000);
    if (setup == Setup::FromPristineCopy) {
        static std::mutex copying;
        std::lock_guard lock(copying);
        sqlite3_backup *backup = sqlite3_backup_init(m_db, "main", pristineInMemory(), "main");
        if (!backup)
            failToOpen(m_db, fileName, QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_backup_step(backup, -1);
        if (sqlite3_backup_finish(backup) != SQLITE_OK)
            failToOpen(m_db, fileName, QString::fromUtf8(sqlite3_errmsg(m_db)));
        return;
    }
    char *error = nullptr;
    if (sqlite3_exec(m_db, schema, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error);
        sqlite3_free(error);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw std::runtime_error(QStringLiteral("cannot set up %1: %2").arg(fileName, message).toStdString());
    }
    try {
        // A data folder kept from before an order had a discount: its
        // orders were charged in full.
        addMissingColumn(QStringLiteral("orders"), QStringLiteral("discount_cents"),
            QStringLiteral("INTEGER NOT NULL DEFAULT 0"));
        // And from before a card paid part of one: its open orders are
        // charged without the card.
        addMissingColumn(QStringLiteral("orders"), QStringLiteral("gift_cents"),
            QStringLiteral("INTEGER NOT NULL DEFAULT 0"));
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

void Store::addMissingColumn(const QString &table, const QString &column, const QString &definition)
{
    for (const Row &existing : run(QStringLiteral("PRAGMA table_info(%1)").arg(table), {})) {
        if (existing.value(1).toString() == column)
            return;
    }
    run(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, column, definition), {});
}

Store::~Store()
{
    sqlite3_close(m_db);
}

void Store::exec(const QString &sql, const QVariantList &parameters)
{
    run(sql, parameters);
}

QList<Store::Row> Store::query(const QString &sql, const QVariantList &parameters)
{
    return run(sql, parameters);
}

Store::Row Store::one(const QString &sql, const QVariantList &parameters)
{
    const QList<Row> rows = run(sql, parameters);
    return rows.isEmpty() ? Row() : rows.first();
}

void Store::transaction(const std::function<void()> &work)
{
    std::lock_guard lock(m_mutex);
    run(QStringLiteral("BEGIN IMMEDIATE"), {});
    try {
        work();
    } catch (...) {
        run(QStringLiteral("ROLLBACK"), {});
        throw;
    }
    run(QStringLiteral("COMMIT"), {});
}

QList<Store::Row> Store::run(const QString &sql, const QVariantList &parameters)
{
    std::lock_guard lock(m_mutex);
    sqlite3_stmt *statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK)
        fail(m_db, QStringLiteral("prepare"));
    QList<Row> rows;
    try {
        for (int i = 0; i < parameters.size(); ++i)
            bind(m_db, statement, i + 1, parameters.at(i));
        for (;;) {
            const int step = sqlite3_step(statement);
            if (step == SQLITE_DONE)
                break;
            if (step != SQLITE_ROW)
                fail(m_db, QStringLiteral("step"));
            Row row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c)
                row.append(column(statement, c));
            rows.append(row);
        }
    } catch (...) {
        sqlite3_finalize(statement);
        throw;
    }
    sqlite3_finalize(statement);
    return rows;
}
