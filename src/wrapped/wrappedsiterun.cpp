#include "wrappedsiterun.h"

#include "model/library.h"
#include "model/wrapped.h"
#include "project/project.h"
#include "ui/errors.h"
#include "wrappedsiteexport.h"
#include "wrappedview.h"

#include <QTimer>

namespace {

std::optional<Conversation> demoToExport(const QList<Conversation> &conversations)
{
    QList<Conversation> demos;
    for (const Conversation &conversation : conversations) {
        if (conversation.key.startsWith(QLatin1String("demo:")))
            demos.append(conversation);
    }
    const QString wanted = qEnvironmentVariable("QUORVEL_OPEN");
    for (const Conversation &demo : demos) {
        if (!wanted.isEmpty() && demo.id() == wanted)
            return demo;
    }
    if (demos.isEmpty() || !wanted.isEmpty())
        return std::nullopt;
    return demos.first();
}

} // namespace

WrappedSiteRun::WrappedSiteRun(Library *library, QObject *parent)
    : QObject(parent)
    , m_library(library)
{ }

WrappedSiteRun::~WrappedSiteRun()
{
    delete m_view;
}

WrappedView *WrappedSiteRun::view() const
{
    return m_view;
}

void WrappedSiteRun::start()
{
    // From the event loop, so that an early end is heard by it.
    QTimer::singleShot(0, this, [this] { run(); });
}

QCoro::Task<void> WrappedSiteRun::run()
{
    QPointer<WrappedSiteRun> self(this);
    co_await m_library->load();
    if (!self)
        co_return;
    const std::optional<Conversation> conversation = demoToExport(m_library->conversations());
    if (!conversation) {
        WrappedSiteExport::end(
            QStringLiteral("The site's export needs a demo book: name its book.json in QUORVEL_DEMO "
                           "(and, among several, the one to export in QUORVEL_OPEN)."));
        co_return;
    }
    std::shared_ptr<Project> project;
    std::optional<Wrapped> wrapped;
    QString failure;
    try {
        project = co_await Project::open(*conversation, conversation->name.value_or(QString()));
        wrapped = co_await Wrapped::make(project->book());
    } catch (...) {
        failure = Errors::sentence(std::current_exception());
    }
    if (!self)
        co_return;
    if (!wrapped) {
        WrappedSiteExport::end(failure);
        co_return;
    }
    m_view = new WrappedView(project, *wrapped, std::nullopt);
    m_view->resize(1280, 820);
    // The screen makes the export once it shows, as it does in the window;
    // nobody watches an unattended run, so it shows on no desktop.
    m_view->setAttribute(Qt::WA_DontShowOnScreen);
    m_view->show();
}
