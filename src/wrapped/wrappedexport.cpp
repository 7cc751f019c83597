#include "wrappedexport.h"

#include "insights/characters.h"
#include "wrappedcardview.h"

#include <QBuffer>
#include <QDir>
#include <QFuture>
#include <QSaveFile>
#include <QThread>
#include <QtConcurrent>
#include <qcorofuture.h>

namespace WrappedExport {

Failure::Failure(const QString &sentence)
    : std::runtime_error(sentence.toStdString())
{ }

namespace {

// The picture as PNG bytes; empty when there is none to make.
QByteArray png(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    // Cards are opaque: three channels are all a PNG needs.
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly)
        || !image.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG"))
        return {};
    return bytes;
}

} // namespace

QString fileNamePart(const QString &id)
{
    // By user-perceived character, so an emoji becomes one "-", not two.
    QString part;
    qsizetype start = 0;
    for (const qsizetype end : Characters::ends(id)) {
        const QStringView character = QStringView(id).mid(start, end - start);
        part += Characters::isLetter(character) || Characters::isNumber(character) ? character.toString()
                                                                                   : QStringLiteral("-");
        start = end;
    }
    return part;
}

QCoro::Task<QStringList> cards(Wrapped wrapped, WrappedSettings settings, std::optional<QString> code,
    QList<WrappedSettings::Format> formats, QString folder, QString prefix)
{
    if (!QDir().mkpath(folder))
        throw Failure(QStringLiteral("The folder %1 can't be made.").arg(QDir::toNativeSeparators(folder)));
    QList<Wrapped::Card> chosen;
    for (const QString &id : settings.selection) {
        if (const Wrapped::Card *card = wrapped.card(id))
            chosen.append(*card);
    }

    struct Pending
    {
        QString path;
        QFuture<QByteArray> png;
    };
    QList<Pending> pending;
    QStringList written;
    const auto writeFirst = [&](const QByteArray &png) {
        const QString path = pending.takeFirst().path;
        // A card that drew or compressed to nothing is left out; the
        // numbers of the others stay.
        if (png.isEmpty())
            return;
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size() || !file.commit())
            throw Failure(QStringLiteral("The card couldn't be saved at %1: %2.")
                              .arg(QDir::toNativeSeparators(path), file.errorString()));
        written.append(path);
    };
    const int inFlight = std::max(2, QThread::idealThreadCount());
    for (const WrappedSettings::Format format : formats) {
        WrappedSettings shaped = settings;
        shaped.format = format;
        for (qsizetype i = 0; i < chosen.size(); ++i) {
            const QImage image
                = WrappedCardView::render({ chosen[i], wrapped, shaped, code, std::nullopt, 1 });
            // One arg() for all four, so that a "%" in the prefix stays text.
            const QString path = QDir(folder).filePath(
                QStringLiteral("%1-%2-%3-%4.png")
                    .arg(prefix, QString::asprintf("%02lld", qlonglong(i + 1)), fileNamePart(chosen[i].id),
                        WrappedSettings::formatName(format)));
            pending.append({ path, QtConcurrent::run(png, image) });
            if (pending.size() >= inFlight)
                writeFirst(co_await pending.first().png);
        }
    }
    while (!pending.isEmpty())
        writeFirst(co_await pending.first().png);
    co_return written;
}

} // namespace WrappedExport
