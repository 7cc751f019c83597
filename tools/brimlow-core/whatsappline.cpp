#include "whatsappline.h"

#include <QDate>
#include <cstdio>

namespace Brimlow {

namespace {

// Marks that exports put before lines and names, invisible on screen.
bool isInvisibleMark(QChar c)
{
    const char16_t u = c.unicode();
    return u == 0xFEFF || u == 0x200E || u == 0x200F || (u >= 0x202A && u <= 0x202E)
        || (u >= 0x2066 && u <= 0x2069);
}

QStringView withoutLeadingMarks(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isInvisibleMark(text.at(i)))
        ++i;
    return text.mid(i);
}

// Reads a line from left to right; each step either moves on or fails.
class Cursor
{
public:
    explicit Cursor(QStringView text)
        : m_text(text)
    { }

    bool atEnd() const { return m_at >= m_text.size(); }
    QChar peek(qsizetype ahead = 0) const
    {
        return m_at + ahead < m_text.size() ? m_text.at(m_at + ahead) : QChar();
    }
    QStringView rest() const { return m_text.mid(m_at); }

    bool take(QChar c)
    {
        if (peek() != c)
            return false;
        ++m_at;
        return true;
    }

    // Digits 0-9 only: digits of other scripts make no date here.
    std::optional<int> number(int least, int most, int *width = nullptr)
    {
        int value = 0;
        int count = 0;
        while (count < most && peek().unicode() >= u'0' && peek().unicode() <= u'9') {
            value = value * 10 + (peek().unicode() - u'0');
            ++m_at;
            ++count;
        }
        if (count < least)
            return std::nullopt;
        if (width)
            *width = count;
        return value;
    }

    // White space of any kind, narrow no-break spaces included.
    int spaces()
    {
        int count = 0;
        while (!atEnd() && (peek().isSpace() || peek() == QChar(0x202F))) {
            ++m_at;
            ++count;
        }
        return count;
    }

