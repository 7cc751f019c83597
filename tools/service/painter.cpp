#include "painter.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <array>
#include <cmath>

namespace Painter {

namespace {

struct Colour
{
    double r, g, b;
};

Colour mix(const Colour &a, const Colour &b, double t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

// Sky, ground and the colour of the shapes, per look.
std::array<Colour, 3> palette(const QString &look)
{
    if (look == QLatin1String("linework"))
        return { { { 245, 242, 235 }, { 225, 220, 210 }, { 30, 30, 35 } } };
    if (look == QLatin1String("paperback"))
        return { { { 236, 180, 90 }, { 170, 60, 40 }, { 40, 30, 60 } } };
    if (look == QLatin1String("risograph"))
        return { { { 250, 120, 150 }, { 40, 90, 200 }, { 250, 210, 60 } } };
    if (look == QLatin1String("collage"))
        return { { { 210, 200, 170 }, { 120, 150, 110 }, { 200, 80, 60 } } };
    if (look == QLatin1String("photo"))
        return { { { 90, 110, 130 }, { 40, 45, 50 }, { 230, 200, 160 } } };
    return { { { 170, 200, 225 }, { 235, 225, 200 }, { 200, 120, 110 } } };
}

quint32 crc32(const QByteArray &bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t {};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (char byte : bytes)
        c = table[(c ^ quint8(byte)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

void chunk(QByteArray &out, const char *type, const QByteArray &data)
{
    QByteArray length(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), length.data());
    const QByteArray typed = QByteArray(type, 4) + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(typed), crc.data());
    out += length + typed + crc;
}

} // namespace

QStringList looks()
{
    return { QStringLiteral("watercolour"), QStringLiteral("linework"), QStringLiteral("paperback"),
        QStringLiteral("risograph"), QStringLiteral("collage"), QStringLiteral("photo") };
}

QByteArray paint(const QString &prompt, const QString &look, QSize size)
{
    const int width = size.width();
    const int height = size.height();
    // The prompt's digest places the sun and the hills, so different words
    // give different pictures and the same words the same one.
    const QByteArray seed = QCryptographicHash::hash(prompt.toUtf8(), QCryptographicHash::Sha256);
    const auto [sky, ground, ink] = palette(look);
    const double sunX = width * (0.2 + 0.6 * quint8(seed[0]) / 255.0);
    const double sunY = height * (0.15 + 0.25 * quint8(seed[1]) / 255.0);
    const double sunR = 40 + 60 * quint8(seed[2]) / 255.0;
    const double wave = 0.01 + 0.02 * quint8(seed[3]) / 255.0;
    const double horizon = height * (0.55 + 0.15 * quint8(seed[4]) / 255.0);

    QByteArray rgb(qsizetype(width) * height * 3, '\0');
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double hill = horizon + 40 * std::sin(x * wave + quint8(seed[5]));
            Colour c
                = y < hill ? mix(sky, ground, double(y) / hill * 0.5) : mix(ground, ink, (y - hill) / height);
            if (std::hypot(x - sunX, y - sunY) < sunR)
                c = mix(c, ink, 0.8);
            char *pixel = rgb.data() + (qsizetype(y) * width + x) * 3;
            pixel[0] = char(std::lround(c.r));
            pixel[1] = char(std::lround(c.g));
            pixel[2] = char(std::lround(c.b));
        }
    }
    return png(rgb, width, height);
}

QByteArray png(const QByteArray &rgb, int width, int height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    QByteArray rows;
    rows.reserve(qsizetype(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        rows.append('\0'); // no filter
        rows.append(rgb.mid(qsizetype(y) * width * 3, qsizetype(width) * 3));
    }
    QByteArray out("\x89PNG\r\n\x1a\n", 8);
    chunk(out, "IHDR", header);
    // qCompress gives a zlib stream behind a four-byte size of its own.
    chunk(out, "IDAT", qCompress(rows).mid(4));
    chunk(out, "IEND", {});
    return out;
}

} // namespace Painter
