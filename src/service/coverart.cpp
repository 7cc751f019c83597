#include "coverart.h"

#include "http.h"
#include "model/bookfile.h"
#include "model/defaults.h"
#include "model/heicimage.h"
#include "pricing.h"
#include "wirejson.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>
#include <qcorofuture.h>

namespace CoverArt {

namespace {

const char *const notAPicture = "That file isn't a picture Quorvel can use. Try a JPEG, PNG or HEIC.";
const char *const didNotComeOut = "The picture didn't come out. Try again in a moment.";
const char *const notSecure = "Your photos weren't sent: the service's address isn't secure.";

QString eightCharacters()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().left(8);
}

QImage readPicture(QIODevice *device)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage readPicture(const QString &file)
{
    HeicImage::registerFormat();
    QFile opened(file);
    if (!opened.open(QIODevice::ReadOnly))
        return {};
    return readPicture(&opened);
}

std::optional<QByteArray> jpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPEG", quality) || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

QString write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Failure(file.errorString());
    return path;
}

} // namespace

Failure::Failure(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

QString install()
{
    // Reading and making are one step, or two first readers (two threads,
    // two windows) would each make and store an identifier of their own.
    return Defaults::standard().stringOr(
        QStringLiteral("install"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
}

QString mine(const QString &folder)
{
    const QString path = folder + QStringLiteral("/my-photos");
    QDir().mkpath(path);
    return path;
}

QStringList photos(const BookFile &book, const QString &folder)
{
    // Only what can be shown and placed: a folder, a note or a half-copied
    // file in "my-photos" would be offered as an empty square.
    HeicImage::registerFormat();
    QFileInfoList own;
    for (const QFileInfo &info :
        QDir(mine(folder))
            .entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        QImageReader reader(info.absoluteFilePath());
        if (reader.canRead() && reader.size().isValid())
            own.append(info);
    }
    const auto created = [](const QFileInfo &info) {
        const QDateTime birth = info.birthTime();
        return birth.isValid() ? birth.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    };
    std::stable_sort(own.begin(), own.end(),
        [&](const QFileInfo &a, const QFileInfo &b) { return created(a) > created(b); });
    QStringList result;
    for (const QFileInfo &info : own)
        result.append(info.absoluteFilePath());

    static const QStringList kinds { QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
        QStringLiteral("heic") };
    int kept = 0;
    for (auto message = book.messages.crbegin(); message != book.messages.crend() && kept < 60; ++message) {
        for (const QString &photo : message->photos.value_or(QStringList())) {
            if (kept == 60)
                break;
            // A photo whose source was forgotten is gone from the disk.
            const QFileInfo info(photo);
            if (kinds.contains(info.suffix().toLower()) && info.exists()) {
                result.append(photo);
                ++kept;
            }
        }
    }
    return result;
}

QString bring(const QString &file, const QString &folder)
{
    const QImage image = readPicture(file);
    const std::optional<QByteArray> bytes = image.isNull() ? std::nullopt : jpeg(image, 90);
    if (!bytes)
        throw Failure(QString::fromUtf8(notAPicture));
    return write(
        folder + QStringLiteral("/cover-photo-") + eightCharacters() + QStringLiteral(".jpg"), *bytes);
}

std::optional<QByteArray> downsized(const QString &file, int side)
{
    const QImage image = readPicture(file);
    if (image.isNull())
        return std::nullopt;
    const double scale = std::min(double(side) / std::max(image.width(), image.height()), 1.0);
    const int width = int(std::lround(image.width() * scale));
    const int height = int(std::lround(image.height() * scale));
    if (width < 1 || height < 1)
        return std::nullopt;
    return jpeg(image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), 85);
}

QCoro::Task<QString> generate(QString prompt, QString style, QStringList references, QString folder)
{
    // Decoding three phone photos takes long enough to be felt in the window.
    const QList<QByteArray> images = co_await QtConcurrent::run([references] {
        QList<QByteArray> encoded;
        for (const QString &reference : references) {
            if (const std::optional<QByteArray> small = downsized(reference, 1024))
                encoded.append(WireJson::string(QString::fromLatin1(small->toBase64())));
        }
        return encoded;
    });
    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/covers/generate");
    // The words alone may go anywhere the service is; the user's photos
    // only where they can't be read on the way.
    if (!images.isEmpty() && !Http::isSecure(request.url))
        throw Failure(QString::fromUtf8(notSecure));
    request.headers = { { "content-type", "application/json" } };
    request.timeout = std::chrono::seconds(90);
    request.body = WireJson::object({ { QStringLiteral("prompt"), WireJson::string(prompt) },
        { QStringLiteral("style"), WireJson::string(style) },
        { QStringLiteral("install"), WireJson::string(install()) },
        { QStringLiteral("images"), WireJson::array(images) } });
    const Http::Reply reply = co_await Http::send(std::move(request));
    if (reply.status != 200) {
        const std::optional<QJsonObject> error = Http::stringObject(reply.body);
        if (error && error->contains(QStringLiteral("error")))
            throw Failure(error->value(QStringLiteral("error")).toString());
        throw Failure(QString::fromUtf8(didNotComeOut));
    }
    // Only a picture that decodes counts, and it is named for what it is,
    // whatever the reply's content type claims.
    QByteArray body = reply.body;
    QBuffer buffer(&body);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format().toLower();
    if (format.isEmpty() || reader.read().isNull())
        throw Failure(QString::fromUtf8(didNotComeOut));
    const QString extension = format == "jpeg" ? QStringLiteral("jpg") : QString::fromLatin1(format);
    co_return write(
        folder + QStringLiteral("/cover-art-") + eightCharacters() + QLatin1Char('.') + extension, body);
}

} // namespace CoverArt
