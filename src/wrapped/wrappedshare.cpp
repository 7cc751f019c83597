#include "wrappedshare.h"

#include "insights/characters.h"
#include "model/namelimit.h"
#include "wrappedfooter.h"

#include <QRegularExpression>
#include <QSet>

namespace WrappedShare {

namespace {

// Bytes kept free after a file prefix for a card's number, id and shape.
constexpr qsizetype suffixRoom = 64;

QSet<QString> cardIds(const Wrapped &wrapped)
{
    QSet<QString> ids;
    for (const Wrapped::Card &card : wrapped.cards)
        ids.insert(card.id);
    return ids;
}

// The eyebrow, written in capitals on the card, in sentence case: the
// first character as it is, the rest lower-cased, a lone "i" back to "I".
QString sentenceCase(const QString &eyebrow)
{
    const QList<qsizetype> ends = Characters::ends(eyebrow);
    if (ends.isEmpty())
        return eyebrow;
    QString text = eyebrow.left(ends.first()) + eyebrow.mid(ends.first()).toLower();
    static const QRegularExpression loneI(
        QStringLiteral("\\bi\\b"), QRegularExpression::UseUnicodePropertiesOption);
    text.replace(loneI, QStringLiteral("I"));
    return text;
}

QString sentence(const QString &text)
{
    if (text.endsWith(u'.') || text.endsWith(u'?') || text.endsWith(u'!'))
        return text;
    return text + u'.';
}

} // namespace

QStringList kept(const Wrapped &wrapped, const QStringList &selection)
{
    const QSet<QString> ids = cardIds(wrapped);
    QStringList kept;
    for (const QString &id : selection) {
        if (ids.contains(id))
            kept.append(id);
    }
    if (!kept.isEmpty())
        return kept;
    for (const Wrapped::Card &card : wrapped.cards) {
        if (wrapped.defaultSelection.contains(card.id))
            kept.append(card.id);
    }
    return kept;
}

QStringList opening(const Wrapped &wrapped, const QStringList &saved, const std::optional<QString> &focus)
{
    QStringList selection = kept(wrapped, saved);
    if (focus && wrapped.card(*focus) && !selection.contains(*focus))
        selection.prepend(*focus);
    return selection;
}

QString shown(const Wrapped &wrapped, const QStringList &selection, const QString &wanted)
{
    if (wrapped.card(wanted))
        return wanted;
    if (!selection.isEmpty())
        return selection.first();
    if (!wrapped.cards.isEmpty())
        return wrapped.cards.first().id;
    return {};
}

QStringList included(const Wrapped &wrapped, const QStringList &selection, const QString &id, bool on)
{
    if (!on) {
        QStringList rest = selection;
        rest.removeAll(id);
        return rest;
    }
    QStringList ordered;
    for (const Wrapped::Card &card : wrapped.cards) {
        if (card.id == id || selection.contains(card.id))
            ordered.append(card.id);
    }
    return ordered;
}

QString describe(const Wrapped::Card &card, const Wrapped &wrapped, const WrappedSettings &settings)
{
    QStringList value;
    for (const QString &part :
        { settings.named(card.big, wrapped.people), settings.named(card.unit, wrapped.people) }) {
        if (!part.isEmpty())
            value.append(part);
    }
    QStringList sentences { sentenceCase(card.eyebrow) + QStringLiteral(": ") + value.join(u' ') };
    if (!card.detail.isEmpty())
        sentences.append(settings.named(card.detail, wrapped.people));
    if (!card.rows.isEmpty()) {
        QStringList rows;
        for (const Wrapped::Row &row : card.rows) {
            const Wrapped::Person *person = wrapped.person(row.who);
            rows.append((person ? settings.display(*person, wrapped.people) : QString()) + u' ' + row.value);
        }
        sentences.append(rows.join(QStringLiteral(", ")));
    }
    for (QString &text : sentences)
        text = sentence(text);
    return sentences.join(u' ');
}

QString filePrefix(const Wrapped &wrapped, const WrappedSettings &settings)
{
    const QString title = Characters::lowered(settings.named(wrapped.title, wrapped.people));
    QStringList runs;
    QString run;
    qsizetype start = 0;
    for (const qsizetype end : Characters::ends(title)) {
        const QStringView character = QStringView(title).mid(start, end - start);
        if (Characters::isLetter(character) || Characters::isNumber(character)) {
            run += character;
        } else if (!run.isEmpty()) {
            runs.append(run);
            run.clear();
        }
        start = end;
    }
    if (!run.isEmpty())
        runs.append(run);
    if (runs.isEmpty())
        runs.append(QStringLiteral("wrapped"));
    // A title may run longer than a file name can hold: the prefix is cut as
    // a book's folder name is, leaving room for what the cards and the video
    // add after it ("-12-busiest-story.png").
    static const QString suffix = QStringLiteral("-wrapped");
    return NameLimit::cut(runs.join(u'-'), NameLimit::bytes - suffixRoom - suffix.size()) + suffix;
}

QString caption(const Wrapped &wrapped, const WrappedSettings &settings, const std::optional<QUrl> &invite)
{
    QString text = settings.disclose ? QStringLiteral("#ad ") : QString();
    text += wrapped.group ? QStringLiteral("Our group chat") : QStringLiteral("Our texts");
    if (wrapped.year)
        text += QStringLiteral(" from ") + QString::number(*wrapped.year);
    text += QStringLiteral(", in numbers. Made with Quorvel: ");
    text += invite ? invite->toString(QUrl::FullyEncoded) : WrappedFooter::siteName();
    return text;
}

} // namespace WrappedShare
