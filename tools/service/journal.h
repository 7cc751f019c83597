#pragma once

#include <QJsonArray>
#include <httplib.h>
#include <mutex>

// Every request the stand-in received, in the order it arrived, so tests can
// check what the app sent byte for byte. Held in memory only: it describes
// one run, not the service's state. Bodies above bodyLimit are summarised
// by their size and digest. Header values are as httplib gives them: it
// decodes "%XX" in every value but Location and Referer.
class Journal
{
public:
    static constexpr qsizetype bodyLimit = 1 << 20;

    void record(const httplib::Request &request);
    // [{"method", "target", "path", "headers": [[name, value], ...],
    //   "body" (base64, when kept), "bodySize", "sha256"}, ...]
    QJsonArray toJson() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QJsonArray m_entries;
};
