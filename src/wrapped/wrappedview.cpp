#include "wrappedview.h"

#include "claimsheet.h"
#include "project/project.h"
#include "service/funnel.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "unlockstrip.h"
#include "wrappedfilmstrip.h"
#include "wrappedinspector.h"
#include "wrappedpreview.h"
#include "wrappedshare.h"
#include "wrappedsiteexport.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QProcessEnvironment>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A hairline between the parts of the screen, in the palette's own
// separator shade.
class Divider : public QWidget
{
public:
    explicit Divider(Qt::Orientation orientation)
    {
        if (orientation == Qt::Horizontal)
            setFixedHeight(1);
        else
            setFixedWidth(1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Style::color(Style::Tone::Quaternary, palette()));
    }
};

// Tells the service the Wrapped was opened, then reads the rewards
// standing the strip, the cards and the caption show.
QCoro::Task<void> openRewards()
{
    Funnel::count(Funnel::Step::WrappedOpened);
    co_await Rewards::shared().load();
}

} // namespace

WrappedView::WrappedView(
    std::shared_ptr<Project> project, Wrapped wrapped, std::optional<QString> focus, QWidget *parent)
    : QWidget(parent)
    , m_project(std::move(project))
    , m_wrapped(std::move(wrapped))
    , m_strip(new UnlockStrip)
    , m_preview(new WrappedPreview)
    , m_filmstrip(new WrappedFilmstrip)
    , m_bookAction(
          new QAction(Icons::icon(QStringLiteral("book.closed")), QStringLiteral("Make It a Book"), this))
{
    // The saved look, or the defaults; the share fitted to these cards. The
    // opening itself writes nothing.
    m_settings = WrappedSettings::load(conversation()).value_or(WrappedSettings());
    m_settings.selection = WrappedShare::opening(m_wrapped, m_settings.selection, focus);
    m_focused = WrappedShare::shown(m_wrapped, m_settings.selection, focus.value_or(QString()));

    m_inspector = new WrappedInspector(this);

    auto *stage = new QWidget;
    auto *stageColumn = new QVBoxLayout(stage);
    stageColumn->setContentsMargins(24, 24, 24, 24);
    stageColumn->setSpacing(18);
    stageColumn->addWidget(m_preview, 1);
    stageColumn->addWidget(m_filmstrip);

    auto *panel = m_panel = new QScrollArea;
    panel->setFrameShape(QFrame::NoFrame);
    // Tab stops at the controls inside, and the column follows them.
    panel->setFocusPolicy(Qt::NoFocus);
    panel->setFixedWidth(300);
    panel->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panel->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    panel->setWidgetResizable(true);
    panel->setWidget(m_inspector);
    panel->viewport()->setAutoFillBackground(false);
    m_inspector->setAutoFillBackground(false);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(stage, 1);
    row->addWidget(new Divider(Qt::Vertical));
    row->addWidget(panel);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_strip);
    column->addWidget(new Divider(Qt::Horizontal));
    column->addLayout(row, 1);

    connect(m_bookAction, &QAction::triggered, this, &WrappedView::bookRequested);
    connect(m_strip, &UnlockStrip::claimRequested, this, &WrappedView::claim);
    connect(m_filmstrip, &WrappedFilmstrip::focusRequested, this, &WrappedView::setFocused);
    connect(m_filmstrip, &WrappedFilmstrip::inclusionRequested, this, &WrappedView::include);
    // The code on the cards and the link in the caption come with the standing.
    connect(&Rewards::shared(), &Rewards::statusChanged, this, &WrappedView::refresh);
    refresh();
}

WrappedView::~WrappedView() = default;

QString WrappedView::conversation() const
{
    return m_project->conversation().id();
}

void WrappedView::setSettings(const WrappedSettings &settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    m_settings.save(conversation());
    refresh();
}

void WrappedView::setFocused(const QString &id)
{
    if (id == m_focused)
        return;
    m_focused = id;
    refresh();
}

void WrappedView::include(const QString &id, bool on)
{
    WrappedSettings changed = m_settings;
    changed.selection = WrappedShare::included(m_wrapped, m_settings.selection, id, on);
    setSettings(changed);
    // The box stays as the share says, also when nothing changed.
    refresh();
}

