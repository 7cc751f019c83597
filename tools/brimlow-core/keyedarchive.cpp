#include "keyedarchive.h"

namespace Brimlow {

namespace {
// References to references are allowed; a loop of them is not followed.
constexpr int MaxHops = 8;
} // namespace

KeyedArchive::KeyedArchive(const QByteArray &bytes)
    : m_plist(Plist::fromBytes(bytes))
    , m_objects(Plist::item(m_plist.root(), "$objects"))
{ }

plist_t KeyedArchive::root() const
{
    return m_objects ? resolved(Plist::item(Plist::item(m_plist.root(), "$top"), "root")) : nullptr;
}

plist_t KeyedArchive::member(plist_t object, const char *key) const
{
    return resolved(Plist::item(resolved(object), key));
}

plist_t KeyedArchive::resolved(plist_t node) const
{
    for (int hop = 0; hop < MaxHops; ++hop) {
        const auto index = Plist::uid(node);
        if (!index)
            return node;
        if (*index > 0xFFFFFFFFu)
            return nullptr;
        node = Plist::at(m_objects, quint32(*index));
    }
    return nullptr;
}

} // namespace Brimlow
