#include "coverpaint.h"

#include "coverstep.h"
#include "photostrip.h"
#include "ui/icons.h"
#include "ui/picturethumb.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int paintingSize = 72;

} // namespace

const QList<CoverPaint::Look> &CoverPaint::looks()
{
    static const QList<Look> looks { { QStringLiteral("watercolour"), QStringLiteral("Watercolour") },
        { QStringLiteral("linework"), QStringLiteral("Ink drawing") },
        { QStringLiteral("paperback"), QStringLiteral("Vintage paperback") },
        { QStringLiteral("risograph"), QStringLiteral("Risograph") },
        { QStringLiteral("collage"), QStringLiteral("Paper collage") },
        { QStringLiteral("photo"), QStringLiteral("Film photo") } };
    return looks;
}

QStringList CoverPaint::paintIdeas(const WizardModel &model)
{
    QStringList ideas { QStringLiteral("The two of you from behind, walking in the rain"),
        QStringLiteral("Two phones face down on a caf\u00E9 table") };
    const std::optional<Insights> &insights = model.insights();
    if (insights && !insights->topEmoji.isEmpty())
        ideas.prepend(QStringLiteral("A still life of ") + insights->topEmoji.first()
            + QStringLiteral(", lovingly painted"));
    if (insights && insights->latestNight)
        ideas.append(QStringLiteral("A window lit up at 2 a.m. in a dark street"));
    ideas.append(QStringLiteral("A paper boat on a pond, two people on the bank"));
    return ideas.mid(0, 4);
}

bool CoverPaint::canPaint(const QString &prompt)
{
    qsizetype first = 0;
    qsizetype last = prompt.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (first < last && blank(prompt[first]))
        ++first;
    while (last > first && blank(prompt[last - 1]))
        --last;
    return last - first >= 3;
}

