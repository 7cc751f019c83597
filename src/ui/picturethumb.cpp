#include "picturethumb.h"

#include "style.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

namespace {

// The picture shrunk as it is read, to cover a square of side pixels.
QImage readCovering(const QString &path, int side)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && !size.isEmpty()) {
        const QSize scaled = size.scaled(side, side, Qt::KeepAspectRatioByExpanding);
        if (scaled.width() < size.width())
            reader.setScaledSize(scaled);
    }
    return reader.read();
}

} // namespace

PictureThumb::PictureThumb(const QString &path, int size, QWidget *parent)
    : QAbstractButton(parent)
    , m_path(path)
{
    setFixedSize(size, size);
    setToolTip(QFileInfo(path).fileName());
    setAccessibleName(QFileInfo(path).fileName());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

QCoro::Task<QImage> PictureThumb::read(QString path, int side)
{
    co_return co_await QtConcurrent::run([path, side] { return readCovering(path, side); });
}

void PictureThumb::setImage(const QImage &image)
{
    m_image = image;
    m_loaded = true;
    update();
}

void PictureThumb::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void PictureThumb::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box(rect());
    QPainterPath shape;
    shape.addRoundedRect(box, 6, 6);
    if (m_image.isNull()) {
        QColor placeholder = Style::color(Style::Tone::Secondary);
        placeholder.setAlphaF(0.15);
        painter.fillPath(shape, placeholder);
    } else {
        painter.save();
        painter.setClipPath(shape);
        const QSizeF fill = QSizeF(m_image.size()).scaled(box.size(), Qt::KeepAspectRatioByExpanding);
        painter.drawImage(QRectF(box.center().x() - fill.width() / 2, box.center().y() - fill.height() / 2,
                              fill.width(), fill.height()),
            m_image);
        painter.restore();
    }
    if (isDown())
        painter.fillPath(shape, QColor(0, 0, 0, 40));
    if (m_selected) {
        painter.setPen(QPen(Style::brand(), 2.5));
        painter.drawRoundedRect(box.adjusted(1.25, 1.25, -1.25, -1.25), 5, 5);
    }
    if (hasFocus() && !m_selected) {
        QColor focus = Style::brand();
        focus.setAlphaF(0.45);
        painter.setPen(QPen(focus, 2));
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 5, 5);
    }
}
