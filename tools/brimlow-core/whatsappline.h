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

    // How the time of day was written.
    enum class Clock : quint8 {
        TwentyFour, // "21:41"
        PlainMeridiem, // "9:41 PM", the form of the United States
        LocalMeridiem, // "9:41 p. m.", "9:41 pm", "9:41 nachm.": locales that put the day first
    };

    // What ends the date and time: "[…] ", " - ", a colon ("24.12.19
    // 09.05.33: Sam: hey") or only a space ("24. 12. 2019. 09:05:33 Sam:
    // hey"). The last two could as well start a person's words.
    enum class Delimiter : quint8 { Bracket, Dash, Colon, Space };

    int fields[3] = {}; // the three numbers of the date, in written order
    int widths[3] = {}; // how many digits each was written with
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool secondsWritten = false; // "9.06.10" rather than "9.06"
    QChar meridiem; // 'a', 'p', or null for a 24-hour clock
    Clock clock = Clock::TwentyFour;
    QChar separator; // between the date's fields: '/', '.' or '-'
    Delimiter delimiter = Delimiter::Dash;
    QStringView rest; // "Sam: hey", or a system line; a view into the line

    // A line that starts a message, or nullopt for a continuation line.
    static std::optional<WhatsAppLine> match(QStringView line);

    // "yyyy-MM-ddTHH:mm:ss", or empty when the date or time is impossible
    // in that order.
    QString timestamp(DateOrder order) const;

    // Whether a bracket or a dash marks the line for a header wherever it
    // stands.
    bool isMarked() const { return delimiter == Delimiter::Bracket || delimiter == Delimiter::Dash; }
    // Whether what follows names a sender, "Sam: hey" or "Sam:".
    bool namesSender() const;
    // How the header is written, apart from its numbers: two lines of one
    // export give the same form, while a date and time a person typed into
    // a message rarely matches the export's own down to the seconds.
    int form() const;
};

// Whether a file writes its dates day or month first, worked out from
// every message line of it.
class WhatsAppDateOrder
{
public:
    void add(const WhatsAppLine &line);
    WhatsAppLine::DateOrder order() const;

private:
    struct Reading
    {
        int invalid = 0; // lines whose date is impossible read this way
        int backwards = 0; // dates before the line's before
        int lastDate = -1; // yyyymmdd of the last valid date
    };

    int m_lines = 0;
    int m_yearFirst = 0;
    Reading m_dayMonth;
    Reading m_monthDay;
    // Between consecutive lines of different dates: how often only the
    // first field changed, and how often only the second. The day changes
    // from one day to the next; the month stays.
    int m_firstChanged = 0;
    int m_secondChanged = 0;
    std::optional<std::pair<int, int>> m_lastFields;
    bool m_dayFirstHint = false; // dotted dates or a local 12-hour mark
    bool m_plainMeridiem = false;
};

} // namespace Brimlow
