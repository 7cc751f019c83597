#include "bookview.h"

#include "bookpreview.h"
#include "chaptersheet.h"
#include "inspector.h"
#include "model/day.h"
#include "pinsheet.h"
#include "project/fileerror.h"
#include "project/project.h"
#include "project/volumeplan.h"
#include "rangepopover.h"
#include "searchresults.h"
#include "ui/clampedtext.h"
#include "ui/hairline.h"
#include "ui/icons.h"
#include "ui/pdfexport.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPainter>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>
#include <cmath>

namespace {

QString titleOf(const Project &project)
{
    return project.book().front.title;
}

} // namespace

// The error over the bottom of the pages: a symbol and up to two lines on
// a frosted rounded card, as wide as its text needs and the pages allow.
class BookView::ErrorCard : public QWidget
{
public:
    static constexpr int padding = 10;
    static constexpr int symbol = 16;

    using QWidget::QWidget;

    QString text() const { return m_text; }
    void setText(const QString &text)
    {
        m_text = text;
        update();
    }

    // Sized for a room of this width.
    void fit(int room)
    {
        const int gap = padding + symbol + 8;
        const int width
            = std::min({ room, 560, QFontMetrics(font()).horizontalAdvance(m_text) + gap + padding + 2 });
        const int height = ClampedText::height(block(), std::max(1, width - gap - padding));
        setFixedSize(std::max(width, gap + padding), std::max(height, symbol) + 2 * padding);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor fill = palette().color(QPalette::Window);
        fill.setAlphaF(0.94);
        painter.setPen(QPen(Style::color(Style::Tone::Quaternary, palette()), 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
        painter.drawPixmap(padding, padding,
            Icons::pixmap(
                QStringLiteral("exclamationmark.triangle"), symbol, Style::error(), devicePixelRatioF()));
        painter.setPen(palette().color(QPalette::WindowText));
        const int left = padding + symbol + 8;
        ClampedText::paint(painter, QPointF(left, padding), width() - left - padding, block());
    }

private:
    ClampedText::Block block() const { return { m_text, font(), 2, {} }; }

    QString m_text;
};

BookView::BookView(std::shared_ptr<Project> project, QWidget *parent)
    : QWidget(parent)
    , m_project(std::move(project))
    , m_pagesPerVolume(VolumePlan::defaultLimit)
    , m_results(new SearchResults(m_project.get()))
    , m_divider(new Hairline(Qt::Vertical))
    , m_splitter(new QSplitter(Qt::Horizontal))
    , m_preview(new BookPreview)
    , m_inspector(new Inspector(m_project.get()))
    , m_range(new RangePopover(m_project.get(), this))
{
    buildActions();
    buildPages();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_results->setFixedWidth(resultsWidth);
    layout->addWidget(m_results);
    layout->addWidget(m_divider);
    layout->addWidget(m_splitter, 1);

    m_inspector->setMinimumWidth(260);
    m_inspector->setMaximumWidth(380);
    m_splitter->addWidget(m_inspector);
    m_splitter->setCollapsible(0, false);
    m_splitter->setCollapsible(1, false);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setHandleWidth(1);
    m_inspector->hide();
    m_range->hide();

    connectParts();

    // A search the app was started with, even an empty one.
    const QString search = qEnvironmentVariable("QUORVEL_SEARCH");
    m_query = search;
    m_results->setQuery(search, SearchResults::When::Immediately);
    m_results->setVisible(!m_query.isEmpty());
    m_divider->setVisible(!m_query.isEmpty());
    refresh();
}

BookView::~BookView()
{
    detachToolbar();
}

void BookView::buildActions()
{
    m_rangeAction = new QAction(Icons::icon(QStringLiteral("calendar")), QString(), this);
    m_rangeAction->setToolTip(QStringLiteral("Choose the stretch of the conversation this book covers"));
    m_backAction
        = new QAction(Icons::icon(QStringLiteral("chevron.left")), QStringLiteral("Back to the Book"), this);
    m_exportAction
        = new QAction(Icons::icon(QStringLiteral("square.and.arrow.up")), QStringLiteral("Export PDF"), this);
    m_settingsAction = new QAction(
        Icons::icon(QStringLiteral("slider.horizontal.3")), QStringLiteral("Book Settings"), this);
    m_settingsAction->setCheckable(true);
    // Escape leaves the pages for the book's page, wherever the focus is in
    // the window; a sheet or the range popover takes it first for itself.
    m_backAction->setShortcut(QKeySequence(Qt::Key_Escape));
    m_backAction->setShortcutContext(Qt::WindowShortcut);
    addAction(m_backAction);

    auto *block = new QWidget;
    auto *stack = new QVBoxLayout(block);
    stack->setContentsMargins(10, 0, 10, 0);
    stack->setSpacing(0);
    m_titleLabel = Style::label(QString(), Style::Text::Headline);
    m_titleLabel->setWordWrap(false);
    m_subtitleLabel = Style::label(QString(), Style::Text::Subheadline, Style::Tone::Secondary);
    m_subtitleLabel->setWordWrap(false);
    stack->addWidget(m_titleLabel);
    stack->addWidget(m_subtitleLabel);
    m_titleAction = new QWidgetAction(this);
    m_titleAction->setDefaultWidget(block);

    auto *find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        if (WindowToolbar *toolbar = WindowToolbar::of(this)) {
            toolbar->searchField()->setFocus();
            toolbar->searchField()->selectAll();
        }
    });
}

