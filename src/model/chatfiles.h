#pragma once

#include "source.h"
#include "ziparchive.h"

#include <QString>
#include <QStringList>
#include <qcorotask.h>

// Chats exported from other messaging apps, and pasted chats, as sources.
// What the user chose is copied (a zip archive unpacked) into a folder of
// our own, "Files/file-xxxxxxxx" in the support folder, so the source
// keeps working when the original moves; the message tool reads the copy.
namespace ChatFiles {

// File name patterns the open dialog offers, in order: the standard kinds
// (plain text, JSON, XML, HTML, CSV, zip, e-mail, database) and then the
// extensions of other exports. Folders are chosen through the dialog's mode.
QStringList panelTypes();

// The name a chosen file or folder gives its source: its last path
// component without its last extension, "_" read as spaces.
QString nameFor(const QString &chosen);

// Copies or unpacks chosen and makes a source of it; nothing of a failed
// attempt stays. The folder is claimed for as long as this process runs,
// so that another window's start leaves it alone while its source is not
// saved yet; once this process has ended, the next start removes it unless
// a saved source names it (Backups::sweep). Throws Helpers::Failure (tool = the app's name, status 0)
// when it holds no chat, or is an archive that holds links or paths
// outside itself or more than unpackLimit bytes; the file system's own
// error (std::filesystem::filesystem_error) when it can't be copied, and
// the unpacker's (ZipArchive::Error) when it can't be unpacked.
QCoro::Task<Source> add(QString chosen, qint64 unpackLimit = ZipArchive::defaultLimit);

// Stores pasted text as "pasted.txt" in a folder of its own, claimed as
// add()'s is. Throws Helpers::Failure when it cannot be written.
Source paste(const QString &text, const QString &name);

} // namespace ChatFiles