QString WrappedView::describe(const Wrapped::Card &card) const
{
    return WrappedShare::describe(card, m_wrapped, m_settings);
}

std::optional<QString> WrappedView::code() const
{
    const std::optional<Rewards::Status> &status = Rewards::shared().status();
    if (!status)
        return std::nullopt;
    return status->code;
}

void WrappedView::pickYear(std::optional<int> year)
{
    if (m_loadingYear)
        return;
    m_loadingYear = true;
    refresh();
    countYear(year);
}

QCoro::Task<void> WrappedView::countYear(std::optional<int> year)
{
    QPointer<WrappedView> self(this);
    std::optional<Wrapped> counted;
    QString failure;
    try {
        counted = co_await Wrapped::make(m_project->book(), year);
    } catch (...) {
        failure = Errors::sentence(std::current_exception());
    }
    if (!self)
        co_return;
    if (counted) {
        // The share and the card shown as they are now, fitted to the new
        // cards; a card that is still there stays in view.
        WrappedSettings fitted = m_settings;
        fitted.selection = WrappedShare::kept(*counted, m_settings.selection);
        m_focused = WrappedShare::shown(*counted, fitted.selection, m_focused);
        m_wrapped = *counted;
        if (fitted != m_settings) {
            m_settings = fitted;
            m_settings.save(conversation());
        }
        // A year that failed before is no longer what the cards show; a
        // failed save still stands until a save clears it.
        if (m_failed == Failed::YearChoice)
            m_error.reset();
    } else {
        fail(Failed::YearChoice, failure);
    }
    m_loadingYear = false;
    refresh();
}

void WrappedView::fail(Failed what, const QString &sentence)
{
    m_failed = what;
    m_error = sentence;
}

void WrappedView::claim(Rewards::Claim::Kind kind)
{
    if (m_claimSheet)
        return;
    m_claimSheet = new ClaimSheet(kind, this);
    m_claimSheet->setAttribute(Qt::WA_DeleteOnClose);
    m_claimSheet->present();
}

ClaimSheet *WrappedView::claimSheet() const
{
    return m_claimSheet;
}

void WrappedView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (WindowToolbar *toolbar = WindowToolbar::of(this))
        toolbar->setItems(this, {}, { m_bookAction });
    if (m_appeared)
        return;
    m_appeared = true;
    openRewards();
    if (const std::optional<QString> folder
        = WrappedSiteExport::folder(QProcessEnvironment::systemEnvironment()))
        exportForSite(*folder);
}

void WrappedView::hideEvent(QHideEvent *event)
{
    if (WindowToolbar *toolbar = WindowToolbar::of(this))
        toolbar->clearItems(this);
    QWidget::hideEvent(event);
}

QCoro::Task<void> WrappedView::exportForSite(QString folder)
{
    // The standing may arrive while the cards are written: the video asks again.
    const std::optional<QString> failure
        = co_await WrappedSiteExport::run(m_wrapped, m_settings, m_project->conversation().key, folder, [] {
              const std::optional<Rewards::Status> &status = Rewards::shared().status();
              return status ? std::optional<QString>(status->code) : std::nullopt;
          });
    // Written or not, the app's work is done; nothing of this screen is
    // touched any more, which may be gone by now.
    WrappedSiteExport::end(failure);
}

void WrappedView::refresh()
{
    const Wrapped::Card *shown = m_wrapped.card(m_focused);
    if (shown) {
        m_preview->setContent(
            WrappedCardView::Content { *shown, m_wrapped, m_settings, code(), std::nullopt, 1 });
        m_preview->setAccessibleName(describe(*shown));
    } else {
        m_preview->setContent(std::nullopt);
    }

    WrappedFilmstrip::Cards cards { m_wrapped, m_settings, code(), m_focused, {} };
    for (const Wrapped::Card &card : m_wrapped.cards)
        cards.descriptions.insert(card.id, describe(card));
    m_filmstrip->setCards(cards);
    m_inspector->refresh();

    // A new failure is shown where the eye can meet it, however far the
    // panel was scrolled.
    if (m_error && m_error != m_errorShown) {
        QTimer::singleShot(0, m_panel,
            [panel = m_panel, line = m_inspector->errorLine()] { panel->ensureWidgetVisible(line, 0, 20); });
    }
    m_errorShown = m_error;
}
