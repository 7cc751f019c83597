#include "jsontree.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace Brimlow {

namespace {

constexpr int MaxDepth = 256;

bool isSpace(char c)
{
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

bool isNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// Reads a document into a tree's nodes, one token at a time, with an
// explicit stack: nothing in a garbled file can make it recurse or read
// past the end. Every token is checked against what may come next, so an
// object's children are always a string key and its value, in turn: the
// nodes' own links are what readers walk, and a key that is no string (or
// a value without a key) would send them past the end of the list.
class JsonTree::Parser
{
public:
    Parser(JsonTree &tree, const QByteArray &bytes)
        : m_tree(tree)
        , m_data(bytes.constData())
        , m_size(quint32(bytes.size()))
    {
        if (m_size >= 3 && std::memcmp(m_data, "\xEF\xBB\xBF", 3) == 0)
            m_at = 3;
    }

    bool run()
    {
        bool done = false;
        while (true) {
            while (m_at < m_size && isSpace(m_data[m_at]))
                ++m_at;
            if (m_at >= m_size)
                break;
            if (done)
                return false; // something after the document
            if (!step())
                return false;
            done = m_open.empty();
        }
        return m_open.empty() && !m_tree.m_nodes.empty();
    }

private:
    // What may come next inside the innermost open container. A trailing
    // comma before the close is let through, as lenient writers leave one.
    enum class Expect : quint8 { Key, Colon, Value, Next };

    bool inObject() const
    {
        return !m_open.empty() && Kind(m_tree.m_nodes[m_open.back()].kind) == Kind::Object;
    }

    bool step()
    {
        const char c = m_data[m_at];
        if (m_open.empty())
            return c == '{' || c == '[' ? open(c == '{') : value(c);
        Expect &expect = m_expect.back();
        switch (c) {
        case ',':
            if (expect != Expect::Next)
                return false;
            expect = inObject() ? Expect::Key : Expect::Value;
            ++m_at;
            return true;
        case ':':
            if (expect != Expect::Colon)
                return false;
            expect = Expect::Value;
            ++m_at;
            return true;
        case '}':
        case ']':
            if (expect != (inObject() ? Expect::Key : Expect::Value) && expect != Expect::Next)
                return false;
            return close(c == '}');
        case '"':
            if (expect == Expect::Key) {
                expect = Expect::Colon;
                return value(c);
            }
            [[fallthrough]];
        default:
            if (expect != Expect::Value)
                return false;
            // Set before a container opens: it is what follows its close.
            expect = Expect::Next;
            return c == '{' || c == '[' ? open(c == '{') : value(c);
        }
    }

    quint32 add(Kind kind, quint32 start, quint32 end, bool escaped)
    {
        if (!m_open.empty())
            ++m_tree.m_nodes[m_open.back()].count;
        m_tree.m_nodes.push_back(Entry { start, end, 0, 0, quint32(kind), escaped ? 1u : 0u });
        return quint32(m_tree.m_nodes.size() - 1);
    }

    bool open(bool object)
    {
        if (m_open.size() >= MaxDepth)
            return false;
        m_open.push_back(add(object ? Kind::Object : Kind::Array, m_at, m_at, false));
        m_expect.push_back(object ? Expect::Key : Expect::Value);
        ++m_at;
        return true;
    }

    bool close(bool object)
    {
        if (object != inObject())
            return false;
        Entry &container = m_tree.m_nodes[m_open.back()];
        container.end = m_at + 1;
        container.next = quint32(m_tree.m_nodes.size());
        m_open.pop_back();
        m_expect.pop_back();
        ++m_at;
        return true;
    }

    // A string, number or literal, and the node after it.
    bool value(char c)
    {
        const std::optional<quint32> index = c == '"' ? string() : isNumberChar(c) ? number() : literal(c);
        if (!index)
            return false;
        m_tree.m_nodes[*index].next = *index + 1;
        return true;
    }

    std::optional<quint32> string()
    {
        const quint32 start = ++m_at;
        bool escaped = false;
        while (m_at < m_size && m_data[m_at] != '"') {
            if (m_data[m_at] == '\\') {
                escaped = true;
                ++m_at;
            }
            ++m_at;
        }
        if (m_at >= m_size)
            return std::nullopt;
        return add(Kind::String, start, m_at++, escaped);
    }

    std::optional<quint32> number()
    {
        const quint32 start = m_at;
        while (m_at < m_size && isNumberChar(m_data[m_at]))
            ++m_at;
        return add(Kind::Number, start, m_at, false);
    }

    std::optional<quint32> literal(char c)
    {
        const char *word = c == 't' ? "true" : c == 'f' ? "false" : c == 'n' ? "null" : nullptr;
        if (!word)
            return std::nullopt;
        const quint32 length = quint32(std::strlen(word));
        if (m_size - m_at < length || std::memcmp(m_data + m_at, word, length) != 0)
            return std::nullopt;
        const Kind kind = c == 't' ? Kind::True : c == 'f' ? Kind::False : Kind::Null;
        m_at += length;
        return add(kind, m_at - length, m_at, false);
    }

    JsonTree &m_tree;
    const char *m_data;
    quint32 m_size;
    quint32 m_at = 0;
    std::vector<quint32> m_open; // containers not yet closed
    std::vector<Expect> m_expect; // per open container
};

void JsonTree::Nodes::push_back(const Entry &entry)
{
    if (m_size <= BlockMask) {
        if (m_size == m_firstCapacity) {
            const quint32 capacity = std::min(BlockMask + 1, std::max(FirstBlockSize, 2 * m_firstCapacity));
            auto first = std::make_unique_for_overwrite<Entry[]>(capacity);
            if (m_size > 0)
                std::copy_n(m_blocks.front().get(), m_size, first.get());
            if (m_blocks.empty())
                m_blocks.push_back(std::move(first));
            else
                m_blocks.front() = std::move(first);
            m_firstCapacity = capacity;
        }
    } else if ((m_size & BlockMask) == 0) {
        m_blocks.push_back(std::make_unique_for_overwrite<Entry[]>(BlockMask + 1));
    }
    (*this)[m_size++] = entry;
}

std::optional<JsonTree> JsonTree::parse(const QByteArray &bytes)
{
    if (bytes.size() >= qsizetype(0xFFFFFFF0))
        return std::nullopt;
    JsonTree tree;
    tree.m_bytes = bytes;
    if (!Parser(tree, bytes).run())
        return std::nullopt;
    return std::optional<JsonTree>(std::move(tree));
}

QString JsonTree::decode(const Entry &entry) const
{
    const char *data = m_bytes.constData();
    if (!entry.escaped)
        return QString::fromUtf8(data + entry.start, entry.end - entry.start);
    QString text;
    text.reserve(entry.end - entry.start);
    quint32 run = entry.start;
    quint32 at = entry.start;
    while (at < entry.end) {
        if (data[at] != '\\') {
            ++at;
            continue;
        }
        text.append(QString::fromUtf8(data + run, at - run));
        if (at + 1 >= entry.end)
            break;
        const char e = data[at + 1];
        at += 2;
        switch (e) {
        case 'n':
            text.append(QLatin1Char('\n'));
            break;
        case 't':
            text.append(QLatin1Char('\t'));
            break;
        case 'r':
            text.append(QLatin1Char('\r'));
            break;
        case 'b':
            text.append(QLatin1Char('\b'));
            break;
        case 'f':
            text.append(QLatin1Char('\f'));
            break;
        case 'u': {
            int value = 0;
            bool ok = at + 4 <= entry.end;
            for (int i = 0; ok && i < 4; ++i) {
                const int digit = hexValue(data[at + i]);
                ok = digit >= 0;
                value = value * 16 + digit;
            }
            if (ok) {
                text.append(QChar(char16_t(value)));
                at += 4;
            }
            break;
        }
        default:
            text.append(QLatin1Char(e));
            break;
        }
        run = at;
    }
    if (run < entry.end)
        text.append(QString::fromUtf8(data + run, entry.end - run));
    return text;
}

JsonTree::Kind JsonTree::Node::kind() const
{
    return Kind(m_tree->m_nodes[m_index].kind);
}

JsonTree::Node JsonTree::Node::operator[](QLatin1StringView key) const
{
    if (!isObject())
        return {};
    const auto &nodes = m_tree->m_nodes;
    const char *data = m_tree->m_bytes.constData();
    const quint32 end = nodes[m_index].next;
    quint32 at = m_index + 1;
    while (at + 1 < end) {
        const Entry &k = nodes[at];
        const quint32 length = k.end - k.start;
        const bool same = k.escaped
            ? m_tree->decode(k) == key
            : (length == quint32(key.size()) && std::memcmp(data + k.start, key.data(), length) == 0);
        if (same)
            return Node(m_tree, at + 1);
        at = nodes[at + 1].next;
    }
    return {};
}

QString JsonTree::Node::string() const
{
    if (!isString())
        return {};
    return m_tree->decode(m_tree->m_nodes[m_index]);
}

std::optional<qint64> JsonTree::Node::integer() const
{
    if (!isValid() || (kind() != Kind::Number && kind() != Kind::String))
        return std::nullopt;
    const Entry &entry = m_tree->m_nodes[m_index];
    const char *first = m_tree->m_bytes.constData() + entry.start;
    const char *last = m_tree->m_bytes.constData() + entry.end;
    qint64 value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc() && end == last)
        return value;
    if (kind() == Kind::Number) {
        const auto real = number();
        if (real && std::isfinite(*real) && std::abs(*real) < 9e18)
            return qint64(std::llround(*real));
    }
    return std::nullopt;
}

std::optional<double> JsonTree::Node::number() const
{
    if (!isValid() || kind() != Kind::Number)
        return std::nullopt;
    const Entry &entry = m_tree->m_nodes[m_index];
    bool ok = false;
    const double value
        = QByteArray(m_tree->m_bytes.constData() + entry.start, entry.end - entry.start).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

qsizetype JsonTree::Node::size() const
{
    if (!isArray() && !isObject())
        return 0;
    const quint32 count = m_tree->m_nodes[m_index].count;
    return isObject() ? count / 2 : count;
}

JsonTree::Node::Iterator JsonTree::Node::begin() const
{
    if (!isArray() && !isObject())
        return end();
    const quint32 skip = isObject() ? 1 : 0;
    return Iterator(m_tree, m_index + 1 + skip, skip);
}

JsonTree::Node::Iterator JsonTree::Node::end() const
{
    if (!isArray() && !isObject())
        return Iterator(m_tree, 0, 0);
    const quint32 skip = isObject() ? 1 : 0;
    return Iterator(m_tree, m_tree->m_nodes[m_index].next + skip, skip);
}

JsonTree::Node::Iterator &JsonTree::Node::Iterator::operator++()
{
    m_index = m_tree->m_nodes[m_index].next + m_skip;
    return *this;
}

QString JsonTree::Node::keyText() const
{
    if (!isValid() || m_index == 0)
        return {};
    return m_tree->decode(m_tree->m_nodes[m_index - 1]);
}

} // namespace Brimlow
