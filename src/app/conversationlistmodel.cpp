#include "conversationlistmodel.h"

#include "model/day.h"
#include "model/library.h"

#include <QLocale>

namespace {

QString symbolOf(const Source &source)
{
    if (source.id == Source::mac().id)
        return QStringLiteral("laptopcomputer");
    if (source.log)
        return QStringLiteral("doc.text");
    return QStringLiteral("iphone");
}

} // namespace

ConversationListModel::ConversationListModel(Library *library, QObject *parent)
    : QAbstractItemModel(parent)
    , m_library(library)
{
    for (auto changed : { &Library::sourcesChanged, &Library::listsChanged, &Library::loadingSourcesChanged,
             &Library::errorsChanged, &Library::namesChanged, &Library::accessChanged })
        connect(library, changed, this, &ConversationListModel::rebuild);
    // The first date formatted sets ICU up for the locale; done now, while
    // the message tool reads the list, the list shows sooner once it is in.
    monthYear(QStringLiteral("2001-01-01"));
    rebuild();
}

QString ConversationListModel::title(const Source &source)
{
    if (source.backup && source.date) {
        if (const std::optional<QDateTime> made = Day::internetDateTime(*source.date))
            return source.name + QStringLiteral(", ") + Day::format(*made, QStringLiteral("yMMMd"));
    }
    return source.name;
}

QString ConversationListModel::monthYear(const QString &day)
{
    const std::optional<QDateTime> date = Day::date(day);
    if (!date)
        return day;
    return Day::format(*date, QStringLiteral("yMMM"));
}

QList<ConversationListModel::Section> ConversationListModel::sections() const
{
    QList<Section> sections;
    const QHash<QString, QList<Conversation>> lists = m_library->lists();
    // Many conversations start on the same day; each day is written once.
    QHash<QString, QString> months;
    const auto monthOf = [&](const QString &day) {
        auto it = months.constFind(day);
        if (it == months.cend())
            it = months.insert(day, monthYear(day));
        return *it;
    };
    for (const Source &source : m_library->sources()) {
        Section section { source, title(source), symbolOf(source), {} };
        QString notice;
        for (const Conversation &conversation : lists.value(source.id)) {
            if (notice.isEmpty())
                notice = conversation.notice.value_or(QString());
            if (conversation.group)
                continue;
            section.rows.append({ Kind::Conversation, m_library->displayName(conversation),
                QLocale().toString(qint64(conversation.messages)) + QStringLiteral(" messages since ")
                    + monthOf(conversation.first),
                conversation.id() });
        }
        if (section.rows.isEmpty()) {
            if (m_library->loadingSources().contains(source.id))
                section.rows.append({ Kind::Loading, {}, {}, {} });
            else if (m_library->errors().contains(source.id))
                section.rows.append({ Kind::Error, m_library->errors().value(source.id), {}, {} });
            else
                section.rows.append({ Kind::Empty, QStringLiteral("No one-to-one conversations"), {}, {} });
        }
        // A source read in part still lists what it gave; its last line
        // says that more was there.
        if (!notice.isEmpty())
            section.rows.append({ Kind::Notice, notice, {}, {} });
        sections.append(section);
    }
    return sections;
}

void ConversationListModel::rebuild()
{
    if (!m_library)
        return;
    QList<Section> next = sections();
    const bool readFromMac = m_library->access() != Library::Access::Granted;
    if (next == m_sections && readFromMac == m_readFromMac)
        return;
    beginResetModel();
    m_sections = std::move(next);
    m_readFromMac = readFromMac;
    endResetModel();
}

ConversationListModel::Kind ConversationListModel::kind(const QModelIndex &index)
{
    return static_cast<Kind>(index.data(KindRole).toInt());
}

QModelIndex ConversationListModel::indexOf(const QString &id) const
{
    for (int s = 0; s < m_sections.size(); ++s) {
        const QList<Row> &rows = m_sections[s].rows;
        for (int r = 0; r < rows.size(); ++r) {
            if (rows[r].kind == Kind::Conversation && rows[r].id == id)
                return createIndex(r, 0, quintptr(s + 1));
        }
    }
    return {};
}

QModelIndex ConversationListModel::sectionIndex(const QString &sourceId) const
{
    for (int s = 0; s < m_sections.size(); ++s) {
        if (m_sections[s].source.id == sourceId)
            return createIndex(s, 0, quintptr(0));
    }
    return {};
}

std::optional<Source> ConversationListModel::source(const QModelIndex &section) const
{
    if (!section.isValid() || section.internalId() != 0 || section.row() >= m_sections.size())
        return std::nullopt;
    return m_sections[section.row()].source;
}

QModelIndex ConversationListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < rowCount() ? createIndex(row, 0, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0 || parent.row() >= m_sections.size())
        return {};
    if (row >= m_sections[parent.row()].rows.size())
        return {};
    return createIndex(row, 0, quintptr(parent.row() + 1));
}

QModelIndex ConversationListModel::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(int(child.internalId() - 1), 0, quintptr(0));
}

int ConversationListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_sections.size()) + (m_readFromMac ? 1 : 0);
    if (parent.internalId() != 0 || parent.row() >= m_sections.size())
        return 0;
    return int(m_sections[parent.row()].rows.size());
}

int ConversationListModel::columnCount(const QModelIndex &) const
{
    return 1;
}

const ConversationListModel::Row *ConversationListModel::rowAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.internalId() == 0)
        return nullptr;
    const int section = int(index.internalId() - 1);
    if (section >= m_sections.size() || index.row() >= m_sections[section].rows.size())
        return nullptr;
    return &m_sections[section].rows[index.row()];
}

QVariant ConversationListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() == 0) {
        if (index.row() >= m_sections.size()) {
            // The last row, while the computer's own messages can't be read.
            switch (role) {
            case KindRole:
                return int(Kind::ReadFromMac);
            case Qt::DisplayRole:
                return QStringLiteral("Read Messages from a Mac…");
            case SymbolRole:
                return QStringLiteral("lock.shield");
            default:
                return {};
            }
        }
        const Section &section = m_sections[index.row()];
        switch (role) {
        case KindRole:
            return int(Kind::Section);
        case Qt::DisplayRole:
            return section.title;
        case IdRole:
            return section.source.id;
        case SymbolRole:
            return section.symbol;
        default:
            return {};
        }
    }
    const Row *row = rowAt(index);
    if (!row)
        return {};
    switch (role) {
    case KindRole:
        return int(row->kind);
    case Qt::DisplayRole:
        return row->text;
    case Qt::AccessibleTextRole:
        return row->detail.isEmpty() ? row->text : row->text + QStringLiteral(", ") + row->detail;
    case DetailRole:
        return row->detail;
    case IdRole:
        return row->id;
    default:
        return {};
    }
}

Qt::ItemFlags ConversationListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (kind(index) == Kind::Conversation)
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled;
}
