#include "pinsheet.h"

#include "messagesummary.h"
#include "project/project.h"
#include "ui/formsection.h"
#include "ui/style.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

PinSheet::PinSheet(Project *project, const BookFile::Message &message, QWidget *parent)
    : Sheet(parent, 380)
    , m_project(project)
    , m_message(message)
    , m_natural(landing(*project, message))
    , m_page(new QSpinBox)
{
    setWindowTitle(QStringLiteral("Pin to a Page"));
    if (m_natural) {
        const std::optional<Layout::PinResult> now = project->pinResult(message.id);
        m_now = now && now->page >= 1 ? now->page : *m_natural;
        m_later = laterPins(*project, message);
    }
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
    // No highest page: one past the end is the typesetter's to judge, and
    // the cost below says what it comes to before anything is pinned.
    m_page->setRange(1, std::numeric_limits<int>::max());
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
    m_cost = Style::label(QString(), Style::Text::Callout);
    m_cost->setObjectName(QStringLiteral("pinCost"));
    m_cost->setContentsMargins(4, 0, 4, 0);
    body()->addWidget(m_cost);
    m_moves = Style::label(QString(), Style::Text::Callout);
    m_moves->setObjectName(QStringLiteral("pinMoves"));
    m_moves->setContentsMargins(4, 0, 4, 0);
    body()->addWidget(m_moves);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_pin = addButton(QStringLiteral("Pin"), Role::Confirm);
    setDefaultButton(m_pin);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pin, &QPushButton::clicked, this, &PinSheet::pin);
    connect(m_page, &QSpinBox::valueChanged, this, &PinSheet::refresh);
    refresh();
    m_page->setFocus();
    m_page->selectAll();
}

std::optional<int> PinSheet::landing(const Project &project, const BookFile::Message &message)
{
    // A message pinned first on its day takes its day's heading along, so
    // the day's page is where the pin put it; the pin knows where it was.
    if (const std::optional<Layout::PinResult> result = project.pinResult(message.id);
        result && result->natural >= 1)
        return result->natural;
    return project.pageOf(message.day());
}

QString PinSheet::costText() const
{
    return m_cost->text();
}

QString PinSheet::movesText() const
{
    return m_moves->text();
}

QList<PinPages::Placed> PinSheet::laterPins(const Project &project, const BookFile::Message &message)
{
    QHash<QString, int> order;
    const QList<BookFile::Message> &messages = project.book().messages;
    for (int i = 0; i < messages.size(); ++i)
        order.insert(messages.at(i).id, i);
    const int at = order.value(message.id, -1);
    QList<std::pair<int, PinPages::Placed>> later;
    for (const Layout::PinResult &result : project.layout().pins) {
        const int index = order.value(result.id, -1);
        if (index <= at || result.natural < 1)
            continue;
        if (const std::optional<Edits::Pin> pin = project.pinFor(messages.at(index)))
            later.append({ index, { pin->page, result.natural } });
    }
    std::sort(later.begin(), later.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<PinPages::Placed> placed;
    for (const auto &[index, pin] : later)
        placed.append(pin);
    return placed;
}

void PinSheet::refresh()
{
    // A page the book can't honour, before the message's own or too far
    // on, can't be pinned: the message would stay where it is.
    m_pin->setEnabled(m_natural ? PinPages::honoured(m_page->value(), *m_natural) : m_page->value() >= 1);
    const std::optional<QString> cost
        = m_natural ? PinPages::cost(m_page->value(), *m_natural) : std::optional<QString>();
    m_cost->setText(cost.value_or(QString()));
    m_cost->setVisible(cost.has_value());
    // The pin that the page typed would push off its page.
    const std::optional<PinPages::Moved> moved = m_natural
        ? PinPages::displaced(*m_natural + PinPages::added(m_page->value(), *m_natural) - m_now, m_later)
        : std::nullopt;
    m_moves->setText(moved ? PinPages::movedText(*moved) : QString());
    m_moves->setVisible(moved.has_value());
    Style::setCaution(m_moves);
}

void PinSheet::pin()
{
    if (!m_pin->isEnabled())
        return;
    if (m_project)
        m_project->pin(m_message, m_page->value());
    accept();
}
