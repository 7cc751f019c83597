#include "handoffslot.h"

#include "ui/desktop.h"
#include "ui/errors.h"
#include "ui/style.h"

#include <QMetaObject>
#include <QPointer>

HandoffSlot::HandoffSlot(QObject *parent)
    : QObject(parent)
{
    // The site opens in the browser through the desktop like every other
    // page the app opens.
    Handoff::setBrowser([](QUrl url) { return Desktop::instance().openUrl(url); });
}

QString HandoffSlot::host()
{
    const QUrl origin = Handoff::origin(Handoff::Site::Product);
    const int port = origin.port();
    return port < 0 ? origin.host() : origin.host() + QLatin1Char(':') + QString::number(port);
}

QString HandoffSlot::stepText(const Handoff::Step &step, int messages)
{
    switch (step.kind) {
    case Handoff::Step::Kind::Reading:
        return QStringLiteral("Reading %1 messages").arg(Style::number(messages));
    case Handoff::Step::Kind::Opening:
        return QStringLiteral("Opening ") + host();
    case Handoff::Step::Kind::Sending:
        if (step.fraction > 0 && step.fraction < 1)
            return QStringLiteral("Sending, %1%").arg(int(step.fraction * 100));
        return QStringLiteral("Sending to ") + host();
    }
    return {};
}

QString HandoffSlot::failureText(const std::exception &error)
{
    const QString line = Errors::lastLine(error);
    return line.trimmed().isEmpty() ? Errors::sentence(error) : line;
}

void HandoffSlot::start(const Conversation &conversation, const QString &them, Handoff::Names names)
{
    const QString id = conversation.id();
    const int messages = conversation.messages;
    set({ id, stepText(Handoff::Step::reading(), messages), true, {} });
    QPointer<HandoffSlot> self(this);
    // Steps may come from any thread; each lands on this thread in order.
    auto step = [self, id, messages](Handoff::Step step) {
        QMetaObject::invokeMethod(
            self.data(),
            [self, id, messages, step] {
                if (self)
                    self->set({ id, stepText(step, messages), true, {} });
            },
            Qt::QueuedConnection);
    };
    [](QPointer<HandoffSlot> self, QString id, Conversation conversation, QString them, Handoff::Names names,
        Handoff::StepFunction step) -> QCoro::Task<void> {
        State end { id, QString(), false, {} };
        try {
            const Handoff::Landing landing
                = co_await Handoff::send(conversation, them, names, Handoff::Site::Product, step);
            end = landing.opened ? opened(id) : unopened(id, landing.page);
        } catch (const std::exception &e) {
            end.text = failureText(e);
        }
        if (!self)
            co_return;
        // After the steps still queued, so a late step never overwrites the end.
        QMetaObject::invokeMethod(
            self.data(),
            [self, end] {
                if (self)
                    self->set(end);
            },
            Qt::QueuedConnection);
    }(self, id, conversation, them, std::move(names), step);
}

void HandoffSlot::openAgain()
{
    if (!m_state || m_state->unopened.isEmpty())
        return;
    [](QPointer<HandoffSlot> self, State tried) -> QCoro::Task<void> {
        const bool done = co_await Desktop::instance().openUrl(tried.unopened);
        // Only while the slot still shows that page: Back or another
        // hand-off meanwhile has the last word.
        if (done && self && self->m_state == tried)
            self->set(HandoffSlot::opened(tried.id));
    }(this, *m_state);
}

HandoffSlot::State HandoffSlot::opened(const QString &id)
{
    return { id, QStringLiteral("It's open in your browser. Carry on there."), false, {} };
}

HandoffSlot::State HandoffSlot::unopened(const QString &id, const QUrl &page)
{
    return { id,
        QStringLiteral("The website didn't open in your browser. Open this address in a browser to carry on "
                       "there."),
        false, page };
}

void HandoffSlot::clear()
{
    if (!m_state)
        return;
    m_state.reset();
    emit changed();
}

void HandoffSlot::set(const State &state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit changed();
}
