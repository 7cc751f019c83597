#pragma once

#include "celebration.h"
#include "model/bookfile.h"

#include <QList>
#include <QString>

// Finds the special days of a conversation with plain lower-cased phrase
// tests, in one walk over the messages. Nothing is stored: the result is
// made again whenever the insights are read.
namespace Celebrations {

// The special days of the messages, sorted by day (stable: on one day
// birthdays and anniversaries come first, then holidays, milestones and
// trips). them names the other person in titles.
QList<Celebration> find(const QList<BookFile::Message> &messages, const QString &them);

// The same for a caller that has already lower-cased every text
// (Characters::lowered), one entry per message.
QList<Celebration> find(
    const QList<BookFile::Message> &messages, const QStringList &loweredTexts, const QString &them);

// A day key as abbreviated month and day in the user's locale ("Feb 14");
// text that is not a day key comes back unchanged.
QString monthDay(const QString &day);

// The day moved by a number of calendar days; a day that does not read as
// a date comes back unchanged.
QString shift(const QString &day, int days);

} // namespace Celebrations
