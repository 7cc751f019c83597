#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <mutex>
#include <optional>
#include <regex>

// Answers that tests put in place of a route's own: a status and body, a
// delay before answering, or a connection dropped without any reply. The
// first script whose method and path match is used; one with a count is
// removed after that many uses.
class Scripts
{
public:
    struct Script
    {
        // Empty matches every method.
        QString method;
        // Searched in the decoded request path.
        QString path;
        // 0: the route answers as usual (after the delay).
        int status = 0;
        QByteArray body;
        QByteArray contentType = "application/json";
        int delayMs = 0;
        bool drop = false;
        // Uses left; absent means until the scripts are cleared.
        std::optional<int> times;

        // {"method", "path", "status", "body" | "bodyBase64", "contentType",
        //  "delay", "drop", "times"}; throws std::runtime_error when malformed.
        static Script fromJson(const QJsonObject &object);
    };

    void add(const Script &script);
    void clear();
    // The script for this request, counting one use of it.
    std::optional<Script> take(const std::string &method, const std::string &path);

private:
    struct Entry
    {
        Script script;
        std::regex pattern;
    };

    std::mutex m_mutex;
    QList<Entry> m_entries;
};
