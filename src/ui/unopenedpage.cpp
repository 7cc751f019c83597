#include "unopenedpage.h"

#include "desktop.h"
#include "icons.h"
#include "style.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace std::chrono_literals;

UnopenedPage::UnopenedPage(QWidget *parent)
    : QWidget(parent)
    , m_symbol(new QLabel)
    , m_sentence(Style::label(QString(), Style::Text::Body))
    , m_field(new QLineEdit)
    , m_copy(new QPushButton(QStringLiteral("Copy Link")))
    , m_retry(new QPushButton(QStringLiteral("Try Again")))
{
    m_symbol->setPixmap(
        Icons::pixmap(QStringLiteral("exclamationmark.triangle"), 16, Style::color(Style::Tone::Secondary)));
    m_symbol->setFixedSize(18, QFontMetrics(m_sentence->font()).height());
    m_symbol->setAlignment(Qt::AlignCenter);
    // A field, not a label: the whole address can be selected and read
    // however long it is, without widening what holds it.
    m_field->setReadOnly(true);
    m_field->setAccessibleName(QStringLiteral("Address"));
    for (QPushButton *button : { m_copy, m_retry })
        button->setAutoDefault(false);

    auto *said = new QHBoxLayout;
    said->setSpacing(6);
    said->addWidget(m_symbol, 0, Qt::AlignTop);
    said->addWidget(m_sentence, 1);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addWidget(m_copy);
    buttons->addWidget(m_retry);
    buttons->addStretch(1);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addLayout(said);
    column->addWidget(m_field);
    column->addLayout(buttons);

    connect(m_copy, &QPushButton::clicked, this, &UnopenedPage::copy);
    connect(m_retry, &QPushButton::clicked, this, &UnopenedPage::retryRequested);
    hide();
}

UnopenedPage::~UnopenedPage() = default;

void UnopenedPage::setPage(const QString &sentence, const QUrl &address)
{
    m_address = address;
    m_sentence->setText(sentence);
    m_field->setText(address.toString(QUrl::FullyEncoded));
    m_field->setCursorPosition(0);
    setVisible(!address.isEmpty());
}

QString UnopenedPage::sentence() const
{
    return m_sentence->text();
}

void UnopenedPage::copy()
{
    Desktop::instance().copyText(m_address.toString(QUrl::FullyEncoded));
    m_copy->setText(QStringLiteral("Copied"));
    m_copyReset = Clock::current().after(2s, [this] { m_copy->setText(QStringLiteral("Copy Link")); });
}
