#pragma once

#include "source.h"

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

// Copies or unpacks chosen and makes a source of it. Throws
// Helpers::Failure (tool = the app's name, status 0) when it cannot be
// copied or unpacked, or holds no chat; nothing of the attempt then stays.
QCoro::Task<Source> add(QString chosen);

// Stores pasted text as "pasted.txt" in a folder of its own. Throws
// Helpers::Failure when it cannot be written.
Source paste(const QString &text, const QString &name);

} // namespace ChatFiles
