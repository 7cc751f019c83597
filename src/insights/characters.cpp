#include "characters.h"

#include <memory>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>

namespace {

// Break iterators are not thread-safe and costly to make: one per thread,
// since the insights may be read off the main thread.
icu::BreakIterator *characterBreaks()
{
    thread_local std::unique_ptr<icu::BreakIterator> breaks = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> made(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return breaks.get();
}

char32_t firstScalar(QStringView character)
{
    if (character.isEmpty())
        return 0;
    const QChar first = character.front();
    if (first.isHighSurrogate() && character.size() > 1 && character[1].isLowSurrogate())
        return QChar::surrogateToUcs4(first, character[1]);
    return first.unicode();
}

} // namespace

namespace Characters {

bool isSimple(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x300 || c == u'\r')
            return false;
    }
    return true;
}

QList<qsizetype> ends(QStringView text)
{
    QList<qsizetype> result;
    // A character is at least one code unit.
    result.reserve(text.size());
    if (isSimple(text)) {
        for (qsizetype i = 1; i <= text.size(); ++i)
            result.append(i);
        return result;
    }
    icu::BreakIterator *breaks = characterBreaks();
    UErrorCode status = U_ZERO_ERROR;
    UText *utext
        = utext_openUChars(nullptr, reinterpret_cast<const UChar *>(text.utf16()), text.size(), &status);
    if (!breaks || U_FAILURE(status)) {
        // Without ICU every code unit stands alone rather than nothing counting.
        utext_close(utext);
        for (qsizetype i = 1; i <= text.size(); ++i)
            result.append(i);
        return result;
    }
    breaks->setText(utext, status);
    for (int32_t end = breaks->next(); end != icu::BreakIterator::DONE; end = breaks->next())
        result.append(end);
    // The iterator keeps a pointer to the text: detach it before closing.
    breaks->setText(icu::UnicodeString());
    utext_close(utext);
    return result;
}

int count(QStringView text)
{
    if (isSimple(text))
        return int(text.size());
    return int(ends(text).size());
}

QString left(QStringView text, int n)
{
    if (n <= 0)
        return {};
    if (isSimple(text))
        return text.left(n).toString();
    const QList<qsizetype> boundaries = ends(text);
    if (n >= boundaries.size())
        return text.toString();
    return text.left(boundaries[n - 1]).toString();
}

QString lowered(const QString &text)
{
    bool capitals = false;
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return text.toLower();
        capitals = capitals || (c >= u'A' && c <= u'Z');
    }
    if (!capitals)
        return text;
    QString result = text;
    for (QChar &c : result) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return result;
}

bool isLetter(QStringView character)
{
    return u_isalpha(UChar32(firstScalar(character)));
}

bool isUpper(QStringView character)
{
    return u_isupper(UChar32(firstScalar(character)));
}

bool isNumber(QStringView character)
{
    return !character.isEmpty()
        && u_getIntPropertyValue(UChar32(firstScalar(character)), UCHAR_NUMERIC_TYPE) != U_NT_NONE;
}

} // namespace Characters
