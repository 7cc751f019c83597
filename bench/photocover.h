#pragma once

// A phone's photo for the benchmarks' covers: 4032 × 3024 pixels of
// gradients and grain, which compress as a photo does; the same bytes every
// run.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QString>

namespace Bench {

inline bool writePhoto(const QString &path)
{
    QImage photo(4032, 3024, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 0, photo.height());
    sky.setColorAt(0, QColor(70, 110, 170));
    sky.setColorAt(0.6, QColor(230, 180, 140));
    sky.setColorAt(1, QColor(60, 70, 50));
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(250, 230, 190));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(2600, 1500), 300, 300);
    painter.end();
    QRandomGenerator random(7);
    for (int y = 0; y < photo.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int grain = int(random.bounded(17)) - 8;
            const QRgb c = line[x];
            line[x] = qRgb(std::clamp(qRed(c) + grain, 0, 255), std::clamp(qGreen(c) + grain, 0, 255),
                std::clamp(qBlue(c) + grain, 0, 255));
        }
    }
    return photo.save(path, "JPEG", 88);
}

} // namespace Bench
