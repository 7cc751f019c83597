#include "icons.h"

#include "model/helpers.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QSvgRenderer>

namespace Icons {

QString file(const QString &symbol)
{
    const QString path = Helpers::resources() + QStringLiteral("/icons/") + symbol + QStringLiteral(".svg");
    return QFileInfo::exists(path) ? path : QString();
}

QPixmap pixmap(const QString &symbol, int size, const QColor &color, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : qApp->devicePixelRatio();
    const int pixels = qRound(size * ratio);
    QPixmap result(pixels, pixels);
    result.fill(Qt::transparent);
    const QString path = file(symbol);
    if (!path.isEmpty()) {
        QSvgRenderer renderer(path);
        QPainter painter(&result);
        painter.setRenderHint(QPainter::Antialiasing);
        QSizeF drawn = renderer.defaultSize();
        drawn.scale(pixels, pixels, Qt::KeepAspectRatio);
        const QRectF box(
            (pixels - drawn.width()) / 2, (pixels - drawn.height()) / 2, drawn.width(), drawn.height());
        renderer.render(&painter, box);
        // Every drawn pixel takes the colour; its coverage stays.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(result.rect(), color);
    }
    result.setDevicePixelRatio(ratio);
    return result;
}

QIcon icon(const QString &symbol)
{
    return icon(symbol, QApplication::palette().color(QPalette::WindowText));
}

QIcon icon(const QString &symbol, const QColor &color)
{
    QIcon result;
    QColor faded = color;
    faded.setAlphaF(color.alphaF() * 0.35);
    // QIcon picks the nearest size for the pixels it needs, scale included.
    for (const int size : { 16, 22, 32, 44, 64, 96 }) {
        result.addPixmap(pixmap(symbol, size, color, 1), QIcon::Normal);
        result.addPixmap(pixmap(symbol, size, faded, 1), QIcon::Disabled);
    }
    return result;
}

} // namespace Icons
