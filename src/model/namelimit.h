#pragma once

#include <QString>
#include <QtGlobal>

// What one name in a folder may hold: 255 bytes on the file systems the app
// runs on, whatever the characters.
namespace NameLimit {

constexpr qsizetype bytes = 255;

// The name itself when its UTF-8 fits in limit bytes; else as many of its
// first whole characters as fit before "-" and a hash of the whole name,
// so that the same name is always cut the same way and names that differ
// only past the cut stay apart.
QString cut(const QString &name, qsizetype limit = bytes);

} // namespace NameLimit
