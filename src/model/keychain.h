#pragma once

#include <QString>
#include <optional>
#include <qcorotask.h>

// The keys of encrypted backups, in the user's keyring through the Secret
// Service: one secret per backup under the service "<bundle id>.backup",
// the account being the backup's source id. Never reports a failure: a
// value that cannot be stored is simply not there when read.
namespace Keychain {

// The bundle identifier followed by ".backup".
QString service();

// What selects one item: the service and an account.
struct Query
{
    QString service;
    QString account;
};
Query query(const QString &account);

// Replaces the account's item with value.
QCoro::Task<void> set(QString value, QString account);
// The account's value; nothing when there is none or the keyring cannot
// be reached.
QCoro::Task<std::optional<QString>> get(QString account);
// Deletes the account's item; a missing item is fine.
QCoro::Task<void> remove(QString account);

} // namespace Keychain
