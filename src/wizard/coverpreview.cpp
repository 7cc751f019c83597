#include "coverpreview.h"

#include "app/style.h"
#include "wizardmodel.h"

#include <QGraphicsDropShadowEffect>
#include <QImageReader>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int previewWidth = 560;

} // namespace

CoverPreview::CoverPreview(WizardModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_picture(new QLabel)
    , m_waiting(Style::label(QStringLiteral("The cover appears here once it is set."), Style::Text::Body,
          Style::Tone::Secondary))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    auto *shadow = new QGraphicsDropShadowEffect(m_picture);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(24);
    shadow->setOffset(0, 6);
    m_picture->setGraphicsEffect(shadow);
    m_picture->setObjectName(QStringLiteral("coverSpread"));
    column->addWidget(m_picture, 0, Qt::AlignLeft);
    column->addWidget(m_waiting);
    connect(model, &WizardModel::coverPreviewChanged, this, &CoverPreview::refresh);
    refresh();
}

void CoverPreview::refresh()
{
    const QString path = m_model->coverPreview().value_or(QString());
    if (path == m_shown && !path.isEmpty())
        return;
    m_shown = path;
    m_picture->setPixmap(QPixmap());
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!path.isEmpty() && size.isValid() && size.width() > 0) {
        const qreal ratio = devicePixelRatioF();
        reader.setScaledSize(
            QSize(int(previewWidth * ratio), int(previewWidth * ratio * size.height() / size.width())));
        QImage image = reader.read();
        image.setDevicePixelRatio(ratio);
        m_picture->setPixmap(QPixmap::fromImage(image));
    }
    const bool shown = !m_picture->pixmap().isNull();
    m_picture->setVisible(shown);
    m_waiting->setVisible(!shown);
}
