#include "inbox.h"

#include "store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QSaveFile>

namespace {

QString nameFrom(Call &call)
{
    const QString name = call.header("x-name");
    if (name.isEmpty())
        throw Refusal(400, QStringLiteral("Name the file in x-name."));
    // httplib has already decoded the percent-encoding of header values.
    return name;
}

QString etagOf(const QByteArray &bytes)
{
    return QLatin1Char('"')
        + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex())
        + QLatin1Char('"');
}

} // namespace

Inbox::Inbox(Store &store, const QString &dataFolder, qint64 partSize)
    : m_store(store)
    , m_folder(dataFolder + QStringLiteral("/inbox"))
    , m_partSize(partSize)
{ }

void Inbox::addRoutes(Routes &routes)
{
    using namespace std::placeholders;
    routes.push_back({ "POST", routePattern("/api/inbox"), std::bind(&Inbox::open, this, _1) });
    routes.push_back({ "PUT", routePattern("/api/inbox/([^/]+)/file"), std::bind(&Inbox::file, this, _1) });
    routes.push_back(
        { "POST", routePattern("/api/inbox/([^/]+)/parts"), std::bind(&Inbox::begin, this, _1) });
    routes.push_back(
        { "POST", routePattern("/api/inbox/([^/]+)/parts/done"), std::bind(&Inbox::done, this, _1) });
    routes.push_back(
        { "PUT", routePattern("/api/inbox/([^/]+)/parts/([0-9]+)"), std::bind(&Inbox::part, this, _1) });
    routes.push_back({ "GET", routePattern("/make/"), [](Call &call) {
                          // The fragment carries the inbox; the page only says where the chat went.
                          call.reply(200,
                              "<!doctype html><meta charset=\"utf-8\"><title>Make your book</title>"
                              "<h1>Your conversation arrived</h1><p>It is waiting in your inbox.</p>",
                              "text/html; charset=utf-8");
                      } });
}

void Inbox::open(Call &call)
{
    const QString code = randomText(10);
    const QString token = randomText(32, "0123456789abcdef");
    m_store.exec(QStringLiteral("INSERT INTO inboxes (code, token, created) VALUES (?, ?, ?)"),
        { code, token, QDateTime::currentDateTimeUtc().toString(Qt::ISODate) });
    call.reply(200, QJsonObject { { QStringLiteral("code"), code }, { QStringLiteral("token"), token } });
}

QString Inbox::folder(Call &call)
{
    const QString code = call.capture(1);
    const Store::Row row = m_store.one(QStringLiteral("SELECT token FROM inboxes WHERE code = ?"), { code });
    if (row.isEmpty())
        throw Refusal(404, QStringLiteral("There's no such inbox."));
    if (call.header("x-inbox-token") != row.at(0).toString())
        throw Refusal(401, QStringLiteral("That inbox's token is missing or wrong."));
    // Codes are ours: letters and digits only, so the folder stays inside.
    return m_folder + QLatin1Char('/') + code;
}

void Inbox::store(const QString &code, const QString &folder, const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(folder);
    QSaveFile saved(folder + QStringLiteral("/chat.txt"));
    if (!saved.open(QIODevice::WriteOnly) || saved.write(bytes) != bytes.size() || !saved.commit())
        throw Refusal(500, QStringLiteral("The stand-in couldn't store the chat."));
    m_store.exec(QStringLiteral("UPDATE inboxes SET name = ?, bytes = ?, sha256 = ? WHERE code = ?"),
        { name, bytes.size(),
            QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()), code });
}

void Inbox::file(Call &call)
{
    const QString where = folder(call);
    const QString name = nameFrom(call);
    const QByteArray bytes = call.body();
    if (bytes.isEmpty())
        throw Refusal(400, QStringLiteral("The chat arrived empty."));
    store(call.capture(1), where, name, bytes);
    call.reply(200,
        QJsonObject { { QStringLiteral("ok"), true }, { QStringLiteral("bytes"), double(bytes.size()) } });
}

void Inbox::begin(Call &call)
{
    folder(call);
    const QString id = randomText(16);
    m_store.exec(
        QStringLiteral("INSERT INTO inbox_uploads (upload, code, name, part_size) VALUES (?, ?, ?, ?)"),
        { id, call.capture(1), nameFrom(call), m_partSize });
    call.reply(200,
        QJsonObject { { QStringLiteral("upload"), id }, { QStringLiteral("part"), double(m_partSize) } });
}

