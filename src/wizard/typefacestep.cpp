#include "typefacestep.h"

#include "project/project.h"
#include "ui/card.h"
#include "ui/clampedlabel.h"
#include "ui/style.h"
#include "wizardlook.h"
#include "wizardmodel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

struct LayoutChoice
{
    QString key;
    QString label;
    QString description;
};

const QList<LayoutChoice> &layouts()
{
    static const QList<LayoutChoice> list {
        { QStringLiteral("novel"), QStringLiteral("A book"),
            QStringLiteral(
                "Your messages left, everyone else's right, with a name when the speaker changes.") },
        { QStringLiteral("chatroom"), QStringLiteral("A chat room"),
            QStringLiteral(
                "Every message on its own line with its time and a screen name, like an old chat log.") },
    };
    return list;
}

// A rounded sheet of paper, near-white in either appearance.
class Paper : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 0, 18), 1));
        painter.setBrush(QColor(0xfc, 0xfc, 0xfc));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
};

// Two messages on paper: always black on near-white, whatever the
// appearance, as they will be printed.
QWidget *sampleView(const QString &family, QList<ClampedLabel *> &lines)
{
    auto *paper = new Paper;
    paper->setObjectName(QStringLiteral("sample"));
    auto *column = new QVBoxLayout(paper);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(4);
    QFont face = WizardLook::withEmoji(QFont(family));
    face.setPixelSize(17);
    for (const Qt::Alignment alignment : { Qt::AlignLeft, Qt::AlignRight }) {
        auto *line = new ClampedLabel(2);
        line->setFont(face);
        line->setAlignment(alignment | Qt::AlignTop);
        QPalette palette = line->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        line->setPalette(palette);
        column->addWidget(line);
        lines.append(line);
    }
    return paper;
}

} // namespace

TypefaceStep::TypefaceStep(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    if (model->project()->book().people.size() >= 3) {
        column->addWidget(layoutPicker());
        column->addSpacing(6);
    }
    for (const Face &face : faces())
        column->addWidget(faceCard(face));
    connect(model, &WizardModel::designChanged, this, &TypefaceStep::refresh);
    connect(model, &WizardModel::insightsChanged, this, &TypefaceStep::refreshSamples);
    refresh();
    refreshSamples();
}

const QList<TypefaceStep::Face> &TypefaceStep::faces()
{
    static const QList<Face> list {
        { QStringLiteral("pagella"), QStringLiteral("Palatino style"),
            QStringLiteral("Warm and open, the classic book face."), QStringLiteral("TeX Gyre Pagella") },
        { QStringLiteral("garamond"), QStringLiteral("Garamond"),
            QStringLiteral("Old-world and literary, like a novel off the shelf."),
            QStringLiteral("EB Garamond") },
        { QStringLiteral("libertinus"), QStringLiteral("Libertinus"),
            QStringLiteral("Crisp and modern, a little more contemporary."),
            QStringLiteral("Libertinus Serif") },
    };
    return list;
}

QPair<QString, QString> TypefaceStep::samplePair(
    const BookFile &book, const std::optional<BookFile::Message> &love)
{
    const QList<BookFile::Message> &messages = book.messages;
    if (love && love->text) {
        const auto at = std::find_if(messages.cbegin(), messages.cend(),
            [&](const BookFile::Message &message) { return message.id == love->id; });
        const auto end = at == messages.cend() ? at : at + std::min<qsizetype>(20, messages.cend() - at);
        const auto reply = std::find_if(at, end,
            [&](const BookFile::Message &message) { return message.from != love->from && message.text; });
        if (reply != end) {
            if (love->from == QLatin1String("me"))
                return { *love->text, *reply->text };
            return { *reply->text, *love->text };
        }
    }
    if (messages.isEmpty())
        return { QStringLiteral("you up?"), QStringLiteral("always") };
    QString mine = QStringLiteral("you up?");
    QString theirs = QStringLiteral("always");
    const auto firstText = [&](bool me) {
        return std::find_if(messages.cbegin(), messages.cend(), [&](const BookFile::Message &message) {
            return (message.from == QLatin1String("me")) == me && message.text;
        });
    };
    if (const auto own = firstText(true); own != messages.cend())
        mine = *own->text;
    if (const auto other = firstText(false); other != messages.cend())
        theirs = *other->text;
    return { mine, theirs };
}

QWidget *TypefaceStep::layoutPicker()
{
    auto *row = new QWidget;
    auto *cards = new QHBoxLayout(row);
    cards->setContentsMargins(0, 0, 0, 0);
    cards->setSpacing(10);
    for (const LayoutChoice &choice : layouts()) {
        auto *card = new Card;
        card->content()->addWidget(Style::label(choice.label, Style::Text::Headline));
        card->content()->addWidget(
            Style::label(choice.description, Style::Text::Callout, Style::Tone::Secondary));
        card->content()->addStretch(1);
        connect(card, &Card::clicked, this, [this, key = choice.key] {
            Design design = m_model->design();
            design.layout = key == QLatin1String("novel") ? std::nullopt : std::optional(key);
            m_model->setDesign(design);
        });
        cards->addWidget(card, 1);
        m_layouts.append({ choice.key, card });
    }
    return row;
}

Card *TypefaceStep::faceCard(const Face &face)
{
    auto *card = new Card;
    auto *row = new QHBoxLayout;
    row->setSpacing(20);
    auto *words = new QWidget;
    words->setFixedWidth(200);
    auto *text = new QVBoxLayout(words);
    text->setContentsMargins(0, 0, 0, 0);
    text->setSpacing(3);
    text->addWidget(Style::label(face.label, Style::Text::Headline));
    text->addWidget(Style::label(face.description, Style::Text::Callout, Style::Tone::Secondary));
    text->addStretch(1);
    row->addWidget(words, 0, Qt::AlignTop);
    row->addWidget(sampleView(face.family, m_samples), 1);
    card->content()->addLayout(row);
    connect(card, &Card::clicked, this, [this, key = face.key] {
        Design design = m_model->design();
        design.font = key;
        m_model->setDesign(design);
    });
    m_faces.append({ face.key, card });
    return card;
}

void TypefaceStep::refresh()
{
    const Design &design = m_model->design();
    for (const auto &[key, card] : m_layouts)
        card->setSelected(design.layout.value_or(QStringLiteral("novel")) == key);
    for (const auto &[key, card] : m_faces)
        card->setSelected(design.font == key);
}

void TypefaceStep::refreshSamples()
{
    const QPair<QString, QString> sample = samplePair(m_model->project()->book(), m_model->firstLove());
    for (int i = 0; i + 1 < m_samples.size(); i += 2) {
        m_samples[i]->setText(sample.first);
        m_samples[i + 1]->setText(sample.second);
    }
}
