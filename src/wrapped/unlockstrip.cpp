#include "unlockstrip.h"

#include "ui/clampedlabel.h"
#include "ui/desktop.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "ui/textwrap.h"

#include <QEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace std::chrono_literals;

namespace {

// Thresholds a post must reach while the service hasn't said its own.
constexpr int defaultViews = 10000;
constexpr int defaultLikes = 1000;

bool isOpen(const std::optional<Rewards::Status> &status)
{
    return status && status->rewards == QLatin1String("on");
}

// The step's number in a thin brand-coloured ring.
class NumberBadge : public QWidget
{
public:
    explicit NumberBadge(int number, QWidget *parent = nullptr)
        : QWidget(parent)
        , m_number(number)
    {
        setFixedSize(18, 18);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor ring = Style::brand();
        ring.setAlphaF(0.5f);
        painter.setPen(QPen(ring, 1));
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.setPen(Style::brand());
        painter.setFont(Style::font(Style::Text::Caption, Style::Weight::Semibold));
        painter.drawText(rect(), Qt::AlignCenter, QString::number(m_number));
    }

private:
    int m_number;
};

} // namespace

// One reward: its number, title and note, and the badge of where it stands.
// Where the band has room, all on one line; in a narrow window the badge
// and the buttons go under the words, which wrap rather than lose their
// ends (a code).
class UnlockStrip::Step : public QWidget
{
public:
    Step(int number, const QString &note, bool claimable, QWidget *parent)
        : QWidget(parent)
        , m_title(new ClampedLabel(2))
        , m_noteLine(new ClampedLabel(note, 2))
        , m_doneSymbol(new QLabel)
        , m_done(new QLabel)
        , m_note(Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary))
        , m_soon(Style::label(QStringLiteral("Opens soon"), Style::Text::Caption, Style::Tone::Tertiary))
        , m_claim(new QPushButton(QStringLiteral("Claim…")))
        , m_badges(new QWidget)
        , m_row(new QHBoxLayout(this))
        , m_texts(new QVBoxLayout)
        , m_claimable(claimable)
    {
        m_row->setContentsMargins(0, 0, 0, 0);
        m_row->setSpacing(8);
        m_row->addWidget(new NumberBadge(number), 0, Qt::AlignVCenter);

        m_texts->setSpacing(0);
        m_title->setFont(Style::font(Style::Text::Callout));
        m_texts->addWidget(m_title);
        Style::setStyle(m_noteLine, Style::Text::Caption, Style::Tone::Secondary);
        m_texts->addWidget(m_noteLine);
        TextWrap::keep(m_title, TextWrap::Lines::NoLoneWord);
        TextWrap::keep(m_noteLine, TextWrap::Lines::NoLoneWord);
        m_row->addLayout(m_texts);

        m_doneSymbol->setPixmap(Icons::pixmap(QStringLiteral("checkmark.circle.fill"), 12, Style::brand()));
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPixelSize(Style::font(Style::Text::Caption).pixelSize());
        m_done->setFont(mono);
        m_done->setTextFormat(Qt::PlainText);
        m_done->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_done->setCursor(Qt::IBeamCursor);
        QPalette brand = m_done->palette();
        brand.setColor(QPalette::WindowText, Style::brand());
        m_done->setPalette(brand);
        m_note->setWordWrap(false);
        m_soon->setWordWrap(false);
        // The desktop's small control size, for the buttons inside the band.
        Style::setControlSize(m_claim, Style::ControlSize::Small);
        auto *badges = new QHBoxLayout(m_badges);
        badges->setContentsMargins(0, 0, 0, 0);
        badges->setSpacing(8);
        for (QWidget *badge : { static_cast<QWidget *>(m_doneSymbol), static_cast<QWidget *>(m_done),
                 static_cast<QWidget *>(m_note), static_cast<QWidget *>(m_soon),
                 static_cast<QWidget *>(m_claim) })
            badges->addWidget(badge, 0, Qt::AlignVCenter);
        m_extras = new QHBoxLayout;
        m_extras->setSpacing(8);
        badges->addLayout(m_extras);
        m_row->addWidget(m_badges, 0, Qt::AlignVCenter);
        m_row->addStretch(1);
    }

    QPushButton *claimButton() const { return m_claim; }
    void addExtra(QWidget *widget) { m_extras->addWidget(widget, 0, Qt::AlignVCenter); }

    // The width the step needs on one line.
    int lineWidth() const
    {
        const int words = std::max(m_title->fontMetrics().horizontalAdvance(m_title->text()),
                              m_noteLine->fontMetrics().horizontalAdvance(m_noteLine->text()))
            + 1;
        return 18 + m_row->spacing() + words + m_row->spacing() + m_badges->sizeHint().width();
    }

    void setNarrow(bool narrow)
    {
        if (narrow == m_narrow)
            return;
        m_narrow = narrow;
        // Content keeps to the leading edge: on one line the room left is
        // after the badges; stacked, the words take the step's width.
        if (narrow) {
            m_row->removeWidget(m_badges);
            m_texts->addWidget(m_badges, 0, Qt::AlignLeft);
            m_texts->setSpacing(2);
        } else {
            m_texts->removeWidget(m_badges);
            m_row->insertWidget(2, m_badges, 0, Qt::AlignVCenter);
            m_texts->setSpacing(0);
        }
        m_row->setStretchFactor(m_texts, narrow ? 1 : 0);
        m_row->setStretch(m_row->count() - 1, narrow ? 0 : 1);
    }

    void setState(const QString &title, const State &state)
    {
        m_title->setText(title);
        TextWrap::keep(m_title, TextWrap::Lines::NoLoneWord);
        // The whole title, for when the band is too narrow for it.
        m_title->setToolTip(title);
        // Each step has its own "Claim…": a screen reader says which.
        m_claim->setAccessibleDescription(title);
        const bool done = state.kind == State::Kind::Done;
        m_doneSymbol->setVisible(done);
        m_done->setVisible(done);
        m_done->setText(done ? state.text : QString());
        m_note->setVisible(state.kind == State::Kind::Note);
        m_note->setText(state.kind == State::Kind::Note ? state.text : QString());
        m_soon->setVisible(state.kind == State::Kind::Soon);
        // A claimable step without an action of its own shows nothing.
        m_claim->setVisible(state.kind == State::Kind::Claimable && m_claimable);
    }

