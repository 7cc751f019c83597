#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace Brimlow {

// The keybag of an encrypted backup (Manifest.plist's "BackupKeyBag"): the
// class keys, each wrapped with a key derived from the backup password.
class Keybag
{
public:
    // nullopt when the bytes are not a keybag this tool can use.
    static std::optional<Keybag> parse(const QByteArray &bytes);

    // The key derived from the password: PBKDF2-SHA256 over the second salt,
    // then PBKDF2-SHA1 (only the latter in keybags from before iOS 10.2).
    // Deliberately slow, with the iteration counts the keybag asks for.
    QByteArray passcodeKey(const QByteArray &password) const;

    // Unwraps the class keys; false when the key is not this keybag's.
    bool unlock(const QByteArray &passcodeKey);

    // A file's or the manifest's own key, wrapped with a class key.
    std::optional<QByteArray> unwrap(int protectionClass, const QByteArray &wrappedKey) const;

private:
    struct ClassKey
    {
        int protectionClass = 0;
        quint32 wrap = 0;
        QByteArray wrapped;
        QByteArray key;
    };

    QByteArray m_salt;
    int m_iterations = 0;
    QByteArray m_doubleSalt;
    int m_doubleIterations = 0;
    QList<ClassKey> m_classKeys;
};

} // namespace Brimlow
