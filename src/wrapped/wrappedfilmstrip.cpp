#include "wrappedfilmstrip.h"

#include "ui/accessibility.h"
#include "ui/style.h"
#include "wrappedcardview.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr qreal thumbnailScale = 0.2;
constexpr QSize cardSize(72, 128);
// Room around the card for the ring of the one shown: drawn inside the
// card, a ring in the brand colour would vanish on cards of that colour.
constexpr int ringRoom = 3;
constexpr int stripHeight = 166;

} // namespace

// A card drawn at a fifth of its story size; pressing it shows the card.
class WrappedFilmstrip::Thumbnail : public QAbstractButton
{
public:
    explicit Thumbnail(QWidget *parent = nullptr)
        : QAbstractButton(parent)
    {
        // Checked is the card shown: to a listener, the button is selected.
        Accessibility::setKind(this, Accessibility::Kind::Shows);
        setFixedSize(cardSize + QSize(2 * ringRoom, 2 * ringRoom));
        setCheckable(true);
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::PointingHandCursor);
    }

    void setContent(const WrappedCardView::Content &content, bool shown, bool shared)
    {
        m_content = content;
        m_shared = shared;
        setChecked(shown);
        update();
    }

protected:
    // Checked is the card shown; the screen decides, not a click, so a
    // click on the card already shown leaves it shown.
    void nextCheckState() override { }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF card(QPointF(ringRoom, ringRoom), QSizeF(cardSize));
        QPainterPath corners;
        corners.addRoundedRect(card, 3, 3);
        painter.save();
        painter.setClipPath(corners);
        painter.setOpacity(m_shared ? 1 : 0.45);
        painter.translate(card.topLeft());
        painter.scale(thumbnailScale, thumbnailScale);
        WrappedCardView::paint(painter, m_content);
        painter.restore();
        if (isChecked() || hasFocus()) {
            QColor ring = Style::brand();
            if (!isChecked())
                ring.setAlphaF(0.45f);
            painter.setPen(QPen(ring, 2));
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
        }
    }

private:
    WrappedCardView::Content m_content;
    bool m_shared = true;
};

// One card of the strip: its thumbnail over its share box.
class WrappedFilmstrip::Item : public QWidget
{
public:
    Item(const QString &id, WrappedFilmstrip *strip)
        : QWidget(strip)
        , m_thumbnail(new Thumbnail)
        , m_box(new QCheckBox)
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(6);
        column->addWidget(m_thumbnail, 0, Qt::AlignHCenter);
        column->addWidget(m_box, 0, Qt::AlignHCenter);
        connect(
            m_thumbnail, &QAbstractButton::clicked, strip, [strip, id] { emit strip->focusRequested(id); });
        connect(m_box, &QAbstractButton::clicked, strip,
            [strip, id](bool on) { emit strip->inclusionRequested(id, on); });
    }

    Thumbnail *thumbnail() const { return m_thumbnail; }
    QCheckBox *box() const { return m_box; }

    void setContent(
        const WrappedCardView::Content &content, bool shown, bool shared, const QString &description)
    {
        m_thumbnail->setContent(content, shown, shared);
        m_thumbnail->setAccessibleName(description);
        // Each box is heard apart from the others: by the card it shares.
        m_box->setAccessibleName(QStringLiteral("In the share: ") + description);
        m_box->setChecked(shared);
        m_box->setToolTip(shared ? QStringLiteral("In the share") : QStringLiteral("Not in the share"));
    }

private:
    Thumbnail *m_thumbnail;
    QCheckBox *m_box;
};

WrappedFilmstrip::WrappedFilmstrip(QWidget *parent)
    : SideScroll(parent)
    , m_row(new QWidget)
    , m_items(new QHBoxLayout(m_row))
{
    setWidgetResizable(true);
    setFixedHeight(stripHeight);
    m_row->setAutoFillBackground(false);
    m_items->setContentsMargins(0, 4, 0, 4);
    m_items->setSpacing(10);
    m_items->addStretch(1);
    m_items->addStretch(1);
    setWidget(m_row);
}

void WrappedFilmstrip::rebuild(const Wrapped &wrapped)
{
    for (Item *item : m_cards)
        delete item;
    m_cards.clear();
    m_ids.clear();
    for (const Wrapped::Card &card : wrapped.cards) {
        auto *item = new Item(card.id, this);
        // Between the two stretches that keep the row centred.
        m_items->insertWidget(m_items->count() - 1, item);
        m_cards.append(item);
        m_ids.append(card.id);
    }
}

void WrappedFilmstrip::setCards(const Cards &cards)
{
    QStringList ids;
    for (const Wrapped::Card &card : cards.wrapped.cards)
        ids.append(card.id);
    if (ids != m_ids)
        rebuild(cards.wrapped);
    for (qsizetype i = 0; i < m_cards.size(); ++i) {
        const Wrapped::Card &card = cards.wrapped.cards[i];
        // Thumbnails are story cards, whatever shape the share has.
        m_cards[i]->setContent(
            { card, cards.wrapped, cards.settings, cards.code, WrappedSettings::Format::Story, 1 },
            card.id == cards.focused, cards.settings.selection.contains(card.id),
            cards.descriptions.value(card.id));
    }
    if (const qsizetype shown = m_ids.indexOf(cards.focused); shown >= 0)
        ensureWidgetVisible(m_cards[shown], 20, 0);
}

QAbstractButton *WrappedFilmstrip::thumbnail(const QString &id) const
{
    const qsizetype index = m_ids.indexOf(id);
    return index < 0 ? nullptr : m_cards[index]->thumbnail();
}

QAbstractButton *WrappedFilmstrip::shareBox(const QString &id) const
{
    const qsizetype index = m_ids.indexOf(id);
    return index < 0 ? nullptr : m_cards[index]->box();
}

QSize WrappedFilmstrip::sizeHint() const
{
    return { 400, stripHeight };
}