private:
    ClampedLabel *m_title;
    ClampedLabel *m_noteLine;
    QLabel *m_doneSymbol;
    QLabel *m_done;
    QLabel *m_note;
    QLabel *m_soon;
    QPushButton *m_claim;
    QWidget *m_badges;
    QHBoxLayout *m_row;
    QVBoxLayout *m_texts;
    QHBoxLayout *m_extras;
    bool m_claimable;
    bool m_narrow = false;
};

UnlockStrip::UnlockStrip(Rewards &rewards, QWidget *parent)
    : QWidget(parent)
    , m_rewards(rewards)
    , m_share(new Step(1, QStringLiteral("10% off your book"), true, this))
    , m_referral(new Step(2, QStringLiteral("10% off for you and anyone you give it to"), false, this))
    , m_viral(new Step(3, QStringLiteral("a free book"), true, this))
    , m_invite(new QPushButton(QStringLiteral("Copy Link")))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(20, 10, 20, 10);
    row->setSpacing(0);
    const auto divider = [this] {
        auto *chevron = new QLabel;
        chevron->setPixmap(
            Icons::pixmap(QStringLiteral("chevron.right"), 10, Style::color(Style::Tone::Tertiary)));
        chevron->setContentsMargins(6, 0, 6, 0);
        m_dividerWidth = chevron->sizeHint().width();
        return chevron;
    };
    row->addWidget(m_share, 1);
    row->addWidget(divider());
    row->addWidget(m_referral, 1);
    row->addWidget(divider());
    row->addWidget(m_viral, 1);

    Style::setControlSize(m_invite, Style::ControlSize::Small);
    m_referral->addExtra(m_invite);

    connect(m_share->claimButton(), &QPushButton::clicked, this,
        [this] { emit claimRequested(Rewards::Claim::Kind::Share); });
    connect(m_viral->claimButton(), &QPushButton::clicked, this,
        [this] { emit claimRequested(Rewards::Claim::Kind::Viral); });
    connect(m_invite, &QPushButton::clicked, this, &UnlockStrip::copyLink);
    connect(&m_rewards, &Rewards::statusChanged, this, &UnlockStrip::refresh);
    refresh();
}

