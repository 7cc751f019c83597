// The book page's actions: ordering, saving the PDF and the ebook, and
// deleting the book.
#include "addpagesheet.h"
#include "bookhomeparts.h"
#include "bookhomeview.h"
#include "ordersheet.h"
#include "project/project.h"
#include "ui/desktop.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/pdfexport.h"
#include "ui/question.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/unopenedpage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int largeControlHeight = 32;

} // namespace

QWidget *BookHomeView::buildActions()
{
    auto *block = new QWidget;
    auto *column = BookHomeParts::column(block, 8);
    auto *row = new QHBoxLayout;
    row->setSpacing(8);

    m_order = new QPushButton;
    Style::setProminent(m_order);
    m_order->setMinimumSize(160, largeControlHeight);
    // A push button draws plain text only; the struck price needs a label.
    m_orderLabel = new QLabel(m_order);
    m_orderLabel->setTextFormat(Qt::RichText);
    m_orderLabel->setAlignment(Qt::AlignCenter);
    m_orderLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_orderLabel->setForegroundRole(QPalette::WindowText);
    m_orderLabel->setFont(Style::font(Style::Text::Body, Style::Weight::Semibold));

    auto *inside = new QHBoxLayout(m_order);
    inside->setContentsMargins(16, 0, 16, 0);
    inside->addWidget(m_orderLabel);
    connect(m_order, &QPushButton::clicked, this, &BookHomeView::order);
    row->addWidget(m_order);

    m_save = new QPushButton(QStringLiteral("Save"));
    m_save->setMinimumHeight(largeControlHeight);
    auto *menu = new QMenu(m_save);
    menu->addAction(
        Icons::icon(QStringLiteral("doc.richtext")), QStringLiteral("PDF…"), this, &BookHomeView::exportPDF);
    menu->addAction(Icons::icon(QStringLiteral("book")), QStringLiteral("Ebook for Apple Books…"), this,
        [this] { exportEbook(EbookExport::Destination::Reader); });
    menu->addAction(Icons::icon(QStringLiteral("paperplane")), QStringLiteral("Send to Kindle…"), this,
        [this] { exportEbook(EbookExport::Destination::Kindle); });
    menu->addAction(Icons::icon(QStringLiteral("square.and.arrow.down")), QStringLiteral("Save Ebook File…"),
        this, [this] { exportEbook(EbookExport::Destination::File); });
    m_save->setMenu(menu);
    m_save->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(m_save);

    m_setup = new QPushButton(QStringLiteral("Change Setup"));
    m_setup->setMinimumHeight(largeControlHeight);
    m_setup->setMinimumWidth(m_setup->sizeHint().width() + 16);
    connect(m_setup, &QPushButton::clicked, this, &BookHomeView::setupRequested);
    row->addWidget(m_setup);

    row->addStretch(1);
    column->addLayout(row);
    // What the Save menu started, right under it: the menu has just closed,
    // and the page must say why it is greyed out and that something is
    // coming. A line of its own, as the row has no room left at the
    // window's narrowest.
    m_ebookStatus = new QWidget;
    auto *status = new QHBoxLayout(m_ebookStatus);
    status->setContentsMargins(0, 0, 0, 0);
    status->setSpacing(6);
    status->addWidget(new Spinner(Spinner::Size::Small));
    status->addWidget(
        Style::label(QStringLiteral("Making the ebook…"), Style::Text::Body, Style::Tone::Secondary));
    // Keys typed while it is made land here, where they press nothing.
    m_ebookStatus->setFocusPolicy(Qt::TabFocus);
    m_ebookStatus->setAccessibleName(QStringLiteral("Making the ebook…"));
    status->addStretch(1);
    column->addWidget(m_ebookStatus);

    // What went wrong with an export (or the last typesetting) shows here,
    // where the user asked for it.
    m_error = new ErrorLabel;
    column->addWidget(m_error);
    m_kindlePage = new UnopenedPage;
    m_kindlePage->setMaximumWidth(520);
    connect(m_kindlePage, &UnopenedPage::retryRequested, this, &BookHomeView::openKindlePageAgain);
    column->addWidget(m_kindlePage);
    return block;
}

QWidget *BookHomeView::buildKeeping()
{
    auto *block = new QWidget;
    auto *column = BookHomeParts::column(block, 6);
    column->addWidget(BookHomeParts::heading(QStringLiteral("Your messages"), block));
    column->addWidget(Style::label(
        QStringLiteral("This conversation stays on this computer, so your next book, or "
                       "next year's, starts in seconds. Nothing from it has left your computer."),
        Style::Text::Callout, Style::Tone::Secondary, block));
    m_delete = new QPushButton(QStringLiteral("Delete This Book and Its Messages…"), block);
    Style::setLink(m_delete);
    Style::setDestructive(m_delete);
    connect(m_delete, &QPushButton::clicked, this, &BookHomeView::confirmDelete);
    column->addWidget(m_delete, 0, Qt::AlignLeft);
    return block;
}

void BookHomeView::order()
{
    // The sheet deletes itself when closed; the order it places goes on
    // without it.
    auto *sheet = new OrderSheet(this, m_project, m_pricing);
    sheet->present();
}

void BookHomeView::exportPDF()
{
    PdfExport::run(m_project, window(), PdfExport::Wording::Save);
}

void BookHomeView::exportEbook(EbookExport::Destination destination)
{
    if (m_makingEbook)
        return;
    m_makingEbook = true;
    m_kindlePage->setPage(QString(), QUrl());
    refresh();
    [](QPointer<BookHomeView> self, std::shared_ptr<Project> project,
        EbookExport::Destination destination) -> QCoro::Task<void> {
        const std::optional<EbookExport::Unopened> unopened
            = co_await EbookExport::run(project, destination, self ? self->window() : nullptr);
        if (!self) {
            // Nothing left to offer the page on: the book's error names it.
            if (unopened)
                project->setError(EbookExport::sentence(*unopened, EbookExport::Address::Named));
            co_return;
        }
        self->m_makingEbook = false;
        if (unopened)
            self->m_kindlePage->setPage(
                EbookExport::sentence(*unopened, EbookExport::Address::Offered), unopened->page);
        self->refresh();
    }(this, m_project, destination);
}

void BookHomeView::openKindlePageAgain()
{
    [](QPointer<BookHomeView> self, QUrl page) -> QCoro::Task<void> {
        const bool opened = co_await Desktop::instance().openUrl(page);
        // Only while the page still offers it: a new export meanwhile says
        // afresh.
        if (opened && self && self->m_kindlePage->address() == page)
            self->m_kindlePage->setPage(QString(), QUrl());
    }(this, m_kindlePage->address());
}

void BookHomeView::confirmDelete()
{
    Question::askFirst(this,
        { QStringLiteral("Delete"), QStringLiteral("Delete “%1”?").arg(m_project->book().front.title),
            QStringLiteral("This removes the book and Quorvel's copy of these messages from "
                           "this computer. Your Messages app isn't touched."),
            QStringLiteral("Delete") },
        [this] {
            try {
                m_project->deleteEverything();
            } catch (const std::exception &) {
                // Gone from the screen all the same; what stays on disk opens
                // again when the conversation is chosen.
            }
            emit deleted();
        });
}
