#include "spreadlayout.h"

#include <algorithm>
#include <cmath>

SpreadLayout::SpreadLayout(const QList<QSizeF> &sizes, QSize viewport, qreal zoom)
{
    if (sizes.isEmpty())
        return;
    qreal widest = 1;
    qreal tallest = 1;
    for (const QSizeF &size : sizes) {
        widest = std::max(widest, size.width());
        tallest = std::max(tallest, size.height());
    }
    const qreal across = std::max(1, viewport.width() - 2 * margin);
    const qreal down = std::max(1, viewport.height() - 2 * margin);
    // A whole spread fits the view, as a book lies open before the reader.
    qreal fit = std::min(across / (2 * widest), down / tallest);
    if (fit * widest < narrowest) {
        m_pages = Pages::Single;
        fit = std::min(across / widest, down / tallest);
    }
    m_scale = fit * zoom;

    // Rounded down: a spread fitted to the width rounded up would run a
    // pixel past it, and the view would scroll sideways.
    const auto px = [&](qreal points) { return std::max(1, int(std::floor(points * m_scale + 1e-6))); };
    const int spreadWidth = (m_pages == Pages::Facing ? 2 : 1) * px(widest);
    const int width = std::max(viewport.width(), spreadWidth + 2 * margin);
    const int spine = width / 2;

    m_pageRects.resize(sizes.size());
    int y = margin;
    const auto addRow = [&](int first, int last) {
        int height = 0;
        QRect rect;
        for (int page = first; page <= last; ++page) {
            const QSize size(px(sizes[page].width()), px(sizes[page].height()));
            int x = spine - size.width() / 2;
            if (m_pages == Pages::Facing)
                x = page % 2 == 1 ? spine - size.width() : spine;
            m_pageRects[page] = QRect(QPoint(x, y), size);
            rect = rect.united(m_pageRects[page]);
            height = std::max(height, size.height());
        }
        m_rows.append({ first, last, rect });
        y += height + margin;
    };
    if (m_pages == Pages::Single) {
        for (int page = 0; page < sizes.size(); ++page)
            addRow(page, page);
    } else {
        addRow(0, 0);
        for (int page = 1; page < sizes.size(); page += 2)
            addRow(page, std::min(page + 1, int(sizes.size()) - 1));
    }
    m_content = QSize(width, y);
}

int SpreadLayout::rowOf(int page) const
{
    if (m_rows.isEmpty())
        return 0;
    page = std::clamp(page, 0, pageCount() - 1);
    if (m_pages == Pages::Single)
        return page;
    return (page + 1) / 2;
}

int SpreadLayout::rowAt(int y) const
{
    // Rows are in order down the surface: the first whose bottom margin
    // reaches y.
    const auto it = std::lower_bound(m_rows.cbegin(), m_rows.cend(), y,
        [](const Row &row, int height) { return row.rect.bottom() + margin < height; });
    if (it == m_rows.cend())
        return std::max(0, rowCount() - 1);
    return int(it - m_rows.cbegin());
}