void BookView::buildPages()
{
    auto *pages = new QWidget;
    auto *grid = new QGridLayout(pages);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_preview, 0, 0);

    m_progress = new QWidget;
    auto *progress = new QVBoxLayout(m_progress);
    progress->setSpacing(10);
    m_spinner = new Spinner(Spinner::Size::Regular);
    progress->addWidget(m_spinner, 0, Qt::AlignHCenter);
    m_progressLabel = Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary);
    m_progressLabel->setWordWrap(false);
    progress->addWidget(m_progressLabel, 0, Qt::AlignHCenter);
    m_progress->setAttribute(Qt::WA_TransparentForMouseEvents);
    grid->addWidget(m_progress, 0, 0, Qt::AlignCenter);

    // Laid over the pages by hand: its width follows its text.
    m_error = new ErrorCard(pages);
    m_error->setFont(Style::font(Style::Text::Callout));
    m_error->hide();
    pages->installEventFilter(this);
    m_pages = pages;

    m_splitter->addWidget(pages);
}

void BookView::connectParts()
{
    Project *project = m_project.get();
    // A new PDF may come before its layout, and a run may move pages
    // without a new layout: every change is read again, from all of them.
    for (auto signal : { &Project::bookChanged, &Project::pdfChanged, &Project::layoutChanged,
             &Project::typesettingChanged, &Project::errorChanged })
        connect(project, signal, this, &BookView::refresh);

    connect(m_results, &SearchResults::jumpRequested, m_preview, &BookPreview::jump);
    connect(m_inspector, &Inspector::jumpRequested, m_preview, &BookPreview::jump);
    connect(m_results, &SearchResults::pinRequested, this, &BookView::pinMessage);
    connect(m_results, &SearchResults::chapterRequested, this, &BookView::startChapterAt);

    connect(m_rangeAction, &QAction::triggered, this, &BookView::showRange);
    connect(m_backAction, &QAction::triggered, this, &BookView::done);
    connect(m_exportAction, &QAction::triggered, this, [this] { exportPDF(); });
    connect(m_settingsAction, &QAction::toggled, this, &BookView::setInspectorShown);
}

QString BookView::title() const
{
    return titleOf(*m_project);
}

QString BookView::subtitle() const
{
    return subtitle(m_project->messagesInRange(), m_project->layout().pageCount, m_pagesPerVolume,
        m_project->isTypesetting());
}

QString BookView::rangeLabel() const
{
    return rangeLabel(m_project->from(), m_project->to());
}

void BookView::setPagesPerVolume(std::optional<int> pages)
{
    m_pagesPerVolume = pages && *pages > 0 ? *pages : VolumePlan::defaultLimit;
    refresh();
}

QString BookView::progressText() const
{
    return QStringLiteral("Setting ") + Style::number(m_project->messagesInRange())
        + QStringLiteral(" messages");
}

QString BookView::errorText() const
{
    return m_error->isHidden() ? QString() : m_error->text();
}

void BookView::refresh()
{
    const Project &project = *m_project;
    m_preview->setUrl(project.pdf());
    // The pages are named by the numbers printed on them, as search and
    // pins name them.
    m_preview->setPageOne(project.layout().pageOneIndex());

    m_titleLabel->setText(title());
    // The window is named after the book it shows.
    setWindowTitle(title());
    m_subtitleLabel->setText(subtitle());
    const QString range = rangeLabel();
    m_rangeAction->setText(range);
    m_rangeAction->setIconText(range);
    // Every edit sets the pages again; the PDF there is exports meanwhile,
    // so the button doesn't blink with each keystroke.
    m_exportAction->setEnabled(!project.pdf().isEmpty());

    // Before the first PDF, progress; a failed first typesetting shows its
    // error alone rather than spinning beside it.
    const bool failed = project.error().has_value() && !project.isTypesetting();
    m_progressLabel->setText(progressText());
    m_progress->setVisible(project.pdf().isEmpty() && !failed);
    m_error->setText(project.error().value_or(QString()));
    m_error->setVisible(project.error().has_value());
    placeError();
}

void BookView::placeError()
{
    const int spacing = 16;
    m_error->fit(m_pages->width() - 2 * spacing);
    m_error->move((m_pages->width() - m_error->width()) / 2, m_pages->height() - m_error->height() - spacing);
    m_error->raise();
    m_preview->setBottomInset(m_error->isHidden() ? 0 : m_error->height() + spacing - 6);
}

