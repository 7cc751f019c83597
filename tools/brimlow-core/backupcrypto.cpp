#include "backupcrypto.h"

#include <QIODevice>
#include <memory>
#include <openssl/evp.h>

namespace Brimlow::BackupCrypto {

namespace {

constexpr int BlockSize = 16;
constexpr qint64 ChunkSize = 1 << 20;

struct ContextFree
{
    void operator()(EVP_CIPHER_CTX *context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextFree>;

const unsigned char *bytes(const QByteArray &array)
{
    return reinterpret_cast<const unsigned char *>(array.constData());
}

// The length of valid PKCS#7 padding at the end, or 0.
int paddingOf(const QByteArray &tail)
{
    if (tail.isEmpty())
        return 0;
    const int pad = static_cast<unsigned char>(tail.back());
    if (pad < 1 || pad > BlockSize || pad > tail.size())
        return 0;
    for (int i = 1; i <= pad; ++i) {
        if (static_cast<unsigned char>(tail.at(tail.size() - i)) != pad)
            return 0;
    }
    return pad;
}

} // namespace

QByteArray pbkdf2(Hash hash, const QByteArray &secret, const QByteArray &salt, int iterations, int length)
{
    QByteArray key(length, '\0');
    const EVP_MD *digest = hash == Hash::Sha1 ? EVP_sha1() : EVP_sha256();
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), bytes(salt), int(salt.size()), iterations,
            digest, length, reinterpret_cast<unsigned char *>(key.data()))
        != 1)
        return {};
    return key;
}

std::optional<QByteArray> unwrapKey(const QByteArray &keyEncryptionKey, const QByteArray &wrapped)
{
    if (keyEncryptionKey.size() != 32 || wrapped.size() < 24 || wrapped.size() % 8 != 0)
        return std::nullopt;
    Context context(EVP_CIPHER_CTX_new());
    if (!context)
        return std::nullopt;
    EVP_CIPHER_CTX_set_flags(context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    if (EVP_DecryptInit_ex(context.get(), EVP_aes_256_wrap(), nullptr, bytes(keyEncryptionKey), nullptr) != 1)
        return std::nullopt;
    QByteArray key(wrapped.size(), '\0');
    int length = 0;
    if (EVP_DecryptUpdate(context.get(), reinterpret_cast<unsigned char *>(key.data()), &length,
            bytes(wrapped), int(wrapped.size()))
            <= 0
        || length != wrapped.size() - 8)
        return std::nullopt;
    int last = 0;
    if (EVP_DecryptFinal_ex(context.get(), reinterpret_cast<unsigned char *>(key.data()) + length, &last)
        <= 0)
        return std::nullopt;
    key.resize(length + last);
    return key;
}

bool decryptFile(QIODevice &source, QIODevice &destination, const QByteArray &key, qint64 size)
{
    if (key.size() != 32)
        return false;
    Context context(EVP_CIPHER_CTX_new());
    const unsigned char zero[BlockSize] = {};
    if (!context || EVP_DecryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, bytes(key), zero) != 1)
        return false;
    EVP_CIPHER_CTX_set_padding(context.get(), 0);

    // The last block is held back until the end tells how much of it is
    // padding.
    QByteArray held;
    qint64 written = 0;
    QByteArray plain;
    for (;;) {
        const QByteArray chunk = source.read(ChunkSize);
        if (chunk.isEmpty())
            break;
        plain.resize(chunk.size() + BlockSize);
        int length = 0;
        if (EVP_DecryptUpdate(context.get(), reinterpret_cast<unsigned char *>(plain.data()), &length,
                bytes(chunk), int(chunk.size()))
            != 1)
            return false;
        held.append(plain.constData(), length);
        if (held.size() > BlockSize) {
            const qsizetype out = held.size() - BlockSize;
            if (destination.write(held.constData(), out) != out)
                return false;
            written += out;
            held.remove(0, out);
        }
    }
    if (source.bytesAvailable() > 0 || !source.atEnd())
        return false;
    int last = 0;
    plain.resize(BlockSize);
    if (EVP_DecryptFinal_ex(context.get(), reinterpret_cast<unsigned char *>(plain.data()), &last) != 1)
        return false; // not whole blocks: cut short
    held.append(plain.constData(), last);

    const qint64 total = written + held.size();
    qint64 keep = total - paddingOf(held);
    if (size > 0 && size <= total && size >= written)
        keep = size;
    const qint64 rest = keep - written;
    if (rest < 0)
        return false;
    return destination.write(held.constData(), rest) == rest;
}

} // namespace Brimlow::BackupCrypto
