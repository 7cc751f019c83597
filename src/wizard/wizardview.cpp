#include "wizardview.h"

#include "bindingstep.h"
#include "chaptersstep.h"
#include "coverstep.h"
#include "fitstep.h"
#include "foundstep.h"
#include "model/day.h"
#include "progressdots.h"
#include "reviewstep.h"
#include "shippingstep.h"
#include "touchesstep.h"
#include "typefacestep.h"
#include "ui/hairline.h"
#include "ui/icons.h"
#include "ui/keyboardfocus.h"
#include "ui/style.h"
#include "ui/tintedpanel.h"
#include "whatstep.h"
#include "wizardlook.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QEasingCurve>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

using Step = WizardModel::Step;

// The new step slides in from the trailing edge, fading in, while the old
// one slides out towards the leading edge, fading out. The new step is the
// real one from the start, moved along and veiled in the backdrop's colour,
// so it takes clicks at once; the old one is a picture of it. A second
// picture, of the new step, would cost the change as much again.
class StepTransition : public QWidget
{
public:
    StepTransition(QWidget *over, QPixmap outgoing, QWidget *incoming)
        : QWidget(over)
        , m_outgoing(std::move(outgoing))
        , m_incoming(incoming)
        , m_backdrop(Style::backdrop(over))
        , m_trailing(over->isRightToLeft() ? -1 : 1)
    {
        setObjectName(QStringLiteral("stepTransition"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(over->rect());
        hide();
        // The scroll area puts its content back in place whenever the
        // content changes size or scrolls, as a new step does as it settles.
        m_incoming->installEventFilter(this);
    }

    ~StepTransition() override
    {
        if (m_incoming) {
            m_incoming->removeEventFilter(this);
            m_incoming->move(0, m_incoming->y());
        }
    }

    void start()
    {
        auto *animation = new QVariantAnimation(this);
        animation->setDuration(220);
        animation->setEasingCurve(QEasingCurve::OutCubic);
        animation->setStartValue(0.0);
        animation->setEndValue(1.0);
        connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &value) { setProgress(value.toReal()); });
        connect(animation, &QVariantAnimation::finished, this, &QObject::deleteLater);
        setProgress(0);
        show();
        raise();
        animation->start();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_incoming && event->type() == QEvent::Move && m_incoming->x() != offset())
            m_incoming->move(offset(), m_incoming->y());
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QColor veil = m_backdrop;
        veil.setAlphaF(float(1 - m_progress));
        painter.fillRect(rect(), veil);
        painter.setOpacity(1 - m_progress);
        painter.drawPixmap(QPointF(-m_trailing * travel * m_progress, 0), m_outgoing);
    }

private:
    static constexpr qreal travel = 36;

    // Where the new step is along its way in.
    int offset() const { return qRound(m_trailing * travel * (1 - m_progress)); }

    void setProgress(qreal progress)
    {
        m_progress = progress;
        if (m_incoming)
            m_incoming->move(offset(), m_incoming->y());
        update();
    }

    QPixmap m_outgoing;
    QPointer<QWidget> m_incoming;
    QColor m_backdrop;
    int m_trailing;
    qreal m_progress = 0;
};

QString headingOf(const WizardModel &model)
{
    switch (model.step()) {
    case Step::Found:
        return model.insights() ? QStringLiteral("Here's what we found")
                                : QStringLiteral("Reading your messages");
    case Step::What:
        return QStringLiteral("What are you making?");
    case Step::Fit:
        return QStringLiteral("How much fits in a book");
    case Step::Typeface:
        return QStringLiteral("Choose a typeface");
    case Step::Chapters:
        return QStringLiteral("How should it be divided?");
    case Step::Cover:
        return QStringLiteral("Title and cover");
    case Step::Touches:
        return QStringLiteral("Special touches");
    case Step::Binding:
        return QStringLiteral("Paperback or hardcover?");
    case Step::Shipping:
        return QStringLiteral("Where is it going?");
    case Step::Review:
        return model.title();
    }
    return {};
}