UnlockStrip::~UnlockStrip() = default;

UnlockStrip::State UnlockStrip::shareState(const std::optional<Rewards::Status> &status)
{
    if (!isOpen(status))
        return { State::Kind::Soon, {} };
    if (!status->share.discountCode)
        return { State::Kind::Claimable, {} };
    if (status->share.discountUsed)
        return { State::Kind::Done, QStringLiteral("Used") };
    return { State::Kind::Done, *status->share.discountCode };
}

UnlockStrip::State UnlockStrip::referralState(const std::optional<Rewards::Status> &status)
{
    if (!status)
        return { State::Kind::Soon, {} };
    const int friends = status->referral.friendsOrdered;
    if (friends == 0)
        return { State::Kind::Claimable, {} };
    return { State::Kind::Done,
        QString::number(friends) + (friends == 1 ? QStringLiteral(" friend") : QStringLiteral(" friends"))
            + QStringLiteral(" ordered") };
}

UnlockStrip::State UnlockStrip::viralState(const std::optional<Rewards::Status> &status)
{
    if (!isOpen(status))
        return { State::Kind::Soon, {} };
    const Rewards::Status::Viral &viral = status->viral;
    if (viral.state == QLatin1String("pending"))
        return { State::Kind::Note, QStringLiteral("In review") };
    if (viral.state == QLatin1String("approved"))
        return { State::Kind::Done, viral.giftCode.value_or(QStringLiteral("Approved")) };
    if (viral.capReached.value_or(false))
        return { State::Kind::Note, QStringLiteral("All given out") };
    return { State::Kind::Claimable, {} };
}

void UnlockStrip::refresh()
{
    const std::optional<Rewards::Status> &status = m_rewards.status();
    m_share->setState(QStringLiteral("Share your Wrapped"), shareState(status));
    m_referral->setState(QStringLiteral("Friends of Friends: ")
            + (status ? QStringLiteral("code ") + status->code : QStringLiteral("your code")),
        referralState(status));
    const int views = status ? status->viral.views : defaultViews;
    const int likes = status ? status->viral.likes : defaultLikes;
    m_viral->setState(
        QStringLiteral("Go big: %1 views or %2 likes").arg(Style::number(views), Style::number(likes)),
        viralState(status));
    m_invite->setVisible(status.has_value());
    m_invite->setEnabled(m_rewards.inviteURL().has_value());
    m_invite->setText(m_copied ? QStringLiteral("Copied") : QStringLiteral("Copy Link"));
    arrange();
}

void UnlockStrip::copyLink()
{
    const std::optional<QUrl> invite = m_rewards.inviteURL();
    if (!invite)
        return;
    Desktop::instance().copyText(invite->toString(QUrl::FullyEncoded));
    m_copied = true;
    // Each copy keeps "Copied" for its own two seconds; the first to end
    // puts the title back.
    m_copyResets.push_back(Clock::current().after(2s, [this] {
        m_copied = false;
        refresh();
    }));
    refresh();
}

void UnlockStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void UnlockStrip::arrange()
{
    // Each step on one line when the band holds all three so; otherwise
    // every step stacks its badges under its words, alike.
    const QMargins margins = layout()->contentsMargins();
    int needed = margins.left() + margins.right() + 2 * m_dividerWidth;
    for (const Step *step : { m_share, m_referral, m_viral })
        needed += step->lineWidth();
    const bool narrow = width() < needed;
    auto *row = static_cast<QBoxLayout *>(layout());
    for (Step *step : { m_share, m_referral, m_viral }) {
        step->setNarrow(narrow);
        // On one line each step has its own width and a like share of what
        // is left; stacked, a third each.
        row->setStretchFactor(step, narrow ? 1 : 0);
    }
}

void UnlockStrip::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Style::surface(Style::Surface::Band, palette()));
}

void UnlockStrip::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange)
        update();
    QWidget::changeEvent(event);
}
