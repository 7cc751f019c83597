#pragma once

// Real HEIC files, as an iPhone writes them, made by the tests themselves
// with libheif's HEVC encoder (x265 in Debian's build): no picture file
// comes from outside.
#include <QImage>
#include <QString>
#include <libheif/heif.h>
#include <memory>

namespace TestSupport {

// Encodes image as a HEIC file at path, stored turned as orientation says
// (an EXIF orientation: 6 is a quarter turn clockwise, as a phone held
// upright writes it); false when it can't.
inline bool writeHeic(
    const QString &path, const QImage &image, heif_orientation orientation = heif_orientation_normal)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(
        heif_context_alloc(), heif_context_free);
    heif_encoder *made = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &made).code
        != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_encoder, decltype(&heif_encoder_release)> encoder(made, heif_encoder_release);
    heif_encoder_set_lossy_quality(encoder.get(), 90);

    heif_image *raw = nullptr;
    if (heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &raw)
            .code
        != heif_error_Ok)
        return false;
    const std::unique_ptr<heif_image, decltype(&heif_image_release)> picture(raw, heif_image_release);
    heif_image_add_plane(picture.get(), heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(picture.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::copy_n(rgb.constScanLine(y), rgb.width() * 3, plane + qsizetype(y) * stride);

    const std::unique_ptr<heif_encoding_options, decltype(&heif_encoding_options_free)> options(
        heif_encoding_options_alloc(), heif_encoding_options_free);
    options->image_orientation = orientation;
    if (heif_context_encode_image(context.get(), picture.get(), encoder.get(), options.get(), nullptr).code
        != heif_error_Ok)
        return false;
    return heif_context_write_to_file(context.get(), path.toLocal8Bit().constData()).code == heif_error_Ok;
}

} // namespace TestSupport