std::optional<QString> subheadingOf(const WizardModel &model)
{
    switch (model.step()) {
    case Step::Found: {
        if (!model.insights())
            return QStringLiteral("This stays on your computer.");
        const Insights &insights = *model.insights();
        const QString first = insights.days.isEmpty() ? QString() : insights.days.first().iso;
        return QStringLiteral("You and ") + insights.them + QStringLiteral(", since ") + longDay(first)
            + QLatin1Char('.');
    }
    case Step::What:
        return QStringLiteral("Pick a stretch of your conversation. You can change it later.");
    case Step::Typeface:
        return QStringLiteral("Here's how your own messages look in each.");
    case Step::Touches:
        return QStringLiteral("All optional. Each one is something only you would think of.");
    case Step::Shipping:
        return QStringLiteral("Lulu prints it and posts it straight to the door.");
    case Step::Review:
        return longDay(model.from()) + QStringLiteral(" \u2013 ") + longDay(model.effectiveTo());
    case Step::Fit:
    case Step::Chapters:
    case Step::Cover:
    case Step::Binding:
        return std::nullopt;
    }
    return std::nullopt;
}

// The cover previews and the designs' thumbnails are made fresh for the
// cover step; the frame doesn't wait for them.
QCoro::Task<void> renderForCover(QPointer<WizardModel> model)
{
    co_await model->renderCover();
    if (model)
        co_await model->renderGallery();
}

// The footer's plain buttons, as tall and wide as the prominent one
// beside them.
QPushButton *footerButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setMinimumHeight(30);
    button->setMinimumWidth(84);
    return button;
}

bool isTextField(QObject *object)
{
    return qobject_cast<QLineEdit *>(object) || qobject_cast<QAbstractSpinBox *>(object);
}

} // namespace

WizardView::WizardView(WizardModel *model, CanCancel canCancel, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_canCancel(canCancel)
    , m_shown(model->step())
    , m_scroll(new QScrollArea)
{
    auto *content = new QWidget;
    m_column = new QVBoxLayout(content);
    m_column->setContentsMargins(48, 28, 48, 24);
    m_column->setSpacing(22);
    m_column->addStretch(1);
    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // Tab goes from control to control; the column scrolls to each.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    auto *divider = new Hairline(Qt::Horizontal);

    // The column is at most 860 wide, centred in whatever room there is.
    auto *frame = new QWidget;
    frame->setMaximumWidth(860);
    auto *stack = new QVBoxLayout(frame);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(m_scroll, 1);
    stack->addWidget(divider);
    stack->addWidget(makeFooter());

    auto *outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addStretch(0);
    outer->addWidget(frame, 1);
    outer->addStretch(0);

    // Return in any of the steps' text fields, also those a step adds later,
    // is seen before it can travel up to the frame.
    qApp->installEventFilter(this);
    connect(m_model, &WizardModel::changed, this, &WizardView::refresh);
    showStep();
    refresh();
}

WizardView::~WizardView()
{
    // A step going away may still tell the model something (the found step
    // ends its reveal); this half-gone view must not redraw for it.
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
}

QString WizardView::heading() const
{
    return headingOf(*m_model);
}

std::optional<QString> WizardView::subheading() const
{
    return subheadingOf(*m_model);
}

QWidget *WizardView::makeFooter()
{
    auto *footer = new QWidget;
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(24, 16, 24, 16);
    row->setSpacing(10);

    m_dots = new ProgressDots(WizardModel::stepCount);
    m_cancel = footerButton(QStringLiteral("Cancel"), footer);
    m_back = footerButton(QStringLiteral("Back"), footer);
    m_letMeChoose = footerButton(QStringLiteral("Let Me Choose"), footer);
    m_makeItForMe = footerButton(QStringLiteral("Make It for Me"), footer);
    m_continue = footerButton(QStringLiteral("Continue"), footer);
    for (QPushButton *prominent : { m_makeItForMe, m_continue }) {
        Style::setProminent(prominent);
        prominent->setMinimumWidth(110);
    }
    const bool dark = Style::appearance() == Color::Appearance::Dark;
    m_makeItForMe->setIcon(
        Icons::icon(QStringLiteral("wand.and.stars"), dark ? QColor(0x1d, 0x1d, 0x1f) : QColor(Qt::white)));

    row->addWidget(m_dots, 0, Qt::AlignVCenter);
    row->addStretch(1);
    for (QPushButton *button : { m_cancel, m_back, m_letMeChoose, m_makeItForMe, m_continue })
        row->addWidget(button);

    connect(m_cancel, &QPushButton::clicked, this, &WizardView::cancelled);
    connect(m_back, &QPushButton::clicked, this, [this] { go(-1); });
    connect(m_letMeChoose, &QPushButton::clicked, this, [this] { go(1); });
    connect(m_makeItForMe, &QPushButton::clicked, this, [this] {
        m_model->makeItForMe();
        emit finished();
    });
    connect(m_continue, &QPushButton::clicked, this, [this] {
        if (m_model->step() == Step::Review) {
            m_model->finish();
            emit finished();
        } else {
            go(1);
        }
    });
    return footer;
}

QWidget *WizardView::makeHeader()
{
    auto *header = new QWidget;
    auto *stack = new QVBoxLayout(header);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);

    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    if (m_model->step() != Step::Found) {
        auto *badge = new TintedPanel(9);
        badge->setFixedSize(36, 36);
        auto *symbol = new QLabel(badge);
        symbol->setObjectName(QStringLiteral("stepBadge"));
        symbol->setGeometry(badge->rect());
        symbol->setAlignment(Qt::AlignCenter);
        symbol->setPixmap(Icons::pixmap(WizardModel::symbol(m_model->step()), 18, Style::brand()));
        row->addWidget(badge);
    }
    m_heading = new QLabel;
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->setWordWrap(true);
    QFont headingFont = Style::font(Style::Text::LargeTitle, Style::Weight::Bold);
    headingFont.setPixelSize(28);
    m_heading->setFont(headingFont);
    row->addWidget(m_heading, 1);
    stack->addLayout(row);

    m_subheading = nullptr;
    if (subheadingOf(*m_model)) {
        m_subheading = Style::label(QString(), Style::Text::Title3, Style::Tone::Secondary);
        stack->addWidget(m_subheading);
    }
    return header;
}

