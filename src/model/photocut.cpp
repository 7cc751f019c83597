#include "photocut.h"

#include "coversheet.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>
#include <qcorofuture.h>

namespace PhotoCut {

namespace {

using CoverSheet::bleedInches;
using CoverSheet::frontHeightInches;
using CoverSheet::frontWidthInches;
// Near enough to the photo that resampling twice doesn't show; the cut is
// drawn at the size it is stored, so its own rounding is all that's added.
constexpr int cutQuality = 95;

// Whether the design draws its photo over the whole front, bleed included:
// a photo cover unless framed, an own design only when asked to bleed.
bool bleeds(const Design::Cover &cover)
{
    if (cover.style == QStringLiteral("photo"))
        return cover.fit.value_or(QStringLiteral("bleed")) == QStringLiteral("bleed");
    if (cover.style == QStringLiteral("custom"))
        return cover.fit.value_or(QStringLiteral("framed")) == QStringLiteral("bleed");
    return false;
}

// The cut at path, made when it isn't there yet; false when the photo
// can't be read or needs no cut.
bool cut(const QString &photo, QSize box, const QString &path)
{
    if (QFile::exists(path))
        return true;
    QImageReader reader(photo);
    // typst turns a photo as its camera says it was held.
    reader.setAutoTransform(true);
    // A photo typst can't read leaves the cover without it; a cut would
    // put it there.
    static const QList<QByteArray> typstReads { "jpeg", "png", "gif", "webp" };
    if (!typstReads.contains(reader.format()))
        return false;
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    const QRect part = coveredPart(image.size(), box);
    if (part.width() <= box.width() || part.height() <= box.height())
        return false;
    const QImage scaled = image.copy(part).scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && scaled.save(&file, "JPEG", cutQuality) && file.commit();
}

} // namespace

QSize bleedBox(int ppi)
{
    return QSize(int(std::lround((frontWidthInches + bleedInches) * ppi)),
        int(std::lround((frontHeightInches + 2 * bleedInches) * ppi)));
}

QRect coveredPart(QSize photo, QSize box)
{
    if (photo.isEmpty() || box.isEmpty())
        return QRect();
    const double scale = std::max(double(box.width()) / photo.width(), double(box.height()) / photo.height());
    const int width = std::min(photo.width(), int(std::lround(box.width() / scale)));
    const int height = std::min(photo.height(), int(std::lround(box.height() / scale)));
    return QRect((photo.width() - width) / 2, (photo.height() - height) / 2, width, height);
}

QCoro::Task<BookFile> withPhotoCut(BookFile book, QSize box, QString folder)
{
    if (!book.design || !book.design->cover.image || book.design->cover.image->isEmpty()
        || !bleeds(book.design->cover))
        co_return book;
    const QString photo = *book.design->cover.image;
    const std::optional<QString> made = co_await QtConcurrent::run(
        [photo, box, folder]() -> std::optional<QString> {
            QFile file(photo);
            if (!file.open(QIODevice::ReadOnly))
                return std::nullopt;
            QCryptographicHash hash(QCryptographicHash::Sha256);
            if (!hash.addData(&file))
                return std::nullopt;
            const QString path = folder + QStringLiteral("/cover-photo-")
                + QString::fromLatin1(hash.result().toHex().left(16))
                + QStringLiteral("-%1x%2.jpg").arg(box.width()).arg(box.height());
            if (!cut(photo, box, path))
                return std::nullopt;
            // Only the photo on the cover now keeps its cut: the folder doesn't
            // grow by a megabyte with every photo tried.
            const QDir dir(folder);
            for (const QString &name : dir.entryList({ QStringLiteral("cover-photo-*.jpg") }, QDir::Files)) {
                if (dir.filePath(name) != path)
                    QFile::remove(dir.filePath(name));
            }
            return path;
        });
    if (made)
        book.design->cover.image = *made;
    co_return book;
}

} // namespace PhotoCut
