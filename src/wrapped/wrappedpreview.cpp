#include "wrappedpreview.h"

#include <QGraphicsDropShadowEffect>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>

namespace {

constexpr qreal largest = 1.15;
// Low enough that the card, its filmstrip and the strip of rewards all fit
// the smallest window; the card is drawn smaller there.
constexpr int leastHeight = 240;
constexpr int fadeMs = 220;

} // namespace

// The card itself, placed and sized by the preview; it carries the shadow.
class WrappedPreview::Face : public QWidget
{
public:
    explicit Face(QWidget *parent)
        : QWidget(parent)
        , m_fade(new QVariantAnimation(this))
    {
        auto *shadow = new QGraphicsDropShadowEffect(this);
        shadow->setColor(QColor(0, 0, 0, 56));
        shadow->setBlurRadius(36);
        shadow->setOffset(0, 8);
        setGraphicsEffect(shadow);
        m_fade->setStartValue(0.0);
        m_fade->setEndValue(1.0);
        m_fade->setDuration(fadeMs);
        m_fade->setEasingCurve(QEasingCurve::InOutQuad);
        connect(m_fade, &QVariantAnimation::valueChanged, this, qOverload<>(&QWidget::update));
    }

    void setContent(const WrappedCardView::Content &content, qreal scale)
    {
        // Another card fades in over the one shown; a new look of the same
        // card is simply drawn.
        const bool another = m_content && m_content->card.id != content.card.id && isVisible();
        if (another) {
            m_previous = grab();
            m_fade->stop();
            m_fade->start();
        }
        m_content = content;
        m_scale = scale;
        update();
    }

    void setScale(qreal scale)
    {
        m_scale = scale;
        m_previous = QPixmap();
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_content)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath corners;
        corners.addRoundedRect(QRectF(rect()), 6 * m_scale, 6 * m_scale);
        painter.setClipPath(corners);
        const qreal shown
            = m_fade->state() == QAbstractAnimation::Running ? m_fade->currentValue().toReal() : 1;
        if (shown < 1 && !m_previous.isNull()) {
            painter.drawPixmap(rect(), m_previous);
            painter.setOpacity(shown);
        }
        painter.scale(m_scale, m_scale);
        WrappedCardView::paint(painter, *m_content);
    }

private:
    std::optional<WrappedCardView::Content> m_content;
    qreal m_scale = 1;
    QPixmap m_previous;
    QVariantAnimation *m_fade;
};

WrappedPreview::WrappedPreview(QWidget *parent)
    : QWidget(parent)
    , m_face(new Face(this))
{
    setMinimumHeight(leastHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_face->hide();
}

void WrappedPreview::setContent(const std::optional<WrappedCardView::Content> &content)
{
    m_content = content;
    if (!content) {
        m_face->hide();
        setAccessibleName(QString());
        return;
    }
    place();
    m_face->setContent(*content, scale());
    m_face->show();
}

qreal WrappedPreview::scale() const
{
    if (!m_content)
        return 1;
    const QSizeF card = WrappedCardView::size(m_content->settings.format);
    return std::min({ width() / card.width(), height() / card.height(), largest });
}

QRectF WrappedPreview::cardRect() const
{
    if (!m_content)
        return {};
    const QSizeF card = WrappedCardView::size(m_content->settings.format) * scale();
    return { QPointF((width() - card.width()) / 2, (height() - card.height()) / 2), card };
}

QSize WrappedPreview::sizeHint() const
{
    return { 420, 660 };
}

QSize WrappedPreview::minimumSizeHint() const
{
    return { 200, leastHeight };
}

void WrappedPreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_content)
        return;
    place();
    m_face->setScale(scale());
}

void WrappedPreview::place()
{
    m_face->setGeometry(cardRect().toRect());
}
