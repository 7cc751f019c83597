#include "pinsheet.h"

#include "messagesummary.h"
#include "project/project.h"
#include "ui/formsection.h"
#include "ui/style.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

PinSheet::PinSheet(Project *project, const BookFile::Message &message, QWidget *parent)
    : Sheet(parent, 380)
    , m_project(project)
    , m_message(message)
    , m_natural(project->pageOf(message.at.left(10)))
    , m_page(new QSpinBox)
{
    setWindowTitle(QStringLiteral("Pin to a Page"));
    auto *summary = new MessageSummary(*project, message);
    if (m_natural) {
        QLabel *lands = Style::label(QString::number(*m_natural), Style::Text::Body, Style::Tone::Secondary);
        lands->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        summary->addRow(QStringLiteral("Lands on page"), lands);
    }
    body()->addWidget(summary);

    auto *pinning = new FormSection(QStringLiteral("Pin to page"),
        QStringLiteral("Blank pages go in before it so it lands on that page. It can move later in the book, "
                       "not earlier."));
    const std::optional<Edits::Pin> existing = project->pinFor(message);
    // A pin made before the book got shorter keeps its page: the cap guards
    // against typos, not against what the user chose.
    m_page->setRange(
        1, std::max(highestPage(project->layout().pageCount, m_natural), existing ? existing->page : 1));
    m_page->setGroupSeparatorShown(true);
    m_page->setAlignment(Qt::AlignRight);
    m_page->setFixedWidth(96);
    m_page->setValue(existing ? existing->page : m_natural.value_or(1));
    auto *field = new QWidget;
    auto *row = new QHBoxLayout(field);
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(m_page);
    pinning->addRow(QStringLiteral("Page"), field);
    body()->addWidget(pinning);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_pin = addButton(QStringLiteral("Pin"), Role::Confirm);
    setDefaultButton(m_pin);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pin, &QPushButton::clicked, this, &PinSheet::pin);
    connect(m_page, &QSpinBox::valueChanged, this, &PinSheet::refreshButton);
    refreshButton();
    m_page->setFocus();
    m_page->selectAll();
}

int PinSheet::highestPage(int pageCount, std::optional<int> natural)
{
    return std::max({ pageCount, natural.value_or(0), 1 }) + pagesPastTheEnd;
}

void PinSheet::refreshButton()
{
    m_pin->setEnabled(m_page->value() >= m_natural.value_or(1));
}

void PinSheet::pin()
{
    if (!m_pin->isEnabled())
        return;
    if (m_project)
        m_project->pin(m_message, m_page->value());
    accept();
}