void BookView::setQuery(const QString &query)
{
    if (query == m_query)
        return;
    m_query = query;
    const bool searching = !m_query.isEmpty();
    // The query first: a pane coming into view looks for it at once rather
    // than showing the previous search's results for a moment.
    m_results->setQuery(query);
    m_results->setVisible(searching);
    m_divider->setVisible(searching);
    if (WindowToolbar *toolbar = WindowToolbar::of(this); toolbar && toolbar->owner() == this) {
        if (toolbar->searchField()->text() != query) {
            const QSignalBlocker quiet(toolbar->searchField());
            toolbar->searchField()->setText(query);
        }
    }
}

void BookView::showRange()
{
    QWidget *anchor = this;
    if (WindowToolbar *toolbar = WindowToolbar::of(this)) {
        if (QWidget *button = toolbar->widgetForAction(m_rangeAction))
            anchor = button;
    }
    if (m_range->isVisible())
        m_range->hide();
    else
        m_range->popup(anchor);
}

void BookView::setInspectorShown(bool shown)
{
    if (m_settingsAction->isChecked() != shown) {
        m_settingsAction->setChecked(shown);
        return;
    }
    m_inspector->setVisible(shown);
    if (shown) {
        const int total = m_splitter->width();
        m_splitter->setSizes({ std::max(0, total - 300), 300 });
    }
}

void BookView::pinMessage(const BookFile::Message &message)
{
    if (m_pinSheet)
        return;
    m_pinSheet = new PinSheet(m_project.get(), message, this);
    m_pinSheet->setAttribute(Qt::WA_DeleteOnClose);
    m_pinSheet->present();
}

void BookView::startChapterAt(const BookFile::Message &message)
{
    if (m_chapterSheet)
        return;
    m_chapterSheet = new ChapterSheet(m_project.get(), message, this);
    m_chapterSheet->setAttribute(Qt::WA_DeleteOnClose);
    m_chapterSheet->present();
}

PinSheet *BookView::pinSheet() const
{
    return m_pinSheet;
}

ChapterSheet *BookView::chapterSheet() const
{
    return m_chapterSheet;
}

QCoro::Task<void> BookView::exportPDF()
{
    // The book outlives this view if the user moves on meanwhile.
    return PdfExport::run(m_project, this, PdfExport::Wording::Export);
}

QString BookView::rangeLabel(const QString &from, const QString &to)
{
    const std::optional<QDateTime> start = Day::date(from);
    const std::optional<QDateTime> end = Day::date(to);
    if (!start || !end)
        return {};
    const bool sameYear = start->date().year() == end->date().year();
    return Day::format(*start, sameYear ? QStringLiteral("MMMd") : QStringLiteral("yMMMd"))
        + QStringLiteral(" \u2013 ") + Day::format(*end, QStringLiteral("yMMMd"));
}

QString BookView::subtitle(int messages, int pages, int pagesPerVolume, bool typesetting)
{
    QStringList parts { Style::number(messages) + QStringLiteral(" messages") };
    if (pages >= 1)
        parts << Style::number(pages) + QStringLiteral(" pages");
    const int limit = pagesPerVolume > 0 ? pagesPerVolume : VolumePlan::defaultLimit;
    const int volumes = (pages + limit - 1) / limit;
    if (volumes >= 2)
        parts << QString::number(volumes) + QStringLiteral(" volumes");
    if (typesetting)
        parts << QStringLiteral("setting pages\u2026");
    return parts.join(QStringLiteral(" \u00B7 "));
}

bool BookView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pages && event->type() == QEvent::Resize)
        placeError();
    return QWidget::eventFilter(watched, event);
}

void BookView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    attachToolbar();
    if (!m_results->isVisible() || m_query.isEmpty())
        m_preview->setFocus();
}

void BookView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    detachToolbar();
}

void BookView::attachToolbar()
{
    WindowToolbar *toolbar = WindowToolbar::of(this);
    if (!toolbar)
        return;
    // "Back to the Book" only where there is a book page to go back to.
    m_backAction->setVisible(isSignalConnected(QMetaMethod::fromSignal(&BookView::done)));
    toolbar->setItems(
        this, { m_rangeAction, m_backAction, m_titleAction }, { m_exportAction, m_settingsAction });
    toolbar->setSearchVisible(this, true, QStringLiteral("Find words or moments"));
    QLineEdit *field = toolbar->searchField();
    if (field->text() != m_query) {
        const QSignalBlocker quiet(field);
        field->setText(m_query);
    }
    disconnect(m_searchConnection);
    m_searchConnection = connect(field, &QLineEdit::textChanged, this, &BookView::setQuery);
    if (QToolButton *range = qobject_cast<QToolButton *>(toolbar->widgetForAction(m_rangeAction)))
        range->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

void BookView::detachToolbar()
{
    disconnect(m_searchConnection);
    if (WindowToolbar *toolbar = WindowToolbar::of(this))
        toolbar->clearItems(this);
}
