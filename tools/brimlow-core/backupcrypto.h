#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class QIODevice;

namespace Brimlow::BackupCrypto {

enum class Hash { Sha1, Sha256 };

QByteArray pbkdf2(
    Hash hash, const QByteArray &secret, const QByteArray &salt, int iterations, int length = 32);

// AES key unwrap (RFC 3394) with the default initial value; nullopt when
// the integrity check fails, that is when the key is not the wrapping key.
std::optional<QByteArray> unwrapKey(const QByteArray &keyEncryptionKey, const QByteArray &wrapped);

// AES-256-CBC with a zero initial vector, the way backups encrypt files,
// streamed from source to destination. size is the plain size the manifest
// records (0 when unknown: the padding is taken off instead). False when
// the source cannot be read or its length is not whole blocks.
bool decryptFile(QIODevice &source, QIODevice &destination, const QByteArray &key, qint64 size);

} // namespace Brimlow::BackupCrypto
