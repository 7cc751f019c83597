#include "bookhomeview.h"

#include "addpagesheet.h"
#include "bookhomeparts.h"
#include "bookpage.h"
#include "model/coverrender.h"
#include "model/day.h"
#include "namessheet.h"
#include "ordersheet.h"
#include "ordertotal.h"
#include "project/bookhome.h"
#include "project/fileerror.h"
#include "project/project.h"
#include "service/rewards.h"
#include "ui/desktop.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/textwrap.h"
#include "ui/tintedpanel.h"
#include "ui/windowtoolbar.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

constexpr int columnWidth = 440;
// Below these the page changes its arrangement: the column keeps room for
// its row of actions, and a smaller cover stands beside it; with less room
// still the cover goes above the column.
constexpr int narrowColumn = 410;
constexpr int smallestCover = 180;

// The rewards line: the whole row takes the click; its words can still be
// copied from its menu.
class ClickableRow : public QWidget
{
public:
    using QWidget::QWidget;
    std::function<void()> clicked;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked)
            clicked();
    }
};

} // namespace

BookHomeView::BookHomeView(std::shared_ptr<Project> project, WrappedButton wrapped, QWidget *parent)
    : QWidget(parent)
    , m_project(std::move(project))
    , m_cover(new CoverPicture(this))
    , m_pagesAction(new QAction(
          Icons::icon(QStringLiteral("book.pages")), QStringLiteral("Look Through the Pages"), this))
    , m_wrappedAction(nullptr)
{
    if (wrapped == WrappedButton::Shown) {
        m_wrappedAction
            = new QAction(Icons::icon(QStringLiteral("chart.bar")), QStringLiteral("Wrapped"), this);
        m_wrappedAction->setToolTip(QStringLiteral("Your conversation in numbers, as cards to share"));
        connect(m_wrappedAction, &QAction::triggered, this, &BookHomeView::wrappedRequested);
    }
    connect(m_pagesAction, &QAction::triggered, this, &BookHomeView::pagesRequested);

    auto *column = new QWidget;
    m_column = column;
    column->setMaximumWidth(columnWidth);
    column->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *items = BookHomeParts::column(column, 18);
    items->addWidget(buildTitleBlock());
    auto *facts = new QWidget;
    m_facts = new QGridLayout(facts);
    m_facts->setContentsMargins(0, 0, 0, 0);
    m_facts->setHorizontalSpacing(16);
    m_facts->setVerticalSpacing(7);
    m_facts->setColumnStretch(1, 1);
    items->addWidget(facts);

    m_volumeNote = new TintedPanel(10);
    m_volumeNote->setObjectName(QStringLiteral("volumeNote"));
    auto *note = new QHBoxLayout(m_volumeNote);
    note->setContentsMargins(12, 12, 12, 12);
    note->setSpacing(8);
    auto *gift = new QLabel;
    gift->setPixmap(Icons::pixmap(QStringLiteral("gift"), 16, Style::brand()));
    note->addWidget(gift, 0, Qt::AlignTop);
    m_volumeText = Style::label(QString(), Style::Text::Body, Style::Tone::Primary);
    note->addWidget(m_volumeText, 1);
    items->addWidget(m_volumeNote);

    items->addWidget(buildActions());
    items->addWidget(buildRewardsLine());
    items->addWidget(BookHomeParts::divider(column));
    items->addWidget(buildExtras());
    items->addWidget(BookHomeParts::divider(column));
    m_addons = new QWidget;
    m_addonsLayout = BookHomeParts::column(m_addons, 14);
    items->addWidget(m_addons);
    m_addonsDivider = BookHomeParts::divider(column);
    items->addWidget(m_addonsDivider);
    items->addWidget(buildKeeping());
    items->addStretch(1);

    auto *page = new QWidget;
    m_row = new QBoxLayout(QBoxLayout::LeftToRight, page);
    items->setContentsMargins(0, CoverPicture::pictureTop, 0, 0);
    m_row->addStretch(1);
    m_row->addWidget(m_cover, 0, Qt::AlignTop);
    m_row->addWidget(column, 0, Qt::AlignTop);
    m_row->addStretch(1);
    m_cover->setParent(page);

    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(page);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // Tab stops at the controls inside, and the column follows them.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    // The page is laid out for its width: it scrolls down, never sideways.
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->viewport()->installEventFilter(this);
    arrange(width());
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);

    for (auto signal : { &Project::bookChanged, &Project::layoutChanged, &Project::pdfChanged,
             &Project::typesettingChanged, &Project::errorChanged })
        connect(m_project.get(), signal, this, &BookHomeView::refresh);
    connect(&Rewards::shared(), &Rewards::statusChanged, this, &BookHomeView::refresh);

    refresh();
}

