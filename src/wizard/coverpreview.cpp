#include "coverpreview.h"

#include "ui/errors.h"
#include "ui/segmentedcontrol.h"
#include "ui/softshadow.h"
#include "ui/spinner.h"
#include "ui/style.h"
#include "wizardmodel.h"

#include <QEasingCurve>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

constexpr int frontWidth = 240;
constexpr int sheetWidth = 330;
constexpr int frameHeight = 384;
// Room around the frame for the shadow, which would be cut off at the
// widget's edge.
constexpr int side = 12;
constexpr int above = 4;
constexpr int below = 20;

QImage readPicture(const QString &path)
{
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    QImage image = reader.read();
    return image;
}

} // namespace

// The frame: the picture fitted into it, or the placeholder with its
// spinner. Its width moves between the front's and the sheet's.
class CoverFrame : public QWidget
{
public:
    explicit CoverFrame(QWidget *parent)
        : QWidget(parent)
        , m_spinner(new Spinner(Spinner::Size::Regular, this))
        , m_animation(new QVariantAnimation(this))
    {
        setObjectName(QStringLiteral("coverFrame"));
        setFixedSize(sheetWidth + 2 * side, frameHeight + above + below);
        m_animation->setDuration(380);
        m_animation->setEasingCurve(QEasingCurve::OutCubic);
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
            m_width = value.toReal();
            update();
        });
        m_spinner->hide();
    }

    void setImage(const QImage &image, bool rounded)
    {
        m_image = image;
        m_rounded = rounded;
        m_scaled = QPixmap();
        placeSpinner();
        update();
    }
    const QImage &image() const { return m_image; }

    void setFrameWidth(qreal width, bool animated)
    {
        m_animation->stop();
        if (!animated || !isVisible()) {
            m_width = width;
            update();
            return;
        }
        m_animation->setStartValue(m_width);
        m_animation->setEndValue(width);
        m_animation->start();
    }

    void setWaiting(bool waiting)
    {
        m_waiting = waiting;
        placeSpinner();
    }
    bool isWaiting() const { return m_spinner->isVisible(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF frame((width() - m_width) / 2, above, m_width, frameHeight);
        if (m_image.isNull()) {
            const QRectF box = fitted(frame, QSizeF(0.625, 1));
            QPainterPath shape;
            shape.addRoundedRect(box, 3, 3);
            painter.fillPath(shape, Style::color(Style::Tone::Quaternary));
            return;
        }
        const QRectF box = fitted(frame, m_image.size()).toAlignedRect();
        SoftShadow::paint(painter, box, m_rounded ? 3 : 0, 14, QPointF(0, 8), QColor(0, 0, 0, 56));
        const qreal ratio = devicePixelRatioF();
        const QSize pixels = (box.size() * ratio).toSize();
        if (m_scaled.size() != pixels) {
            m_scaled
                = QPixmap::fromImage(m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            m_scaled.setDevicePixelRatio(ratio);
        }
        if (m_rounded) {
            QPainterPath clip;
            clip.addRoundedRect(box, 3, 3);
            painter.setClipPath(clip);
        }
        painter.drawPixmap(box.topLeft(), m_scaled);
    }

private:
    static QRectF fitted(const QRectF &frame, const QSizeF &size)
    {
        const QSizeF fit = size.scaled(frame.size(), Qt::KeepAspectRatio);
        return { frame.center().x() - fit.width() / 2, frame.center().y() - fit.height() / 2, fit.width(),
            fit.height() };
    }

    void placeSpinner()
    {
        m_spinner->move((width() - m_spinner->width()) / 2, above + (frameHeight - m_spinner->height()) / 2);
        m_spinner->setVisible(m_waiting && m_image.isNull());
    }

    QImage m_image;
    QPixmap m_scaled;
    bool m_rounded = true;
    bool m_waiting = false;
    qreal m_width = frontWidth;
    Spinner *m_spinner;
    QVariantAnimation *m_animation;
};

CoverPreview::CoverPreview(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_picture(new CoverFrame(this))
    , m_switch(new SegmentedControl)
    , m_failure(new ErrorLabel)
{
    setObjectName(QStringLiteral("coverPreview"));
    setFixedWidth(sheetWidth + 2 * side);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    // The frame's room for its shadow is the gap above the switch.
    column->setSpacing(0);
    column->addWidget(m_picture, 0, Qt::AlignHCenter);
    m_switch->setLabels({ QStringLiteral("Front"), QStringLiteral("Spine and Back") });
    m_switch->setAccessibleName(QStringLiteral("Side of the cover"));
    m_switch->setFont(Style::font(Style::Text::Callout));
    m_switch->setFixedWidth(220);
    m_switch->setCurrentIndex(0);
    column->addWidget(m_switch, 0, Qt::AlignHCenter);
    m_failure->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_failure->setContentsMargins(side, 2, side, 0);
    column->addWidget(m_failure);

    connect(m_switch, &SegmentedControl::activated, this, [this](int index) { setWholeSheet(index == 1); });
    connect(model, &WizardModel::coverFrontChanged, this, [this] {
        loadFront();
        refresh();
    });
    connect(model, &WizardModel::coverPreviewChanged, this, [this] {
        loadSheet();
        refresh();
    });
    for (auto signal : { &WizardModel::renderingCoverChanged, &WizardModel::coverFailureChanged })
        connect(model, signal, this, &CoverPreview::refresh);
    loadFront();
    loadSheet();
    refresh();
}

void CoverPreview::setWholeSheet(bool wholeSheet)
{
    if (m_wholeSheet == wholeSheet)
        return;
    m_wholeSheet = wholeSheet;
    m_switch->setCurrentIndex(wholeSheet ? 1 : 0);
    m_picture->setFrameWidth(wholeSheet ? sheetWidth : frontWidth, true);
    refresh();
}

QImage CoverPreview::shown() const
{
    return m_picture->image();
}

bool CoverPreview::isWaiting() const
{
    return m_picture->isWaiting();
}

void CoverPreview::loadFront()
{
    const QString path = m_model->coverFront().value_or(QString());
    if (path == m_frontPath)
        return;
    const QImage image = readPicture(path);
    // A picture that can't be read keeps the one before.
    if (!image.isNull() || path.isEmpty()) {
        m_frontPath = path;
        m_front = image;
    }
}

void CoverPreview::loadSheet()
{
    const QString path = m_model->coverPreview().value_or(QString());
    if (path == m_sheetPath)
        return;
    const QImage image = readPicture(path);
    if (!image.isNull() || path.isEmpty()) {
        m_sheetPath = path;
        m_sheet = image;
    }
}

void CoverPreview::refresh()
{
    m_picture->setImage(m_wholeSheet ? m_sheet : m_front, !m_wholeSheet);
    m_picture->setWaiting(m_model->isRenderingCover());
    const std::optional<QString> failure = m_model->coverFailure();
    m_failure->setError(failure ? QStringLiteral("The cover didn't come out. ") + *failure : QString());
}
