#include "paperlight.h"

#include "ui/style.h"

#include <QPainter>
#include <algorithm>

void PaperLight::paintShadow(QPainter &painter, const QRect &paper)
{
    const bool dark = Style::appearance() == Color::Appearance::Dark;
    if (m_shadow.isNull() || m_dark != dark)
        drawShadow(dark);
    const int s = m_shadow.width();
    const int k = slice;
    const QRect t = paper.adjusted(-reach, -reach, reach, reach);
    const int right = t.right() + 1 - k;
    const int bottom = t.bottom() + 1 - k;
    const int across = std::max(0, t.width() - 2 * k);
    const int down = std::max(0, t.height() - 2 * k);
    const int middle = s - 2 * k;
    painter.drawImage(QRect(t.left(), t.top(), k, k), m_shadow, QRect(0, 0, k, k));
    painter.drawImage(QRect(right, t.top(), k, k), m_shadow, QRect(s - k, 0, k, k));
    painter.drawImage(QRect(t.left(), bottom, k, k), m_shadow, QRect(0, s - k, k, k));
    painter.drawImage(QRect(right, bottom, k, k), m_shadow, QRect(s - k, s - k, k, k));
    painter.drawImage(QRect(t.left() + k, t.top(), across, k), m_shadow, QRect(k, 0, middle, k));
    painter.drawImage(QRect(t.left() + k, bottom, across, k), m_shadow, QRect(k, s - k, middle, k));
    painter.drawImage(QRect(t.left(), t.top() + k, k, down), m_shadow, QRect(0, k, k, middle));
    painter.drawImage(QRect(right, t.top() + k, k, down), m_shadow, QRect(s - k, k, k, middle));
}

void PaperLight::drawShadow(bool dark)
{
    m_dark = dark;
    m_shadow = QImage(sheet + 2 * reach, sheet + 2 * reach, QImage::Format_ARGB32_Premultiplied);
    m_shadow.fill(Qt::transparent);
    QPainter painter(&m_shadow);
    const QRect paper(reach, reach, sheet, sheet);
    constexpr int rings = 9;
    for (int ring = rings - 1; ring >= 1; --ring) {
        const qreal fade = 1 - qreal(ring) / rings;
        const QColor shade(0, 0, 0, int((dark ? 70 : 30) * fade * fade));
        painter.fillRect(paper.adjusted(-ring, -ring + 2, ring, ring + 3), shade);
    }
}

void PaperLight::paintSpine(QPainter &painter, const QRect &left, const QRect &right)
{
    // A shade fading away from the spine on either side, from a strip one
    // pixel tall.
    const int width = std::max(6, left.width() / 28);
    if (m_spine.width() != 2 * width) {
        m_spine = QImage(2 * width, 1, QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < width; ++x) {
            const qreal toward = qreal(x + 1) / width;
            m_spine.setPixelColor(x, 0, QColor(0, 0, 0, int(22 * toward * toward)));
            m_spine.setPixelColor(2 * width - 1 - x, 0, QColor(0, 0, 0, int(16 * toward * toward)));
        }
    }
    painter.drawImage(
        QRect(left.right() + 1 - width, left.top(), width, left.height()), m_spine, QRect(0, 0, width, 1));
    painter.drawImage(
        QRect(right.left(), right.top(), width, right.height()), m_spine, QRect(width, 0, width, 1));
}
