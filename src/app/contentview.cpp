#include "contentview.h"

#include "accessview.h"
#include "conversationlist.h"
#include "flow/bookflow.h"
#include "flow/consentview.h"
#include "flow/handoffslot.h"
#include "flow/handoffview.h"
#include "model/consent.h"
#include "model/library.h"
#include "project/project.h"
#include "sourceadder.h"
#include "ui/contentunavailable.h"
#include "ui/errors.h"
#include "ui/keyboardfocus.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"

#include <QLabel>
#include <QPointer>
#include <QShowEvent>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// A centred column of widgets that fills the pane.
QWidget *centred(const QList<QWidget *> &widgets, int spacing)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(40, 40, 40, 40);
    layout->setSpacing(spacing);
    layout->addStretch(1);
    // Labels take the full width and centre their text: aligned, a label
    // would keep its one-line size and lose the lines it wraps onto.
    for (QWidget *widget : widgets)
        layout->addWidget(widget, 0, qobject_cast<QLabel *>(widget) ? Qt::Alignment() : Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

QString readingLine(const Conversation &conversation)
{
    return QStringLiteral("Reading ") + Style::number(conversation.messages) + QStringLiteral(" messages");
}

} // namespace

ContentView::ContentView(Library *library, QWidget *parent)
    : QWidget(parent)
    , m_library(library)
    , m_opener(&Project::open)
    , m_handoff(new HandoffSlot(this))
    , m_adder(new SourceAdder(library, this))
    , m_routes(new QStackedWidget(this))
    , m_progress(centred({ new Spinner(Spinner::Size::Regular) }, 0))
    , m_access(new AccessView(library, m_adder))
    , m_split(new QSplitter(Qt::Horizontal))
    , m_list(new ConversationList(library, m_adder))
    , m_detailPane(new QWidget)
    , m_detailLayout(new QVBoxLayout(m_detailPane))
    , m_title(QStringLiteral("Quorvel"))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_routes);
    m_routes->addWidget(m_progress);
    m_routes->addWidget(m_access);
    m_routes->addWidget(m_split);

    // The sidebar keeps its width when the window grows; the pane takes the rest.
    m_list->setMinimumWidth(240);
    m_list->setMaximumWidth(360);
    m_split->addWidget(m_list);
    m_split->addWidget(m_detailPane);
    m_split->setChildrenCollapsible(false);
    m_split->setStretchFactor(0, 0);
    m_split->setStretchFactor(1, 1);
    m_split->setSizes({ 280, 1000 });
    m_split->setHandleWidth(1);

    m_detailPane->setObjectName(QStringLiteral("detail"));
    m_detailPane->setAutoFillBackground(true);
    m_detailPane->setBackgroundRole(QPalette::Base);
    m_detailLayout->setContentsMargins(0, 0, 0, 0);

    connect(m_list, &ConversationList::selectionChanged, this, &ContentView::setSelection);
    connect(m_list, &ConversationList::opened, this, [this] { KeyboardFocus::enter(m_detailWidget); });
    connect(m_handoff, &HandoffSlot::changed, this, &ContentView::refresh);
    connect(m_library, &Library::accessChanged, this, &ContentView::refresh);
    connect(m_library, &Library::addedChanged, this, &ContentView::refresh);
    connect(m_library, &Library::namesChanged, this, &ContentView::refresh);
    connect(m_library, &Library::conversationsChanged, this, [this] {
        const int count = int(m_library->conversations().size());
        refresh();
        if (count != m_conversationCount) {
            m_conversationCount = count;
            autoOpen();
        }
    });
    refresh();
}

ContentView::~ContentView() = default;

void ContentView::setOpener(Opener opener)
{
    m_opener = std::move(opener);
}

ContentView::Route ContentView::route() const
{
    if (m_library->access() == Library::Access::Granted || !m_library->added().isEmpty())
        return Route::Split;
    if (m_library->access() == Library::Access::Unknown)
        return Route::Progress;
    return Route::Access;
}

void ContentView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The first of the program's own work: what can be read.
    if (!m_loaded) {
        m_loaded = true;
        m_library->load();
    }
}

