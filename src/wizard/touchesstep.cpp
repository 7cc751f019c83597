#include "touchesstep.h"

#include "insights/pinpages.h"
#include "model/day.h"
#include "model/text.h"
#include "ui/clampedlabel.h"
#include "ui/style.h"
#include "ui/toggleswitch.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QWidget *labelled(const QString &heading, std::initializer_list<QWidget *> below)
{
    auto *box = new QWidget;
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addWidget(Style::label(heading, Style::Text::Headline));
    for (QWidget *line : below)
        column->addWidget(line);
    return box;
}

} // namespace

TouchesStep::TouchesStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    m_column = new QVBoxLayout(this);
    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(18);
    m_column->addWidget(dedicationBlock());
    m_column->addWidget(receiptRow());
    addInsightBlocks();
    connect(model, &WizardModel::insightsChanged, this, &TouchesStep::addInsightBlocks);
    connect(model, &WizardModel::changed, this, &TouchesStep::refresh);
    refresh();
}

void TouchesStep::addInsightBlocks()
{
    if (!m_pin && m_model->firstLove())
        m_column->insertWidget(2, pinRow());
    if (!m_wordsBlock && !suggestedWords(m_model->insights()).isEmpty())
        m_column->addWidget(wordsBlock());
}

QString TouchesStep::receiptPreview(const WizardModel &model)
{
    const std::optional<Insights> &insights = model.insights();
    QStringList pieces { QStringLiteral("MESSAGES ")
        + Style::number(insights ? insights->messages(model.from(), model.effectiveTo()) : 0) };
    if (insights) {
        for (const QStringList &line : insights->receiptLines.mid(0, 3))
            pieces.append(Text::isolated(line.value(0).toUpper()) + QLatin1Char(' ')
                + Text::isolated(line.value(1).toUpper()));
    }
    return pieces.join(QStringLiteral(" \u00B7 "));
}

QStringList TouchesStep::suggestedWords(const std::optional<Insights> &insights)
{
    QStringList words;
    if (!insights)
        return words;
    for (const Insights::Moment &moment : insights->moments) {
        if (!moment.id.startsWith(QLatin1String("words-")))
            continue;
        for (const QString &piece : moment.detail.split(QStringLiteral(", "))) {
            const QStringList parts = piece.split(QChar(0x201D), Qt::SkipEmptyParts);
            if (!parts.isEmpty())
                words.append(parts.first().mid(1));
        }
    }
    return words;
}

QString TouchesStep::pinCaption(const WizardModel &model)
{
    const std::optional<BookFile::Message> love = model.firstLove();
    if (!love || !model.insights())
        return {};
    // A first "I love you" before the chosen start has no page of its own;
    // the book's first page is where it would go.
    return longDay(love->day()) + QStringLiteral(". It would land around page ")
        + QString::number(model.loveLanding())
        + QStringLiteral("; choose a later page that means something.");
}

std::optional<QString> TouchesStep::pinCost(const WizardModel &model)
{
    const std::optional<Edits::Pin> pin = model.lovePin();
    const std::optional<BookFile::Message> love = model.firstLove();
    // Outside the range the message isn't printed, and its pin adds nothing.
    if (!pin || !model.insights() || love->day() < model.from() || model.effectiveTo() < love->day())
        return std::nullopt;
    return PinPages::cost(pin->page, model.loveLanding());
}

QWidget *TouchesStep::dedicationBlock()
{
    auto *box = new QWidget;
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    QLabel *heading = Style::label(QStringLiteral("A dedication"), Style::Text::Headline);
    column->addWidget(heading);
    m_dedication = new QPlainTextEdit;
    // The heading names the field for a screen reader.
    heading->setBuddy(m_dedication);
    m_dedication->setObjectName(QStringLiteral("dedication"));
    m_dedication->setFont(WizardLook::withEmoji(Style::bookFont(QStringLiteral("EB Garamond"), 17)));
    m_dedication->setFixedHeight(64 + 16);
    m_dedication->setPlainText(m_model->dedication());
    connect(m_dedication, &QPlainTextEdit::textChanged, this,
        [this] { m_model->setDedication(m_dedication->toPlainText()); });
    column->addWidget(m_dedication);
    column->addWidget(Style::label(QStringLiteral("It gets a page of its own, before the first chapter."),
        Style::Text::Caption, Style::Tone::Secondary));
    return box;
}

QWidget *TouchesStep::receiptRow()
{
    auto *box = new QWidget;
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    m_receiptPreview = new ClampedLabel(2);
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(Style::font(Style::Text::Caption).pixelSize());
    m_receiptPreview->setFont(mono);
    Style::setTone(m_receiptPreview, Style::Tone::Secondary);
    row->addWidget(labelled(QStringLiteral("A receipt at the back"), { m_receiptPreview }), 1);
    m_receipt = new ToggleSwitch;
    m_receipt->setAccessibleName(QStringLiteral("A receipt at the back"));
    connect(m_receipt, &ToggleSwitch::toggled, this, [this](bool on) {
        Design design = m_model->design();
        design.receipt = on;
        m_model->setDesign(design);
    });
    row->addWidget(m_receipt, 0, Qt::AlignVCenter);
    return box;
}

