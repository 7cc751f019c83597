#include "plist.h"

#include "localtime.h"

#include <QFile>
#include <cstdlib>
#include <plist/plist.h>

namespace Brimlow {

namespace {
// Info.plist can carry app icons; nothing we read is bigger than this.
constexpr qint64 MaxSize = 256 * 1024 * 1024;
} // namespace

Plist::~Plist()
{
    if (m_root)
        plist_free(m_root);
}

Plist::Plist(Plist &&other) noexcept
    : m_root(other.m_root)
{
    other.m_root = nullptr;
}

Plist &Plist::operator=(Plist &&other) noexcept
{
    if (this != &other) {
        if (m_root)
            plist_free(m_root);
        m_root = other.m_root;
        other.m_root = nullptr;
    }
    return *this;
}

Plist Plist::fromFile(const QString &path)
{
    QFile file(path);
    if (file.size() > MaxSize || !file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

Plist Plist::fromBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > MaxSize)
        return {};
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), quint32(bytes.size()), &root);
    return Plist(root);
}

plist_t Plist::item(plist_t dictionary, const char *key)
{
    if (!dictionary || plist_get_node_type(dictionary) != PLIST_DICT)
        return nullptr;
    return plist_dict_get_item(dictionary, key);
}

plist_t Plist::at(plist_t array, quint32 index)
{
    if (!array || plist_get_node_type(array) != PLIST_ARRAY || index >= plist_array_get_size(array))
        return nullptr;
    return plist_array_get_item(array, index);
}

std::optional<QString> Plist::string(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    // Read with its length: libplist's copying accessor aborts the process
    // on a string that holds a NUL, and a crafted file can hold one.
    uint64_t length = 0;
    const char *value = plist_get_string_ptr(node, &length);
    if (!value || length > uint64_t(MaxSize))
        return std::nullopt;
    const QByteArrayView bytes(value, qsizetype(length));
    if (bytes.contains('\0') || !bytes.isValidUtf8())
        return std::nullopt;
    return QString::fromUtf8(bytes);
}

std::optional<bool> Plist::boolean(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_BOOLEAN)
        return std::nullopt;
    uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
}

std::optional<qint64> Plist::integer(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uint_val(node, &value);
    return qint64(value);
}

std::optional<QByteArray> Plist::data(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_DATA)
        return std::nullopt;
    char *value = nullptr;
    uint64_t length = 0;
    plist_get_data_val(node, &value, &length);
    QByteArray bytes(value, qsizetype(length));
    std::free(value);
    return bytes;
}

std::optional<quint64> Plist::uid(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_UID)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uid_val(node, &value);
    return quint64(value);
}

std::optional<qint64> Plist::date(plist_t node)
{
    if (!node || plist_get_node_type(node) != PLIST_DATE)
        return std::nullopt;
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    // libplist counts from 2001, like the format itself.
    return qint64(seconds) + LocalTime::AppleEpoch;
}

} // namespace Brimlow