    bool takeWord(QLatin1StringView word)
    {
        if (!m_text.mid(m_at).startsWith(word, Qt::CaseInsensitive))
            return false;
        m_at += word.size();
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

// "AM", "pm", "a.m.", "p. m.", "vorm.", "nachm.".
bool takeMeridiem(Cursor &cursor, WhatsAppLine &line)
{
    for (const auto &[word, letter] : { std::pair { QLatin1StringView("vorm."), QLatin1Char('a') },
             std::pair { QLatin1StringView("nachm."), QLatin1Char('p') } }) {
        if (cursor.takeWord(word)) {
            line.meridiem = letter;
            line.clock = WhatsAppLine::Clock::LocalMeridiem;
            return true;
        }
    }
    const QChar letter = cursor.peek().toLower();
    if (letter != QLatin1Char('a') && letter != QLatin1Char('p'))
        return false;
    const QChar upper = cursor.peek();
    Cursor probe = cursor;
    probe.take(upper);
    const bool dot = probe.take(QLatin1Char('.'));
    if (dot)
        probe.spaces();
    const QChar m = probe.peek();
    if (m != QLatin1Char('m') && m != QLatin1Char('M'))
        return false;
    probe.take(m);
    const bool closingDot = probe.take(QLatin1Char('.'));
    // "9:41 am" must not take the "a" of "am I late?" in a message.
    if (!probe.atEnd() && probe.peek().isLetterOrNumber())
        return false;
    line.meridiem = letter;
    line.clock = upper.isUpper() && m.isUpper() && !dot && !closingDot ? WhatsAppLine::Clock::PlainMeridiem
                                                                       : WhatsAppLine::Clock::LocalMeridiem;
    cursor = probe;
    return true;
}

struct Date
{
    int year = 0;
    int month = 0;
    int day = 0;
};

std::optional<Date> dateIn(const WhatsAppLine &line, WhatsAppLine::DateOrder order)
{
    Date date;
    const int a = line.fields[0];
    const int b = line.fields[1];
    const int c = line.fields[2];
    switch (order) {
    case WhatsAppLine::DateOrder::YearFirst:
        date = { a, b, c };
        break;
    case WhatsAppLine::DateOrder::DayMonth:
        date = { c, b, a };
        break;
    case WhatsAppLine::DateOrder::MonthDay:
        date = { c, a, b };
        break;
    }
    if (order != WhatsAppLine::DateOrder::YearFirst && line.widths[2] <= 2)
        date.year += 2000;
    if (!QDate::isValid(date.year, date.month, date.day))
        return std::nullopt;
    return date;
}

} // namespace

std::optional<WhatsAppLine> WhatsAppLine::match(QStringView rawLine)
{
    const QStringView line = withoutLeadingMarks(rawLine);
    if (line.isEmpty() || !(line.at(0) == QLatin1Char('[') || line.at(0).isDigit()))
        return std::nullopt;
    Cursor cursor(line);
    WhatsAppLine result;
    const bool bracketed = cursor.take(QLatin1Char('['));

    // "31/01/2025", "1/31/25", "31.01.25", "2025-01-31", "24. 12. 2019.".
    const auto first = cursor.number(1, 4, &result.widths[0]);
    result.separator = cursor.peek();
    if (!first
        || !(cursor.take(QLatin1Char('/')) || cursor.take(QLatin1Char('.')) || cursor.take(QLatin1Char('-'))))
        return std::nullopt;
    const bool dotted = result.separator == QLatin1Char('.');
    if (dotted)
        cursor.spaces();
    const auto second = cursor.number(1, 2, &result.widths[1]);
    if (!second || !cursor.take(result.separator))
        return std::nullopt;
    if (dotted)
        cursor.spaces();
    const auto third = cursor.number(1, 4, &result.widths[2]);
    if (!third)
        return std::nullopt;
    if (dotted)
        cursor.take(QLatin1Char('.'));
    cursor.take(QLatin1Char(','));
    if (cursor.spaces() == 0)
        return std::nullopt;
    result.fields[0] = *first;
    result.fields[1] = *second;
    result.fields[2] = *third;
    // Finnish puts its word for o'clock before the time, French its "at".
    if (cursor.takeWord(QLatin1StringView("klo ")) || cursor.takeWord(QLatin1StringView("\xE0 ")))
        cursor.spaces();

    // "21:41", "9:41:02 PM", "21.41", "9:41 p. m.", "09:05." closed by a dot.
    const auto hour = cursor.number(1, 2);
    if (!hour || !(cursor.take(QLatin1Char(':')) || cursor.take(QLatin1Char('.'))))
        return std::nullopt;
    const auto minute = cursor.number(2, 2);
    if (!minute)
        return std::nullopt;
    std::optional<int> seconds = 0;
    if ((cursor.peek() == QLatin1Char(':') || cursor.peek() == QLatin1Char('.'))
        && cursor.peek(1).isDigit()) {
        cursor.take(cursor.peek());
        seconds = cursor.number(2, 2);
        if (!seconds)
            return std::nullopt;
        result.secondsWritten = true;
    }
    if (cursor.peek() == QLatin1Char('.') && cursor.peek(1).isSpace())
        cursor.take(QLatin1Char('.'));
    const Cursor beforeMark = cursor;
    cursor.spaces();
    if (!takeMeridiem(cursor, result))
        cursor = beforeMark;
    result.hour = *hour;
    result.minute = *minute;
    result.second = *seconds;

    if (bracketed) {
        if (!cursor.take(QLatin1Char(']')))
            return std::nullopt;
        cursor.take(QLatin1Char(' '));
        result.delimiter = Delimiter::Bracket;
    } else if (cursor.take(QLatin1Char(':'))) {
        if (cursor.spaces() == 0)
            return std::nullopt;
        result.delimiter = Delimiter::Colon;
    } else {
        if (cursor.spaces() == 0)
            return std::nullopt;
        result.delimiter = cursor.take(QLatin1Char('-')) || cursor.take(QChar(0x2013)) ? Delimiter::Dash
                                                                                       : Delimiter::Space;
        if (result.delimiter == Delimiter::Dash)
            cursor.take(QLatin1Char(' '));
    }
    result.rest = withoutLeadingMarks(cursor.rest());

    // A 12-hour mark on an hour past 12 ("13:37 p.m.") is a 24-hour time.
    if (result.hour > 23 || result.minute > 59 || result.second > 59)
        return std::nullopt;
    return result;
}

QString WhatsAppLine::timestamp(DateOrder order) const
{
    const auto date = dateIn(*this, order);
    if (!date)
        return {};
    int hour24 = hour;
    if (meridiem == QLatin1Char('a') && hour == 12)
        hour24 = 0;
    else if (meridiem == QLatin1Char('p') && hour >= 1 && hour < 12)
        hour24 = hour + 12;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date->year, date->month, date->day,
        hour24, minute, second);
    return QString::fromLatin1(text);
}

bool WhatsAppLine::namesSender() const
{
    return rest.contains(QLatin1String(": ")) || rest.endsWith(QLatin1Char(':'));
}

int WhatsAppLine::form() const
{
    return int(delimiter) | int(separator.unicode()) << 2 | (secondsWritten ? 1 << 18 : 0)
        | (meridiem.isNull() ? 0 : 1 << 19);
}

void WhatsAppDateOrder::add(const WhatsAppLine &line)
{
    ++m_lines;
    if (line.widths[0] == 4)
        ++m_yearFirst;
    for (const auto &[reading, order] : { std::pair { &m_dayMonth, WhatsAppLine::DateOrder::DayMonth },
             std::pair { &m_monthDay, WhatsAppLine::DateOrder::MonthDay } }) {
        const auto date = dateIn(line, order);
        if (!date) {
            ++reading->invalid;
            continue;
        }
        const int key = date->year * 10000 + date->month * 100 + date->day;
        if (key < reading->lastDate)
            ++reading->backwards;
        reading->lastDate = key;
    }
    const std::pair<int, int> fields { line.fields[0], line.fields[1] };
    if (m_lastFields && m_lastFields->second == fields.second && m_lastFields->first != fields.first)
        ++m_firstChanged;
    if (m_lastFields && m_lastFields->first == fields.first && m_lastFields->second != fields.second)
        ++m_secondChanged;
    m_lastFields = fields;
    m_dayFirstHint = m_dayFirstHint || line.separator == QLatin1Char('.')
        || line.clock == WhatsAppLine::Clock::LocalMeridiem;
    m_plainMeridiem = m_plainMeridiem || line.clock == WhatsAppLine::Clock::PlainMeridiem;
}

WhatsAppLine::DateOrder WhatsAppDateOrder::order() const
{
    using Order = WhatsAppLine::DateOrder;
    if (m_yearFirst * 2 > m_lines)
        return Order::YearFirst;
    // A field above 12 anywhere can't be a month.
    if (m_dayMonth.invalid != m_monthDay.invalid)
        return m_dayMonth.invalid < m_monthDay.invalid ? Order::DayMonth : Order::MonthDay;
    // The field that changes from one day to the next is the day.
    if (m_firstChanged != m_secondChanged)
        return m_firstChanged > m_secondChanged ? Order::DayMonth : Order::MonthDay;
    if (m_dayMonth.backwards != m_monthDay.backwards)
        return m_dayMonth.backwards < m_monthDay.backwards ? Order::DayMonth : Order::MonthDay;
    // Nothing in the dates tells them apart: month first only for the
    // plain AM and PM of the United States, and nothing local beside it.
    if (m_dayFirstHint || !m_plainMeridiem)
        return Order::DayMonth;
    return Order::MonthDay;
}

} // namespace Brimlow
