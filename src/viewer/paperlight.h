#pragma once

#include <QImage>
#include <QRect>

class QPainter;

// How light falls on the open book: a soft shadow under each sheet of
// paper, densest at its edge and a little lower than the paper as if lit
// from above, and a shade where two facing pages curve into the spine.
// Both are drawn once into small images and then stretched into place:
// painting them afresh around every spread on every frame would cost more
// than all the pages on screen.
class PaperLight
{
public:
    // How far the shadow reaches beyond the paper.
    static constexpr int reach = 12;

    // The shadow in nine pieces around the paper, its middle skipped.
    void paintShadow(QPainter &painter, const QRect &paper);
    void paintSpine(QPainter &painter, const QRect &left, const QRect &right);

private:
    // The pieces reach this far into the sheet, past where the shadow's
    // offset makes its rings uneven.
    static constexpr int slice = reach + 6;
    static constexpr int sheet = 48;

    void drawShadow(bool dark);

    QImage m_shadow;
    bool m_dark = false;
    QImage m_spine;
};
