#pragma once

#include <QList>
#include <QRect>
#include <QSizeF>

// Where the pages of a book go on the page view's scrolling surface, in
// device-independent pixels. Shown as a book: the first page alone on the
// right, as a cover, then facing pairs meeting at the spine; or one page a
// row where two would be too narrow to read.
class SpreadLayout
{
public:
    enum class Pages { Facing, Single };

    // Around the pages and between rows.
    static constexpr int margin = 24;
    // Below this width a facing page is too small to read: single pages.
    static constexpr int narrowest = 220;

    SpreadLayout() = default;
    // sizes are the pages' sizes in points; zoom 1 fits the widest and the
    // tallest row into the viewport.
    SpreadLayout(const QList<QSizeF> &sizes, QSize viewport, qreal zoom);

    Pages pages() const { return m_pages; }
    // Pixels per point.
    qreal scale() const { return m_scale; }
    QSize contentSize() const { return m_content; }
    int pageCount() const { return int(m_pageRects.size()); }
    QRect pageRect(int page) const { return m_pageRects.value(page); }

    int rowCount() const { return int(m_rows.size()); }
    int rowOf(int page) const;
    QRect rowRect(int row) const { return m_rows.value(row).rect; }
    int firstPage(int row) const { return m_rows.value(row).first; }
    int lastPage(int row) const { return m_rows.value(row).last; }
    // The row in or nearest to a height of the surface.
    int rowAt(int y) const;

private:
    struct Row
    {
        int first = 0;
        int last = 0;
        QRect rect;
    };

    Pages m_pages = Pages::Facing;
    qreal m_scale = 1;
    QSize m_content;
    QList<QRect> m_pageRects;
    QList<Row> m_rows;
};