QWidget *WizardView::makeStepView(Step step)
{
    switch (step) {
    case Step::Found:
        return new FoundStep(m_model);
    case Step::What:
        return new WhatStep(m_model);
    case Step::Fit:
        return new FitStep(m_model);
    case Step::Typeface:
        return new TypefaceStep(m_model);
    case Step::Chapters:
        return new ChaptersStep(m_model);
    case Step::Cover:
        return new CoverStep(m_model);
    case Step::Touches:
        return new TouchesStep(m_model);
    case Step::Binding:
        return new BindingStep(m_model);
    case Step::Shipping:
        return new ShippingStep(m_model);
    case Step::Review:
        return new ReviewStep(m_model);
    }
    return new QWidget;
}

void WizardView::showStep()
{
    QWidget *viewport = m_scroll->viewport();
    StepTransition *transition = nullptr;
    if (m_stepView && isVisible()) {
        // A change during a slide goes on from what shows: the picture is
        // taken with the slide still over the step, which then ends.
        // Only what the step draws: the backdrop stays the veil's.
        QPixmap outgoing(viewport->size() * viewport->devicePixelRatio());
        outgoing.setDevicePixelRatio(viewport->devicePixelRatio());
        outgoing.fill(Qt::transparent);
        viewport->render(&outgoing, QPoint(), QRegion(), QWidget::DrawChildren);
        delete viewport->findChild<QWidget *>(QStringLiteral("stepTransition"), Qt::FindDirectChildrenOnly);
        transition = new StepTransition(viewport, std::move(outgoing), m_scroll->widget());
    }

    // Hiding the old step hands its focus on to whatever Tab would reach
    // next, which may be another pane: whether the wizard held it is asked
    // first.
    const bool focusHere = isVisible() && (KeyboardFocus::isWithin(this) || KeyboardFocus::isAdrift(this));
    // The old step goes once control is back in the event loop: the step
    // may be changing from inside one of its own buttons.
    for (QWidget *old : { m_header, m_stepView }) {
        if (!old)
            continue;
        old->hide();
        m_column->removeWidget(old);
        old->deleteLater();
    }
    m_shown = m_model->step();
    m_header = makeHeader();
    m_stepView = makeStepView(m_shown);
    m_column->insertWidget(0, m_header);
    m_column->insertWidget(1, m_stepView);
    // At once, not when the layout would get round to it.
    m_header->setVisible(true);
    m_stepView->setVisible(true);
    m_scroll->verticalScrollBar()->setValue(0);
    refreshHeader();
    readStepBeforeFooter();
    // The step's first choice, or the way on when it offers none.
    if (focusHere)
        KeyboardFocus::enter(KeyboardFocus::firstControl(m_stepView) ? m_stepView : this);

    if (transition)
        transition->start();
}

