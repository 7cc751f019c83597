#include "jsontree.h"

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

std::optional<JsonTree> JsonTree::parse(const QByteArray &bytes)
{
    if (bytes.size() >= qsizetype(0xFFFFFFF0))
        return std::nullopt;
    JsonTree tree;
    tree.m_bytes = bytes;
    const char *data = bytes.constData();
    const quint32 size = quint32(bytes.size());
    // Roughly one node per twelve bytes in chat exports.
    tree.m_nodes.reserve(size / 12 + 16);

    std::vector<quint32> open; // containers not yet closed
    std::vector<bool> expectKey; // per open object: the next string is a key
    quint32 at = 0;
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0)
        at = 3;
    bool done = false;

    const auto addValue = [&](Kind kind, quint32 start, quint32 end, bool escaped) {
        Entry entry { start, end, 0, 0, quint32(kind), escaped ? 1u : 0u };
        if (!open.empty())
            ++tree.m_nodes[open.back()].count;
        tree.m_nodes.push_back(entry);
        return quint32(tree.m_nodes.size() - 1);
    };
    const auto closeLeaf = [&](quint32 index) { tree.m_nodes[index].next = index + 1; };

    while (true) {
        while (at < size && isSpace(data[at]))
            ++at;
        if (at >= size)
            break;
        if (done)
            return std::nullopt; // something after the document
        const char c = data[at];
        const bool inObject = !open.empty() && Kind(tree.m_nodes[open.back()].kind) == Kind::Object;
        if (c == ',' || c == ':') {
            // Separators are checked only loosely: exports are machine
            // written, and what matters is that nothing reads out of bounds.
            if (open.empty())
                return std::nullopt;
            if (inObject)
                expectKey.back() = (c == ',');
            ++at;
            continue;
        }
        if (c == '}' || c == ']') {
            if (open.empty() || (c == '}') != inObject)
                return std::nullopt;
            Entry &container = tree.m_nodes[open.back()];
            if (inObject) {
                if (container.count % 2 != 0)
                    return std::nullopt;
                expectKey.pop_back();
            }
            container.end = at + 1;
            container.next = quint32(tree.m_nodes.size());
            open.pop_back();
            ++at;
            done = open.empty();
            continue;
        }
        if (inObject && expectKey.back() && c != '"')
            return std::nullopt;
        if (c == '{' || c == '[') {
            if (open.size() >= MaxDepth)
                return std::nullopt;
            const quint32 index = addValue(c == '{' ? Kind::Object : Kind::Array, at, at, false);
            open.push_back(index);
            if (c == '{')
                expectKey.push_back(true);
            ++at;
            continue;
        }
        quint32 index = 0;
        if (c == '"') {
            const quint32 start = ++at;
            bool escaped = false;
            while (at < size && data[at] != '"') {
                if (data[at] == '\\') {
                    escaped = true;
                    ++at;
                }
                ++at;
            }
            if (at >= size)
                return std::nullopt;
            index = addValue(Kind::String, start, at, escaped);
            ++at;
            if (inObject && expectKey.back())
                expectKey.back() = false;
        } else if (isNumberChar(c)) {
            const quint32 start = at;
            while (at < size && isNumberChar(data[at]))
                ++at;
            index = addValue(Kind::Number, start, at, false);
        } else {
            Kind kind = Kind::Null;
            const char *word = nullptr;
            if (c == 't') {
                kind = Kind::True;
                word = "true";
            } else if (c == 'f') {
                kind = Kind::False;
                word = "false";
            } else if (c == 'n') {
                word = "null";
            } else {
                return std::nullopt;
            }
            const quint32 length = quint32(std::strlen(word));
            if (size - at < length || std::memcmp(data + at, word, length) != 0)
                return std::nullopt;
            index = addValue(kind, at, at + length, false);
            at += length;
        }
        closeLeaf(index);
        done = open.empty();
    }
    if (!open.empty() || tree.m_nodes.empty())
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
