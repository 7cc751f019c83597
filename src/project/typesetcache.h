#pragma once

#include "model/layout.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

// The finished typesettings of one book, addressed by content: the folder
// "typesets" in the book folder holds <key>.pdf and <key>.json pairs, the
// 12 most recently stored or used. Nothing here reports failure: an entry
// that can't be read is a miss, and clean-up failures are ignored.
namespace TypesetCache {

// A cached PDF and the layout that goes with it.
struct Entry
{
    QString pdf;
    Layout layout;
};

// 32 lower-case hex digits over the book's bytes, the style and the
// toolkit; nullopt when the book can't be read.
std::optional<QString> key(const QString &book, const QString &style);
// The same over bytes already read, so a run can typeset exactly what it
// hashed.
QString keyOf(const QByteArray &bookBytes, const QString &style);

std::optional<Entry> load(const QString &key, const QString &folder);
// Moves pdf into the cache and records layout beside it; returns the
// cached PDF, or nullopt when the move failed (the PDF then stays put).
std::optional<QString> store(
    const QString &key, const QString &pdf, const Layout &layout, const QString &folder);

// The digest of the templates and fonts the app ships, made once per
// process: any change to them changes every key.
QString toolkit();
// What toolkit() computes: every entry below each root in path order, its
// path and bytes, then the emoji font folder or "noto".
QString digestOf(const QStringList &roots, const std::optional<QString> &emojiFolder);

// A layout as the cache records it, and back; fromStored is nullopt when a
// key is missing or of the wrong type.
QJsonObject toStored(const Layout &layout);
std::optional<Layout> fromStored(const QByteArray &json);

} // namespace TypesetCache
