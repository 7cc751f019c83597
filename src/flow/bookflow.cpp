#include "bookflow.h"

#include "bookhomeview.h"
#include "bookpage.h"
#include "makingview.h"
#include "model/consent.h"
#include "model/defaults.h"
#include "printconsentsheet.h"
#include "project/project.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/keyboardfocus.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "wizard/bookfonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The Wrapped's stand-in while it is counted, or the sentence of a count
// that failed, with the way on to the book.
QWidget *countingScreen(const std::optional<QString> &failure, std::function<void()> makeBook)
{
    auto *screen = new QWidget;
    auto *stack = new QVBoxLayout(screen);
    stack->setContentsMargins(40, 40, 40, 40);
    stack->setSpacing(12);
    stack->addStretch(1);
    if (!failure) {
        stack->addWidget(new Spinner(Spinner::Size::Regular), 0, Qt::AlignHCenter);
        stack->addWidget(Style::label(QStringLiteral("Counting"), Style::Text::Body, Style::Tone::Secondary),
            0, Qt::AlignHCenter);
    } else {
        auto *symbol = new QLabel;
        symbol->setPixmap(Icons::pixmap(
            QStringLiteral("exclamationmark.triangle"), 36, Style::color(Style::Tone::Tertiary)));
        stack->addWidget(symbol, 0, Qt::AlignHCenter);
        // Stretches, not an alignment, keep the sentence's width: an aligned
        // label would wrap to its narrowest.
        auto *sentence = new ErrorLabel;
        sentence->setError(*failure);
        sentence->setAlignment(Qt::AlignCenter);
        auto *row = new QHBoxLayout;
        row->addStretch(1);
        row->addWidget(sentence, 3);
        row->addStretch(1);
        stack->addLayout(row);
        auto *book = new QPushButton(QStringLiteral("Make the Book"));
        Style::setProminent(book);
        book->setMinimumHeight(30);
        QObject::connect(book, &QPushButton::clicked, screen, std::move(makeBook));
        stack->addSpacing(4);
        stack->addWidget(book, 0, Qt::AlignHCenter);
    }
    stack->addStretch(1);
    return screen;
}

} // namespace

BookFlow::BookFlow(std::shared_ptr<Project> project, QWidget *parent)
    : BookFlow(std::move(project), Screens::standard(), parent)
{ }

BookFlow::BookFlow(std::shared_ptr<Project> project, Screens screens, QWidget *parent)
    : QWidget(parent)
    , m_project(std::move(project))
    , m_screens(std::move(screens))
    , m_mode(firstMode())
    , m_layout(new QVBoxLayout(this))
{
    // The book's faces are drawn on its screens only: known from the first
    // book on, they cost the app's start nothing.
    BookFonts::registerFonts();
    m_layout->setContentsMargins(0, 0, 0, 0);
    newWizard(WizardModel::Resuming::No);
    connect(m_project.get(), &Project::bookChanged, this, &BookFlow::refreshTitle);
    setMode(m_mode);
}

BookFlow::~BookFlow() = default;

QString BookFlow::identifier() const
{
    return m_project->conversation().id();
}

bool BookFlow::hasBookConsent() const
{
    return Defaults::standard().string(QStringLiteral("consent:") + identifier()).has_value();
}

BookFlow::Mode BookFlow::firstMode() const
{
    const QString wanted = qEnvironmentVariable("QUORVEL_MODE");
    // Only the Wrapped was agreed to: the book waits for its own consent.
    if (!hasBookConsent() || wanted == QLatin1String("wrapped"))
        return Mode::Wrapped;
    if (m_project->needsWizard())
        return Mode::Wizard;
    return wanted == QLatin1String("pages") ? Mode::Pages : Mode::Home;
}

void BookFlow::newWizard(WizardModel::Resuming resuming)
{
    // The old model may still be read by its view on the way out.
    if (m_wizard)
        m_wizard->deleteLater();
    m_wizard = new WizardModel(m_project, resuming, this);
    m_wizard->setOnWrapped([this](std::optional<QString> card) { openWrapped(card); });
    connect(m_wizard, &WizardModel::titleChanged, this, &BookFlow::refreshTitle);
}

void BookFlow::reopenWizard()
{
    newWizard(WizardModel::Resuming::Yes);
    setMode(Mode::Wizard);
}

void BookFlow::makeBook()
{
    if (hasBookConsent()) {
        setMode(m_project->needsWizard() ? Mode::Wizard : Mode::Home);
        return;
    }
    if (m_consentSheet)
        return;
    m_consentSheet = new PrintConsentSheet(BookPage::otherName(m_project->book()), this);
    m_consentSheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_consentSheet, &PrintConsentSheet::agreed, this, [this] {
        Consent::record(identifier());
        m_consentSheet->accept();
        makeBook();
    });
    m_consentSheet->present();
}

