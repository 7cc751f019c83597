#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace Brimlow {

// The start of one message line of a WhatsApp export: its date and time
// fields as written, and what follows them.
struct WhatsAppLine
{
    enum class DateOrder { DayMonth, MonthDay, YearFirst };

    int fields[3] = {}; // the three numbers of the date, in written order
    int widths[3] = {}; // how many digits each was written with
    int hour = 0;
    int minute = 0;
    int second = 0;
    QChar meridiem; // 'a', 'p', or null for a 24-hour clock
    QStringView rest; // "Sam: hey", or a system line; a view into the line

    // A line that starts a message, or nullopt for a continuation line.
    static std::optional<WhatsAppLine> match(QStringView line);

    // The one date order that reads every line of a file best.
    static DateOrder dateOrder(const QList<WhatsAppLine> &lines);

    // "yyyy-MM-ddTHH:mm:ss", or empty when the date or time is impossible
    // in that order.
    QString timestamp(DateOrder order) const;
};

} // namespace Brimlow
