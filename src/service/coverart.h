#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>

struct BookFile;

// The file side of cover pictures: the book's own pictures, the photos the
// conversation offers, JPEG copies and small versions of them, pictures
// painted by the service, and the install identifier sent with requests.
namespace CoverArt {

// what() is the sentence for the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

// This installation's identifier: the "install" user default, made once
// as an upper-case UUID. Safe to ask for from any thread: two first
// requests at once still make only one.
QString install();

// folder/"my-photos", made when missing (a failure shows later as no files).
QString mine(const QString &folder);
// The book's own pictures (files that read as pictures), newest first, then
// up to 60 of the conversation's JPEG, PNG and HEIC photos that are still
// on disk, latest message first.
QStringList photos(const BookFile &book, const QString &folder);
// A JPEG copy (quality 0.9) of a picture file in folder, so that typst can
// place it whatever it was (a HEIC too); throws Failure when file is not a
// picture or the copy cannot be written.
QString bring(const QString &file, const QString &folder);
// JPEG bytes (quality 0.85) of the picture with its longer side at most
// side pixels; nullopt when the file is no readable picture.
std::optional<QByteArray> downsized(const QString &file, int side);
// Has the service paint a picture and stores it in folder as "cover-art-"
// and eight characters; its extension follows the picture's real format.
// References go only to a secure address (https, or this computer);
// elsewhere nothing is sent and Failure says why. Throws Failure for a
// refusal or a reply that is not a picture, Http::TransportError when the
// service cannot be reached.
QCoro::Task<QString> generate(QString prompt, QString style, QStringList references, QString folder);

} // namespace CoverArt