void BookFlow::openWrapped(const std::optional<QString> &focus)
{
    m_wrappedFocus = focus;
    // A new focus builds the Wrapped screen afresh.
    setMode(Mode::Wrapped);
}

void BookFlow::setMode(Mode mode)
{
    m_mode = mode;
    const bool recount = mode == Mode::Wrapped && !m_wrapped && !m_counting;
    // A count run again is shown counting, not as the last one ended.
    if (recount)
        forgetCountFailure();
    present(build(mode));
    refreshTitle();
    if (recount)
        count();
}

void BookFlow::forgetCountFailure()
{
    // The book's other screens showed the sentence too; one put there
    // since is not the count's to take away.
    if (m_countFailure && m_project->error() == m_countFailure)
        m_project->setError(std::nullopt);
    m_countFailure.reset();
}

void BookFlow::present(QWidget *screen)
{
    // A new screen of the book takes the focus the old one had (its toolbar
    // buttons are its own), so the keys go on from its first control.
    const bool focusHere = isVisible()
        && (KeyboardFocus::isWithin(this) || KeyboardFocus::isWithin(WindowToolbar::of(this))
            || KeyboardFocus::isAdrift(this));
    if (m_screen) {
        // The screen may be the one whose signal brought us here.
        m_screen->hide();
        m_screen->deleteLater();
    }
    m_screen = screen;
    m_layout->addWidget(m_screen);
    m_screen->show();
    if (focusHere)
        KeyboardFocus::enter(m_screen);
}

QWidget *BookFlow::build(Mode mode)
{
    switch (mode) {
    case Mode::Wizard:
        return buildWizard();
    case Mode::Making: {
        auto *making = new MakingView(m_project);
        connect(making, &MakingView::done, this, [this, making] {
            // The cover just drawn is the page's cover too.
            m_madeCover = making->cover();
            setMode(Mode::Home);
        });
        connect(making, &MakingView::setupRequested, this, &BookFlow::reopenWizard);
        return making;
    }
    case Mode::Home:
        return buildHome();
    case Mode::Pages:
        return m_screens.pages(m_project,
            m_pricing ? std::optional<int>(m_pricing->pageLimit()) : std::nullopt,
            [this] { setMode(Mode::Home); });
    case Mode::Wrapped:
        return buildWrapped();
    }
    return nullptr;
}

QWidget *BookFlow::buildWizard()
{
    const Screens::Cancel cancel
        = m_project->needsWizard() ? Screens::Cancel::NotOffered : Screens::Cancel::Offered;
    return m_screens.wizard(
        m_wizard, cancel, [this] { setMode(Mode::Making); }, [this] { setMode(Mode::Home); });
}

QWidget *BookFlow::buildHome()
{
    auto *home = new BookHomeView(m_project);
    if (m_madeCover)
        home->setCover(*std::exchange(m_madeCover, std::nullopt));
    connect(home, &BookHomeView::deleted, this, &BookFlow::deleted);
    connect(home, &BookHomeView::setupRequested, this, &BookFlow::reopenWizard);
    connect(home, &BookHomeView::pagesRequested, this, [this] { setMode(Mode::Pages); });
    connect(home, &BookHomeView::pricesLoaded, this, [this, home] {
        if (home->pricing())
            m_pricing = home->pricing();
    });
    connect(home, &BookHomeView::wrappedRequested, this, [this] { openWrapped(std::nullopt); });
    return home;
}

QWidget *BookFlow::buildWrapped()
{
    if (!m_wrapped)
        return countingScreen(m_countFailure, [this] { makeBook(); });
    return m_screens.wrapped(m_project, *m_wrapped, m_wrappedFocus, [this] { makeBook(); });
}

QCoro::Task<void> BookFlow::count()
{
    m_counting = true;
    QPointer<BookFlow> self(this);
    std::shared_ptr<Project> project = m_project;
    std::optional<Wrapped> counted;
    std::optional<QString> failure;
    try {
        counted = co_await m_screens.count(project->book());
    } catch (const std::exception &e) {
        failure = Errors::sentence(e);
        project->setError(failure);
    }
    if (!self)
        co_return;
    m_counting = false;
    // Kept whatever shows now: the Wrapped is counted once per flow.
    m_wrapped = counted;
    m_countFailure = failure;
    if (m_mode == Mode::Wrapped)
        present(buildWrapped());
}

void BookFlow::refreshTitle()
{
    QString title = m_project->book().front.title;
    if (m_mode == Mode::Wrapped)
        title = QStringLiteral("Wrapped");
    else if (m_mode == Mode::Wizard && !m_wizard->title().isEmpty())
        title = m_wizard->title();
    setWindowTitle(title);
}
