#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Real files for the message tool to read: a Messages store and iPhone
// backups holding one, plain or encrypted, with invented people.
namespace Fixtures {

// A store with a one-to-one conversation per handle: each handle writes
// once and gets one answer.
void writeMessagesStore(const QString &path, const QStringList &handles);

struct Phone
{
    QString udid = QStringLiteral("00008030-001A2B3C4D5E6F70");
    QString name = QStringLiteral("Robin's iPhone");
};

// A backup of phone in folder, laid out as Finder makes it, holding a
// store with these handles; encrypted with password when one is given
// (with a tiny key derivation count, so tests stay fast).
void writeBackup(const QString &folder, const Phone &phone, const QStringList &handles,
    const std::optional<QByteArray> &password = std::nullopt);

} // namespace Fixtures
