#include "rangepopover.h"

#include "model/day.h"
#include "project/project.h"
#include "ui/formsection.h"
#include "ui/style.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QDate dateOf(const QString &day)
{
    const std::optional<QDateTime> date = Day::date(day);
    return date ? date->date() : QDate::currentDate();
}

QDateEdit *dayField()
{
    auto *field = new QDateEdit;
    field->setCalendarPopup(true);
    field->setKeyboardTracking(false);
    field->setDisplayFormat(QStringLiteral("MMM d, yyyy"));
    field->setMinimumWidth(150);
    return field;
}

} // namespace

RangePopover::RangePopover(Project *project, QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_project(project)
    , m_from(dayField())
    , m_to(dayField())
    , m_count(Style::label(QString(), Style::Text::Body, Style::Tone::Secondary))
    , m_whole(new QPushButton(QStringLiteral("Whole Conversation")))
{
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(320);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(12);
    auto *form = new FormSection;
    form->addRow(QStringLiteral("From"), m_from);
    form->addRow(QStringLiteral("To"), m_to);
    m_count->setWordWrap(false);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(QStringLiteral("In the book"), m_count);
    layout->addWidget(form);
    m_whole->setAutoDefault(false);
    layout->addWidget(m_whole, 0, Qt::AlignLeft);

    // A date counts once it is whole: Return, leaving the field, or a pick
    // in the calendar. A date passing by while the user types or moves from
    // month to year (January, on the way to June) would drag the other end
    // along, and correcting it would not bring that end back.
    for (const auto &[edit, which] : { std::pair { m_from, End::From }, { m_to, End::To } }) {
        const auto finished = [this, field = edit, end = which] { commit(end, field->date()); };
        connect(edit, &QDateEdit::editingFinished, this, finished);
        connect(edit->calendarWidget(), &QCalendarWidget::clicked, this, finished);
    }
    connect(m_whole, &QPushButton::clicked, this, [this] {
        if (m_project)
            m_project->setRange(std::nullopt, std::nullopt);
    });
    connect(project, &Project::bookChanged, this, &RangePopover::refresh);
    refresh();
}

void RangePopover::refresh()
{
    if (!m_project)
        return;
    const QDate lower = dateOf(m_project->firstDay());
    // Never a range that ends before it starts, even when only one end of
    // the conversation can be read and today stands in for the other.
    const QDate upper = std::max(lower, dateOf(m_project->lastDay()));
    // Setting bounds or dates here is the book speaking, not the user.
    for (const auto &[field, day] : { std::pair { m_from, m_project->from() }, { m_to, m_project->to() } }) {
        const QSignalBlocker quiet(field);
        field->setDateRange(lower, upper);
        const QDate date = std::clamp(dateOf(day), lower, upper);
        if (field->date() != date)
            field->setDate(date);
    }
    m_count->setText(countText());
}

QString RangePopover::countText() const
{
    return m_project ? Style::number(m_project->messagesInRange()) + QStringLiteral(" messages") : QString();
}

void RangePopover::commit(End end, const QDate &date)
{
    if (!m_project)
        return;
    const QString day = Day::iso(QDateTime(date, QTime(0, 0)));
    const QString from = m_project->from();
    const QString to = m_project->to();
    if (day == (end == End::From ? from : to))
        return;
    // Moving one end past the other drags the other along to the same day;
    // otherwise the other end stays exactly where it was.
    if (end == End::From)
        m_project->setRange(day, to < day ? day : to);
    else
        m_project->setRange(from < day ? from : day, day);
}

void RangePopover::popup(QWidget *anchor)
{
    refresh();
    adjustSize();
    QPoint at = anchor->mapToGlobal(QPoint(anchor->width() / 2 - width() / 2, anchor->height() + 4));
    if (const QScreen *screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::clamp(at.x(), room.left() + 4, std::max(room.left() + 4, room.right() - width() - 4)));
        at.setY(std::clamp(at.y(), room.top() + 4, std::max(room.top() + 4, room.bottom() - height() - 4)));
    }
    move(at);
    show();
    m_from->setFocus();
}
