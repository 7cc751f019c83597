#include "bookpreview.h"

#include "pagerenderer.h"
#include "paperlight.h"
#include "ui/style.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

// Zoom steps multiply by this.
constexpr qreal zoomStep = 1.25;
// Arrow keys and the wheel move by this much.
constexpr int lineStep = 48;
// Pages ahead are drawn while they fit in this share of the cache.
constexpr qreal aheadShare = 0.75;

bool isDark()
{
    return Style::appearance() == Color::Appearance::Dark;
}

// The desk the pages lie on: a step darker than the window in either
// appearance, so it never passes for the panes beside it.
QColor groundColor()
{
    return isDark() ? QColor(0x19, 0x19, 0x1b) : QColor(0xe3, 0xe3, 0xe6);
}

} // namespace

BookPreview::BookPreview(QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_renderer(new PageRenderer(this))
    , m_requests(new QTimer(this))
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setSingleStep(lineStep);
    horizontalScrollBar()->setSingleStep(lineStep);

    m_requests->setSingleShot(true);
    m_requests->setInterval(0);
    connect(m_requests, &QTimer::timeout, this, &BookPreview::sendRequests);
    connect(m_renderer, &PageRenderer::opened, this, &BookPreview::opened);
    connect(m_renderer, &PageRenderer::sizesRead, this, &BookPreview::sizesRead);
    connect(m_renderer, &PageRenderer::rendered, this, &BookPreview::rendered);
}

BookPreview::~BookPreview() = default;

void BookPreview::setUrl(const QString &path)
{
    if (path.isEmpty() || path == m_url)
        return;
    m_url = path;
    m_renderer->open(++m_document, path);
}

void BookPreview::opened(int document, int pageCount, QSizeF firstPage)
{
    if (document != m_document)
        return;
    m_shown = document;
    m_sizes = QList<QSizeF>(pageCount, firstPage);
    if (pageCount > 0)
        m_anchor.page = std::min(m_anchor.page, pageCount - 1);
    else
        m_anchor = {};
    relayout();
    applyJump(true);
    emit documentShown();
    emit currentPageChanged(m_anchor.page);
}

void BookPreview::sizesRead(int document, const QList<QSizeF> &sizes)
{
    // A book's pages are usually all the size of its first: nothing moves.
    if (document != m_shown || sizes == m_sizes)
        return;
    m_sizes = sizes;
    relayout();
}

void BookPreview::rendered(const PageCache::Key &key, const QImage &image)
{
    if (key.document != m_shown)
        return;
    QImage tile = image;
    tile.setDevicePixelRatio(devicePixelRatioF());
    m_cache.insert(key, tile, m_keep);
    viewport()->update();
}

void BookPreview::jump(int page)
{
    m_jump = page;
    applyJump(false);
}

void BookPreview::applyJump(bool loaded)
{
    if (!m_jump || isLoading())
        return;
    if (*m_jump >= 0 && *m_jump < pageCount()) {
        const int page = *m_jump;
        m_jump.reset();
        goToRow(m_layout.rowOf(page));
    } else if (loaded) {
        // Typesetting that lacked this page: the request was for a book
        // that no longer exists.
        m_jump.reset();
    }
}

void BookPreview::setZoom(qreal zoom)
{
    zoom = std::clamp(zoom, smallestZoom, largestZoom);
    if (qFuzzyCompare(zoom, m_zoom))
        return;
    // The middle of the view stays where it is across the width.
    const qreal across = m_layout.contentSize().width() > 0
        ? (horizontalScrollBar()->value() + viewport()->width() / 2.0) / m_layout.contentSize().width()
        : 0.5;
    m_zoom = zoom;
    relayout();
    m_scrolling = true;
    horizontalScrollBar()->setValue(int(across * m_layout.contentSize().width() - viewport()->width() / 2.0));
    m_scrolling = false;
}

void BookPreview::zoomIn()
{
    setZoom(m_zoom * zoomStep);
}

void BookPreview::zoomOut()
{
    setZoom(m_zoom / zoomStep);
}

void BookPreview::zoomToFit()
{
    setZoom(1);
}

void BookPreview::setPageOne(std::optional<int> index)
{
    if (index == m_pageOne)
        return;
    m_pageOne = index;
    viewport()->update();
}

