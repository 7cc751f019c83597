#include "foundstep.h"

#include "monthgrid.h"
#include "project/project.h"
#include "timeline.h"
#include "ui/card.h"
#include "ui/icons.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "ui/tabularnumber.h"
#include "ui/textwrap.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace std::chrono_literals;

namespace {

constexpr int countingSteps = 24;

// The name the waiting line reads with: the first person who isn't the
// user, "them" when there is none.
QString otherName(const BookFile &book)
{
    for (const BookFile::Person &person : book.people) {
        if (!person.me)
            return person.name;
    }
    return QStringLiteral("them");
}

QPushButton *linkButton(const QString &symbol, const QString &text)
{
    auto *button = new QPushButton(Icons::icon(symbol, Style::brand()), text);
    Style::setLink(button);
    return button;
}

} // namespace

FoundStep::FoundStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_stack(new QVBoxLayout(this))
    , m_waiting(new QWidget)
{
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(18);

    auto *row = new QHBoxLayout(m_waiting);
    row->setContentsMargins(0, 20, 0, 0);
    row->setSpacing(12);
    row->addWidget(new Spinner(Spinner::Size::Small));
    row->addWidget(Style::label(
        QStringLiteral("Reading your messages with ") + otherName(model->project()->book()) + QChar(0x2026),
        Style::Text::Body, Style::Tone::Secondary));
    row->addStretch(1);
    m_stack->addWidget(m_waiting);

    connect(model, &WizardModel::insightsChanged, this, &FoundStep::refresh);
    connect(model, &WizardModel::orderChanged, this, [this] {
        if (m_timeline)
            m_timeline->refresh();
    });
    refresh();
}

FoundStep::~FoundStep()
{
    // Leaving during the reveal still ends it: the user can go on.
    if (m_revealing && !m_ready && m_model)
        m_model->setFoundReady(true);
}

const QHash<QString, QString> &FoundStep::wrappedCard()
{
    static const QHash<QString, QString> table {
        { QStringLiteral("first"), QStringLiteral("first") },
        { QStringLiteral("first-love"), QStringLiteral("love") },
        { QStringLiteral("streak"), QStringLiteral("streak") },
        { QStringLiteral("late"), QStringLiteral("late") },
        { QStringLiteral("busiest"), QStringLiteral("busiest") },
        { QStringLiteral("emoji"), QStringLiteral("emoji") },
        { QStringLiteral("words"), QStringLiteral("words") },
    };
    return table;
}

QString FoundStep::momentKey(const QString &id)
{
    if (id.startsWith(QLatin1String("emoji")))
        return QStringLiteral("emoji");
    if (id.startsWith(QLatin1String("words")))
        return QStringLiteral("words");
    return id;
}

void FoundStep::refresh()
{
    const std::optional<Insights> &insights = m_model->insights();
    m_waiting->setVisible(!insights);
    if (!insights || insights->total == m_revealedTotal)
        return;
    m_revealedTotal = insights->total;
    build(*insights);
}

void FoundStep::build(const Insights &insights)
{
    delete m_loaded;
    m_alarm.reset();
    m_moments.clear();
    m_loaded = new QWidget;
    auto *stack = new QVBoxLayout(m_loaded);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(18);

    // The count and its words share a baseline.
    auto *counter = new QHBoxLayout;
    counter->setSpacing(8);
    m_counter = new TabularNumber;
    QFont big = Style::font(Style::Text::LargeTitle, Style::Weight::Semibold);
    big.setPixelSize(34);
    m_counter->setFont(big);
    auto *words = Style::label(QStringLiteral("messages read"), Style::Text::Body, Style::Tone::Secondary);
    words->setWordWrap(false);
    const int drop = QFontMetrics(big).descent() - QFontMetrics(words->font()).descent();
    words->setContentsMargins(0, 0, 0, std::max(0, drop));
    counter->addWidget(m_counter, 0, Qt::AlignBottom);
    counter->addWidget(words, 0, Qt::AlignBottom);
    counter->addStretch(1);
    stack->addLayout(counter);

    m_grid = new MonthGrid;
    m_grid->setDays(insights.days);
    stack->addWidget(m_grid);

    m_timeline = nullptr;
    if (!insights.celebrations.isEmpty()) {
        Timeline::Actions actions;
        actions.order = [model = m_model] { return model->order(); };
        actions.setOrder = [model = m_model](const Order &order) { model->setOrder(order); };
        actions.onBook = [model = m_model](const Celebration &celebration) { model->makeBook(celebration); };
        if (m_model->onWrapped()) {
            actions.onShare = [model = m_model](const Celebration &celebration) {
                model->onWrapped()(QStringLiteral("moment-") + celebration.id);
            };
        }
        m_timeline = new Timeline(insights.celebrations, m_model->pricing(), std::move(actions));
        connect(m_model, &WizardModel::pricingChanged, m_timeline,
            [this] { m_timeline->setPricing(m_model->pricing()); });
        stack->addWidget(m_timeline);
    }

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    for (int column = 0; column < 3; ++column)
        grid->setColumnStretch(column, 1);
    const QList<Insights::Moment> moments = insights.moments.mid(0, 6);
    for (int i = 0; i < moments.size(); ++i) {
        const Insights::Moment &moment = moments[i];
        QWidget *card = momentCard(i, moment.id, moment.symbol, moment.title, moment.detail);
        grid->addWidget(card, i / 3, i % 3);
        m_moments.append(card);
    }
    stack->addLayout(grid);

    m_note = new QWidget;
    auto *note = new QHBoxLayout(m_note);
    note->setContentsMargins(0, 0, 0, 0);
    note->setSpacing(12);
    auto *makeIt
        = Style::label(QStringLiteral("\u201CMake it for me\u201D picks the stretch, typeface, cover and "
                                      "binding. You can change any of it after."),
            Style::Text::Callout, Style::Tone::Secondary);
    note->addWidget(makeIt, 1);
    if (m_model->onWrapped()) {
        auto *wrapped = linkButton(QStringLiteral("chart.bar"), QStringLiteral("See It as a Wrapped"));
        connect(wrapped, &QPushButton::clicked, this, [this] { m_model->onWrapped()(std::nullopt); });
        note->addWidget(wrapped, 0, Qt::AlignBottom);
    }
    stack->addWidget(m_note);
    m_stack->addWidget(m_loaded);

    m_total = insights.total;
    m_momentCount = int(insights.moments.size());
    m_phase = 0;
    m_counted = 0;
    m_monthsShown = 0;
    m_shown = 0;
    m_ready = false;
    if (m_model->isFoundReady()) {
        // Seen before: everything at once.
        m_counted = m_total;
        m_monthsShown = m_grid->count();
        m_shown = m_momentCount;
        m_ready = true;
        apply();
        return;
    }
    m_revealing = true;
    apply();
    reveal();
}

