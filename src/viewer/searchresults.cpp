#include "searchresults.h"

#include "project/project.h"
#include "replacesheet.h"
#include "searchdelegate.h"
#include "searchmodel.h"
#include "ui/contentunavailable.h"
#include "ui/style.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

// The list, telling a click on a row's menu button from a click on the row.
class SearchResults::List : public QListView
{
public:
    explicit List(SearchResults *results)
        : m_results(results)
    { }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const QPoint at = event->position().toPoint();
        const QModelIndex index = indexAt(at);
        if (event->button() == Qt::LeftButton && index.isValid()
            && SearchDelegate::menuRect(visualRect(index)).adjusted(-4, -4, 4, 4).contains(at)) {
            m_results->showMenu(index.row(), viewport()->mapToGlobal(at));
            event->accept();
            return;
        }
        QListView::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && index.isValid())
            m_results->go(m_results->m_model->row(index.row()).message);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        const QModelIndex index = currentIndex();
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && index.isValid()) {
            m_results->go(m_results->m_model->row(index.row()).message);
            return;
        }
        QListView::keyPressEvent(event);
    }

private:
    SearchResults *m_results;
};

SearchResults::SearchResults(Project *project, QWidget *parent)
    : QWidget(parent)
    , m_project(project)
    , m_header(Style::label(QString(), Style::Text::Subheadline, Style::Tone::Secondary))
    , m_replace(new QPushButton(QStringLiteral("Replace\u2026")))
    , m_list(new List(this))
    , m_model(new SearchModel(this))
    , m_delegate(new SearchDelegate(this))
    , m_empty(new ContentUnavailable(QStringLiteral("magnifyingglass"), QString(),
          QStringLiteral("Check the spelling or try a new search.")))
    , m_resting(new QTimer(this))
    , m_changed(new QTimer(this))
{
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *top = new QHBoxLayout;
    top->setContentsMargins(14, 10, 10, 6);
    m_header->setWordWrap(false);
    m_header->setFont(Style::font(Style::Text::Subheadline, Style::Weight::Semibold));
    top->addWidget(m_header);
    top->addStretch(1);
    Style::setLink(m_replace);
    m_replace->setFont(Style::font(Style::Text::Subheadline));
    top->addWidget(m_replace);
    layout->addLayout(top);

    m_list->setModel(m_model);
    m_list->setItemDelegate(m_delegate);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setResizeMode(QListView::Adjust);
    // Rows are measured a few dozen at a time, so the first ones show at
    // once even when hundreds came back.
    m_list->setLayoutMode(QListView::Batched);
    m_list->setBatchSize(30);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setMouseTracking(true);
    m_list->viewport()->setAutoFillBackground(false);
    auto *stack = new QGridLayout;
    stack->addWidget(m_list, 0, 0);
    stack->addWidget(m_empty, 0, 0, Qt::AlignCenter);
    layout->addLayout(stack, 1);

    m_resting->setSingleShot(true);
    m_resting->setInterval(pause);
    m_changed->setSingleShot(true);
    m_changed->setInterval(0);
    connect(m_resting, &QTimer::timeout, this, &SearchResults::refresh);
    connect(m_changed, &QTimer::timeout, this, &SearchResults::refresh);
    connect(m_replace, &QPushButton::clicked, this, &SearchResults::replace);
    connect(m_list, &QListView::customContextMenuRequested, this, [this](const QPoint &at) {
        const QModelIndex index = m_list->indexAt(at);
        if (index.isValid())
            showMenu(index.row(), m_list->viewport()->mapToGlobal(at));
    });
    // Typing in the panel beside fires a change per keystroke: one refresh
    // per turn of the event loop covers them all.
    connect(project, &Project::bookChanged, this, &SearchResults::scheduleRefresh);
    connect(project, &Project::layoutChanged, this, &SearchResults::scheduleRefresh);
    connect(project, &Project::pdfChanged, this, &SearchResults::scheduleRefresh);
    refresh();
}

SearchResults::~SearchResults() = default;

QListView *SearchResults::list() const
{
    return m_list;
}

void SearchResults::setQuery(const QString &query, When when)
{
    if (query == m_query)
        return;
    m_query = query;
    if (when == When::Immediately)
        refresh();
    else
        m_resting->start();
}

void SearchResults::scheduleRefresh()
{
    if (!m_resting->isActive())
        m_changed->start();
}

