#include "keybag.h"

#include "backupcrypto.h"

#include <QtEndian>

namespace Brimlow {

namespace {

// Bit of a class key's WRAP field: wrapped with the password's key.
constexpr quint32 WrapPasscode = 2;
// Real backups use ten million; a damaged count must not run for days.
constexpr quint32 MaxIterations = 50'000'000;

} // namespace

std::optional<Keybag> Keybag::parse(const QByteArray &bytes)
{
    Keybag keybag;
    bool seenUuid = false;
    std::optional<ClassKey> current;
    qsizetype position = 0;
    // Tag, big-endian length, value; class keys each start with a UUID after
    // the keybag's own.
    while (position + 8 <= bytes.size()) {
        const QByteArray tag = bytes.mid(position, 4);
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + position + 4);
        position += 8;
        if (length > quint32(bytes.size() - position))
            return std::nullopt;
        const QByteArray value = bytes.mid(position, length);
        position += length;
        const quint32 number = length == 4 ? qFromBigEndian<quint32>(value.constData()) : 0;

        if (tag == "UUID") {
            if (seenUuid) {
                if (current)
                    keybag.m_classKeys.append(*current);
                current = ClassKey {};
            }
            seenUuid = true;
        } else if (current) {
            if (tag == "CLAS")
                current->protectionClass = int(number);
            else if (tag == "WRAP")
                current->wrap = number;
            else if (tag == "WPKY")
                current->wrapped = value;
        } else if (tag == "SALT") {
            keybag.m_salt = value;
        } else if (tag == "ITER") {
            if (number == 0 || number > MaxIterations)
                return std::nullopt;
            keybag.m_iterations = int(number);
        } else if (tag == "DPSL") {
            keybag.m_doubleSalt = value;
        } else if (tag == "DPIC") {
            if (number == 0 || number > MaxIterations)
                return std::nullopt;
            keybag.m_doubleIterations = int(number);
        }
    }
    if (current)
        keybag.m_classKeys.append(*current);
    if (keybag.m_salt.isEmpty() || keybag.m_iterations == 0 || keybag.m_classKeys.isEmpty())
        return std::nullopt;
    if (!keybag.m_doubleSalt.isEmpty() && keybag.m_doubleIterations == 0)
        return std::nullopt;
    return keybag;
}

QByteArray Keybag::passcodeKey(const QByteArray &password) const
{
    using BackupCrypto::Hash;
    QByteArray secret = password;
    if (!m_doubleSalt.isEmpty())
        secret = BackupCrypto::pbkdf2(Hash::Sha256, password, m_doubleSalt, m_doubleIterations);
    return BackupCrypto::pbkdf2(Hash::Sha1, secret, m_salt, m_iterations);
}

bool Keybag::unlock(const QByteArray &passcodeKey)
{
    int unlocked = 0;
    for (ClassKey &classKey : m_classKeys) {
        if (classKey.wrapped.isEmpty() || !(classKey.wrap & WrapPasscode))
            continue;
        const auto key = BackupCrypto::unwrapKey(passcodeKey, classKey.wrapped);
        if (!key)
            return false;
        classKey.key = *key;
        ++unlocked;
    }
    return unlocked > 0;
}

std::optional<QByteArray> Keybag::unwrap(int protectionClass, const QByteArray &wrappedKey) const
{
    for (const ClassKey &classKey : m_classKeys) {
        if (classKey.protectionClass == protectionClass && !classKey.key.isEmpty())
            return BackupCrypto::unwrapKey(classKey.key, wrappedKey);
    }
    return std::nullopt;
}

} // namespace Brimlow