QWidget *FoundStep::momentCard(
    int index, const QString &id, const QString &symbol, const QString &title, const QString &detail)
{
    auto *card = new Card;
    card->setObjectName(QStringLiteral("moment-") + id);
    card->setCursor(Qt::ArrowCursor);
    card->setFocusPolicy(Qt::NoFocus);
    card->content()->setSpacing(4);
    auto *top = new QHBoxLayout;
    top->setSpacing(4);
    top->addWidget(WizardLook::symbol(symbol, 14, Style::color(Style::Tone::Primary)), 0, Qt::AlignTop);
    auto *heading = new QLabel(title);
    heading->setTextFormat(Qt::PlainText);
    // A moment is often named after a person, whose whole name can be
    // wider than the card: it wraps, never leaving a word alone.
    heading->setWordWrap(true);
    heading->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    heading->setFont(WizardLook::withEmoji(Style::font(Style::Text::Subheadline, Style::Weight::Semibold)));
    TextWrap::keep(heading, TextWrap::Lines::NoLoneWord);
    top->addWidget(heading, 1);
    if (m_model->onWrapped() && wrappedCard().contains(momentKey(id))) {
        auto *share = new QToolButton;
        share->setIcon(
            Icons::icon(QStringLiteral("square.and.arrow.up"), Style::color(Style::Tone::Secondary)));
        share->setAutoRaise(true);
        share->setToolTip(QStringLiteral("Share as a story card"));
        share->setAccessibleName(QStringLiteral("Share as a story card"));
        share->setCursor(Qt::PointingHandCursor);
        share->setIconSize(QSize(14, 14));
        connect(share, &QToolButton::clicked, this,
            [this, card = wrappedCard().value(momentKey(id))] { m_model->onWrapped()(card); });
        top->addWidget(share, 0, Qt::AlignTop);
    }
    card->content()->addLayout(top);
    // The whole sentence, however many lines it takes: a detail often ends
    // in its point ("… said it back 34 days later."), which a cut would lose.
    auto *text = new QLabel(detail);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setFont(WizardLook::withEmoji(Style::font(Style::Text::Caption)));
    Style::setTone(text, Style::Tone::Secondary);
    text->setMinimumHeight(std::max(44, 3 * text->fontMetrics().lineSpacing()));
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TextWrap::keep(text, TextWrap::Lines::NoLoneWord);
    card->content()->addWidget(text);
    // A card beside a taller one keeps its words together at the top.
    card->content()->addStretch(1);
    QSizePolicy keep = card->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    card->setSizePolicy(keep);
    Q_UNUSED(index);
    return card;
}

void FoundStep::reveal()
{
    ++m_phase;
    if (m_phase <= countingSteps) {
        m_counted = int(qint64(m_total) * m_phase / countingSteps);
        m_monthsShown = int(double(m_phase) / countingSteps * m_grid->count());
        apply();
        advance(28ms);
        return;
    }
    const int moments = std::max(1, m_momentCount);
    if (m_phase <= countingSteps + moments) {
        m_shown = m_phase - countingSteps;
        apply();
        advance(90ms);
        return;
    }
    finishReveal();
}

void FoundStep::advance(std::chrono::milliseconds pause)
{
    m_alarm = Clock::current().after(pause, [this] { reveal(); });
}

void FoundStep::finishReveal()
{
    m_ready = true;
    m_revealing = false;
    apply();
    if (!m_model->isFoundReady())
        m_model->setFoundReady(true);
}

void FoundStep::apply()
{
    m_counter->setText(Style::number(m_counted));
    m_grid->setShown(m_monthsShown);
    for (int i = 0; i < m_moments.size(); ++i)
        m_moments[i]->setVisible(i < m_shown);
    if (m_timeline)
        m_timeline->setVisible(m_ready);
    m_note->setVisible(m_ready);
}
