#include "daterangefields.h"

#include "model/day.h"
#include "project/clock.h"
#include "project/project.h"
#include "wizardmodel.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace {

QDate dayOrToday(const QString &day)
{
    if (const std::optional<QDateTime> date = Day::date(day))
        return date->date();
    return Clock::current().now().date();
}

QDateEdit *dateField(QWidget *parent)
{
    auto *field = new QDateEdit(parent);
    field->setCalendarPopup(true);
    // Only a finished day counts: typing "1" on the way to "12" must not
    // write a day the user never chose.
    field->setKeyboardTracking(false);
    field->setDisplayFormat(QStringLiteral("MMM d, yyyy"));
    field->setMinimumWidth(132);
    return field;
}

} // namespace

DateRangeFields::DateRangeFields(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_from(dateField(this))
    , m_to(dateField(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    // Each word tied to its field, so that a screen reader names the field.
    auto *fromLabel = new QLabel(QStringLiteral("From"));
    fromLabel->setBuddy(m_from);
    row->addWidget(fromLabel);
    row->addWidget(m_from);
    row->addSpacing(10);
    auto *toLabel = new QLabel(QStringLiteral("To"));
    toLabel->setBuddy(m_to);
    row->addWidget(toLabel);
    row->addWidget(m_to);
    row->addStretch(1);

    refresh();
    connect(m_from, &QDateEdit::dateChanged, this,
        [this](const QDate &date) { m_model->setFrom(Day::iso(date.startOfDay())); });
    connect(m_to, &QDateEdit::dateChanged, this,
        [this](const QDate &date) { m_model->setTo(Day::iso(date.startOfDay())); });
    connect(model, &WizardModel::fromChanged, this, &DateRangeFields::refresh);
    connect(model, &WizardModel::toChanged, this, &DateRangeFields::refresh);
}

QDate DateRangeFields::lowest() const
{
    const QList<BookFile::Message> &messages = m_model->project()->book().messages;
    const QDate low = dayOrToday(messages.isEmpty() ? QString() : messages.first().at.left(10));
    // With only the first day unreadable, today may lie past the last day:
    // the range then shrinks to the last day.
    return std::min(low, highest());
}

QDate DateRangeFields::highest() const
{
    return dayOrToday(m_model->project()->lastDay());
}

void DateRangeFields::refresh()
{
    // Showing the model's days is not choosing them: nothing of this goes
    // back, even where a field clamps a day into its range.
    for (auto [field, day] : { std::pair { m_from, m_model->from() }, std::pair { m_to, m_model->to() } }) {
        if (field->hasFocus())
            continue;
        const QSignalBlocker quiet(field);
        field->setDateRange(lowest(), highest());
        field->setDate(dayOrToday(day));
    }
}
