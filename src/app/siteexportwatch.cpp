#include "siteexportwatch.h"

#include "app.h"
#include "contentview.h"
#include "flow/bookflow.h"
#include "mainwindow.h"
#include "wrapped/wrappedsiteexport.h"

#include <QTimer>

SiteExportWatch::SiteExportWatch(App *app, QObject *parent)
    : QObject(parent)
    , m_app(app)
{
    connect(app, &App::loaded, this, &SiteExportWatch::check);
    connect(app->window()->content(), &ContentView::detailChanged, this, &SiteExportWatch::check);
    // A demo's list is in before anything could hear of it.
    if (app->isLoaded())
        QTimer::singleShot(0, this, &SiteExportWatch::check);
}

std::optional<QString> SiteExportWatch::obstacle() const
{
    // Until every source is read, the conversation may still come.
    if (!m_app->isLoaded())
        return std::nullopt;
    const ContentView *content = m_app->window()->content();
    const QString wanted = qEnvironmentVariable("QUORVEL_OPEN");
    if (wanted.isEmpty())
        return QStringLiteral("The site's export needs a conversation to open: name it in QUORVEL_OPEN.");
    if (content->selection() != wanted)
        return QStringLiteral("QUORVEL_OPEN names no conversation Quorvel lists: %1.").arg(wanted);
    switch (content->detail()) {
    case ContentView::Detail::Consent:
        return QStringLiteral("The Wrapped of %1 can't show: reading it hasn't been agreed to. Open it in "
                              "Quorvel and agree first.")
            .arg(wanted);
    case ContentView::Detail::OpenError:
        return QStringLiteral("The Wrapped of %1 can't show: %2").arg(wanted, content->openError());
    case ContentView::Detail::Book: {
        const auto *flow = qobject_cast<const BookFlow *>(content->detailWidget());
        if (flow && flow->mode() != BookFlow::Mode::Wrapped) {
            return QStringLiteral(
                "The Wrapped of %1 doesn't show when its book opens: set QUORVEL_MODE=wrapped.")
                .arg(wanted);
        }
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

void SiteExportWatch::check()
{
    if (m_ended)
        return;
    if (const std::optional<QString> why = obstacle()) {
        m_ended = true;
        WrappedSiteExport::end(*why);
    }
}
