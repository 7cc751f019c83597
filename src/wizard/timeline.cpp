#include "timeline.h"

#include "insights/celebrations.h"
#include "ui/focushalo.h"
#include "ui/sidescroll.h"
#include "ui/style.h"
#include "wizardlook.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {

// One special day as a capsule: its emoji, title and date; outlined in the
// brand colour when something is marked for its day.
class Chip : public QAbstractButton
{
public:
    Chip(const Celebration &celebration, QWidget *parent)
        : QAbstractButton(parent)
        , m_emoji(celebration.emoji)
        , m_date(Celebrations::monthDay(celebration.day))
    {
        if (celebration.kind != Celebration::Kind::Holiday)
            m_date += QStringLiteral(", ") + celebration.day.left(4);
        setText(celebration.title);
        setFont(WizardLook::withEmoji(Style::font(Style::Text::Callout)));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        // Picked is the chip's own ring; the keys' is a halo around it.
        FocusHalo::follow(this, sizeHint().height() / 2.0);
    }

    void setPicked(bool picked)
    {
        if (m_picked == picked)
            return;
        m_picked = picked;
        update();
    }
    bool isPicked() const { return m_picked; }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return { 10 + metrics.horizontalAdvance(m_emoji) + 5 + titleWidth() + 5
                + metrics.horizontalAdvance(m_date) + 10,
            metrics.height() + 10 };
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF capsule = QRectF(rect()).adjusted(1, 1, -1, -1);
        const qreal round = capsule.height() / 2;
        painter.setBrush(Style::cardFill());
        painter.setPen(m_picked ? QPen(Style::brand(), 1.5) : QPen(Style::cardEdge(), 1));
        painter.drawRoundedRect(capsule, round, round);
        if (isDown()) {
            QColor pressed = Style::color(Style::Tone::Primary);
            pressed.setAlphaF(0.06);
            painter.setBrush(pressed);
            painter.setPen(Qt::NoPen);
            painter.drawRoundedRect(capsule, round, round);
        }

        const QFontMetrics metrics(font());
        painter.setFont(font());
        int x = 10;
        const QRect line(0, 0, width(), height());
        painter.setPen(Style::color(Style::Tone::Primary));
        painter.drawText(line.adjusted(x, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, m_emoji);
        x += metrics.horizontalAdvance(m_emoji) + 5;
        painter.drawText(line.adjusted(x, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
            metrics.elidedText(text(), Qt::ElideRight, titleWidth()));
        x += titleWidth() + 5;
        painter.setPen(Style::color(Style::Tone::Secondary));
        painter.drawText(line.adjusted(x, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, m_date);
    }

private:
    // Long titles are cut at 240 pixels; others keep their whole width.
    int titleWidth() const
    {
        return std::min(int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 1, 240);
    }

    QString m_emoji;
    QString m_date;
    bool m_picked = false;
};

} // namespace

Timeline::Timeline(
    QList<Celebration> celebrations, std::optional<Pricing> pricing, Actions actions, QWidget *parent)
    : QWidget(parent)
    , m_celebrations(std::move(celebrations))
    , m_pricing(std::move(pricing))
    , m_actions(std::move(actions))
    , m_scroll(new SideScroll)
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);
    auto *heading
        = Style::label(QStringLiteral("On your timeline"), Style::Text::Caption, Style::Tone::Secondary);
    heading->setFont(Style::font(Style::Text::Caption, Style::Weight::Semibold));
    stack->addWidget(heading);

    auto *strip = new QWidget;
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (const Celebration &celebration : m_celebrations) {
        auto *chip = new Chip(celebration, strip);
        connect(chip, &QAbstractButton::clicked, this, [this, celebration] { openCard(celebration); });
        row->addWidget(chip);
        m_chips.append(chip);
    }
    row->addStretch(1);
    m_scroll->setWidget(strip);
    m_scroll->setWidgetResizable(true);
    strip->setAutoFillBackground(false);
    m_scroll->setFixedHeight(strip->sizeHint().height());
    stack->addWidget(m_scroll);
    refresh();
}

Timeline::~Timeline()
{
    delete m_card;
}

bool Timeline::picked(const Order &order, const Celebration &celebration)
{
    for (const Order::MomentPick &pick : order.moments.value_or(QList<Order::MomentPick>())) {
        if (pick.day == celebration.day)
            return true;
    }
    return false;
}

Order Timeline::toggled(Order order, const QString &addon, const Celebration &celebration)
{
    QList<Order::MomentPick> moments = order.moments.value_or(QList<Order::MomentPick>());
    const Order::MomentPick pick { addon, celebration.day, celebration.title };
    if (const qsizetype at = moments.indexOf(pick); at >= 0) {
        moments.removeAt(at);
        order.moments = moments.isEmpty() ? std::nullopt : std::optional(moments);
    } else {
        moments.append(pick);
        order.moments = moments;
    }
    return order;
}

QList<Pricing::Addon> Timeline::madeAddons(const std::optional<Pricing> &pricing)
{
    QList<Pricing::Addon> made;
    if (!pricing)
        return made;
    for (const Pricing::Addon &addon : pricing->addons) {
        if (addon.group == QLatin1String("made"))
            made.append(addon);
    }
    return made;
}

std::optional<Celebration> Timeline::open() const
{
    if (m_card && m_card->isVisible())
        return m_card->celebration();
    return std::nullopt;
}

void Timeline::openCard(const Celebration &celebration)
{
    delete m_card;
    TimelineCard::Actions actions;
    actions.onBook = [this, celebration] {
        m_card->close();
        m_actions.onBook(celebration);
    };
    if (m_actions.onShare) {
        actions.onShare = [this, celebration] {
            m_card->close();
            m_actions.onShare(celebration);
        };
    }
    actions.toggle = [this, celebration](const QString &addon) { toggle(addon, celebration); };
    m_card = new TimelineCard(celebration, madeAddons(m_pricing), std::move(actions), this);
    m_card->refresh(m_actions.order());
    const qsizetype index = m_celebrations.indexOf(celebration);
    QWidget *chip = m_chips.value(index, this);
    m_card->adjustSize();
    m_card->move(chip->mapToGlobal(QPoint(0, chip->height() + 6)));
    m_card->show();
}

void Timeline::toggle(const QString &addon, const Celebration &celebration)
{
    m_actions.setOrder(toggled(m_actions.order(), addon, celebration));
    refresh();
}

void Timeline::setPricing(const std::optional<Pricing> &pricing)
{
    m_pricing = pricing;
}

void Timeline::refresh()
{
    const Order order = m_actions.order();
    for (int i = 0; i < m_chips.size(); ++i)
        static_cast<Chip *>(m_chips[i])->setPicked(picked(order, m_celebrations[i]));
    if (m_card)
        m_card->refresh(order);
}