void SearchResults::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void SearchResults::refresh()
{
    m_resting->stop();
    m_changed->stop();
    // Hidden, it waits: it is refreshed when it shows again.
    if (!m_project || !isVisible())
        return;
    const BookFile &book = m_project->book();
    const Searched searched { m_query, book.messages.constData(), book.messages.size(), book.edits.text };
    if (searched.query != m_searched.query || searched.messages != m_searched.messages
        || searched.count != m_searched.count || searched.texts != m_searched.texts) {
        m_found = m_project->search(m_query, limit);
        m_searched = searched;
    }
    const QString selected = m_list->currentIndex().isValid()
        ? m_model->row(m_list->currentIndex().row()).message.id
        : QString();
    m_model->setQuery(m_query);
    m_model->setRows(m_found, *m_project);
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->row(row).message.id == selected) {
            m_list->setCurrentIndex(m_model->index(row));
            break;
        }
    }
    m_header->setText(header());
    m_replace->setEnabled(m_model->rowCount() > 0);
    m_empty->setTitle(QStringLiteral("No Results for \u201C") + m_query + QStringLiteral("\u201D"));
    m_empty->setVisible(m_model->rowCount() == 0);
}

QString SearchResults::header() const
{
    const int n = count();
    if (n == limit)
        return QStringLiteral("First %1 matches").arg(limit);
    return Style::number(n) + QStringLiteral(" matches");
}

int SearchResults::count() const
{
    return m_model->rowCount();
}

void SearchResults::go(const BookFile::Message &message)
{
    if (!m_project)
        return;
    const auto day = m_project->layout().days.constFind(message.at.left(10));
    if (day != m_project->layout().days.cend())
        emit jumpRequested(day->index);
}

void SearchResults::showMenu(int row, const QPoint &global)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    actions(m_model->row(row).message, this)->popup(global);
}

QMenu *SearchResults::actions(const BookFile::Message &message, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (!m_project)
        return menu;
    Project &project = *m_project;
    QPointer<Project> book(m_project);
    QPointer<SearchResults> self(this);
    const QString day = message.at.left(10);
    const auto act = [&](const QString &text, std::function<void(Project &)> action) {
        QAction *entry = menu->addAction(text);
        connect(entry, &QAction::triggered, menu, [book, action] {
            if (book)
                action(*book);
        });
        return entry;
    };

    act(QStringLiteral("Start the Book Here"), [day](Project &p) { p.setRange(day, std::max(p.to(), day)); });
    act(QStringLiteral("End the Book Here"), [day](Project &p) { p.setRange(std::min(p.from(), day), day); });
    menu->addSeparator();

    const QList<Edits::Emphasis> emphasis = project.book().edits.emphasis.value_or(QList<Edits::Emphasis>());
    const bool bold = std::any_of(emphasis.cbegin(), emphasis.cend(),
        [&](const Edits::Emphasis &e) { return e.id == message.id && !e.phrase; });
    act(bold ? QStringLiteral("Unbold") : QStringLiteral("Bold"),
        [message](Project &p) { p.toggleBold(message); });
    const bool hidden = project.book().edits.hidden.value_or(QStringList()).contains(message.id);
    act(hidden ? QStringLiteral("Show in Book") : QStringLiteral("Leave Out of Book"),
        [message](Project &p) { p.toggleHidden(message); });
    menu->addSeparator();

    const auto ask = [self](void (SearchResults::*signal)(const BookFile::Message &), BookFile::Message m) {
        return [self, signal, m](Project &) {
            if (self)
                emit(self->*signal)(m);
        };
    };
    if (const std::optional<Edits::Pin> pin = project.pinFor(message)) {
        act(QStringLiteral("Change Pin (page %1)\u2026").arg(pin->page),
            ask(&SearchResults::pinRequested, message));
        act(QStringLiteral("Remove Pin"), [message](Project &p) { p.unpin(message.id); });
    } else {
        act(QStringLiteral("Pin to a Page\u2026"), ask(&SearchResults::pinRequested, message));
    }
    // A chapter can only open at a message the book prints within its range:
    // one outside it would never print, yet would end the monthly chapters.
    QAction *chapter
        = act(QStringLiteral("Start a Chapter Here\u2026"), ask(&SearchResults::chapterRequested, message));
    chapter->setEnabled(day >= project.from() && day <= project.to());
    return menu;
}

void SearchResults::replace()
{
    if (!m_project || m_model->rowCount() == 0)
        return;
    auto *sheet = new ReplaceSheet(m_query, m_replacement, this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    const QString query = m_query;
    QPointer<Project> book(m_project);
    connect(sheet->withField(), &QLineEdit::textChanged, this,
        [this](const QString &text) { m_replacement = text; });
    connect(sheet, &QDialog::accepted, this, [this, book, query] {
        if (book)
            book->replaceAll(query, m_replacement);
    });
    sheet->present();
}
