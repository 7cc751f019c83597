#pragma once

#include "model/conversation.h"
#include "service/handoff.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

// The window's one hand-off of a conversation to the website: which
// conversation it is for, the line to show and whether it still runs.
// Every write names its own conversation, so the slot always describes the
// hand-off that wrote last; switching conversations doesn't stop one.
class HandoffSlot : public QObject
{
    Q_OBJECT

public:
    struct State
    {
        QString id;
        QString text;
        bool busy = false;
        // The site's page when the browser didn't open it: the user is
        // offered its address instead.
        QUrl unopened;
        friend bool operator==(const State &, const State &) = default;
    };

    explicit HandoffSlot(QObject *parent = nullptr);

    // The host of the product's own site as the hand-off reaches it (the
    // origin in use, its port too when it names one), as the consent
    // screen's button and the progress lines name it.
    static QString host();
    // The line for a step of a hand-off of a conversation of messages.
    static QString stepText(const Handoff::Step &step, int messages);
    // The line of a failed hand-off: a tool's last line, else the sentence.
    static QString failureText(const std::exception &error);

    const std::optional<State> &state() const { return m_state; }
    // Whether the slot shows a hand-off of this conversation.
    bool shows(const QString &id) const { return m_state && m_state->id == id; }

    // Hands the conversation to the product's site; returns at once. them
    // names the other side, names the members (by handle).
    void start(const Conversation &conversation, const QString &them, Handoff::Names names);
    // Asks the browser again for the page it didn't open.
    void openAgain();
    // "Back": the slot empties, the pane shows what it showed before.
    void clear();

signals:
    void changed();

private:
    static State opened(const QString &id);
    static State unopened(const QString &id, const QUrl &page);
    void set(const State &state);

    std::optional<State> m_state;
};
