#pragma once

#include "pagecache.h"
#include "paperlight.h"
#include "spreadlayout.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <optional>

class PageRenderer;
class QTimer;

// The typeset book, page by page, as a book lies open: pages on paper
// white over a neutral ground, the first page alone and then facing pairs,
// fitted to the width and zoomable. Pages are drawn by a renderer thread
// into a cache of limited size, the pages around the ones shown ahead of
// time, so paging and scrolling never wait for the PDF library.
//
// Each typesetting run writes a new PDF: a new path reloads, and the reader
// stays where they were, on the same page index and at the same place on
// it (the last page when the new book is shorter).
class BookPreview : public QAbstractScrollArea
{
    Q_OBJECT

public:
    // How much the page cache may hold.
    static constexpr qint64 cacheCapacity = 256ll * 1024 * 1024;
    static constexpr qreal smallestZoom = 0.5;
    static constexpr qreal largestZoom = 4;

    explicit BookPreview(QWidget *parent = nullptr);
    ~BookPreview() override;

    // Shows the PDF at path. An empty path, or the one already loaded,
    // changes nothing: the pages shown stay, and so does the reader's place.
    // A file that can't be read shows no pages.
    void setUrl(const QString &path);
    QString url() const { return m_url; }
    // Pages of the document shown; 0 while there is none.
    int pageCount() const { return int(m_sizes.size()); }
    bool isLoading() const { return m_document != m_shown; }

    // The page the reader is on: the first page of the row they read.
    int currentPage() const { return m_anchor.page; }
    // Shows the row holding page index (from 0). A page the document shown
    // lacks, or any page while no document is shown, waits for the next
    // document; that one shows it, or drops the request when it lacks it too.
    void jump(int page);
    std::optional<int> pendingJump() const { return m_jump; }

    // 1 fits the rows to the width.
    qreal zoom() const { return m_zoom; }
    void setZoom(qreal zoom);
    void zoomIn();
    void zoomOut();
    void zoomToFit();

    // Where the page numbered 1 is: from there pages are named by the
    // numbers the book gives them, and the front before it by none. Without
    // it pages are named by their place in the document, from 1.
    void setPageOne(std::optional<int> index);
    // The pages shown by their numbers, with the document's page count:
    // "Page 1 of 157", "Pages 2–3 of 157"; the count alone ("157 pages")
    // on front pages that have no number; empty without pages.
    QString pageLabel() const;
    // Raises the page label above something the view's owner lays over
    // its bottom edge.
    void setBottomInset(int pixels);
    const SpreadLayout &spreadLayout() const { return m_layout; }

    // Whether the last paint drew every page on screen sharp, from the
    // document shown at the zoom shown.
    bool isComplete() const { return m_complete; }
    qint64 cacheBytes() const { return m_cache.bytes(); }

signals:
    void currentPageChanged(int page);
    // A document was shown, or one that couldn't be read cleared the view.
    void documentShown();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The reader's place: a page and how far down its row the view's top
    // edge is, as a share of the row with its margin.
    struct Anchor
    {
        int page = 0;
        qreal offset = 0;
    };

    void opened(int document, int pageCount, QSizeF firstPage);
    void sizesRead(int document, const QList<QSizeF> &sizes);
    void rendered(const PageCache::Key &key, const QImage &image);
    void applyJump(bool loaded);

    void relayout();
    void scrollToAnchor();
    void anchorFromScroll();
    void goToRow(int row);
    int currentRow() const;
    void setAnchor(const Anchor &anchor);
    QRect visibleArea() const;

    void scheduleRequests();
    void sendRequests();
    void paintRow(QPainter &painter, int row, const QRect &visible, bool &complete);
    void paintPage(QPainter &painter, int page, const QRect &visible, bool &complete);
    void paintLabel(QPainter &painter);

    PageRenderer *m_renderer;
    PaperLight m_light;
    PageCache m_cache { cacheCapacity };
    QSet<PageCache::Key> m_keep;
    QTimer *m_requests;

    QString m_url;
    // Documents are numbered as they are asked for; m_shown is the one on
    // screen, m_document the newest asked for.
    int m_document = 0;
    int m_shown = 0;
    QList<QSizeF> m_sizes;
    SpreadLayout m_layout;
    qreal m_zoom = 1;
    Anchor m_anchor;
    std::optional<int> m_jump;
    std::optional<int> m_pageOne;
    bool m_scrolling = false;
    bool m_complete = false;
    int m_bottomInset = 0;
    QString m_labelText;
    QImage m_label;
};
