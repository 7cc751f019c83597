#include "handoffview.h"

#include "handoffslot.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/unopenedpage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HandoffView::HandoffView(HandoffSlot *slot, QWidget *parent)
    : QWidget(parent)
    , m_slot(slot)
    , m_spinner(new Spinner(Spinner::Size::Regular, this))
    , m_text(Style::label(QString(), Style::Text::Body, Style::Tone::Secondary, this))
    , m_unopened(new UnopenedPage(this))
    , m_back(new QPushButton(QStringLiteral("Back"), this))
{
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(40, 40, 40, 40);
    stack->setSpacing(12);
    stack->addStretch(1);
    stack->addWidget(m_spinner, 0, Qt::AlignHCenter);
    // Stretches, not an alignment: an aligned label keeps the width of the
    // first line it had, and a longer one would lose its end.
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_text, 3);
    row->addStretch(1);
    stack->addLayout(row);
    auto *unopenedRow = new QHBoxLayout;
    unopenedRow->addStretch(1);
    m_unopened->setMaximumWidth(520);
    unopenedRow->addWidget(m_unopened, 3);
    unopenedRow->addStretch(1);
    stack->addLayout(unopenedRow);
    stack->addWidget(m_back, 0, Qt::AlignHCenter);
    stack->addStretch(1);

    connect(m_slot, &HandoffSlot::changed, this, &HandoffView::refresh);
    connect(m_back, &QPushButton::clicked, m_slot, &HandoffSlot::clear);
    connect(m_unopened, &UnopenedPage::retryRequested, m_slot, &HandoffSlot::openAgain);
    refresh();
}

void HandoffView::refresh()
{
    const bool busy = m_slot->state() && m_slot->state()->busy;
    m_spinner->setVisible(busy);
    const QString text = m_slot->state() ? m_slot->state()->text : QString();
    const QUrl unopened = m_slot->state() ? m_slot->state()->unopened : QUrl();
    // A page the browser didn't open is offered with its address; the
    // sentence then stands above it instead of alone.
    m_text->setText(text);
    m_text->setVisible(unopened.isEmpty());
    m_unopened->setPage(text, unopened);
    m_back->setVisible(m_slot->state() && !busy);
}
