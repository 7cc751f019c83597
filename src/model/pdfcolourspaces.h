#pragma once

#include <QByteArray>

// The colour spaces of a PDF typst wrote, as poppler will draw them.
namespace PdfColourSpaces {

// The PDF with each ICC colour space whose profile is sRGB said as
// DeviceRGB, in place and at the same length, so the cross-reference
// table still points at every object. poppler draws both to the very same
// pixels (sRGB is what it draws in), but sends every pixel of a picture in
// an ICC space through lcms first: most of the time a photo's cover takes.
// Any other profile (a photo's own Display P3) stays as it is; a PDF
// written otherwise comes back unchanged.
QByteArray sRgbAsDevice(QByteArray pdf);

} // namespace PdfColourSpaces