QString BookPreview::pageLabel() const
{
    if (m_sizes.isEmpty())
        return {};
    const int row = currentRow();
    const int pageOne = m_pageOne.value_or(0);
    // Only the numbered pages of the row are named: a front page beside
    // page 1 has none.
    const int first = std::max(m_layout.firstPage(row), pageOne) - pageOne + 1;
    const int last = m_layout.lastPage(row) - pageOne + 1;
    if (last < 1)
        return Style::number(pageCount()) + QStringLiteral(" pages");
    const QString of = QStringLiteral(" of ") + Style::number(pageCount());
    if (first == last)
        return QStringLiteral("Page ") + Style::number(first) + of;
    return QStringLiteral("Pages ") + Style::number(first) + QStringLiteral("\u2013") + Style::number(last)
        + of;
}

void BookPreview::setBottomInset(int pixels)
{
    if (m_bottomInset == pixels)
        return;
    m_bottomInset = pixels;
    viewport()->update();
}

void BookPreview::relayout()
{
    m_layout = SpreadLayout(m_sizes, viewport()->size(), m_zoom);
    const QSize content = m_layout.contentSize();
    m_scrolling = true;
    verticalScrollBar()->setRange(0, std::max(0, content.height() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    m_scrolling = false;
    scrollToAnchor();
    m_complete = false;
    viewport()->update();
    scheduleRequests();
}

void BookPreview::scrollToAnchor()
{
    if (m_layout.pageCount() == 0)
        return;
    const int row = m_layout.rowOf(m_anchor.page);
    const QRect rect = m_layout.rowRect(row);
    const int top = rect.top() - SpreadLayout::margin;
    const int y = top + int(std::lround(m_anchor.offset * (rect.height() + SpreadLayout::margin)));
    m_scrolling = true;
    verticalScrollBar()->setValue(y);
    m_scrolling = false;
}

int BookPreview::currentRow() const
{
    return m_layout.rowOf(m_anchor.page);
}

void BookPreview::anchorFromScroll()
{
    if (m_layout.pageCount() == 0)
        return;
    const int y = verticalScrollBar()->value();
    int row = m_layout.rowAt(y);
    // Once most of a row has gone by above, the reader is on the next one.
    const QRect rect = m_layout.rowRect(row);
    const int seen = std::min(rect.height() / 2, viewport()->height() / 4);
    if (rect.bottom() - y < seen && row + 1 < m_layout.rowCount())
        ++row;
    const QRect current = m_layout.rowRect(row);
    const int top = current.top() - SpreadLayout::margin;
    setAnchor({ m_layout.firstPage(row), qreal(y - top) / (current.height() + SpreadLayout::margin) });
}

void BookPreview::setAnchor(const Anchor &anchor)
{
    const bool moved = anchor.page != m_anchor.page;
    m_anchor = anchor;
    if (moved)
        emit currentPageChanged(m_anchor.page);
}

void BookPreview::goToRow(int row)
{
    if (m_layout.pageCount() == 0)
        return;
    row = std::clamp(row, 0, m_layout.rowCount() - 1);
    setAnchor({ m_layout.firstPage(row), 0 });
    scrollToAnchor();
    viewport()->update();
    scheduleRequests();
}

QRect BookPreview::visibleArea() const
{
    return QRect(QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), viewport()->size());
}

void BookPreview::scheduleRequests()
{
    m_requests->start();
}

void BookPreview::sendRequests()
{
    if (isLoading() || m_layout.pageCount() == 0)
        return;
    const qreal ratio = devicePixelRatioF();
    const QRect visible = visibleArea();
    QList<PageRenderer::Request> requests;
    QSet<PageCache::Key> keep;
    qint64 bytes = 0;

    // Tiles of the pages under area, nearest the top first.
    const auto want = [&](const QRect &area, bool ahead) {
        if (area.isEmpty())
            return;
        const int last = m_layout.rowAt(area.bottom());
        for (int row = m_layout.rowAt(area.top()); row <= last; ++row) {
            for (int page = m_layout.firstPage(row); page <= m_layout.lastPage(row); ++page) {
                const QRect rect = m_layout.pageRect(page);
                const QRect part = area.intersected(rect).translated(-rect.topLeft());
                if (part.isEmpty())
                    continue;
                const QSize size = rect.size() * ratio;
                const QRect device(part.topLeft() * ratio, part.size() * ratio);
                for (const PageCache::Key &key : PageCache::tilesOf(m_shown, page, size, device)) {
                    if (keep.contains(key))
                        continue;
                    const qint64 cost = qint64(PageCache::tileRect(key, size).width())
                        * PageCache::tileRect(key, size).height() * 4;
                    if (ahead && bytes + cost > cacheCapacity * aheadShare)
                        return;
                    bytes += cost;
                    keep.insert(key);
                    if (!m_cache.contains(key))
                        requests.append({ key, size });
                }
            }
        }
    };
    want(visible, false);
    // Ahead: the next row's top as paging would show it, the screen below,
    // then the same above.
    const int row = currentRow();
    const auto topOf = [&](int r) {
        const QRect rect = m_layout.rowRect(r);
        return QRect(visible.left(), rect.top() - SpreadLayout::margin, visible.width(), visible.height());
    };
    if (row + 1 < m_layout.rowCount())
        want(topOf(row + 1), true);
    want(visible.translated(0, visible.height()), true);
    if (row > 0)
        want(topOf(row - 1), true);
    want(visible.translated(0, -visible.height()), true);

    m_keep = keep;
    m_renderer->request(requests);
}

bool BookPreview::event(QEvent *event)
{
    // The scroll bars stand beside the pages, on the same desk.
    if (event->type() == QEvent::Paint) {
        QPainter painter(this);
        painter.fillRect(rect(), groundColor());
    }
    return QAbstractScrollArea::event(event);
}

void BookPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), groundColor());

    if (m_layout.pageCount() == 0) {
        m_complete = false;
        return;
    }
    const QRect visible = visibleArea();
    painter.save();
    painter.translate(-visible.topLeft());
    bool complete = true;
    const int last = m_layout.rowAt(visible.bottom());
    for (int row = m_layout.rowAt(visible.top()); row <= last; ++row)
        paintRow(painter, row, visible, complete);
    painter.restore();
    m_complete = complete && !isLoading();
    paintLabel(painter);
}

