#pragma once

#include "source.h"

#include <QList>

// The sources the user added, kept in the user's defaults under "backups"
// and read again at every start.
namespace Backups {

// Stores the list without the computer's own source ("mac"), in order.
void save(const QList<Source> &sources);

// The saved list, without the sources whose file (log, else database) is
// gone. Never fails: an unreadable list reads as empty.
QList<Source> saved();

} // namespace Backups
