#pragma once

#include <QString>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>

// The keys of encrypted backups, in the user's keyring through the Secret
// Service: one secret per backup under the service "<bundle id>.backup",
// the account being the backup's source id. A value that cannot be stored
// is reported, since the backup could never be opened without it; reading
// and removing never fail: what can't be read is simply not there.
namespace Keychain {

// The keyring didn't keep a value; what() is the sentence for the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message);
};

// The bundle identifier followed by ".backup".
QString service();

// What selects one item: the service and an account.
struct Query
{
    QString service;
    QString account;
};
Query query(const QString &account);

// Replaces the account's item with value; throws Failure when the keyring
// doesn't store it, with a sentence that says what to do: none is running
// (no session bus, no Secret Service, one that fails to start), it has no
// default collection, it stayed locked (the user cancelled its prompt), or
// it refused. What the keyring itself said goes to the log.
QCoro::Task<void> set(QString value, QString account);
// Whether the keyring can keep a key now, asked before a backup is
// unlocked: a user without one hears of it at once, not after the slow
// unlock, and a locked keyring asks for its password before the backup's.
// Stores and removes an item of its own; throws Failure as set() does.
QCoro::Task<void> check();
// The account's value; nothing when there is none or the keyring cannot
// be reached.
QCoro::Task<std::optional<QString>> get(QString account);
// Deletes the account's item; a missing item is fine.
QCoro::Task<void> remove(QString account);

} // namespace Keychain
