#include "timelinecard.h"

#include "ui/clampedlabel.h"
#include "ui/hairline.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "wizardlook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

TimelineCard::TimelineCard(
    const Celebration &celebration, const QList<Pricing::Addon> &made, Actions actions, QWidget *parent)
    : QFrame(parent, Qt::Popup)
    , m_celebration(celebration)
    , m_made(made)
    , m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("timelineCard"));
    setFixedWidth(340);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 16, 16, 16);
    stack->setSpacing(12);

    auto *header = new QHBoxLayout;
    header->setSpacing(10);
    auto *emoji = new QLabel(celebration.emoji);
    emoji->setFont(WizardLook::withEmoji(Style::font(Style::Text::Title)));
    emoji->setAlignment(Qt::AlignTop);
    header->addWidget(emoji, 0, Qt::AlignTop);
    auto *words = new QVBoxLayout;
    words->setSpacing(2);
    auto *title = Style::label(celebration.title, Style::Text::Headline);
    title->setFont(WizardLook::withEmoji(title->font()));
    words->addWidget(title);
    words->addWidget(Style::label(celebration.detail, Style::Text::Callout, Style::Tone::Secondary));
    header->addLayout(words, 1);
    stack->addLayout(header);

    auto *book = new QPushButton(
        Icons::icon(QStringLiteral("book.closed"),
            Style::appearance() == Color::Appearance::Dark ? QColor(0x1d, 0x1d, 0x1f) : QColor(Qt::white)),
        bookLabel(celebration));
    book->setAutoDefault(false);
    Style::setProminent(book);
    book->setMinimumHeight(28);
    connect(book, &QPushButton::clicked, this, [this] { m_actions.onBook(); });
    stack->addWidget(book, 0, Qt::AlignLeft);

    if (m_actions.onShare) {
        auto *share = new QPushButton(Icons::icon(QStringLiteral("square.and.arrow.up"), Style::brand()),
            QStringLiteral("Share It as a Story Card"));
        Style::setLink(share);
        connect(share, &QPushButton::clicked, this, [this] { m_actions.onShare(); });
        stack->addWidget(share, 0, Qt::AlignLeft);
    }

    if (!m_made.isEmpty()) {
        stack->addWidget(new Hairline(Qt::Horizontal));
        auto *heading = Style::label(
            QStringLiteral("Made from this day"), Style::Text::Caption, Style::Tone::Secondary);
        heading->setFont(Style::font(Style::Text::Caption, Style::Weight::Semibold));
        stack->addWidget(heading);
        for (const Pricing::Addon &addon : m_made) {
            const bool available = addon.status == QLatin1String("available");
            auto *row = new QHBoxLayout;
            row->setSpacing(10);
            auto *text = new QVBoxLayout;
            text->setSpacing(1);
            text->addWidget(Style::label(
                addon.name, Style::Text::Body, available ? Style::Tone::Primary : Style::Tone::Secondary));
            auto *detail = new ClampedLabel(addon.detail, 2);
            Style::setStyle(detail, Style::Text::Caption, Style::Tone::Secondary);
            text->addWidget(detail);
            row->addLayout(text, 1);
            if (available) {
                auto *add = new QPushButton;
                add->setAutoDefault(false);
                // On once added, washed in the brand colour.
                add->setCheckable(true);
                add->setProperty("addon", addon.id);
                add->setMinimumHeight(24);
                connect(add, &QPushButton::clicked, this, [this, id = addon.id] { m_actions.toggle(id); });
                m_addButtons.append(add);
                row->addWidget(add, 0, Qt::AlignVCenter);
            } else {
                row->addWidget(
                    Style::label(QStringLiteral("Soon"), Style::Text::Callout, Style::Tone::Tertiary), 0,
                    Qt::AlignVCenter);
            }
            stack->addLayout(row);
        }
    }
}

QString TimelineCard::bookLabel(const Celebration &celebration)
{
    return celebration.from == celebration.to ? QStringLiteral("Make a Book of This Day")
                                              : QStringLiteral("Make a Book of These Days");
}

void TimelineCard::refresh(const Order &order)
{
    const QList<Order::MomentPick> moments = order.moments.value_or(QList<Order::MomentPick>());
    for (QPushButton *button : m_addButtons) {
        const QString id = button->property("addon").toString();
        const bool added = moments.contains(Order::MomentPick { id, m_celebration.day, m_celebration.title });
        int price = 0;
        for (const Pricing::Addon &addon : m_made) {
            if (addon.id == id)
                price = addon.price;
        }
        button->setText(
            added ? QStringLiteral("Added") : QStringLiteral("Add \u00B7 ") + WizardLook::dollars(price));
        button->setChecked(added);
    }
}

void TimelineCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Style::cardFill());
    painter.setPen(QPen(Style::cardEdge().darker(150), 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
