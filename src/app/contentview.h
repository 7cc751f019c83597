#pragma once

#include "model/conversation.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <qcorotask.h>

class AccessView;
class ConversationList;
class HandoffSlot;
class Library;
class Project;
class QSplitter;
class QStackedWidget;
class QVBoxLayout;
class SourceAdder;

// The window's content. It routes between a progress indicator while
// access is undecided, the access screen while nothing can be read, and
// the split view of the conversation list and a detail pane; and it turns
// the selected conversation into an open book: consent first, then the
// book opened in the background, kept only while it is still the one
// selected.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    // How a conversation becomes a book; tests hold opens back with their own.
    using Opener = std::function<QCoro::Task<std::unique_ptr<Project>>(Conversation, QString them)>;

    // What the window shows.
    enum class Route { Progress, Access, Split };
    // What the detail pane shows.
    enum class Detail { Book, Reading, Handoff, OpenError, Consent, ChooseSomeone };

    explicit ContentView(Library *library, QWidget *parent = nullptr);
    ~ContentView() override;

    // The identifier of the selected conversation. Setting it is what the
    // list does when the user picks a row: a change opens the conversation.
    std::optional<QString> selection() const { return m_selection; }
    void setSelection(const std::optional<QString> &id);

    // The open book of the selected conversation, once opened.
    std::shared_ptr<Project> project() const { return m_project; }
    // "Quorvel", or the selected conversation's name; a book screen that
    // gives itself a window title names the window while it shows.
    QString title() const { return m_title; }

    Route route() const;
    Detail detail() const { return m_detail.kind; }
    // Why the selected conversation didn't open, while the pane says so.
    QString openError() const { return m_detail.kind == Detail::OpenError ? m_detail.text : QString(); }
    // The widget the detail pane shows now.
    QWidget *detailWidget() const { return m_detailWidget; }
    ConversationList *conversationList() const { return m_list; }
    AccessView *accessView() const { return m_access; }

    void setOpener(Opener opener);
    // The library's first load was started by whoever owns it: showing the
    // content doesn't start another.
    void loadStarted() { m_loaded = true; }

    // The window's one hand-off of a conversation to the website.
    HandoffSlot *handoff() const { return m_handoff; }
    // Hands the conversation to the website, as its consent screen offers.
    void handOff(const Conversation &conversation);
    // The open book was deleted: it closes and nothing is selected.
    void bookDeleted();

    // The detail pane of an open book. Every screen of one book hangs off
    // this one function.
    QWidget *bookScreen(std::shared_ptr<Project> project, const QString &id);

signals:
    void titleChanged(const QString &title);
    // The detail pane shows something else.
    void detailChanged();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // A running open; the newest one is the only one that counts.
    struct Opening
    {
        Conversation conversation;
        quint64 ticket = 0;
    };
    // What the detail pane shows, to rebuild it only when that changes.
    struct DetailKey
    {
        Detail kind = Detail::ChooseSomeone;
        QString id;
        const Project *project = nullptr;
        QString text;
        std::optional<Conversation> conversation;
        bool operator==(const DetailKey &) const = default;
    };

    void refresh();
    void refreshRoute();
    void refreshDetail();
    void refreshTitle();
    DetailKey wantedDetail() const;
    QWidget *buildDetail(const DetailKey &key);
    std::optional<Conversation> conversation(const QString &id) const;

    void open(const std::optional<QString> &id);
    QCoro::Task<void> openInBackground(Conversation conversation, quint64 ticket);
    void autoOpen();
    void agree(const QString &id, bool wrappedOnly);

    Library *m_library;
    Opener m_opener;
    HandoffSlot *m_handoff;
    SourceAdder *m_adder;
    QStackedWidget *m_routes;
    QWidget *m_progress;
    AccessView *m_access;
    QSplitter *m_split;
    ConversationList *m_list;
    QWidget *m_detailPane;
    QVBoxLayout *m_detailLayout;
    QWidget *m_detailWidget = nullptr;
    DetailKey m_detail;
    bool m_detailBuilt = false;

    std::optional<QString> m_selection;
    std::shared_ptr<Project> m_project;
    std::optional<Opening> m_opening;
    quint64 m_opens = 0;
    // The failed open's text, with the conversation it belongs to.
    std::optional<std::pair<QString, QString>> m_openError;
    QString m_title;
    int m_conversationCount = 0;
    bool m_loaded = false;
    // The next pane takes the focus, whatever holds it now.
    bool m_focusFollowsDetail = false;
};
