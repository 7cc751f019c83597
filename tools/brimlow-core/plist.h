#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

typedef void *plist_t;

namespace Brimlow {

// A property list read with libplist, binary or XML. The static accessors
// take any node, or nullptr, and answer nullopt for a missing key or a
// value of another type (and string() for bytes that are no text: a NUL,
// or not UTF-8), so that reading a damaged file never crashes.
class Plist
{
public:
    Plist() = default;
    ~Plist();

    Plist(Plist &&other) noexcept;
    Plist &operator=(Plist &&other) noexcept;
    Plist(const Plist &) = delete;
    Plist &operator=(const Plist &) = delete;

    // A null Plist when the file is missing, too big or not a property list.
    static Plist fromFile(const QString &path);
    static Plist fromBytes(const QByteArray &bytes);

    bool isNull() const { return m_root == nullptr; }
    plist_t root() const { return m_root; }

    static plist_t item(plist_t dictionary, const char *key);
    static plist_t at(plist_t array, quint32 index);
    static std::optional<QString> string(plist_t node);
    static std::optional<bool> boolean(plist_t node);
    static std::optional<qint64> integer(plist_t node);
    static std::optional<QByteArray> data(plist_t node);
    static std::optional<quint64> uid(plist_t node);
    // Seconds since 1970, UTC.
    static std::optional<qint64> date(plist_t node);

private:
    explicit Plist(plist_t root)
        : m_root(root)
    { }

    plist_t m_root = nullptr;
};

} // namespace Brimlow
