#include "wrappedsiteexport.h"

#include "model/namelimit.h"
#include "wrappedexport.h"
#include "wrappedvideo.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace WrappedSiteExport {

std::optional<QString> folder(const QProcessEnvironment &environment)
{
    if (!environment.contains(QStringLiteral("QUORVEL_WRAPPED_EXPORT")))
        return std::nullopt;
    return environment.value(QStringLiteral("QUORVEL_WRAPPED_EXPORT"));
}

QString prefix(const QString &conversationKey)
{
    QString made = conversationKey;
    made.remove(QStringLiteral("demo:"));
    made.replace(u' ', u'-');
    // What no file name can hold: a "/" would name a folder.
    made.replace(u'/', u'-');
    made.replace(QChar(0), u'-');
    // A card's name adds "-<nn>-<card>-<shape>.png" to the prefix, and a
    // group's key of every member's name can fill a name by itself.
    constexpr qsizetype CardNameRoom = 64;
    return NameLimit::cut(made, NameLimit::bytes - CardNameRoom);
}

QString demoCode()
{
    return QStringLiteral("QRVDEM");
}

WrappedSettings settings(const Wrapped &wrapped, WrappedSettings settings)
{
    settings.selection.clear();
    for (const Wrapped::Card &card : wrapped.cards)
        settings.selection.append(card.id);
    settings.names = WrappedSettings::Names::Full;
    return settings;
}

QCoro::Task<std::optional<QString>> run(Wrapped wrapped, WrappedSettings settings, QString conversationKey,
    QString folder, std::function<std::optional<QString>()> statusCode)
{
    const WrappedSettings exported = WrappedSiteExport::settings(wrapped, settings);
    const QString name = prefix(conversationKey);
    const auto code = [&] { return (statusCode ? statusCode() : std::nullopt).value_or(demoCode()); };
    std::optional<QString> failure;
    try {
        co_await WrappedExport::cards(wrapped, exported, code(),
            { WrappedSettings::Format::Story, WrappedSettings::Format::Post }, folder, name);
    } catch (const std::exception &error) {
        // The site takes what there is.
        failure = QString::fromUtf8(error.what());
    }
    try {
        co_await WrappedVideo::exportVideo(
            wrapped, exported, code(), QDir(folder).filePath(name + QStringLiteral(".mp4")));
    } catch (const std::exception &error) {
        if (!failure)
            failure = QString::fromUtf8(error.what());
    }
    co_return failure;
}

void end(const std::optional<QString> &failure)
{
    if (failure)
        std::fprintf(stderr, "%s\n", qUtf8Printable(*failure));
    // Queued: an export that fails at once may end before the loop runs,
    // and an exit asked for then would be lost.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [status = failure ? 1 : 0] { QCoreApplication::exit(status); },
        Qt::QueuedConnection);
}

} // namespace WrappedSiteExport
