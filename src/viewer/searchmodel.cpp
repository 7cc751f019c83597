#include "searchmodel.h"

#include "model/day.h"
#include "project/project.h"

void SearchModel::setRows(const QList<BookFile::Message> &found, const Project &project)
{
    const BookFile &book = project.book();
    const QStringList hiddenList = book.edits.hidden.value_or(QStringList());
    const QSet<QString> hidden(hiddenList.cbegin(), hiddenList.cend());
    QSet<QString> bold;
    for (const Edits::Emphasis &emphasis : book.edits.emphasis.value_or(QList<Edits::Emphasis>())) {
        if (!emphasis.phrase)
            bold.insert(emphasis.id);
    }
    // Formatting a date is slow next to everything else in a row, and rows
    // share days.
    QHash<QString, QString> days;
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(found.size());
    for (const BookFile::Message &message : found) {
        const QString day = message.at.left(10);
        auto formatted = days.find(day);
        if (formatted == days.end())
            formatted = days.insert(day, longDay(day));
        m_rows.append({ message, *formatted, senderOf(book, message), project.shownText(message),
            hidden.contains(message.id), bold.contains(message.id), badgeOf(project, message) });
    }
    endResetModel();
}

int SearchModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SearchModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return row.text;
    case Qt::AccessibleTextRole:
        return spoken(row);
    case Qt::ToolTipRole:
        return row.day + QStringLiteral(" · ") + row.sender;
    default:
        return {};
    }
}

QString SearchModel::spoken(const Row &row)
{
    // "p. 12" is for the eye; a listener hears the page as words.
    QString where;
    const QString page = QString::number(row.badge.page);
    switch (row.badge.kind) {
    case Badge::Kind::Pin:
        where = QStringLiteral("pinned to page ") + page;
        break;
    case Badge::Kind::Page:
        where = QStringLiteral("page ") + page;
        break;
    case Badge::Kind::Outside:
        where = QStringLiteral("not in book");
        break;
    case Badge::Kind::None:
        break;
    }
    QStringList parts { row.day, row.sender };
    if (!where.isEmpty())
        parts.append(where);
    return parts.join(QStringLiteral(", ")) + QStringLiteral(": ") + row.text;
}

QString SearchModel::senderOf(const BookFile &book, const BookFile::Message &message)
{
    if (message.from == QLatin1String("me"))
        return QStringLiteral("You");
    // In a group every other member writes too: the message names its own
    // sender, never simply the last person of the book.
    for (const BookFile::Person &person : book.people) {
        if (person.id == message.from)
            return person.me ? QStringLiteral("You") : person.name;
    }
    if (message.who && !message.who->isEmpty())
        return *message.who;
    return QStringLiteral("Them");
}

SearchModel::Badge SearchModel::badgeOf(const Project &project, const BookFile::Message &message)
{
    if (const std::optional<Edits::Pin> pin = project.pinFor(message)) {
        const std::optional<Layout::PinResult> result = project.pinResult(message.id);
        return { Badge::Kind::Pin, QStringLiteral("p. %1").arg(pin->page), result && !result->ok, pin->page };
    }
    const QString day = message.at.left(10);
    if (day < project.from() || day > project.to())
        return { Badge::Kind::Outside, QStringLiteral("Not in book"), false };
    if (const std::optional<int> page = project.pageOf(day))
        return { Badge::Kind::Page, QStringLiteral("p. %1").arg(*page), false, *page };
    return {};
}

QList<std::pair<int, int>> SearchModel::highlights(const QString &text, const QString &query)
{
    QList<std::pair<int, int>> found;
    for (const QString &typed : query.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        // The search finds "café" whether its accent is typed as one
        // character or two, and so must the marks, in the text's own form.
        QStringList forms { typed };
        for (const QString &form : { typed.normalized(QString::NormalizationForm_C),
                 typed.normalized(QString::NormalizationForm_D) }) {
            if (!forms.contains(form))
                forms.append(form);
        }
        for (const QString &word : std::as_const(forms)) {
            qsizetype from = 0;
            for (;;) {
                const qsizetype at = text.indexOf(word, from, Qt::CaseInsensitive);
                if (at < 0)
                    break;
                found.append({ int(at), int(word.size()) });
                from = at + word.size();
            }
        }
    }
    return found;
}
