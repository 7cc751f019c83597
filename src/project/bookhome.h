#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <optional>

// The geometry of a cover spread, in inches: bleed, back panel, spine,
// front panel, bleed, with the same bleed above and below. The one place it
// becomes pixels; the book's page and the wizard show fronts cut this way.
namespace BookHome {

// pages ÷ 444 + 0.06, the spine the cover template draws from a page count.
double spineWidth(int pages);
// Where the front panel lies on a whole cover-spread picture of a book of
// pages pages that is sheet pixels large; empty when it holds nothing.
QRect frontPanelRect(QSize sheet, int pages);
// The front panel of a whole cover-spread picture of a book of pages pages;
// nullopt when the picture can't be read or the cut holds nothing.
std::optional<QImage> frontPanel(const QString &picture, int pages);

} // namespace BookHome