BookHomeView::~BookHomeView() = default;

void BookHomeView::setCover(const QString &preview)
{
    const int pages = BookPage::coverPages(m_project->layout().pageCount);
    const std::optional<QImage> front = BookHome::frontPanel(preview, pages);
    if (!front)
        return;
    m_coverKey = BookPage::coverKey(m_project->book(), m_project->layout().pageCount);
    ++m_coverTicket;
    m_cover->setPicture(front);
}

QWidget *BookHomeView::buildTitleBlock()
{
    auto *block = new QWidget;
    auto *lines = BookHomeParts::column(block, 6);
    m_title = new QLabel;
    m_title->setFont(Style::bookFont(QStringLiteral("EB Garamond"), 40, true));
    m_title->setWordWrap(true);
    m_title->setTextFormat(Qt::PlainText);
    m_range = Style::label(QString(), Style::Text::Title3, Style::Tone::Secondary);
    lines->addWidget(m_title);
    lines->addWidget(m_range);
    return block;
}

QWidget *BookHomeView::buildRewardsLine()
{
    auto *line = new ClickableRow;
    line->clicked = [this] {
        if (m_wrappedAction)
            emit wrappedRequested();
    };
    line->setCursor(m_wrappedAction ? Qt::PointingHandCursor : Qt::ArrowCursor);
    auto *row = new QHBoxLayout(line);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    m_rewardsSymbol = new QLabel;
    m_rewardsText = Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary);
    m_rewardsText->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(m_rewardsSymbol, 0, Qt::AlignTop);
    row->addWidget(m_rewardsText, 1);
    auto *copy = new QAction(QStringLiteral("Copy"), line);
    connect(copy, &QAction::triggered, this, [this] { Desktop::instance().copyText(m_rewardsText->text()); });
    line->addAction(copy);
    line->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_rewards = line;
    return line;
}

QWidget *BookHomeView::buildExtras()
{
    auto *block = new QWidget;
    auto *column = BookHomeParts::column(block, 10);
    column->addWidget(BookHomeParts::heading(QStringLiteral("Make it yours"), block));

    m_names = new ExtraRow(QStringLiteral("person.2"), QStringLiteral("Names in the book"), QString(), block);
    auto *page = new ExtraRow(QStringLiteral("doc.richtext"), QStringLiteral("Add a page of your own"),
        QStringLiteral("A letter, a note, a date that matters, between any two days."), block);
    auto *find = new ExtraRow(QStringLiteral("magnifyingglass"), QStringLiteral("Find a moment"),
        QStringLiteral("Search every message, bold it, or pin it to a page."), block);
    m_extras = { m_names, page, find };
    for (ExtraRow *extra : m_extras)
        column->addWidget(extra);
    connect(m_names, &QAbstractButton::clicked, this, [this] {
        auto *sheet = new NamesSheet(m_project, this);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->present();
    });
    connect(page, &QAbstractButton::clicked, this, [this] {
        auto *sheet = new AddPageSheet(m_project, this);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->present();
    });
    connect(find, &QAbstractButton::clicked, this, &BookHomeView::pagesRequested);

    // Not a button: the photo edition isn't here yet.
    auto *photos = new QHBoxLayout;
    photos->setSpacing(12);
    auto *symbol = new QLabel;
    symbol->setPixmap(
        Icons::pixmap(QStringLiteral("photo.on.rectangle"), 18, Style::color(Style::Tone::Secondary)));
    symbol->setFixedWidth(22);
    symbol->setAlignment(Qt::AlignCenter);
    photos->addWidget(symbol);
    auto *text = new QVBoxLayout;
    text->setSpacing(1);
    text->addWidget(Style::label(QStringLiteral("Photo edition"), Style::Text::Body, Style::Tone::Secondary));
    QLabel *soon = Style::label(
        QStringLiteral("Your photos printed in colour, in the line where they were sent. Coming soon."),
        Style::Text::Caption, Style::Tone::Tertiary);
    TextWrap::keep(soon, TextWrap::Lines::NoLoneWord);
    text->addWidget(soon);
    photos->addLayout(text, 1);
    column->addSpacing(4);
    column->addLayout(photos);
    return block;
}