void ContentView::setSelection(const std::optional<QString> &id)
{
    if (id == m_selection)
        return;
    m_selection = id;
    m_list->setSelection(id);
    open(id);
    refresh();
}

void ContentView::bookDeleted()
{
    m_project.reset();
    setSelection(std::nullopt);
    refresh();
}

std::optional<Conversation> ContentView::conversation(const QString &id) const
{
    for (const Conversation &conversation : m_library->conversations()) {
        if (conversation.id() == id)
            return conversation;
    }
    return std::nullopt;
}

void ContentView::open(const std::optional<QString> &id)
{
    if (!id)
        return;
    const std::optional<Conversation> chosen = conversation(*id);
    if (!chosen)
        return;
    if (!Consent::mayRead(*id)) {
        m_project.reset();
        m_openError.reset();
        refresh();
        return;
    }
    // The book shown so far is not shown again while a newer open of the
    // same conversation runs: edits made to it would be lost when the newer
    // one arrives with the book as it was read.
    m_project.reset();
    m_openError.reset();
    const quint64 ticket = ++m_opens;
    m_opening = Opening { *chosen, ticket };
    refresh();
    openInBackground(*chosen, ticket);
}

QCoro::Task<void> ContentView::openInBackground(Conversation conversation, quint64 ticket)
{
    QPointer<ContentView> self(this);
    const QString id = conversation.id();
    const QString them = m_library->displayName(conversation);
    const Opener opener = m_opener;
    std::shared_ptr<Project> project;
    QString failure;
    try {
        project = co_await opener(conversation, them);
    } catch (...) {
        failure = Errors::sentence(std::current_exception());
    }
    if (!self)
        co_return;
    // Only the newest open, of the conversation still selected, is kept.
    const bool current = ticket == m_opens && m_selection == id;
    if (project) {
        project->nameMembers(m_library->memberNames());
        if (current)
            m_project = project;
    } else if (current) {
        m_openError = { id, failure };
    }
    if (m_opening && m_opening->ticket == ticket)
        m_opening.reset();
    refresh();
}

void ContentView::agree(const QString &id, bool wrappedOnly)
{
    if (wrappedOnly)
        Consent::recordWrapped(id);
    else
        Consent::record(id);
    // The user answered the pane: the keys stay with what it turns into,
    // even when Return came from the list.
    m_focusFollowsDetail = true;
    open(id);
}

void ContentView::handOff(const Conversation &conversation)
{
    m_handoff->start(conversation, m_library->displayName(conversation), m_library->memberNames());
}

void ContentView::autoOpen()
{
    if (m_selection || route() != Route::Split)
        return;
    if (!qEnvironmentVariableIsSet("QUORVEL_OPEN"))
        return;
    const QString wanted = qEnvironmentVariable("QUORVEL_OPEN");
    if (conversation(wanted))
        setSelection(wanted);
}

void ContentView::refresh()
{
    refreshRoute();
    refreshDetail();
    refreshTitle();
}

void ContentView::refreshRoute()
{
    QWidget *page = m_progress;
    switch (route()) {
    case Route::Progress:
        page = m_progress;
        break;
    case Route::Access:
        page = m_access;
        break;
    case Route::Split:
        page = m_split;
        break;
    }
    if (m_routes->currentWidget() == page)
        return;
    m_routes->setCurrentWidget(page);
    if (page == m_split)
        autoOpen();
}

ContentView::DetailKey ContentView::wantedDetail() const
{
    if (m_project && m_selection && m_project->conversation().id() == *m_selection)
        return { Detail::Book, *m_selection, m_project.get(), {}, {} };
    if (m_opening)
        return { Detail::Reading, m_opening->conversation.id(), nullptr, readingLine(m_opening->conversation),
            {} };
    if (m_selection && m_handoff->shows(*m_selection))
        return { Detail::Handoff, *m_selection, nullptr, {}, {} };
    if (m_openError && m_selection == m_openError->first)
        return { Detail::OpenError, m_openError->first, nullptr, m_openError->second, {} };
    if (m_selection) {
        if (const std::optional<Conversation> selected = conversation(*m_selection))
            return { Detail::Consent, *m_selection, nullptr, m_library->displayName(*selected), selected };
    }
    return {};
}