CoverPaint::CoverPaint(CoverStep *step, QWidget *parent)
    : QWidget(parent)
    , m_step(step)
    , m_model(step->model())
    , m_prompt(new QPlainTextEdit)
    , m_ideas(new QToolButton)
    , m_look(new QComboBox)
    , m_spinner(new Spinner(Spinner::Size::Small))
    , m_paintButton(new QPushButton)
    , m_paintingsRow(new QWidget)
    , m_paintingsLayout(new QHBoxLayout(m_paintingsRow))
    , m_disclosure(new QToolButton)
    , m_notice(Style::label(QString(), Style::Text::Caption, Style::Tone::Tertiary))
{
    setObjectName(QStringLiteral("coverPaint"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto *words = new QHBoxLayout;
    words->setSpacing(6);
    m_prompt->setObjectName(QStringLiteral("paintPrompt"));
    m_prompt->setAccessibleName(QStringLiteral("What should be on it?"));
    m_prompt->setPlaceholderText(QStringLiteral("Two coffee cups on a rainy windowsill"));
    m_prompt->setTabChangesFocus(true);
    m_prompt->setFont(WizardLook::withEmoji(Style::font(Style::Text::Body)));
    m_prompt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    words->addWidget(m_prompt, 1);
    m_ideas->setObjectName(QStringLiteral("paintIdeas"));
    m_ideas->setIcon(Icons::icon(QStringLiteral("lightbulb"), Style::color(Style::Tone::Secondary)));
    m_ideas->setIconSize(QSize(18, 18));
    m_ideas->setAutoRaise(true);
    m_ideas->setPopupMode(QToolButton::InstantPopup);
    m_ideas->setToolTip(QStringLiteral("Ideas"));
    m_ideas->setAccessibleName(QStringLiteral("Ideas"));
    m_ideas->setCursor(Qt::PointingHandCursor);
    auto *ideasMenu = new QMenu(m_ideas);
    m_ideas->setMenu(ideasMenu);
    words->addWidget(m_ideas, 0, Qt::AlignTop);
    column->addLayout(words);

    auto *controls = new QHBoxLayout;
    controls->setSpacing(10);
    m_look->setAccessibleName(QStringLiteral("Look"));
    for (const Look &look : looks())
        m_look->addItem(look.label, look.key);
    m_look->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *lookLabel = Style::label(QStringLiteral("Look"), Style::Text::Body);
    controls->addWidget(lookLabel);
    controls->addWidget(m_look);
    controls->addStretch(1);
    controls->addWidget(m_spinner);
    m_paintButton->setObjectName(QStringLiteral("paintButton"));
    m_paintButton->setAutoDefault(false);
    Style::setProminent(m_paintButton);
    m_paintButton->setIcon(Icons::icon(QStringLiteral("paintbrush.pointed"), Style::prominentText()));
    controls->addWidget(m_paintButton);
    column->addLayout(controls);

    m_paintingsLayout->setContentsMargins(0, 0, 0, 0);
    m_paintingsLayout->setSpacing(8);
    m_paintingsLayout->addStretch(1);
    column->addWidget(m_paintingsRow);

    column->addWidget(buildReferences());
    m_notice->setWordWrap(true);
    column->addWidget(m_notice);

    connect(m_prompt, &QPlainTextEdit::textChanged, this, &CoverPaint::refresh);
    // Two lines to begin with, up to three as the words grow.
    connect(m_prompt->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
        [this] {
            const int line = QFontMetrics(m_prompt->font()).lineSpacing();
            const int lines = std::clamp(int(m_prompt->document()->size().height()), 2, 3);
            m_prompt->setFixedHeight(lines * line + 16);
        });
    m_prompt->setFixedHeight(2 * QFontMetrics(m_prompt->font()).lineSpacing() + 16);
    connect(ideasMenu, &QMenu::aboutToShow, this, &CoverPaint::fillIdeas);
    connect(m_look, &QComboBox::activated, this,
        [this](int index) { m_artStyle = m_look->itemData(index).toString(); });
    connect(m_paintButton, &QPushButton::clicked, this, &CoverPaint::paint);
    connect(m_model, &WizardModel::paintingsChanged, this, &CoverPaint::refreshPaintings);
    for (auto signal : { &WizardModel::paintingChanged, &WizardModel::designChanged })
        connect(m_model, signal, this, &CoverPaint::refresh);
    connect(step, &CoverStep::referencesChanged, this, &CoverPaint::refresh);
    refreshPaintings();
    refresh();
}

QWidget *CoverPaint::buildReferences()
{
    auto *box = new QWidget;
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    m_disclosure->setObjectName(QStringLiteral("referencesToggle"));
    m_disclosure->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_disclosure->setFont(Style::font(Style::Text::Callout));
    m_disclosure->setCursor(Qt::PointingHandCursor);
    m_disclosure->setIconSize(QSize(12, 12));
    Style::setLook(m_disclosure, Style::ButtonLook::Plain);
    column->addWidget(m_disclosure, 0, Qt::AlignLeft);
    m_referenceBox = new QWidget;
    auto *inner = new QVBoxLayout(m_referenceBox);
    inner->setContentsMargins(0, 4, 0, 0);
    m_referenceStrip = new PhotoStrip(m_model, 52);
    inner->addWidget(m_referenceStrip);
    column->addWidget(m_referenceBox);
    connect(m_disclosure, &QToolButton::clicked, this, [this] { setUsingReferences(!m_usingReferences); });
    connect(m_referenceStrip, &PhotoStrip::addRequested, m_step, &CoverStep::choosePicture);
    connect(m_referenceStrip, &PhotoStrip::picked, m_step, &CoverStep::toggleReference);
    connect(m_step, &CoverStep::photosChanged, m_referenceStrip, &PhotoStrip::reload);
    return box;
}

QString CoverPaint::prompt() const
{
    return m_prompt->toPlainText();
}

void CoverPaint::setPrompt(const QString &prompt)
{
    if (m_prompt->toPlainText() != prompt)
        m_prompt->setPlainText(prompt);
}

void CoverPaint::setArtStyle(const QString &key)
{
    m_artStyle = key;
    m_look->setCurrentIndex(m_look->findData(key));
}

void CoverPaint::setUsingReferences(bool open)
{
    m_usingReferences = open;
    refresh();
}

QStringList CoverPaint::shownPaintings() const
{
    return m_shown;
}

void CoverPaint::paint()
{
    m_step->setError(std::nullopt);
    m_model->paint(prompt(), m_artStyle, m_step->references(), 2);
}

void CoverPaint::fillIdeas()
{
    auto *menu = m_ideas->menu();
    menu->clear();
    for (const QString &idea : paintIdeas(*m_model)) {
        QAction *action = menu->addAction(Style::literal(idea));
        action->setFont(WizardLook::withEmoji(menu->font()));
        connect(action, &QAction::triggered, this, [this, idea] { setPrompt(idea); });
    }
}

void CoverPaint::refreshPaintings()
{
    const QStringList newest = m_model->paintings().mid(0, 4);
    if (newest == m_shown)
        return;
    m_shown = newest;
    while (QLayoutItem *item = m_paintingsLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const QString &path : newest) {
        auto *thumb = new PictureThumb(path, paintingSize);
        m_paintingsLayout->addWidget(thumb);
        connect(thumb, &QAbstractButton::clicked, this, [this, path] { m_step->useArt(path); });
        QPointer<PictureThumb> guard(thumb);
        [](QPointer<PictureThumb> thumb, QString path, int side) -> QCoro::Task<void> {
            const QImage image = co_await PictureThumb::read(path, side);
            if (thumb)
                thumb->setImage(image);
        }(guard, path, int(2 * paintingSize * devicePixelRatioF()));
    }
    m_paintingsLayout->addStretch(1);
    refresh();
}

void CoverPaint::refresh()
{
    const bool running = m_model->painting() >= 1;
    m_spinner->setVisible(running);
    m_paintButton->setText(running ? QStringLiteral("Painting\u2026") : QStringLiteral("Paint Two"));
    m_paintButton->setEnabled(!running && canPaint(prompt()));
    m_paintingsRow->setVisible(!m_shown.isEmpty());
    const std::optional<QString> image = m_model->design().cover.image;
    for (int i = 0; i < m_paintingsLayout->count(); ++i) {
        if (auto *thumb = qobject_cast<PictureThumb *>(m_paintingsLayout->itemAt(i)->widget()))
            thumb->setSelected(image == thumb->path());
    }
    const int count = int(m_step->references().size());
    m_disclosure->setText(count == 0 ? QStringLiteral("Paint from your photos")
                                     : QStringLiteral("Painting from %1 of your photos").arg(count));
    m_disclosure->setIcon(
        Icons::icon(m_usingReferences ? QStringLiteral("chevron.down") : QStringLiteral("chevron.right"),
            Style::color(Style::Tone::Secondary)));
    m_referenceBox->setVisible(m_usingReferences);
    m_referenceStrip->setSelected(m_step->references());
    m_notice->setText(count > 0
            ? QStringLiteral("The words and the photos you picked are sent to Google's image model "
                             "to paint it, and not kept. Never your messages.")
            : QStringLiteral("Only the words you type are sent to paint it, never your messages."));
}
