#pragma once

#include "pagecache.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Renders PDF pages on a thread of its own, so the window never waits for
// the PDF library. It holds one document at a time; the page view asks for
// tiles in the order it wants them and may change its mind at any moment:
// a new list replaces whatever was still waiting. Results come back as
// signals on the thread the renderer lives on.
class PageRenderer : public QObject
{
    Q_OBJECT

public:
    // A tile to draw: a cache key and the page's size in device pixels.
    struct Request
    {
        PageCache::Key key;
        QSize pageSize;
    };

    explicit PageRenderer(QObject *parent = nullptr);
    ~PageRenderer() override;

    // Loads the file as document number `document`, dropping the previous
    // document and every request still waiting.
    void open(int document, const QString &path);
    // Replaces the requests still waiting; tiles of another document than
    // the one open are skipped.
    void request(const QList<Request> &requests);

signals:
    // The file was read: its page count and the first page's size in
    // points, which the view takes for every page until sizes() arrives. A
    // file that can't be read gives a page count of 0.
    void opened(int document, int pageCount, QSizeF firstPage);
    // Every page's size in points, read after the first tiles were drawn.
    void sizesRead(int document, QList<QSizeF> sizes);
    // A tile, opaque, the page's paper white under the PDF's drawing.
    void rendered(PageCache::Key key, QImage image);

private:
    void run();
    void load(int document, const QString &path);
    void renderOne(const Request &request);
    bool readSomeSizes();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::optional<std::pair<int, QString>> m_open;
    QList<Request> m_queue;

    // Worker-thread state.
    struct Worker;
    std::unique_ptr<Worker> m_worker;
    std::thread m_thread;
};