void ContentView::refreshDetail()
{
    const DetailKey wanted = wantedDetail();
    if (m_detailBuilt && wanted == m_detail) {
        // The contacts read may name a participant the heading doesn't.
        if (wanted.kind == Detail::Consent)
            static_cast<ConsentView *>(m_detailWidget)->setMemberNames(m_library->memberNames());
        return;
    }
    // New names (the contacts read, the user said who they are) only
    // rename the consent screen: a box the user ticked stays ticked.
    if (m_detailBuilt && wanted.kind == Detail::Consent && m_detail.kind == Detail::Consent
        && wanted.id == m_detail.id && wanted.conversation == m_detail.conversation) {
        m_detail = wanted;
        auto *consent = static_cast<ConsentView *>(m_detailWidget);
        consent->setName(wanted.text);
        consent->setMemberNames(m_library->memberNames());
        return;
    }
    // Hiding the old pane hands its focus on to the next in the window,
    // most likely the list: where it was is read first. Focus in the list
    // stays there, as the user is choosing.
    const bool focusHere = std::exchange(m_focusFollowsDetail, false)
        || KeyboardFocus::isWithin(m_detailWidget) || KeyboardFocus::isWithin(WindowToolbar::of(this))
        || KeyboardFocus::isAdrift(this);
    if (m_detailWidget) {
        m_detailWidget->hide();
        m_detailWidget->deleteLater();
    }
    m_detail = wanted;
    m_detailBuilt = true;
    m_detailWidget = buildDetail(wanted);
    m_detailLayout->addWidget(m_detailWidget);
    m_detailWidget->show();
    if (focusHere && isVisible())
        KeyboardFocus::enter(m_detailWidget);
    connect(m_detailWidget, &QWidget::windowTitleChanged, this, &ContentView::refreshTitle);
    emit detailChanged();
}

QWidget *ContentView::buildDetail(const DetailKey &key)
{
    switch (key.kind) {
    case Detail::Book:
        return bookScreen(m_project, key.id);
    case Detail::Reading: {
        QLabel *line = Style::label(key.text, Style::Text::Body, Style::Tone::Secondary);
        line->setAlignment(Qt::AlignCenter);
        return centred({ new Spinner(Spinner::Size::Regular), line }, 12);
    }
    case Detail::Handoff:
        return new HandoffView(m_handoff);
    case Detail::OpenError:
        return new ContentUnavailable(QStringLiteral("exclamationmark.triangle"),
            QStringLiteral("This conversation didn't open"), key.text);
    case Detail::Consent: {
        const QString id = key.id;
        ConsentView::Actions actions;
        actions.agree = [this, id] { agree(id, false); };
        actions.wrapped = [this, id] { agree(id, true); };
        actions.web = [this, conversation = *key.conversation] { handOff(conversation); };
        actions.choose = [library = m_library, conversation = *key.conversation](
                             const QString &me) { library->setMe(conversation, me); };
        auto *consent = new ConsentView(*key.conversation, key.text, actions);
        consent->setMemberNames(m_library->memberNames());
        return consent;
    }
    case Detail::ChooseSomeone:
        break;
    }
    return new ContentUnavailable(QStringLiteral("bookmark"), QStringLiteral("Choose someone"),
        QStringLiteral("Pick a conversation to make a book from. Nothing is read until you say so."));
}

void ContentView::refreshTitle()
{
    // Named after a conversation only while one is loaded and selected in
    // the list on screen: the access screen, or a source just forgotten,
    // leave no conversation to name, whatever the pane held.
    QString title = QStringLiteral("Quorvel");
    const std::optional<Conversation> selected
        = m_selection && route() == Route::Split ? conversation(*m_selection) : std::nullopt;
    if (selected) {
        title = m_detailWidget && !m_detailWidget->windowTitle().isEmpty()
            ? m_detailWidget->windowTitle()
            : m_library->displayName(*selected);
    }
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged(title);
}

QWidget *ContentView::bookScreen(std::shared_ptr<Project> project, const QString &id)
{
    Q_UNUSED(id);
    auto *flow = new BookFlow(std::move(project));
    connect(flow, &BookFlow::deleted, this, &ContentView::bookDeleted);
    return flow;
}