void WizardView::readStepBeforeFooter()
{
    // The footer was made before any step, so Tab would reach Back and
    // Continue before the step's own choices; it reads last, as it shows.
    // A step being made can change the model before it is the step shown.
    if (!m_stepView)
        return;
    QWidget *previous = nullptr;
    for (QWidget *widget = m_stepView->nextInFocusChain(); widget != m_stepView;
         widget = widget->nextInFocusChain()) {
        if (m_stepView->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus))
            previous = widget;
    }
    for (QWidget *button : { m_cancel, m_back, m_letMeChoose, m_makeItForMe, m_continue }) {
        if (previous)
            setTabOrder(previous, button);
        previous = button;
    }
}

bool WizardView::focusNextPrevChild(bool next)
{
    // A step can add choices after it shows (a strip filled once its figures
    // are in); they join the end of the window's focus chain, after the
    // footer. Ordering again on every Tab keeps them before Back and
    // Continue however late they came.
    readStepBeforeFooter();
    return QWidget::focusNextPrevChild(next);
}

void WizardView::refresh()
{
    if (m_model->step() != m_shown)
        showStep();
    refreshHeader();
    // A step may have added choices since (the cover's designs arrive late).
    readStepBeforeFooter();
    // Focus left on what holds the wizard, as a step with nothing to stop
    // at yet leaves it, goes on to the first control once there is one.
    QWidget *focus = window()->focusWidget();
    if (m_stepView && isVisible() && focus && (focus == this || focus->isAncestorOf(this))
        && !focus->isWindow() && KeyboardFocus::firstControl(this))
        KeyboardFocus::enter(KeyboardFocus::firstControl(m_stepView) ? m_stepView : this);

    const Step step = m_model->step();
    const bool found = step == Step::Found;
    const bool canCancel = m_canCancel == CanCancel::Yes;
    m_dots->setCurrent(int(step));
    m_cancel->setVisible(canCancel);
    m_back->setVisible(!found && !(canCancel && step == Step::What));
    m_letMeChoose->setVisible(found);
    m_makeItForMe->setVisible(found);
    m_letMeChoose->setEnabled(m_model->isFoundReady());
    m_makeItForMe->setEnabled(m_model->isFoundReady());
    m_continue->setVisible(!found);
    m_continue->setText(step == Step::Review ? QStringLiteral("Make My Book") : QStringLiteral("Continue"));
    m_continue->setEnabled(m_model->insights().has_value());
}

void WizardView::refreshHeader()
{
    if (!m_heading)
        return;
    m_heading->setText(heading());
    if (m_subheading)
        m_subheading->setText(subheading().value_or(QString()));
}

void WizardView::go(int delta)
{
    const int target = int(m_model->step()) + delta;
    const std::optional<Step> step = WizardModel::stepAt(target);
    if (!step)
        return;
    m_model->setStep(*step);
    if (*step == Step::Cover)
        renderForCover(m_model);
}

QPushButton *WizardView::defaultButton() const
{
    return m_model->step() == Step::Found ? m_makeItForMe : m_continue;
}

void WizardView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_loadStarted) {
        m_loadStarted = true;
        m_model->load();
    }
}

void WizardView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QPushButton *button = defaultButton();
        if (button->isVisible() && button->isEnabled())
            button->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool WizardView::eventFilter(QObject *watched, QEvent *event)
{
    // A text field that doesn't want Return lets it go up to its parents,
    // where it would press the wizard's default button: it stays with the
    // field instead.
    if (event->type() == QEvent::KeyPress && isTextField(watched)
        && isAncestorOf(static_cast<QWidget *>(watched))) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            watched->event(event);
            // Accepted, or the application hands it on to the parents.
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
