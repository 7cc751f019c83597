#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

// The stand-in's "painting": a PNG drawn from the prompt and the look, so
// that every request gets a real picture of its own without any model.
namespace Painter {

inline constexpr int width = 600;
inline constexpr int height = 800;

// The looks the service paints, by key.
QStringList looks();

// At width × height, the size the app shows, unless told another.
QByteArray paint(const QString &prompt, const QString &look, QSize size = QSize(width, height));

// An RGB picture (3 bytes a pixel, rows top to bottom) as PNG.
QByteArray png(const QByteArray &rgb, int width, int height);

} // namespace Painter
