#pragma once

#include <QString>
#include <QStringView>

// Small text rules shared across the app. "White space" in user input means
// spaces and tabs; line breaks are kept unless a caller says otherwise.
namespace Text {

bool isSpaceOrTab(QChar c);
// The text without spaces and tabs at either end.
QString trimmedSpaces(QStringView text);
// True when the text holds nothing but spaces and tabs (or nothing).
bool isBlank(QStringView text);
// True when some character of the text is a letter of any script: a name,
// not a number or an address of digits alone.
bool hasLetter(QStringView text);
// The text as a unit of its own in a line of another direction: a Hebrew
// or Arabic name followed by "1 MIN" would otherwise take the number into
// its own right-to-left run and show it before the name. Unchanged when
// the text has no right-to-left letter.
QString isolated(const QString &text);

} // namespace Text