void BookHomeView::buildAddons()
{
    qDeleteAll(m_addons->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly));
    m_addonRows.clear();
    const bool any = m_pricing && !m_pricing->addons.isEmpty();
    m_addons->setVisible(any);
    m_addonsDivider->setVisible(any);
    if (!any)
        return;
    QLabel *heading = BookHomeParts::heading(QStringLiteral("Add to it"), m_addons);
    m_addonsLayout->addWidget(heading);
    heading->show();
    for (const BookPage::AddonGroup &group : BookPage::addonGroups(*m_pricing)) {
        auto *section = new QWidget(m_addons);
        auto *rows = BookHomeParts::column(section, 8);
        QLabel *title
            = Style::label(group.title.toUpper(), Style::Text::Caption, Style::Tone::Secondary, section);
        title->setFont(Style::font(Style::Text::Caption, Style::Weight::Semibold));
        rows->addWidget(title);
        for (const Pricing::Addon &addon : group.addons) {
            auto *row = new AddonRow(addon, section);
            connect(row, &AddonRow::toggled, this,
                [this, addon] { m_project->toggleAddon(addon.id, addon.requiredAddon); });
            m_addonRows.insert(addon.id, row);
            rows->addWidget(row);
        }
        m_addonsLayout->addWidget(section);
        section->show();
    }
}

void BookHomeView::arrange(int width)
{
    // The cover's widget has room for its shadow around the picture; the
    // gap and the page's margins are measured from the picture.
    const bool roomy = width >= 48 * 2 + CoverPicture::fullWidth + 44 + narrowColumn;
    const int margin = roomy ? 48 : 32;
    const int gap = roomy ? 44 : 28;
    const int beside = width - 2 * margin - gap - narrowColumn;
    const bool stacked = beside < smallestCover;
    m_row->setContentsMargins(
        margin - CoverPicture::shadowRoom, margin - CoverPicture::pictureTop, margin, margin);
    if (stacked) {
        // The room under the picture for its shadow is the gap to the title.
        m_row->setDirection(QBoxLayout::TopToBottom);
        m_row->setSpacing(0);
        m_column->layout()->setContentsMargins(0, 0, 0, 0);
        m_row->setAlignment(m_cover, Qt::AlignHCenter);
        m_row->setAlignment(m_column, Qt::AlignHCenter);
        m_cover->setPictureWidth(std::min(CoverPicture::fullWidth, width - 2 * margin));
        m_column->setFixedWidth(std::min(columnWidth, width - 2 * margin));
        return;
    }
    m_row->setDirection(QBoxLayout::LeftToRight);
    m_row->setSpacing(gap - CoverPicture::shadowRoom);
    m_column->layout()->setContentsMargins(0, CoverPicture::pictureTop, 0, 0);
    m_row->setAlignment(m_cover, Qt::AlignTop);
    m_row->setAlignment(m_column, Qt::AlignTop);
    m_cover->setPictureWidth(std::min(CoverPicture::fullWidth, beside));
    m_column->setMinimumWidth(0);
    m_column->setMaximumWidth(columnWidth);
}

bool BookHomeView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        arrange(m_scroll->viewport()->width());
    return QWidget::eventFilter(watched, event);
}

void BookHomeView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The page's work starts when it comes on screen.
    if (!m_started) {
        m_started = true;
        refreshCover();
        loadPricesAndRewards();
    }
    if (WindowToolbar *toolbar = WindowToolbar::of(this)) {
        QList<QAction *> trailing { m_pagesAction };
        if (m_wrappedAction)
            trailing.append(m_wrappedAction);
        toolbar->setItems(this, {}, trailing);
    }
}

