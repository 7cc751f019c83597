#pragma once

#include <QByteArray>

class QIODevice;

// HEIC and HEIF pictures, as iPhones take them, read through libheif. Qt
// has no reader for them, so one is added to QImageReader's formats: every
// picture the app reads (thumbnails, cover photos, their JPEG copies) then
// takes them like any other.
namespace HeicImage {

// Adds the reader to QImageReader; once is enough, and again does nothing.
void registerFormat();
// Whether the bytes begin a HEIC or HEIF file (by its first box, whatever
// the file is named).
bool isHeic(const QByteArray &head);

} // namespace HeicImage
