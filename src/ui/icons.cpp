#include "icons.h"

#include "model/helpers.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <algorithm>

namespace Icons {

QString file(const QString &symbol)
{
    const QString path = Helpers::resources() + QStringLiteral("/icons/") + symbol + QStringLiteral(".svg");
    return QFileInfo::exists(path) ? path : QString();
}

namespace {

// Breeze draws some symbols as a coloured shape with a white mark on it (a
// tick in a disc, a bang in a triangle). Drawn in one colour the mark would
// vanish into the shape, so white is cut out of the picture instead, as a
// symbol's marks are.
void knockOutWhite(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0)
                continue;
            // The palest channel, as if the pixel stood alone: 1 for white.
            const qreal whiteness
                = std::min({ qRed(line[x]), qGreen(line[x]), qBlue(line[x]) }) / qreal(alpha);
            const qreal cut = std::clamp((whiteness - 0.8) / 0.2, 0.0, 1.0);
            line[x] = qPremultiply(qRgba(0, 0, 0, qRound(alpha * (1 - cut))));
        }
    }
}

} // namespace

QPixmap pixmap(const QString &symbol, int size, const QColor &color, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : qApp->devicePixelRatio();
    const int pixels = qRound(size * ratio);
    // Screens are made afresh each time they are shown, with the same
    // symbols: each is drawn from its file once for a size and colour.
    const QString key = QStringLiteral("quorvel-symbol/%1/%2/%3/%4")
                            .arg(symbol)
                            .arg(pixels)
                            .arg(color.rgba(), 8, 16, QLatin1Char('0'))
                            .arg(ratio);
    QPixmap result;
    if (QPixmapCache::find(key, &result))
        return result;
    QImage shape(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    const QString path = file(symbol);
    if (!path.isEmpty()) {
        QSvgRenderer renderer(path);
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        QSizeF drawn = renderer.defaultSize();
        drawn.scale(pixels, pixels, Qt::KeepAspectRatio);
        const QRectF box(
            (pixels - drawn.width()) / 2, (pixels - drawn.height()) / 2, drawn.width(), drawn.height());
        renderer.render(&painter, box);
        painter.end();
        knockOutWhite(shape);
        // Every drawn pixel takes the colour; its coverage stays.
        QPainter tint(&shape);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shape.rect(), color);
    }
    result = QPixmap::fromImage(std::move(shape));
    result.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, result);
    return result;
}

namespace {

// Draws the symbol at whatever size a button or menu asks for, when it
// asks: most of the sizes an icon could be shown at never are.
class SymbolEngine : public QIconEngine
{
public:
    SymbolEngine(const QString &symbol, const QColor &color)
        : m_symbol(symbol)
        , m_color(color)
    { }

    QIconEngine *clone() const override { return new SymbolEngine(m_symbol, m_color); }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        QColor color = m_color;
        if (mode == QIcon::Disabled)
            color.setAlphaF(m_color.alphaF() * 0.35);
        return Icons::pixmap(m_symbol, qMax(1, qMin(size.width(), size.height())), color, scale);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

private:
    QString m_symbol;
    QColor m_color;
};

} // namespace

QIcon icon(const QString &symbol)
{
    return icon(symbol, QApplication::palette().color(QPalette::WindowText));
}

QIcon icon(const QString &symbol, const QColor &color)
{
    return QIcon(new SymbolEngine(symbol, color));
}

QIcon appIcon()
{
    const QString id = QStringLiteral("app.quorvel.Quorvel");
    const QString theme = Helpers::packageRoot() + QStringLiteral("/share/icons/hicolor/");
    QIcon icon;
    const QString scalable = theme + QStringLiteral("scalable/apps/") + id + QStringLiteral(".svg");
    if (QFileInfo::exists(scalable))
        icon.addFile(scalable);
    for (const int size : { 48, 64, 128, 256 }) {
        const QString png = theme + QStringLiteral("%1x%1/apps/").arg(size) + id + QStringLiteral(".png");
        if (QFileInfo::exists(png))
            icon.addFile(png, QSize(size, size));
    }
    return icon.isNull() ? QIcon::fromTheme(id) : icon;
}

} // namespace Icons
