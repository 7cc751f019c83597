#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// Reading chat files, and finding the files they name, for every reader.
namespace Brimlow::ChatFile {

// Files held in memory by absolute path, which the functions below read
// and find in place of the disk's; nullptr (the default) reads the disk. A
// caller that has an export's bytes already (the fuzz targets, thousands
// of times a second) reads it without writing it out; the folders the
// files lie in must still exist, as readers look at folders themselves.
void setInMemory(const QHash<QString, QByteArray> *files);

// At most size bytes from the start of a file; throws Failure when it
// cannot be read.
QByteArray head(const QString &path, qsizetype size);

// The files under folder at any depth, links left out, in name order.
QStringList filesUnder(const QString &folder);

// The whole file; throws Failure when it cannot be read or is bigger than
// any chat export.
QByteArray bytes(const QString &path);

// Text of a chat file: UTF-8, or UTF-16 with a byte-order mark.
QString decode(const QByteArray &bytes);

// Text in Windows-1252, the Western code page of older Windows programs:
// Latin-1 but for "€", "š", curly quotes and the like in 0x80 to 0x9F.
QString fromWindows1252(QByteArrayView bytes);

// The first character after white space and a byte-order mark, telling a
// JSON object from a list without copying a large file.
char firstChar(const QByteArray &bytes);

// A file that a chat names by a path relative to folder: its absolute path
// when it exists and lies inside root, else empty. Nothing a file says may
// lead out of the export (no "..", no absolute paths, no links outward).
QString inside(const QString &root, const QString &folder, const QString &relative);

// The same, trying folder and each folder above it up to root, for exports
// that name files relative to the top of the download.
QString insideAbove(const QString &root, const QString &folder, const QString &relative);

// "The chat file <name> can't be read." and its relatives.
QString unreadable(const QString &path);
QString damaged(const QString &path);

} // namespace Brimlow::ChatFile
