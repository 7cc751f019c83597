#include "makingview.h"

#include "bookpage.h"
#include "model/coverrender.h"
#include "project/project.h"
#include "ui/centredcolumn.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/spinner.h"
#include "ui/style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <qcorotimer.h>

using namespace std::chrono_literals;

namespace {

constexpr int slotWidth = 22;

} // namespace

MakingView::MakingView(std::shared_ptr<Project> project, QWidget *parent)
    : QWidget(parent)
    , m_project(std::move(project))
    , m_title(new QLabel(this))
    , m_error(new ErrorLabel(this))
    , m_setup(new QPushButton(QStringLiteral("Change Setup"), this))
{
    QFont titleFont = Style::font(Style::Text::Title, Style::Weight::Bold);
    titleFont.setPixelSize(28);
    m_title->setFont(titleFont);

    auto *column = new QWidget(this);
    column->setMaximumWidth(560);
    auto *stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(26);
    stack->addWidget(m_title);
    auto *lines = new QVBoxLayout;
    lines->setSpacing(14);
    for (int i = 0; i < 4; ++i)
        m_lines.append(addLine(lines));
    stack->addLayout(lines);
    auto *failure = new QVBoxLayout;
    failure->setSpacing(12);
    failure->addWidget(m_error);
    failure->addWidget(m_setup, 0, Qt::AlignLeft);
    stack->addLayout(failure);
    m_setup->hide();

    CentredColumn::place(this, column, 3, 48);

    connect(m_project.get(), &Project::typesetEnded, this, &MakingView::typesetEnded);
    connect(m_project.get(), &Project::typesettingChanged, this, &MakingView::refresh);
    connect(m_project.get(), &Project::bookChanged, this, &MakingView::refresh);
    connect(m_setup, &QPushButton::clicked, this, &MakingView::setupRequested);

    // The choices were saved a moment ago and nothing edits the book while
    // this screen shows: there is no burst of edits to wait out.
    m_project->typesetSoon(0ms);
    refresh();
}

MakingView::~MakingView() = default;

MakingView::Line MakingView::addLine(QVBoxLayout *lines)
{
    auto *slot = new QStackedWidget(this);
    slot->setFixedWidth(slotWidth);
    auto *spinner = new Spinner(Spinner::Size::Small);
    auto *check = new QLabel;
    check->setPixmap(Icons::pixmap(QStringLiteral("checkmark.circle.fill"), 18, Style::brand()));
    auto *stopped = new QLabel;
    stopped->setPixmap(Icons::pixmap(QStringLiteral("xmark"), 16, Style::error()));
    for (QWidget *mark :
        { static_cast<QWidget *>(spinner), static_cast<QWidget *>(check), static_cast<QWidget *>(stopped) }) {
        auto *holder = new QWidget;
        auto *centre = new QHBoxLayout(holder);
        centre->setContentsMargins(0, 0, 0, 0);
        centre->addWidget(mark, 0, Qt::AlignCenter);
        slot->addWidget(holder);
    }
    auto *text = Style::label(QString(), Style::Text::Title3, Style::Tone::Secondary, this);
    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    row->addWidget(slot);
    row->addWidget(text, 1);
    lines->addLayout(row);
    return { slot, text };
}

void MakingView::setLine(const Line &line, const QString &text, bool done, bool failed)
{
    line.slot->setCurrentIndex(failed ? 2 : done ? 1 : 0);
    line.text->setText(text);
    Style::setTone(line.text, done ? Style::Tone::Primary : Style::Tone::Secondary);
}

bool MakingView::isReady() const
{
    return m_fresh && !m_project->pdf().isEmpty() && !m_project->isTypesetting();
}

void MakingView::typesetEnded(bool published)
{
    if (published) {
        m_fresh = true;
        m_failure.reset();
    } else if (!m_fresh) {
        m_failure = m_project->error().value_or(QStringLiteral("The book couldn't be typeset."));
    }
    refresh();
    if (isReady() && !m_finishing)
        finish();
}

void MakingView::refresh()
{
    const bool ready = isReady();
    // The page count of the book as it was before these choices means
    // nothing here.
    const int pages = m_fresh ? m_project->layout().pageCount : 0;
    const bool failed = m_failure.has_value();
    m_title->setText(m_finished ? QStringLiteral("Your book is ready") : QStringLiteral("Making your book"));
    setLine(m_lines[0], QStringLiteral("Your choices, saved"), true);
    setLine(m_lines[1],
        QStringLiteral("Setting %1 messages in %2")
            .arg(Style::number(m_project->messagesInRange()), BookPage::face(m_project->book())),
        ready, failed);
    setLine(m_lines[2],
        pages < 1 ? QStringLiteral("Numbering the pages")
                  : QStringLiteral("Numbering %1 pages").arg(Style::number(pages)),
        ready && pages > 0, failed);
    setLine(m_lines[3], QStringLiteral("Binding the cover"), m_cover.has_value());
    // Nothing is bound while nothing is typeset.
    m_lines[3].slot->setVisible(!failed);
    m_lines[3].text->setVisible(!failed);
    m_error->setError(m_failure.value_or(QString()));
    m_setup->setVisible(failed);
}

QCoro::Task<void> MakingView::finish()
{
    m_finishing = true;
    QPointer<MakingView> self(this);
    const BookFile book = m_project->book();
    const QString folder = m_project->folder();
    const int pages = BookPage::coverPages(m_project->layout().pageCount);
    std::optional<QString> cover;
    try {
        cover = co_await Helpers::renderCoverPreview(book, pages, folder);
    } catch (const std::exception &) {
        // A cover that didn't come out stays unticked; the book is ready all
        // the same, and its page draws the cover again.
    }
    if (!self)
        co_return;
    m_cover = cover;
    m_finished = true;
    refresh();
    QTimer pause;
    pause.setSingleShot(true);
    pause.start(700ms);
    co_await pause;
    if (!self)
        co_return;
    emit done();
}
