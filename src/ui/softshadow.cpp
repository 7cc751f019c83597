#include "softshadow.h"

#include <QCache>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

// One pass of a box blur over the alpha of a premultiplied picture, along
// rows (or columns, when the picture was turned).
void boxBlurRows(QImage &image, int reach)
{
    const int width = image.width();
    std::vector<int> row(width);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qAlpha(line[x]);
        int sum = 0;
        const int span = 2 * reach + 1;
        for (int x = -reach; x <= reach; ++x)
            sum += row[std::clamp(x, 0, width - 1)];
        for (int x = 0; x < width; ++x) {
            line[x] = qRgba(0, 0, 0, sum / span);
            sum += row[std::min(x + reach + 1, width - 1)] - row[std::max(x - reach, 0)];
        }
    }
}

// Three box blurs in each direction come close to a Gaussian.
QImage blurred(QSize size, qreal corner, qreal radius)
{
    const int margin = int(std::ceil(radius * 2));
    QImage image(size + QSize(2 * margin, 2 * margin), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawRoundedRect(QRectF(margin, margin, size.width(), size.height()), corner, corner);
    }
    const int reach = std::max(1, int(std::lround(radius / 2)));
    QTransform turn;
    turn.rotate(90);
    for (int pass = 0; pass < 3; ++pass)
        boxBlurRows(image, reach);
    image = image.transformed(turn);
    for (int pass = 0; pass < 3; ++pass)
        boxBlurRows(image, reach);
    return image.transformed(turn.inverted());
}

} // namespace

namespace SoftShadow {

void paint(
    QPainter &painter, const QRectF &shape, qreal corner, qreal radius, QPointF offset, const QColor &color)
{
    if (shape.isEmpty())
        return;
    static QCache<QString, QImage> cache(32);
    const QSize size = shape.size().toSize();
    const QString key = QStringLiteral("%1x%2/%3/%4/%5")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(corner)
                            .arg(radius)
                            .arg(color.name(QColor::HexArgb));
    QImage *shadow = cache.object(key);
    if (!shadow) {
        shadow = new QImage(blurred(size, corner, radius));
        QPainter tint(shadow);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shadow->rect(), color);
        tint.end();
        cache.insert(key, shadow);
    }
    const int margin = int(std::ceil(radius * 2));
    painter.drawImage(shape.topLeft() + offset - QPointF(margin, margin), *shadow);
}

} // namespace SoftShadow
