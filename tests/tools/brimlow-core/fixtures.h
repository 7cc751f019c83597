#pragma once

#include "messagesdbwriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// Keeps the local time zone at UTC while a test runs, so that times in the
// answers read as written.
class UtcZone
{
public:
    explicit UtcZone(const char *zone = "UTC");
    ~UtcZone();

private:
    QByteArray m_old;
    bool m_had;
};

namespace Fixtures {

QDateTime utc(int year, int month, int day, int hour, int minute, int second = 0);

// A store with invented people: Sam over iMessage and SMS (one
// conversation, "+15550100"), the group "Hiking Crew" ("chat900") with Sam,
// Alex and Jo, and Alex alone ("alex@example.com"), plus a tapback and a
// group event that are no messages.
void writeSampleStore(const QString &path, MessagesDbWriter::Schema schema);

// An iPhone's store: Sam ("+15550100") sends a photo the phone keeps at
// photoPath(), and the user answers.
void writePhoneStore(const QString &path);
QString photoPath(); // as the store names it
QString photoRelativePath(); // in the backup's media domain

// Contents of every file below a folder, to tell that nothing changed
// (SQLite's shared-memory files left out: readers take locks there).
QStringList snapshot(const QString &folder);

// The sentence of the failure the action throws; empty when it succeeds.
QString failureOf(const std::function<void()> &action);

} // namespace Fixtures
