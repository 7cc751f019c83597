#include "scripts.h"

#include <stdexcept>

Scripts::Script Scripts::Script::fromJson(const QJsonObject &object)
{
    Script script;
    script.method = object.value(QStringLiteral("method")).toString();
    script.path = object.value(QStringLiteral("path")).toString();
    if (script.path.isEmpty())
        throw std::runtime_error("a script needs a \"path\" pattern");
    script.status = object.value(QStringLiteral("status")).toInt(0);
    if (object.contains(QStringLiteral("bodyBase64")))
        script.body
            = QByteArray::fromBase64(object.value(QStringLiteral("bodyBase64")).toString().toLatin1());
    else
        script.body = object.value(QStringLiteral("body")).toString().toUtf8();
    if (object.contains(QStringLiteral("contentType")))
        script.contentType = object.value(QStringLiteral("contentType")).toString().toUtf8();
    script.delayMs = object.value(QStringLiteral("delay")).toInt(0);
    script.drop = object.value(QStringLiteral("drop")).toBool(false);
    if (object.contains(QStringLiteral("times"))) {
        script.times = object.value(QStringLiteral("times")).toInt(0);
        if (*script.times < 1)
            throw std::runtime_error("\"times\" must be at least 1");
    }
    return script;
}

void Scripts::add(const Script &script)
{
    std::regex pattern;
    try {
        pattern = std::regex(script.path.toStdString());
    } catch (const std::regex_error &) {
        throw std::runtime_error("the script's \"path\" is not a regular expression");
    }
    std::lock_guard lock(m_mutex);
    m_entries.append(Entry { script, pattern });
}

void Scripts::clear()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

std::optional<Scripts::Script> Scripts::take(const std::string &method, const std::string &path)
{
    std::lock_guard lock(m_mutex);
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        Entry &entry = m_entries[i];
        if (!entry.script.method.isEmpty() && entry.script.method.toStdString() != method)
            continue;
        if (!std::regex_search(path, entry.pattern))
            continue;
        const Script script = entry.script;
        if (entry.script.times && --*entry.script.times == 0)
            m_entries.removeAt(i);
        return script;
    }
    return std::nullopt;
}
