#include "contentunavailable.h"

#include "centredcolumn.h"
#include "icons.h"
#include "style.h"
#include "textwrap.h"

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
    TextWrap::keep(m_description, TextWrap::Lines::Balanced);

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

    CentredColumn::place(this, column, 4, 24);
}

void ContentUnavailable::setTitle(const QString &title)
{
    m_title->setText(title);
}

void ContentUnavailable::setDescription(const QString &description)
{
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty());
    TextWrap::keep(m_description, TextWrap::Lines::Balanced);
}

QString ContentUnavailable::title() const
{
    return m_title->text();
}

QString ContentUnavailable::description() const
{
    return m_description->text();
}
