#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSet>

// Rendered pieces of pages, least recently used first out. A page is cut
// into tiles of at most tileSize device pixels, so that a page zoomed far
// in costs only the tiles on screen; at ordinary sizes a page is one tile.
class PageCache
{
public:
    static constexpr int tileSize = 1024;

    // One tile: which document (a number per loaded file), which page, at
    // which rendered width of the whole page, and which tile of it.
    struct Key
    {
        int document = 0;
        int page = 0;
        int width = 0;
        int column = 0;
        int row = 0;

        friend bool operator==(const Key &, const Key &) = default;
    };

    struct Tile
    {
        Key key;
        QImage image;
    };

    // The tile's rectangle within a page rendered at pageSize.
    static QRect tileRect(const Key &key, QSize pageSize);
    // The tiles a rectangle of a page rendered at pageSize touches.
    static QList<Key> tilesOf(int document, int page, QSize pageSize, const QRect &area);

    explicit PageCache(qint64 capacity);

    // Inserts or replaces, then makes room: keep is never evicted, even
    // when that leaves the cache above its capacity.
    void insert(const Key &key, const QImage &image, const QSet<Key> &keep = {});
    // The tile, marked as just used; a null image when it isn't here.
    QImage find(const Key &key);
    bool contains(const Key &key) const { return m_tiles.contains(key); }
    // Every tile of a page held for another document or another width,
    // oldest use first: stand-ins to draw until the right ones arrive.
    QList<Tile> others(int document, int page, int width) const;

    qint64 bytes() const { return m_bytes; }
    qint64 capacity() const { return m_capacity; }
    int count() const { return int(m_tiles.size()); }
    static qint64 bytesOf(const QImage &image) { return image.sizeInBytes(); }
    void clear();

private:
    struct Entry
    {
        QImage image;
        quint64 used = 0;
    };

    void evict(const QSet<Key> &keep);

    qint64 m_capacity;
    qint64 m_bytes = 0;
    quint64 m_clock = 0;
    QHash<Key, Entry> m_tiles;
};

size_t qHash(const PageCache::Key &key, size_t seed = 0) noexcept;
