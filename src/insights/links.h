#pragma once

#include <QString>
#include <QStringView>

// Web and e-mail addresses in a message. They are not words: split at their
// dots and slashes they would make "com" or "www" someone's favourite word.
namespace Links {

// Whether a token (a run of text between white space) is a web address
// ("https://…", "www.…", "google.com", "bit.ly/3xYz") or an e-mail address,
// whatever punctuation stands around it. A sentence that ends without a
// space after its full stop ("ok.so", "home.now") is not one.
bool isLink(QStringView token);

// The text with every such token blanked out; a text with none is shared,
// not copied.
QString withoutLinks(const QString &text);

} // namespace Links
