#include "journal.h"

#include "multipart.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QJsonObject>
#include <QString>

void Journal::record(const httplib::Request &request)
{
    QJsonArray headers;
    for (const auto &[name, value] : request.headers) {
        // httplib files the socket's addresses among the headers; they were not sent.
        if (name == Multipart::hiddenTypeHeader || name == "LOCAL_ADDR" || name == "LOCAL_PORT"
            || name == "REMOTE_ADDR" || name == "REMOTE_PORT")
            continue;
        // The multipart body was kept raw by hiding its type from httplib;
        // the journal shows the header as it came.
        const std::string shown
            = Multipart::isHiddenType(request, name) ? Multipart::originalType(request) : value;
        headers.append(QJsonArray { QString::fromStdString(name), QString::fromStdString(shown) });
    }
    const QByteArray body = QByteArray::fromStdString(request.body);
    QJsonObject entry {
        { QStringLiteral("method"), QString::fromStdString(request.method) },
        { QStringLiteral("target"), QString::fromStdString(request.target) },
        { QStringLiteral("path"), QString::fromStdString(request.path) },
        { QStringLiteral("headers"), headers },
        { QStringLiteral("bodySize"), double(body.size()) },
        { QStringLiteral("sha256"),
            QString::fromLatin1(QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex()) },
    };
    if (body.size() <= bodyLimit)
        entry.insert(QStringLiteral("body"), QString::fromLatin1(body.toBase64()));
    std::lock_guard lock(m_mutex);
    m_entries.append(entry);
}

QJsonArray Journal::toJson() const
{
    std::lock_guard lock(m_mutex);
    return m_entries;
}

void Journal::clear()
{
    std::lock_guard lock(m_mutex);
    m_entries = QJsonArray();
}
