#include "text.h"

#include <QList>

namespace Text {

bool isSpaceOrTab(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimmedSpaces(QStringView text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isSpaceOrTab(text.at(start)))
        ++start;
    while (end > start && isSpaceOrTab(text.at(end - 1)))
        --end;
    return text.mid(start, end - start).toString();
}

bool hasLetter(QStringView text)
{
    for (const char32_t c : text.toUcs4()) {
        if (QChar::isLetter(c))
            return true;
    }
    return false;
}

bool isBlank(QStringView text)
{
    for (const QChar c : text) {
        if (!isSpaceOrTab(c))
            return false;
    }
    return true;
}

QString isolated(const QString &text)
{
    for (const char32_t c : text.toUcs4()) {
        const QChar::Direction direction = QChar::direction(c);
        if (direction == QChar::DirR || direction == QChar::DirAL)
            return QChar(0x2068) + text + QChar(0x2069);
    }
    return text;
}

} // namespace Text
