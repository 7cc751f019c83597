#pragma once

#include "plist.h"

namespace Brimlow {

// A property list written by NSKeyedArchiver: the objects in "$objects",
// the root named in "$top", and any value of an object either written in
// place or a reference (a UID) to another object. Backups of different iOS
// versions write the same value either way, so every value read here
// follows references.
class KeyedArchive
{
public:
    // A null archive when the bytes are no keyed archive.
    explicit KeyedArchive(const QByteArray &bytes);

    bool isNull() const { return root() == nullptr; }
    plist_t root() const;
    // A member of an object, both the object and the value followed when
    // they are references; nullptr when there is none.
    plist_t member(plist_t object, const char *key) const;
    // The node, or the object it refers to; nullptr for a reference that
    // leads nowhere.
    plist_t resolved(plist_t node) const;

private:
    Plist m_plist;
    plist_t m_objects = nullptr;
};

} // namespace Brimlow
