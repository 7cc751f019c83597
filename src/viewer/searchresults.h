#pragma once

#include "model/bookfile.h"

#include <QPointer>
#include <QWidget>

class ContentUnavailable;
class Project;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QTimer;
class SearchDelegate;
class SearchModel;

// The messages of the book that match the search, beside its pages: where
// each stands in the book, a click to go to its page, and the edits of one
// message in its menu. Matches are looked for again when the search text
// rests for a moment, or when the book's messages or their texts change;
// rows are redrawn whenever the book or its layout changes.
class SearchResults : public QWidget
{
    Q_OBJECT

public:
    // Results at most.
    static constexpr int limit = 400;
    // How long the search text rests before it is looked for.
    static constexpr int pause = 120;

    explicit SearchResults(Project *project, QWidget *parent = nullptr);
    ~SearchResults() override;

    QString query() const { return m_query; }
    // Looks for the text once it has rested; Immediately for a text given
    // all at once (the search the app was started with).
    enum class When { Resting, Immediately };
    void setQuery(const QString &query, When when = When::Resting);

    // "First 400 matches", "12 matches".
    QString header() const;
    int count() const;
    const SearchModel *model() const { return m_model; }
    QListView *list() const;
    QPushButton *replaceButton() const { return m_replace; }
    // The edits of one message, as its context menu and its menu button
    // offer them; deleted when closed.
    QMenu *actions(const BookFile::Message &message, QWidget *parent);
    // Opens the replacing sheet for the current query.
    void replace();

signals:
    void jumpRequested(int page);
    void pinRequested(const BookFile::Message &message);
    void chapterRequested(const BookFile::Message &message);

protected:
    void showEvent(QShowEvent *event) override;

private:
    class List;

    void scheduleRefresh();
    void refresh();
    void go(const BookFile::Message &message);
    void showMenu(int row, const QPoint &global);

    QPointer<Project> m_project;
    QString m_query;
    QString m_replacement;
    QLabel *m_header;
    QPushButton *m_replace;
    List *m_list;
    SearchModel *m_model;
    SearchDelegate *m_delegate;
    ContentUnavailable *m_empty;
    QTimer *m_resting;
    QTimer *m_changed;

    // What the last search looked at, so a change of the book that leaves
    // its messages alone costs no search.
    struct Searched
    {
        QString query;
        const void *messages = nullptr;
        qsizetype count = -1;
        std::optional<QMap<QString, QString>> texts;
    };
    Searched m_searched;
    QList<BookFile::Message> m_found;
};
