#pragma once

#include <QObject>
#include <QString>
#include <optional>

class App;

// The site's export asked for (QUORVEL_WRAPPED_EXPORT) with a window: it
// runs when the Wrapped screen of the conversation QUORVEL_OPEN names
// shows, and ends the app. Nobody watches such a run, so once the window
// has settled where no Wrapped will show (no conversation by that name,
// one not agreed to, one that didn't open, a book opened on another
// screen), the app ends with status 1 and a sentence saying why.
class SiteExportWatch : public QObject
{
    Q_OBJECT

public:
    explicit SiteExportWatch(App *app, QObject *parent = nullptr);

    // Why the Wrapped can't show, as the window stands now; nothing while
    // it may yet show.
    std::optional<QString> obstacle() const;

private:
    void check();

    App *m_app;
    bool m_ended = false;
};
