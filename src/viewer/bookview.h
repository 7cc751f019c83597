#pragma once

#include "model/bookfile.h"

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <qcorotask.h>

class BookPreview;
class Inspector;
class PinSheet;
class ChapterSheet;
class Project;
class QAction;
class QLabel;
class QSplitter;
class QWidgetAction;
class RangePopover;
class SearchResults;
class Spinner;

// The open book's pages, to read and to edit in place: the search beside
// them, the range of days, the export of the PDF, the book's settings
// panel and the sheets that pin a message or start a chapter. The window
// carries its actions and search field in its toolbar. Every edit goes
// through the project, which saves book.json and typesets again; the view
// redraws from the project and keeps no copy of the book.
class BookView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int resultsWidth = 340;

    explicit BookView(std::shared_ptr<Project> project, QWidget *parent = nullptr);
    ~BookView() override;

    Project *project() const { return m_project.get(); }
    // The book's title and the line under it, as the window shows them.
    QString title() const;
    QString subtitle() const;
    QString rangeLabel() const;
    // Pages per printed volume from the price list; the default without it.
    void setPagesPerVolume(std::optional<int> pages);

    // The search text; the results show beside the pages while it is not
    // empty (spaces count).
    QString query() const { return m_query; }
    void setQuery(const QString &query);

    BookPreview *preview() const { return m_preview; }
    SearchResults *results() const { return m_results; }
    Inspector *inspector() const { return m_inspector; }
    RangePopover *rangePopover() const { return m_range; }
    QAction *rangeAction() const { return m_rangeAction; }
    QAction *backAction() const { return m_backAction; }
    QAction *exportAction() const { return m_exportAction; }
    QAction *settingsAction() const { return m_settingsAction; }
    QString progressText() const;
    // The error shown over the bottom of the pages; empty when none shows.
    QString errorText() const;

    void showRange();
    void setInspectorShown(bool shown);
    void pinMessage(const BookFile::Message &message);
    void startChapterAt(const BookFile::Message &message);
    QCoro::Task<void> exportPDF();
    // The sheets open now, if any.
    PinSheet *pinSheet() const;
    ChapterSheet *chapterSheet() const;

    // "Mar 3 – Sep 14, 2024", "Nov 3, 2023 – Feb 1, 2024"; empty when a day
    // can't be read.
    static QString rangeLabel(const QString &from, const QString &to);
    // "2,004 messages · 157 pages · 2 volumes · setting pages…": volumes
    // from the same page limit the order counts them with.
    static QString subtitle(int messages, int pages, int pagesPerVolume, bool typesetting);

signals:
    // The user leaves the pages.
    void done();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class ErrorCard;

    void buildActions();
    void buildPages();
    void connectParts();
    void refresh();
    void attachToolbar();
    void detachToolbar();
    void placeError();

    std::shared_ptr<Project> m_project;
    int m_pagesPerVolume;
    QString m_query;

    SearchResults *m_results;
    QWidget *m_divider;
    QSplitter *m_splitter;
    BookPreview *m_preview;
    QWidget *m_progress;
    QLabel *m_progressLabel;
    Spinner *m_spinner;
    QWidget *m_pages;
    ErrorCard *m_error;
    Inspector *m_inspector;
    RangePopover *m_range;

    QAction *m_rangeAction;
    QAction *m_backAction;
    QAction *m_exportAction;
    QAction *m_settingsAction;
    QWidgetAction *m_titleAction;
    QLabel *m_titleLabel;
    QLabel *m_subtitleLabel;
    QMetaObject::Connection m_searchConnection;

    QPointer<PinSheet> m_pinSheet;
    QPointer<ChapterSheet> m_chapterSheet;
};
