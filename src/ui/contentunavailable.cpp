#include "contentunavailable.h"

#include "icons.h"
#include "style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ContentUnavailable::ContentUnavailable(
    const QString &symbol, const QString &title, const QString &description, QWidget *parent)
    : QWidget(parent)
    , m_symbol(new QLabel(this))
    , m_title(Style::label(title, Style::Text::Title2, Style::Tone::Primary, this))
    , m_description(Style::label(description, Style::Text::Body, Style::Tone::Secondary, this))
{
    m_symbol->setPixmap(Icons::pixmap(symbol, 44, Style::color(Style::Tone::Tertiary)));
    m_symbol->setAlignment(Qt::AlignCenter);
    m_title->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    m_title->setAlignment(Qt::AlignCenter);
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_description->setVisible(!description.isEmpty());

    auto *column = new QWidget(this);
    column->setMaximumWidth(420);
    column->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);
    stack->addWidget(m_symbol);
    stack->addSpacing(4);
    stack->addWidget(m_title);
    stack->addWidget(m_description);

    // Stretches, not an alignment, centre the column: an aligned widget
    // keeps its size hint and its wrapped sentence would lose lines.
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(column, 4);
    row->addStretch(1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 24, 24, 24);
    outer->addStretch(1);
    outer->addLayout(row);
    outer->addStretch(1);
}

void ContentUnavailable::setTitle(const QString &title)
{
    m_title->setText(title);
}

void ContentUnavailable::setDescription(const QString &description)
{
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty());
}

QString ContentUnavailable::title() const
{
    return m_title->text();
}

QString ContentUnavailable::description() const
{
    return m_description->text();
}