QWidget *TouchesStep::pinRow()
{
    m_pin = new QWidget;
    auto *row = new QHBoxLayout(m_pin);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    m_pinCaption = Style::label(QString(), Style::Text::Caption, Style::Tone::Secondary);
    m_pinCost = Style::label(QString(), Style::Text::Caption);
    m_pinCost->setObjectName(QStringLiteral("pinCost"));
    m_pinCost->hide();
    m_pinMoves = Style::label(QString(), Style::Text::Caption);
    m_pinMoves->setObjectName(QStringLiteral("pinMoves"));
    m_pinMoves->hide();
    row->addWidget(labelled(QStringLiteral("Put the first \u201CI love you\u201D on a page you choose"),
                       { m_pinCaption, m_pinCost, m_pinMoves }),
        1);
    m_pinPage = new QLineEdit;
    m_pinPage->setPlaceholderText(QStringLiteral("Page"));
    m_pinPage->setAccessibleName(QStringLiteral("Page for the first \u201CI love you\u201D"));
    m_pinPage->setFixedWidth(64);
    m_pinPage->setAlignment(Qt::AlignRight);
    m_pinPage->setValidator(new QIntValidator(1, 99999, m_pinPage));
    m_pinPage->setText(QString::number(m_model->pinPage()));
    connect(m_pinPage, &QLineEdit::textEdited, this, [this](const QString &text) {
        bool ok = false;
        const int page = QLocale().toInt(text, &ok);
        if (ok && page >= 1)
            m_model->setPinPage(page);
    });
    row->addWidget(m_pinPage, 0, Qt::AlignVCenter);
    m_pinLove = new ToggleSwitch;
    m_pinLove->setAccessibleName(QStringLiteral("Put the first \u201CI love you\u201D on a page you choose"));
    connect(m_pinLove, &ToggleSwitch::toggled, this, [this](bool on) { m_model->setPinLove(on); });
    row->addWidget(m_pinLove, 0, Qt::AlignVCenter);
    return m_pin;
}

QWidget *TouchesStep::wordsBlock()
{
    auto *box = new QWidget;
    m_wordsBlock = box;
    auto *column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(
        Style::label(QStringLiteral("Set your words in bold, every time"), Style::Text::Headline));
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    for (const QString &word : suggestedWords(m_model->insights())) {
        auto *toggle = new QPushButton(Style::literal(word));
        toggle->setProperty("word", word);
        toggle->setCheckable(true);
        toggle->setAutoDefault(false);
        toggle->setFont(WizardLook::withEmoji(toggle->font()));
        Style::setLook(toggle, Style::ButtonLook::Chip);
        connect(toggle, &QPushButton::toggled, this, [this, word](bool on) {
            QSet<QString> words = m_model->words();
            if (on)
                words.insert(word);
            else
                words.remove(word);
            m_model->setWords(words);
        });
        row->addWidget(toggle);
        m_words.append(toggle);
    }
    row->addStretch(1);
    column->addLayout(row);
    return box;
}

void TouchesStep::refresh()
{
    if (!m_dedication->hasFocus() && m_dedication->toPlainText() != m_model->dedication()) {
        const QSignalBlocker quiet(m_dedication);
        m_dedication->setPlainText(m_model->dedication());
    }
    {
        const QSignalBlocker quiet(m_receipt);
        m_receipt->setChecked(m_model->design().receipt);
    }
    m_receiptPreview->setText(receiptPreview(*m_model));
    if (m_pin) {
        const QSignalBlocker quiet(m_pinLove);
        m_pinLove->setChecked(m_model->pinLove());
        m_pinCaption->setText(pinCaption(*m_model));
        const std::optional<QString> cost = pinCost(*m_model);
        m_pinCost->setText(cost.value_or(QString()));
        m_pinCost->setVisible(cost.has_value());
        const std::optional<PinPages::Moved> moved = m_model->movedPin();
        m_pinMoves->setText(moved ? PinPages::movedText(*moved) : QString());
        m_pinMoves->setVisible(moved.has_value());
        Style::setCaution(m_pinMoves);
        m_pinPage->setEnabled(m_model->pinLove());
        if (!m_pinPage->hasFocus())
            m_pinPage->setText(QString::number(m_model->pinPage()));
    }
    for (QPushButton *toggle : m_words) {
        const QSignalBlocker quiet(toggle);
        toggle->setChecked(m_model->words().contains(toggle->property("word").toString()));
    }
}
