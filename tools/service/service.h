#pragma once

#include "call.h"
#include "inbox.h"
#include "journal.h"
#include "orders.h"
#include "painter.h"
#include "referrals.h"
#include "scripts.h"
#include "store.h"

#include <QString>
#include <httplib.h>

// The stand-in of the maker's web service and of the website's inbox. It
// answers the paths the app is known to call at the service's root and at
// the website's origin, and the addresses it hands out itself (uploads, the
// payment page); any other path is "Not found", so a client that forms an
// address wrongly fails. Tests script answers and read back what arrived
// through the admin routes under adminPrefix, which are neither journaled
// nor scriptable.
class Service
{
public:
    static constexpr const char *adminPrefix = "/_admin/";

    struct Settings
    {
        QString dataFolder;
        // "stripe", "email" or "off".
        QString mode = QStringLiteral("stripe");
        // The part size the inbox asks multi-part uploads to use.
        qint64 partSize = 8 * 1024 * 1024;
        // Where orders, gifts and the inbox's records are kept: in the data
        // folder, or in memory for a service that lives for one request
        // (the fuzz target's), where writing them out is all the time.
        enum class Records { OnDisk, InMemory };
        Records records = Records::OnDisk;
        // The size of the covers it paints; the fuzz target's are small,
        // as drawing the pixels is all the time of a request to paint.
        QSize paintSize = QSize(Painter::width, Painter::height);
    };

    // Throws std::runtime_error when the data folder cannot be used.
    explicit Service(const Settings &settings);

    // The port bound (a free one when port is 0), or -1.
    int bind(const QString &host, int port);
    // Serves until stop(); false when serving failed.
    bool run();
    void stop();

    // Answers one request of the app's as the server does, without the
    // journal and the scripts; the fuzz target feeds requests in here.
    void route(const httplib::Request &request, httplib::Response &response);

private:
    void handle(const httplib::Request &request, httplib::Response &response);
    void admin(const httplib::Request &request, httplib::Response &response);
    void paint(Call &call);
    // The listening server, set up when it is first bound: route() alone
    // needs none of it.
    void setUpServer();

    Settings m_settings;
    Store m_store;
    Journal m_journal;
    Scripts m_scripts;
    Orders m_orders;
    Referrals m_referrals;
    Inbox m_inbox;
    // httplib::Server with its listening socket in reach.
    class Server : public httplib::Server
    {
    public:
        socket_t listeningSocket() const { return svr_sock_; }
    };

    Routes m_routes;
    Server m_server;
};
