#include "phonenumbers.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <optional>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/uchar.h>

namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// The characters of a text as the user sees them (grapheme clusters); a
// character is numeric by its first code point.
QStringList characters(const QString &text)
{
    QStringList result;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        result.append(text.mid(start, finder.position() - start));
        start = finder.position();
    }
    return result;
}

double numericValue(const QString &character)
{
    const QList<uint> codePoints = character.toUcs4();
    return codePoints.isEmpty() ? U_NO_NUMERIC_VALUE : u_getNumericValue(UChar32(codePoints.first()));
}

bool fromTwoToNine(const QString &digit)
{
    const double value = numericValue(digit);
    return value >= 2 && value <= 9 && value == double(int(value));
}

// A plus before the digits gives the country code; a full-width plus is one.
bool hasCountryCode(const QString &handle)
{
    const QString written = handle.trimmed();
    return written.startsWith(u'+') || written.startsWith(QChar(0xFF0B));
}

// The plan's own area codes and exchanges each begin with 2 to 9.
bool isPlanNumber(const QStringList &tenDigits)
{
    return fromTwoToNine(tenDigits.at(0)) && fromTwoToNine(tenDigits.at(3));
}

bool isNorthAmerican(const QStringList &digits, bool countryCode)
{
    // Written with +1, it is the plan's by its owner's word.
    if (countryCode)
        return digits.size() == 11 && numericValue(digits.first()) == 1;
    // Without a country code, only the plan's own area codes and exchanges
    // make a North American number: a Chinese mobile is eleven digits
    // beginning with 1 too (13800138000), and ten digits beginning with 0
    // or 1 are another country's, written the way it writes them.
    if (digits.size() == 11)
        return numericValue(digits.first()) == 1 && isPlanNumber(digits.mid(1));
    return digits.size() == 10 && isPlanNumber(digits);
}

QString northAmerican(const QStringList &digits)
{
    const QStringList last = digits.mid(digits.size() - 10);
    return QStringLiteral("(") + last.mid(0, 3).join(QString()) + QStringLiteral(") ")
        + last.mid(3, 3).join(QString()) + QLatin1Char('-') + last.mid(6).join(QString());
}

// Only the plus and digits: a number kept without spaces.
bool isRunOfDigits(const QString &handle)
{
    const QStringList all = characters(handle.trimmed());
    return std::all_of(all.cbegin(), all.cend(), [](const QString &character) {
        return character == u"+" || character == QChar(0xFF0B)
            || numericValue(character) != U_NO_NUMERIC_VALUE;
    });
}

std::optional<QString> international(const QString &handle)
{
    const PhoneNumberUtil &util = *PhoneNumberUtil::GetInstance();
    PhoneNumber number;
    if (util.Parse(handle.toStdString(), "ZZ", &number) != PhoneNumberUtil::NO_PARSING_ERROR)
        return std::nullopt;
    // A number no plan holds is formatted by guesswork, at worst as a run
    // of digits after its country code: a grouping its owner wrote stands,
    // and so does a number too short to be dialled from abroad.
    const bool possible = util.IsPossibleNumberWithReason(number) == PhoneNumberUtil::IS_POSSIBLE;
    if (!util.IsValidNumber(number) && !(possible && isRunOfDigits(handle)))
        return std::nullopt;
    std::string formatted;
    util.Format(number, PhoneNumberUtil::INTERNATIONAL, &formatted);
    return QString::fromStdString(formatted);
}

} // namespace

namespace PhoneNumbers {

QStringList numerics(const QString &text)
{
    QStringList digits;
    for (const QString &character : characters(text)) {
        if (numericValue(character) != U_NO_NUMERIC_VALUE)
            digits.append(character);
    }
    return digits;
}

QString pretty(const QString &handle)
{
    if (handle.contains(u'@'))
        return handle;
    const QStringList digits = numerics(handle);
    const bool countryCode = hasCountryCode(handle);
    if (isNorthAmerican(digits, countryCode))
        return northAmerican(digits);
    if (countryCode)
        return international(handle).value_or(handle);
    return handle;
}

void prepare()
{
    PhoneNumberUtil::GetInstance();
}

} // namespace PhoneNumbers
