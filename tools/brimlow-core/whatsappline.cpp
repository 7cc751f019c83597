#include "whatsappline.h"

#include <QDate>
#include <QRegularExpression>
#include <cstdio>
#include <tuple>
#include <utility>

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
    if (a < 0 || b < 0 || c < 0)
        return std::nullopt;
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

// How well an order reads a file: lines without a valid date in it, then
// how often the dates of consecutive lines go backwards. Lower is better.
std::pair<int, int> misfit(const QList<WhatsAppLine> &lines, WhatsAppLine::DateOrder order)
{
    int invalid = 0;
    int back = 0;
    std::optional<Date> previous;
    for (const WhatsAppLine &line : lines) {
        const auto date = dateIn(line, order);
        if (!date) {
            ++invalid;
            continue;
        }
        if (previous
            && std::tie(date->year, date->month, date->day)
                < std::tie(previous->year, previous->month, previous->day))
            ++back;
        previous = date;
    }
    return { invalid, back };
}

} // namespace

std::optional<WhatsAppLine> WhatsAppLine::match(QStringView rawLine)
{
    static const QString date = QStringLiteral(R"((\d{1,4})([./-])(\d{1,2})\2(\d{1,4}),?\s+)");
    static const QString time
        = QStringLiteral(R"((\d{1,2})[:.](\d{2})(?:[:.](\d{2}))?(?:\s*([AaPp])\.?\s?[Mm]\.?)?)");
    static const QRegularExpression bracketed(
        QStringLiteral("^\\[") + date + time + QStringLiteral(R"(\]\s?(.*)$)"),
        QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression dashed(
        QStringLiteral("^") + date + time + QStringLiteral(R"(\s+[-–]\s?(.*)$)"),
        QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::DotMatchesEverythingOption);

    const QStringView line = withoutLeadingMarks(rawLine);
    if (line.isEmpty() || !(line.at(0) == QLatin1Char('[') || line.at(0).isDigit()))
        return std::nullopt;
    QRegularExpressionMatch found = bracketed.match(line);
    if (!found.hasMatch())
        found = dashed.match(line);
    if (!found.hasMatch())
        return std::nullopt;

    // Views, not copies: a long chat has a million lines.
    WhatsAppLine result;
    for (int i = 0; i < 3; ++i) {
        const QStringView field = found.capturedView(i == 0 ? 1 : i + 2);
        bool ok = false;
        result.fields[i] = field.toInt(&ok);
        if (!ok)
            result.fields[i] = -1; // digits of another script
        result.widths[i] = int(field.size());
    }
    result.hour = found.capturedView(5).toInt();
    result.minute = found.capturedView(6).toInt();
    result.second = found.capturedLength(7) == 0 ? 0 : found.capturedView(7).toInt();
    if (found.capturedLength(8) > 0)
        result.meridiem = found.capturedView(8).at(0).toLower();
    result.rest = withoutLeadingMarks(found.capturedView(9));
    if (result.meridiem.isNull() ? result.hour > 23 : (result.hour < 1 || result.hour > 12))
        return std::nullopt;
    if (result.minute > 59 || result.second > 59)
        return std::nullopt;
    return result;
}

WhatsAppLine::DateOrder WhatsAppLine::dateOrder(const QList<WhatsAppLine> &lines)
{
    int fourDigitFirst = 0;
    bool twelveHour = false;
    for (const WhatsAppLine &line : lines) {
        if (line.widths[0] == 4)
            ++fourDigitFirst;
        twelveHour = twelveHour || !line.meridiem.isNull();
    }
    if (fourDigitFirst * 2 > lines.size())
        return DateOrder::YearFirst;

    const auto dayMonth = misfit(lines, DateOrder::DayMonth);
    const auto monthDay = misfit(lines, DateOrder::MonthDay);
    if (dayMonth != monthDay)
        return dayMonth < monthDay ? DateOrder::DayMonth : DateOrder::MonthDay;
    // Nothing in the file tells them apart: a 12-hour clock goes with the
    // month-first dates of the United States.
    return twelveHour ? DateOrder::MonthDay : DateOrder::DayMonth;
}

QString WhatsAppLine::timestamp(DateOrder order) const
{
    const auto date = dateIn(*this, order);
    if (!date)
        return {};
    int hour24 = hour;
    if (meridiem == QLatin1Char('a') && hour == 12)
        hour24 = 0;
    else if (meridiem == QLatin1Char('p') && hour != 12)
        hour24 = hour + 12;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date->year, date->month, date->day,
        hour24, minute, second);
    return QString::fromLatin1(text);
}

} // namespace Brimlow
