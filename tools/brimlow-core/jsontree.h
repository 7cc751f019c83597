#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>
#include <vector>

namespace Brimlow {

// A JSON document read into a flat list of nodes over its own bytes.
// QJsonDocument takes tens of seconds on the 100 MB exports people have;
// this reads them at disk speed, and texts are decoded only when asked for.
class JsonTree
{
public:
    enum class Kind : quint8 { Null, False, True, Number, String, Array, Object };

    class Node
    {
    public:
        Node() = default;

        bool isValid() const { return m_tree != nullptr; }
        Kind kind() const;
        bool isObject() const { return isValid() && kind() == Kind::Object; }
        bool isArray() const { return isValid() && kind() == Kind::Array; }
        bool isString() const { return isValid() && kind() == Kind::String; }
        bool isNumber() const { return isValid() && kind() == Kind::Number; }
        bool isNull() const { return !isValid() || kind() == Kind::Null; }

        // A member of an object; an invalid node when there is none.
        Node operator[](QLatin1StringView key) const;
        Node operator[](const char *key) const { return (*this)[QLatin1StringView(key)]; }

        // Texts; empty for anything that is not a string.
        QString string() const;
        // Integers, from numbers or from strings of digits ("1612129262").
        std::optional<qint64> integer() const;
        std::optional<double> number() const;
        bool boolean() const { return isValid() && kind() == Kind::True; }

        // Children of an array or object, values only; for objects also keys.
        qsizetype size() const;
        class Iterator
        {
        public:
            Node operator*() const { return Node(m_tree, m_index); }
            Iterator &operator++();
            bool operator!=(const Iterator &other) const { return m_index != other.m_index; }

        private:
            friend class Node;
            Iterator(const JsonTree *tree, quint32 index, quint32 skip)
                : m_tree(tree)
                , m_index(index)
                , m_skip(skip)
            { }
            const JsonTree *m_tree;
            quint32 m_index;
            quint32 m_skip; // 1 in objects: the key before each value
        };
        Iterator begin() const;
        Iterator end() const;
        QString keyText() const; // for a node reached by iterating an object

    private:
        friend class JsonTree;
        Node(const JsonTree *tree, quint32 index)
            : m_tree(tree)
            , m_index(index)
        { }

        const JsonTree *m_tree = nullptr;
        quint32 m_index = 0;
    };

    // Reads a whole document; nullopt when it is not well-formed JSON (a
    // cut or garbled file) or nests deeper than any export does.
    static std::optional<JsonTree> parse(const QByteArray &bytes);

    Node root() const { return m_nodes.empty() ? Node() : Node(this, 0); }

private:
    class Parser;

    struct Entry
    {
        quint32 start; // first byte; for strings the byte after the quote
        quint32 end; // one past the last byte; for strings the closing quote
        quint32 next; // the next sibling, or one past the last descendant
        quint32 count : 28; // children of arrays and objects
        quint32 kind : 3;
        quint32 escaped : 1; // a string with backslashes in it
    };

    // Nodes in blocks: a large document's nodes are never copied to grow,
    // nor held twice while they would be. The first block starts small and
    // doubles to a block's size, so that the many small files of an export
    // don't each take a whole block.
    class Nodes
    {
    public:
        Entry &operator[](quint32 index) { return m_blocks[index >> BlockBits][index & BlockMask]; }
        const Entry &operator[](quint32 index) const
        {
            return m_blocks[index >> BlockBits][index & BlockMask];
        }
        quint32 size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        void push_back(const Entry &entry);

    private:
        static constexpr quint32 BlockBits = 16;
        static constexpr quint32 BlockMask = (1u << BlockBits) - 1;
        static constexpr quint32 FirstBlockSize = 256;
        std::vector<std::unique_ptr<Entry[]>> m_blocks;
        quint32 m_size = 0;
        quint32 m_firstCapacity = 0;
    };

    QString decode(const Entry &entry) const;

    QByteArray m_bytes;
    Nodes m_nodes; // objects hold key, value, key, value, …
};

} // namespace Brimlow
