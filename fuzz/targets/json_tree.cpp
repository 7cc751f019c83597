// The JSON tree the chat readers share: parsed, then every node asked for
// everything a reader asks.
#include "fuzzing.h"
#include "jsontree.h"

namespace {

using Brimlow::JsonTree;

void walk(const JsonTree::Node &node)
{
    node.kind();
    node.string();
    node.integer();
    node.number();
    node.boolean();
    node.size();
    for (const JsonTree::Node child : node) {
        if (node.isObject()) {
            const QString key = child.keyText();
            node[QLatin1StringView(key.toLatin1())].isValid();
        }
        walk(child);
    }
    node["id"].string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (const std::optional<JsonTree> tree = JsonTree::parse(Fuzzing::input(data, size)))
        walk(tree->root());
    return 0;
}
