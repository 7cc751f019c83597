#include "addpagesheet.h"

#include "model/day.h"
#include "project/project.h"
#include "ui/formsection.h"
#include "ui/style.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

QDate dayOr(const QString &day, const QDate &otherwise)
{
    const std::optional<QDateTime> date = Day::date(day);
    return date ? date->date() : otherwise;
}

} // namespace

AddPageSheet::AddPageSheet(std::shared_ptr<Project> project, QWidget *parent)
    : Sheet(parent, 460)
    , m_project(std::move(project))
    , m_text(new QPlainTextEdit(this))
    , m_day(new QDateEdit(this))
{
    // The words of the row that opens it, for the window list and a
    // screen reader.
    setWindowTitle(QStringLiteral("Add a page of your own"));
    auto *page = new FormSection(QStringLiteral("The page"));
    m_text->setFont(Style::bookFont(QStringLiteral("EB Garamond"), 17));
    m_text->setMinimumHeight(140);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setTabChangesFocus(true);
    page->addRow(m_text);
    // The section's header names the one field under it.
    m_text->setAccessibleName(page->header());
    body()->addWidget(page);

    auto *when = new FormSection;
    m_day->setCalendarPopup(true);
    // The long form without its weekday: "March 2, 2024".
    m_day->setDisplayFormat(QLocale()
                                .dateFormat(QLocale::LongFormat)
                                .remove(QRegularExpression(QStringLiteral("d{4}[,.]?\\s*"))));
    const auto [first, last] = bounds(*m_project);
    // A reversed range leaves the picker on its first day, which is still
    // a day the page can go before.
    m_day->setDateRange(first, last);
    m_day->setDate(dayOr(m_project->from(), QDate::currentDate()));
    when->addRow(QStringLiteral("Before the messages of"), m_day);
    when->setFooter(QStringLiteral("It gets a page to itself, centred, the way a book sets an epigraph."));
    body()->addWidget(when);

    QPushButton *cancel = Sheet::addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_add = Sheet::addButton(QStringLiteral("Add Page"), Role::Confirm);
    m_add->setEnabled(false);
    // Return in the text starts a new line; from the day field it adds.
    setDefaultButton(m_add);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &AddPageSheet::add);
    connect(m_text, &QPlainTextEdit::textChanged, this,
        [this] { m_add->setEnabled(!m_text->toPlainText().trimmed().isEmpty()); });
}

std::pair<QDate, QDate> AddPageSheet::bounds(const Project &project)
{
    const QDate today = QDate::currentDate();
    return { dayOr(project.from(), today), dayOr(project.to(), today) };
}

void AddPageSheet::add()
{
    m_project->addPage(Day::iso(m_day->date().startOfDay()), m_text->toPlainText());
    accept();
}