QAction *BookHomeView::saveAction(const QString &text) const
{
    for (QAction *action : m_save->menu()->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

ExtraRow *BookHomeView::extra(const QString &title) const
{
    for (ExtraRow *row : m_extras) {
        if (row->title() == title)
            return row;
    }
    return nullptr;
}

AddonRow *BookHomeView::addonRow(const QString &id) const
{
    return m_addonRows.value(id);
}

bool BookHomeView::hasCover() const
{
    return m_cover->hasPicture();
}

OrderTotal::Label BookHomeView::orderLabel() const
{
    return m_orderWords;
}

void BookHomeView::refresh()
{
    const BookFile &book = m_project->book();
    const int pages = m_project->layout().pageCount;
    m_title->setText(book.front.title);
    m_range->setText(longDay(m_project->from()) + QStringLiteral(" – ") + longDay(m_project->to()));
    refreshFacts();

    const std::optional<QString> note = BookPage::volumeNote(m_pricing, book, pages);
    m_volumeNote->setVisible(note.has_value());
    m_volumeText->setText(note.value_or(QString()));

    const bool typeset = !m_project->pdf().isEmpty();
    m_order->setEnabled(typeset && !m_project->isTypesetting());
    m_orderWords = OrderTotal::label(m_pricing, book, pages, Rewards::shared().status());
    m_orderLabel->setText(m_orderWords.html());
    // The words are a label inside the button, which a listener doesn't
    // hear as the button's own.
    m_order->setAccessibleName(m_orderWords.plainText());
    Style::setTone(m_orderLabel, Style::Tone::Tertiary);
    if (m_order->isEnabled()) {
        QPalette words = m_orderLabel->palette();
        words.setColor(QPalette::WindowText, Style::prominentText());
        m_orderLabel->setPalette(words);
    }
    // The focus goes to what the Save menu started, and back after: the
    // menu's button disabled, or the news hidden, with the focus would
    // hand it to the next button, which the next Space would press.
    const bool ebookFocus = m_save->hasFocus() || m_ebookStatus->hasFocus();
    if (m_makingEbook)
        m_ebookStatus->show();
    else
        m_save->setEnabled(typeset);
    if (ebookFocus)
        (m_makingEbook ? m_ebookStatus : static_cast<QWidget *>(m_save))->setFocus(Qt::OtherFocusReason);
    m_save->setEnabled(typeset && !m_makingEbook);
    m_ebookStatus->setVisible(m_makingEbook);
    m_error->setError(m_project->error().value_or(QString()));
    // A book deleted while its ebook is written would be made again by it.
    m_delete->setEnabled(!m_makingEbook);

    const std::optional<BookPage::RewardsLine> rewards = BookPage::rewardsLine(Rewards::shared().status());
    m_rewards->setVisible(rewards.has_value());
    if (rewards) {
        m_rewardsSymbol->setPixmap(Icons::pixmap(rewards->symbol, 14, Style::brand()));
        m_rewardsText->setText(rewards->text);
    }
    m_names->setDetail(BookPage::names(book));
    refreshAddons();
    refreshCover();
}

void BookHomeView::refreshFacts()
{
    while (QLayoutItem *item = m_facts->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QList<BookPage::Fact> facts = BookPage::facts(
        m_pricing, m_project->book(), m_project->messagesInRange(), m_project->layout().pageCount);
    QWidget *grid = m_facts->parentWidget();
    for (int i = 0; i < facts.size(); ++i) {
        // Shown at once, not on the layout's next turn: the page is read
        // right after it changes.
        m_facts->addWidget(
            Style::label(facts[i].label, Style::Text::Body, Style::Tone::Secondary, grid), i, 0);
        m_facts->addWidget(Style::label(facts[i].value, Style::Text::Body, Style::Tone::Primary, grid), i, 1);
    }
    for (QWidget *fact : grid->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        fact->show();
}

void BookHomeView::refreshAddons()
{
    const BookFile &book = m_project->book();
    const QStringList chosen = book.order ? book.order->addons.value_or(QStringList()) : QStringList();
    const int pages = m_project->layout().pageCount;
    for (const Pricing::Addon &addon : m_pricing ? m_pricing->addons : QList<Pricing::Addon>()) {
        if (AddonRow *row = m_addonRows.value(addon.id))
            row->setState(chosen.contains(addon.id), BookPage::addonPrice(addon, m_pricing, pages));
    }
}

void BookHomeView::refreshCover()
{
    if (!m_started)
        return;
    const QString key = BookPage::coverKey(m_project->book(), m_project->layout().pageCount);
    if (key == m_coverKey)
        return;
    m_coverKey = key;
    drawCover(key);
}

QCoro::Task<void> BookHomeView::drawCover(QString key)
{
    const quint64 ticket = ++m_coverTicket;
    QPointer<BookHomeView> self(this);
    const BookFile book = m_project->book();
    const int pages = BookPage::coverPages(m_project->layout().pageCount);
    std::optional<QImage> front;
    try {
        const QString preview = co_await Helpers::renderCoverPreview(book, pages, m_project->folder());
        // Read at once: the next preview drawn in this folder removes it.
        front = BookHome::frontPanel(preview, pages);
    } catch (const std::exception &) {
        // The placeholder stays; the next change of the key tries again.
    }
    if (!self || ticket != m_coverTicket)
        co_return;
    ++m_coverRenders;
    m_cover->setPicture(front);
}

QCoro::Task<void> BookHomeView::loadPricesAndRewards()
{
    QPointer<BookHomeView> self(this);
    std::optional<Pricing> pricing = co_await Pricing::load();
    if (!self)
        co_return;
    m_pricing = pricing;
    m_pricesAsked = true;
    buildAddons();
    refresh();
    emit pricesLoaded();
    co_await Rewards::shared().load();
    if (!self)
        co_return;
    if (qEnvironmentVariableIsSet("QUORVEL_TEST_ORDER"))
        waitForTestOrder();
}

void BookHomeView::waitForTestOrder()
{
    // Owned by the page, so the wait ends with it.
    m_testOrder = new QTimer(this);
    m_testOrder->setInterval(300ms);
    const auto check = [this] {
        if (m_project->pdf().isEmpty() || m_project->isTypesetting())
            return;
        m_testOrder->stop();
        order();
    };
    connect(m_testOrder, &QTimer::timeout, this, check);
    m_testOrder->start();
    check();
}
