#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// User-perceived characters (extended grapheme clusters), which is what the
// insights and special days count: an emoji with a skin tone or a letter
// with a combining accent is one character.
namespace Characters {

// True when every code unit is a character of its own, so units can be
// counted directly: nothing below U+0300 joins a cluster except CR LF.
bool isSimple(QStringView text);

int count(QStringView text);

// The first n characters.
QString left(QStringView text, int n);

// Where each character ends, in order; the last entry is text.size().
QList<qsizetype> ends(QStringView text);

// Unicode default lower case; ASCII text without capitals is shared, not
// copied, since most messages are just that.
QString lowered(const QString &text);

// The Unicode letter and upper-case letter categories of a character,
// judged by its first scalar.
bool isLetter(QStringView character);
bool isUpper(QStringView character);
// A numeric character (a digit, a Roman numeral, a fraction), by its first
// scalar.
bool isNumber(QStringView character);

} // namespace Characters
