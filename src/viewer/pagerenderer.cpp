#include "pagerenderer.h"

#include <QPainter>
#include <QPdfDocument>
#include <QPdfDocumentRenderOptions>

// Only the worker thread touches this.
struct PageRenderer::Worker
{
    std::unique_ptr<QPdfDocument> pdf;
    int document = 0;
    QList<QSizeF> sizes;
    // Page sizes are read a slice at a time between tiles: reading all of a
    // long book's at once would hold up its first page.
    int sized = 0;
};

namespace {

// Pages are read in slices this long between two tiles.
constexpr int sizeSlice = 64;

} // namespace

PageRenderer::PageRenderer(QObject *parent)
    : QObject(parent)
    , m_worker(std::make_unique<Worker>())
{
    m_thread = std::thread([this] { run(); });
}

PageRenderer::~PageRenderer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
        m_open.reset();
    }
    m_wake.notify_all();
    m_thread.join();
}

void PageRenderer::open(int document, const QString &path)
{
    {
        std::lock_guard lock(m_mutex);
        m_open = { document, path };
        m_queue.clear();
    }
    m_wake.notify_all();
}

void PageRenderer::request(const QList<Request> &requests)
{
    {
        std::lock_guard lock(m_mutex);
        m_queue = requests;
    }
    m_wake.notify_all();
}

void PageRenderer::run()
{
    for (;;) {
        std::optional<std::pair<int, QString>> open;
        std::optional<Request> next;
        {
            std::unique_lock lock(m_mutex);
            const bool sizing = m_worker->pdf && m_worker->sized < m_worker->sizes.size();
            m_wake.wait(lock, [&] { return m_stopping || m_open || !m_queue.isEmpty() || sizing; });
            if (m_stopping)
                break;
            if (m_open) {
                open = std::move(m_open);
                m_open.reset();
            } else if (!m_queue.isEmpty()) {
                next = m_queue.takeFirst();
            }
        }
        if (open)
            load(open->first, open->second);
        else if (next)
            renderOne(*next);
        else
            readSomeSizes();
    }
    m_worker->pdf.reset();
}

void PageRenderer::load(int document, const QString &path)
{
    Worker &w = *m_worker;
    w.pdf = std::make_unique<QPdfDocument>();
    w.document = document;
    w.sizes.clear();
    w.sized = 0;
    if (w.pdf->load(path) != QPdfDocument::Error::None || w.pdf->pageCount() < 1) {
        w.pdf.reset();
        QMetaObject::invokeMethod(
            this, [this, document] { emit opened(document, 0, {}); }, Qt::QueuedConnection);
        return;
    }
    const int count = w.pdf->pageCount();
    const QSizeF first = w.pdf->pagePointSize(0);
    w.sizes = QList<QSizeF>(count, first);
    w.sized = 1;
    QMetaObject::invokeMethod(
        this, [this, document, count, first] { emit opened(document, count, first); }, Qt::QueuedConnection);
}

void PageRenderer::renderOne(const Request &request)
{
    const Worker &w = *m_worker;
    if (!w.pdf || request.key.document != w.document || request.key.page >= w.pdf->pageCount())
        return;
    const QRect area = PageCache::tileRect(request.key, request.pageSize);
    if (area.isEmpty())
        return;
    QPdfDocumentRenderOptions options;
    options.setScaledSize(request.pageSize);
    options.setScaledClipRect(area);
    // The PDF library draws on a transparent ground; a page is paper.
    const QImage drawn = w.pdf->render(request.key.page, area.size(), options);
    QImage tile(area.size(), QImage::Format_RGB32);
    tile.fill(Qt::white);
    {
        QPainter painter(&tile);
        painter.drawImage(0, 0, drawn);
    }
    const PageCache::Key key = request.key;
    QMetaObject::invokeMethod(
        this, [this, key, tile] { emit rendered(key, tile); }, Qt::QueuedConnection);
}

bool PageRenderer::readSomeSizes()
{
    Worker &w = *m_worker;
    if (!w.pdf)
        return false;
    const int end = std::min(int(w.sizes.size()), w.sized + sizeSlice);
    for (; w.sized < end; ++w.sized)
        w.sizes[w.sized] = w.pdf->pagePointSize(w.sized);
    if (w.sized < w.sizes.size())
        return true;
    const int document = w.document;
    const QList<QSizeF> sizes = w.sizes;
    QMetaObject::invokeMethod(
        this, [this, document, sizes] { emit sizesRead(document, sizes); }, Qt::QueuedConnection);
    return false;
}
