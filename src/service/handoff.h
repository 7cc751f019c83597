#pragma once

#include "model/conversation.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>
#include <functional>
#include <qcorotask.h>
#include <stdexcept>

struct BookFile;

// Handing one whole conversation to the website: the conversation is
// exported and written as a plain-text chat log, uploaded into a one-time
// inbox on the site, and the site's make page opens in the browser.
namespace Handoff {

enum class Site { Sibling, Product };

// Progress shown while a hand-off runs.
struct Step
{
    enum class Kind { Sending, Reading, Opening };

    Kind kind = Kind::Reading;
    // The share of the log uploaded, for Sending.
    double fraction = 0;

    static Step sending(double fraction) { return { Kind::Sending, fraction }; }
    static Step reading() { return { Kind::Reading, 0 }; }
    static Step opening() { return { Kind::Opening, 0 }; }
    friend bool operator==(const Step &, const Step &) = default;
};

struct Inbox
{
    QString code;
    QString token;
};

// A hand-off that cannot go on; what() is the sentence for the user.
class Problem : public std::runtime_error
{
public:
    explicit Problem(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// Where a hand-off leaves the user: the site's make page, and whether the
// browser opened it (when it didn't, the page is all the user has).
struct Landing
{
    QUrl page;
    bool opened = false;
};

using Names = std::function<QString(const QString &)>;
using StepFunction = std::function<void(Step)>;

// A log up to this many bytes goes in one request, a larger one in parts.
inline constexpr qsizetype singleRequestLimit = 25'000'000;

// The whole hand-off. Errors of the export, of the site and of the
// connection reach the caller; the browser opens only after every upload.
QCoro::Task<Landing> send(Conversation conversation, QString them, Names names, Site site, StepFunction step);
// The upload half of send(): from a written log to the opened browser.
QCoro::Task<Landing> deliver(QString log, QString fileName, Site site, StepFunction step);

// $QUORVEL_HANDOFF_ORIGIN when it is a URL, else the site's own origin.
QUrl origin(Site site);
QCoro::Task<Inbox> openInbox(QUrl origin);
QCoro::Task<void> sendInParts(
    QByteArray data, QString name, Inbox inbox, QUrl origin, std::function<void(double)> progress);
// The make page with the inbox in its fragment.
QUrl browserAddress(const QUrl &origin, Site site, const Inbox &inbox);
// The "x-name" header of a file name: percent-encoded but for the RFC 3986
// unreserved characters; "chat.txt" when the name cannot be encoded.
QByteArray nameHeader(const QString &fileName);
// "WhatsApp - <them>.txt" for a WhatsApp chat (by its services, or a "wa:"
// key), else "iMessage - <them>.txt".
QString fileName(const Conversation &conversation, const QString &them);

// Exports the conversation with the message tool into a working folder
// (removed on every way out) and writes it as a chat log.
QCoro::Task<QString> chatLog(Conversation conversation, QString them, Names names);
// One line per message text and per attachment: "[yyyy-MM-dd, HH:mm:ss] Name: ...".
QString write(const BookFile &book, const Names &names);
QString cleanName(const QString &name);
QString cleanText(const QString &text);
// Drops / \ : * ? " < > | and trims spaces and tabs, for file names.
QString safe(const QString &text);

// Where the browser is opened (the function says whether it did) and how
// the retries of a part wait; tests replace both. An empty function
// restores the default.
void setBrowser(std::function<QCoro::Task<bool>(QUrl)> open);
void setPause(std::function<QCoro::Task<void>(std::chrono::milliseconds)> pause);

} // namespace Handoff
