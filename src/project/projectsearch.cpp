// Finding messages, the page of a day, and replacing text in every
// message of the range.
#include "project.h"

namespace {

// Lower case independent of the locale, composed, so that a letter with a
// combining accent matches the precomposed one.
QString folded(const QString &text)
{
    return text.toLower().normalized(QString::NormalizationForm_C);
}

} // namespace

QList<BookFile::Message> Project::search(const QString &query, int limit) const
{
    // Split at spaces only: a tab or line break typed into a query is part
    // of a word.
    const QStringList words = folded(query).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<BookFile::Message> found;
    if (words.isEmpty())
        return found;
    // A message is found by the words the book prints: after "Replace All"
    // the old words are gone from it.
    const QMap<QString, QString> replaced = m_book.edits.text.value_or(QMap<QString, QString>());
    for (const BookFile::Message &message : m_book.messages) {
        if (!message.text)
            continue;
        const auto edited = replaced.isEmpty() ? replaced.cend() : replaced.constFind(message.id);
        const QString text = folded(edited == replaced.cend() ? *message.text : *edited);
        const bool all = std::all_of(
            words.cbegin(), words.cend(), [&](const QString &word) { return text.contains(word); });
        if (!all)
            continue;
        found.append(message);
        if (limit > 0 && found.size() == limit)
            break;
    }
    return found;
}

QString Project::shownText(const BookFile::Message &message) const
{
    if (m_book.edits.text) {
        const auto edited = m_book.edits.text->constFind(message.id);
        if (edited != m_book.edits.text->cend())
            return *edited;
    }
    return message.text.value_or(QString());
}

std::optional<int> Project::pageOf(const QString &day) const
{
    const auto it = m_layout.days.constFind(day);
    if (it == m_layout.days.cend())
        return std::nullopt;
    return it->printed;
}

int Project::replaceAll(const QString &find, const QString &replacement)
{
    if (find.isEmpty())
        return 0;
    QMap<QString, QString> texts = m_book.edits.text.value_or(QMap<QString, QString>());
    int changed = 0;
    const QString first = from();
    const QString last = to();
    for (const BookFile::Message &message : m_book.messages) {
        if (!inRange(message, first, last))
            continue;
        const QString current = texts.value(message.id, message.text.value_or(QString()));
        // Literal on both sides, case ignored and nothing else, left to
        // right without overlaps.
        const QString result = QString(current).replace(find, replacement, Qt::CaseInsensitive);
        if (result == current)
            continue;
        // Back to the message's own words: no replacement to keep.
        if (message.text && result == *message.text)
            texts.remove(message.id);
        else
            texts.insert(message.id, result);
        ++changed;
    }
    if (texts.isEmpty())
        m_book.edits.text.reset();
    else
        m_book.edits.text = texts;
    emit bookChanged();
    saveAndTypeset();
    return changed;
}
