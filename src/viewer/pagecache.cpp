#include "pagecache.h"

#include <algorithm>

size_t qHash(const PageCache::Key &key, size_t seed) noexcept
{
    return qHashMulti(seed, key.document, key.page, key.width, key.column, key.row);
}

QRect PageCache::tileRect(const Key &key, QSize pageSize)
{
    const QRect tile(key.column * tileSize, key.row * tileSize, tileSize, tileSize);
    return tile.intersected(QRect(QPoint(0, 0), pageSize));
}

QList<PageCache::Key> PageCache::tilesOf(int document, int page, QSize pageSize, const QRect &area)
{
    QList<Key> keys;
    const QRect wanted = area.intersected(QRect(QPoint(0, 0), pageSize));
    if (wanted.isEmpty())
        return keys;
    for (int row = wanted.top() / tileSize; row <= wanted.bottom() / tileSize; ++row) {
        for (int column = wanted.left() / tileSize; column <= wanted.right() / tileSize; ++column)
            keys.append({ document, page, pageSize.width(), column, row });
    }
    return keys;
}

PageCache::PageCache(qint64 capacity)
    : m_capacity(capacity)
{ }

void PageCache::insert(const Key &key, const QImage &image, const QSet<Key> &keep)
{
    auto it = m_tiles.find(key);
    if (it != m_tiles.end())
        m_bytes -= bytesOf(it->image);
    m_tiles.insert(key, { image, ++m_clock });
    m_bytes += bytesOf(image);
    evict(keep);
}

QImage PageCache::find(const Key &key)
{
    auto it = m_tiles.find(key);
    if (it == m_tiles.end())
        return {};
    it->used = ++m_clock;
    return it->image;
}

QList<PageCache::Tile> PageCache::others(int document, int page, int width) const
{
    QList<std::pair<quint64, Tile>> found;
    for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it) {
        const Key &key = it.key();
        if (key.page == page && (key.document != document || key.width != width))
            found.append({ it->used, { key, it->image } });
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<Tile> tiles;
    for (const auto &entry : found)
        tiles.append(entry.second);
    return tiles;
}

void PageCache::clear()
{
    m_tiles.clear();
    m_bytes = 0;
}

void PageCache::evict(const QSet<Key> &keep)
{
    if (m_bytes <= m_capacity)
        return;
    QList<std::pair<quint64, Key>> candidates;
    for (auto it = m_tiles.cbegin(); it != m_tiles.cend(); ++it) {
        if (!keep.contains(it.key()))
            candidates.append({ it->used, it.key() });
    }
    std::sort(
        candidates.begin(), candidates.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[used, key] : candidates) {
        if (m_bytes <= m_capacity)
            break;
        m_bytes -= bytesOf(m_tiles.value(key).image);
        m_tiles.remove(key);
    }
}