Inbox::Upload Inbox::upload(Call &call)
{
    const QString id = call.query("upload");
    const Store::Row row = m_store.one(
        QStringLiteral("SELECT name, part_size, done FROM inbox_uploads WHERE upload = ? AND code = ?"),
        { id, call.capture(1) });
    if (row.isEmpty())
        throw Refusal(404, QStringLiteral("There's no such upload in this inbox."));
    if (row.at(2).toLongLong() != 0)
        throw Refusal(409, QStringLiteral("This upload is already complete."));
    return { id, row.at(0).toString(), row.at(1).toLongLong() };
}

void Inbox::part(Call &call)
{
    const QString where = folder(call);
    const Upload current = upload(call);
    const qint64 number = call.capture(2).toLongLong();
    const QByteArray bytes = call.body();
    if (number < 1 || number > 10000)
        throw Refusal(400, QStringLiteral("Parts are numbered from 1 to 10000."));
    if (bytes.isEmpty() || bytes.size() > current.partSize)
        throw Refusal(400, QStringLiteral("A part holds from 1 to %1 bytes.").arg(current.partSize));
    const QString partFolder = where + QStringLiteral("/parts/") + current.id;
    QDir().mkpath(partFolder);
    QSaveFile saved(partFolder + QLatin1Char('/') + QString::number(number));
    if (!saved.open(QIODevice::WriteOnly) || saved.write(bytes) != bytes.size() || !saved.commit())
        throw Refusal(500, QStringLiteral("The stand-in couldn't store the part."));
    const QString etag = etagOf(bytes);
    m_store.exec(QStringLiteral(
                     "INSERT OR REPLACE INTO inbox_parts (upload, number, bytes, etag) VALUES (?, ?, ?, ?)"),
        { current.id, number, bytes.size(), etag });
    call.reply(200,
        QJsonObject { { QStringLiteral("partNumber"), double(number) }, { QStringLiteral("etag"), etag } });
}

void Inbox::done(Call &call)
{
    const QString where = folder(call);
    const Upload current = upload(call);
    const QJsonValue listed = call.json().value(QStringLiteral("parts"));
    if (!listed.isArray() || listed.toArray().isEmpty())
        throw Refusal(400, QStringLiteral("List the parts in \"parts\"."));
    const QJsonArray parts = listed.toArray();
    const QString partFolder = where + QStringLiteral("/parts/") + current.id;
    QByteArray whole;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QJsonObject entry = parts.at(i).toObject();
        const qint64 number = entry.value(QStringLiteral("partNumber")).toInteger(-1);
        const QString etag = entry.value(QStringLiteral("etag")).toString();
        if (number != i + 1)
            throw Refusal(400, QStringLiteral("Parts must be listed 1, 2, 3 ... in order."));
        const Store::Row row = m_store.one(
            QStringLiteral("SELECT bytes, etag FROM inbox_parts WHERE upload = ? AND number = ?"),
            { current.id, number });
        if (row.isEmpty() || row.at(1).toString() != etag)
            throw Refusal(400, QStringLiteral("Part %1 didn't arrive as listed.").arg(number));
        // Every part but the last fills the agreed size, or bytes went missing.
        if (i + 1 < parts.size() && row.at(0).toLongLong() != current.partSize)
            throw Refusal(400, QStringLiteral("Part %1 is short.").arg(number));
        QFile file(partFolder + QLatin1Char('/') + QString::number(number));
        if (!file.open(QIODevice::ReadOnly))
            throw Refusal(500, QStringLiteral("The stand-in lost part %1.").arg(number));
        whole += file.readAll();
    }
    store(call.capture(1), where, current.name, whole);
    m_store.exec(QStringLiteral("UPDATE inbox_uploads SET done = 1 WHERE upload = ?"), { current.id });
    QDir(partFolder).removeRecursively();
    call.reply(200,
        QJsonObject { { QStringLiteral("ok"), true }, { QStringLiteral("bytes"), double(whole.size()) } });
}

QJsonObject Inbox::describe(const QString &code)
{
    const Store::Row row
        = m_store.one(QStringLiteral("SELECT name, bytes, sha256 FROM inboxes WHERE code = ?"), { code });
    if (row.isEmpty())
        return {};
    QJsonObject inbox { { QStringLiteral("code"), code } };
    if (!row.at(0).isNull()) {
        inbox.insert(QStringLiteral("name"), row.at(0).toString());
        inbox.insert(QStringLiteral("bytes"), row.at(1).toLongLong());
        inbox.insert(QStringLiteral("sha256"), row.at(2).toString());
    }
    return inbox;
}