void BookPreview::paintRow(QPainter &painter, int row, const QRect &visible, bool &complete)
{
    const QRect rect = m_layout.rowRect(row);
    if (!rect.adjusted(-12, -12, 12, 12).intersects(visible))
        return;
    m_light.paintShadow(painter, rect);
    const int first = m_layout.firstPage(row);
    const int last = m_layout.lastPage(row);
    for (int page = first; page <= last; ++page)
        paintPage(painter, page, visible, complete);
    if (m_layout.pages() == SpreadLayout::Pages::Facing && last == first + 1)
        m_light.paintSpine(painter, m_layout.pageRect(first), m_layout.pageRect(last));
}

void BookPreview::paintPage(QPainter &painter, int page, const QRect &visible, bool &complete)
{
    const QRect rect = m_layout.pageRect(page);
    const QRect part = visible.intersected(rect).translated(-rect.topLeft());
    painter.fillRect(rect, Qt::white);
    if (part.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize size = rect.size() * ratio;
    const QRect device(part.topLeft() * ratio, part.size() * ratio);
    const QList<PageCache::Key> keys = PageCache::tilesOf(m_shown, page, size, device);

    const bool whole = std::all_of(
        keys.cbegin(), keys.cend(), [&](const PageCache::Key &key) { return m_cache.contains(key); });
    if (!whole) {
        complete = false;
        // Until the right tiles arrive, what is at hand stands in for them,
        // stretched: the page before typesetting ran again, or at the zoom
        // before this one.
        painter.save();
        painter.setClipRect(rect);
        for (const PageCache::Tile &tile : m_cache.others(m_shown, page, size.width())) {
            const qreal stretch = qreal(rect.width()) / tile.key.width;
            const QRectF target(rect.left() + tile.key.column * PageCache::tileSize * stretch,
                rect.top() + tile.key.row * PageCache::tileSize * stretch, tile.image.width() * stretch,
                tile.image.height() * stretch);
            painter.drawImage(target, tile.image, QRectF(tile.image.rect()));
        }
        painter.restore();
    }
    for (const PageCache::Key &key : keys) {
        const QImage tile = m_cache.find(key);
        if (tile.isNull())
            continue;
        const QPoint corner = PageCache::tileRect(key, size).topLeft();
        painter.drawImage(QPointF(rect.left() + corner.x() / ratio, rect.top() + corner.y() / ratio), tile);
    }
}

void BookPreview::paintLabel(QPainter &painter)
{
    const QString text = pageLabel();
    if (text.isEmpty())
        return;
    // Drawn once per text: setting type on every frame of a scroll costs
    // more than the pages themselves.
    const qreal ratio = devicePixelRatioF();
    if (text != m_labelText || !qFuzzyCompare(m_label.devicePixelRatio(), ratio)) {
        m_labelText = text;
        const QFont font = Style::font(Style::Text::Subheadline, Style::Weight::Medium);
        const QFontMetrics metrics(font);
        const QSize size(metrics.horizontalAdvance(text) + 20, metrics.height() + 8);
        m_label = QImage(size * ratio, QImage::Format_ARGB32_Premultiplied);
        m_label.setDevicePixelRatio(ratio);
        m_label.fill(Qt::transparent);
        QPainter pill(&m_label);
        pill.setRenderHint(QPainter::Antialiasing);
        // Dark glass over light pages; on the dark desk a lighter one with
        // an edge, or it sinks into the desk.
        pill.setPen(isDark() ? QPen(QColor(255, 255, 255, 40), 1) : Qt::NoPen);
        pill.setBrush(isDark() ? QColor(0x52, 0x52, 0x56, 240) : QColor(20, 20, 22, 170));
        const QRectF shape(QPointF(0, 0), QSizeF(size));
        const QRectF edge = shape.adjusted(0.5, 0.5, -0.5, -0.5);
        pill.drawRoundedRect(edge, edge.height() / 2.0, edge.height() / 2.0);
        pill.setFont(font);
        pill.setPen(QColor(255, 255, 255, 235));
        pill.drawText(shape, Qt::AlignCenter, text);
    }
    const QSizeF size = m_label.deviceIndependentSize();
    painter.drawImage(QPointF(std::round((viewport()->width() - size.width()) / 2),
                          viewport()->height() - size.height() - 14 - m_bottomInset),
        m_label);
}

void BookPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void BookPreview::scrollContentsBy(int, int)
{
    if (!m_scrolling)
        anchorFromScroll();
    m_complete = false;
    viewport()->update();
    scheduleRequests();
}

void BookPreview::keyPressEvent(QKeyEvent *event)
{
    const int row = currentRow();
    const QRect visible = visibleArea();
    const QRect rect = m_layout.rowRect(row);
    // A row taller than the view is read a screen at a time; others a
    // spread at a time.
    const bool tall = rect.height() > visible.height();
    const bool moreBelow = tall && rect.bottom() > visible.bottom();
    const bool moreAbove = tall && rect.top() < visible.top();
    const bool wide = horizontalScrollBar()->maximum() > 0;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;

    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomIn();
            return;
        case Qt::Key_Minus:
            zoomOut();
            return;
        case Qt::Key_0:
            zoomToFit();
            return;
        default:
            break;
        }
    }
    const bool back = modifiers == Qt::ShiftModifier && event->key() == Qt::Key_Space;
    switch (back ? int(Qt::Key_PageUp) : event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Space:
        if (moreBelow)
            verticalScrollBar()->setValue(visible.top() + visible.height() - lineStep);
        else
            goToRow(row + 1);
        return;
    case Qt::Key_PageUp:
        if (moreAbove)
            goToRow(row);
        else
            goToRow(row - 1);
        return;
    case Qt::Key_Right:
        if (wide)
            break;
        goToRow(row + 1);
        return;
    case Qt::Key_Left:
        if (wide)
            break;
        goToRow(row - 1);
        return;
    case Qt::Key_Home:
        goToRow(0);
        return;
    case Qt::Key_End:
        goToRow(m_layout.rowCount() - 1);
        return;
    default:
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void BookPreview::wheelEvent(QWheelEvent *event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta != 0)
            setZoom(m_zoom * std::pow(zoomStep, delta / 120.0));
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void BookPreview::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        // The page count's pill is drawn in the appearance's colours.
        m_labelText.clear();
        update();
        viewport()->update();
    }
}
