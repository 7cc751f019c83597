#pragma once

#include "model/source.h"

#include <QAbstractItemModel>
#include <QList>
#include <QPointer>
#include <optional>

class Library;

// The sidebar's rows, read from the library: one section per source, each
// holding its one-to-one conversations in the message tool's order, or one
// status line while it has none (loading, its error, or that it has none),
// then what the tool said of a source it read only in part;
// and, while the computer's own database can't be read, a last row that
// says where it is read from. Group chats are never listed.
class ConversationListModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum class Kind { Section, Conversation, Loading, Error, Empty, Notice, ReadFromMac };
    enum Role {
        KindRole = Qt::UserRole + 1,
        // A conversation's identifier, a section's source id.
        IdRole,
        // A conversation's second line.
        DetailRole,
        // The symbol drawn before a section's title or the last row's text.
        SymbolRole,
    };

    explicit ConversationListModel(Library *library, QObject *parent = nullptr);

    static Kind kind(const QModelIndex &index);
    // The index of a conversation by identifier; invalid when not listed.
    QModelIndex indexOf(const QString &id) const;
    QModelIndex sectionIndex(const QString &sourceId) const;
    std::optional<Source> source(const QModelIndex &section) const;

    // A section's title: a backup's name with the day it was made, when its
    // date is a full internet date-time; every other source's name.
    static QString title(const Source &source);
    // A day key as abbreviated month and year ("Mar 2024"); other text
    // unchanged.
    static QString monthYear(const QString &day);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    struct Row
    {
        Kind kind;
        QString text;
        QString detail;
        QString id;
        bool operator==(const Row &) const = default;
    };
    struct Section
    {
        Source source;
        QString title;
        QString symbol;
        QList<Row> rows;
        bool operator==(const Section &) const = default;
    };

    void rebuild();
    QList<Section> sections() const;
    const Row *rowAt(const QModelIndex &index) const;

    QPointer<Library> m_library;
    QList<Section> m_sections;
    bool m_readFromMac = false;
};
