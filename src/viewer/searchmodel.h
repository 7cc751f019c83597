#pragma once

#include "model/bookfile.h"

#include <QAbstractListModel>
#include <QList>
#include <QString>
#include <utility>

class Project;

// The rows of the search list: each found message with what its row shows,
// worked out from the book and its layout when the list is refreshed.
class SearchModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Where a message stands in the typeset book.
    struct Badge
    {
        enum class Kind { None, Pin, Outside, Page };
        Kind kind = Kind::None;
        QString text;
        // A pin the typesetter could not honour.
        bool failed = false;
        // The page of a pin or of the message's day.
        int page = 0;
    };

    struct Row
    {
        BookFile::Message message;
        QString day;
        QString sender;
        // As the book prints it: a replacement where there is one.
        QString text;
        bool hidden = false;
        bool bold = false;
        Badge badge;
    };

    using QAbstractListModel::QAbstractListModel;

    void setRows(const QList<BookFile::Message> &found, const Project &project);
    const Row &row(int index) const { return m_rows.at(index); }
    const QString &query() const { return m_query; }
    void setQuery(const QString &query) { m_query = query; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The sender as a row names them: "You" for the user's own messages,
    // else the person the message is from ("Them" when the book doesn't
    // know them).
    static QString senderOf(const BookFile &book, const BookFile::Message &message);
    // What a row says to a screen reader: its day, sender and place in the
    // book before the text, as the row shows them.
    static QString spoken(const Row &row);
    static Badge badgeOf(const Project &project, const BookFile::Message &message);
    // Where each word of the query (split at single spaces) occurs in text,
    // ignoring case, as (start, length); occurrences of different words may
    // overlap.
    static QList<std::pair<int, int>> highlights(const QString &text, const QString &query);

private:
    QList<Row> m_rows;
    QString m_query;
};
