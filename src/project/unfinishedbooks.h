#pragma once

#include "model/folderlock.h"
#include "model/source.h"

#include <QString>
#include <qcorotask.h>

// A book's folder holds a book once "book.json" is in it. Until then the
// window that exports the conversation into it claims it (FolderLock), so
// a folder without a book that nobody claims is an export a killed or
// failed run left: the whole conversation, maybe, in "book.json.part",
// with no book beside it for the user to delete.
namespace UnfinishedBooks {

// Claims folder, made if missing, for a first export; while another
// export holds it, waits for that one to end. Throws FileError when the
// folder can't be made or claimed.
QCoro::Task<FolderLock> claim(QString folder);

// Removes every folder of the books folder that never became a book and
// that no running window is writing. At the start, before anything opens.
void sweep();

// The same for the books of one source, as it is forgotten.
void forget(const Source &source);

} // namespace UnfinishedBooks
