#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace Brimlow {

struct Options;
struct ResolvedBook;

// The EPUB 3 of a resolved book: an optional cover page first, then the
// title page and one document per chapter, in that reading order.
namespace Ebook {

struct Contents
{
    QString id;
    // PNG bytes of the cover picture.
    std::optional<QByteArray> cover;
    // The package's last-modified time.
    QDateTime modified;
};

// Throws Failure when the container can't be written.
void write(const ResolvedBook &book, const Contents &contents, const QString &path);

// The "ebook" command: --resolved, --id, --out, and --cover with a PNG.
void run(const Options &options);

} // namespace Ebook

} // namespace Brimlow
