#include "links.h"

#include <QSet>
#include <algorithm>

namespace Links {

namespace {

// Endings a bare name is taken for an address by, with nothing after it.
// Two-letter ones that are also words in the languages people write here
// ("de", "it", "me", "no", "so", "to", …) are left out: "gracias.de nada"
// is a missed space, and such an address still counts with a path
// ("youtu.be/x", "wa.me/123").
bool isCommonEnding(QStringView label)
{
    static const QSet<QString> endings = { QStringLiteral("com"), QStringLiteral("net"),
        QStringLiteral("org"), QStringLiteral("edu"), QStringLiteral("gov"), QStringLiteral("info"),
        QStringLiteral("biz"), QStringLiteral("app"), QStringLiteral("dev"), QStringLiteral("io"),
        QStringLiteral("ai"), QStringLiteral("ly"), QStringLiteral("gl"), QStringLiteral("co"),
        QStringLiteral("tv"), QStringLiteral("fm"), QStringLiteral("eu"), QStringLiteral("uk"),
        QStringLiteral("fr"), QStringLiteral("nl"), QStringLiteral("ch"), QStringLiteral("ca"),
        QStringLiteral("au"), QStringLiteral("nz"), QStringLiteral("jp"), QStringLiteral("cn"),
        QStringLiteral("ru"), QStringLiteral("br"), QStringLiteral("pl"), QStringLiteral("dk"),
        QStringLiteral("fi"), QStringLiteral("ie"), QStringLiteral("pt"), QStringLiteral("tr"),
        QStringLiteral("mx"), QStringLiteral("cz"), QStringLiteral("gr"), QStringLiteral("hu"),
        QStringLiteral("kr"), QStringLiteral("hk"), QStringLiteral("sg"), QStringLiteral("za") };
    return endings.contains(label.toString().toLower());
}

bool isLabel(QStringView label)
{
    return !label.isEmpty() && label.front() != u'-' && label.back() != u'-'
        && std::all_of(label.begin(), label.end(), [](QChar c) { return c.isLetterOrNumber() || c == u'-'; });
}

bool isLetters(QStringView label)
{
    return label.size() >= 2 && std::all_of(label.begin(), label.end(), [](QChar c) { return c.isLetter(); });
}

// "google.com", "bbc.co.uk", "localhost:8080" is not: at least two labels,
// the last of letters only. The last label comes back in ending.
bool isHostName(QStringView host, QStringView &ending)
{
    if (const qsizetype colon = host.indexOf(u':'); colon >= 0) {
        const QStringView port = host.mid(colon + 1);
        if (port.isEmpty() || !std::all_of(port.begin(), port.end(), [](QChar c) { return c.isDigit(); }))
            return false;
        host = host.left(colon);
    }
    const QList<QStringView> labels = host.split(u'.');
    if (labels.size() < 2 || !std::all_of(labels.begin(), labels.end(), isLabel) || !isLetters(labels.last()))
        return false;
    ending = labels.last();
    return true;
}

bool isSchemeCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+'
        || c == u'-' || c == u'.';
}

// "https://…", "ftp://…", and one glued to a word before it ("see:https://…").
bool hasScheme(QStringView token)
{
    const qsizetype mark = token.indexOf(u"://");
    if (mark < 0 || mark + 3 >= token.size())
        return false;
    qsizetype start = mark;
    while (start > 0 && isSchemeCharacter(token[start - 1]))
        --start;
    return mark - start >= 2;
}

bool isMailAddress(QStringView token)
{
    const qsizetype at = token.lastIndexOf(u'@');
    QStringView ending;
    return at > 0 && isHostName(token.mid(at + 1), ending);
}

bool isWebName(QStringView token)
{
    qsizetype end = token.size();
    for (const QChar c : { QChar(u'/'), QChar(u'?'), QChar(u'#') }) {
        const qsizetype found = token.indexOf(c);
        if (found >= 0 && found < end)
            end = found;
    }
    QStringView ending;
    if (!isHostName(token.left(end), ending))
        return false;
    // A path makes even a name with an uncommon ending an address.
    return isCommonEnding(ending) || end + 1 < token.size();
}

// What every address has: an "@", a ":/", or a full stop with more of the
// address right after it.
bool hasMark(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'@')
            return true;
        if ((c == u'.' || c == u':') && i + 1 < text.size()
            && (c == u':' ? text[i + 1] == u'/' : text[i + 1].isLetterOrNumber()))
            return true;
    }
    return false;
}

bool isEdge(QChar c)
{
    return !c.isLetterOrNumber();
}

} // namespace

bool isLink(QStringView token)
{
    // Brackets, quotes and a sentence's full stop around it are not part of it.
    while (!token.isEmpty() && isEdge(token.front()))
        token = token.mid(1);
    while (!token.isEmpty() && isEdge(token.back()))
        token.chop(1);
    if (token.size() < 4)
        return false;
    if (hasScheme(token))
        return true;
    if (token.startsWith(u"www.", Qt::CaseInsensitive))
        return token.size() > 4;
    if (token.contains(u'@'))
        return isMailAddress(token);
    return token.contains(u'.') && isWebName(token);
}

QString withoutLinks(const QString &text)
{
    // Most texts have none, and a sentence's full stop is followed by a
    // space: one quick pass settles those.
    const QStringView view(text);
    if (!hasMark(view))
        return text;
    QString blanked = text;
    qsizetype start = 0;
    while (start < view.size()) {
        while (start < view.size() && view[start].isSpace())
            ++start;
        qsizetype end = start;
        while (end < view.size() && !view[end].isSpace())
            ++end;
        const QStringView token = view.mid(start, end - start);
        if (hasMark(token) && isLink(token))
            std::fill(blanked.begin() + start, blanked.begin() + end, QChar(u' '));
        start = end;
    }
    return blanked;
}

} // namespace Links
