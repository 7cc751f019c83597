#include "mediakind.h"

#include <QFileInfo>

namespace Brimlow::MediaKind {

namespace {

QString extensionOf(const QString &fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

bool isImageExtension(const QString &extension)
{
    static const QStringList images = { QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
        QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("gif"), QStringLiteral("tif"),
        QStringLiteral("tiff"), QStringLiteral("webp"), QStringLiteral("bmp") };
    return images.contains(extension);
}

bool isVideoExtension(const QString &extension)
{
    static const QStringList videos = { QStringLiteral("mov"), QStringLiteral("mp4"), QStringLiteral("m4v"),
        QStringLiteral("3gp"), QStringLiteral("avi"), QStringLiteral("mkv"), QStringLiteral("webm") };
    return videos.contains(extension);
}

bool isAudioExtension(const QString &extension)
{
    static const QStringList sounds = { QStringLiteral("m4a"), QStringLiteral("mp3"), QStringLiteral("aac"),
        QStringLiteral("wav"), QStringLiteral("caf"), QStringLiteral("amr"), QStringLiteral("opus"),
        QStringLiteral("ogg"), QStringLiteral("flac") };
    return sounds.contains(extension);
}

} // namespace

QString fromStore(const QString &mimeType, const QString &uti, const QString &fileName, Flag flag)
{
    if (flag == Flag::Sticker)
        return sticker();
    const QString mime = mimeType.toLower();
    const QString type = uti.toLower();
    const QString extension = extensionOf(fileName);
    // Voice messages are Core Audio files; older stores have no flag for them.
    if (flag == Flag::VoiceMessage || type == QLatin1String("com.apple.coreaudio-format")
        || extension == "caf")
        return voiceMemo();
    if (mime.startsWith(QLatin1String("image/")) || type == QLatin1String("public.jpeg")
        || type == QLatin1String("public.png") || type == QLatin1String("public.heic")
        || type == QLatin1String("public.heif") || type == QLatin1String("com.compuserve.gif")
        || type == QLatin1String("public.tiff") || type == QLatin1String("org.webmproject.webp")
        || (mime.isEmpty() && type.isEmpty() && isImageExtension(extension)))
        return photo();
    if (mime.startsWith(QLatin1String("video/")) || type.contains(QLatin1String("movie"))
        || type == QLatin1String("public.mpeg-4")
        || (mime.isEmpty() && type.isEmpty() && isVideoExtension(extension)))
        return video();
    if (mime.startsWith(QLatin1String("audio/")) || type.startsWith(QLatin1String("public.mp3"))
        || type == QLatin1String("com.apple.m4a-audio")
        || (mime.isEmpty() && type.isEmpty() && isAudioExtension(extension)))
        return audio();
    return file();
}

QString fromFileName(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const QString upper = name.toUpper();
    const QString extension = extensionOf(name);
    if (upper.contains(QLatin1String("-STICKER-")) || upper.startsWith(QLatin1String("STK-"))
        || extension == "webp")
        return sticker();
    // WhatsApp's voice notes are Opus files, "PTT-…" on Android.
    if (upper.startsWith(QLatin1String("PTT-")) || extension == "opus")
        return voiceMemo();
    if (upper.contains(QLatin1String("-GIF-")) || isVideoExtension(extension))
        return video();
    if (isImageExtension(extension))
        return photo();
    if (isAudioExtension(extension))
        return audio();
    if (extension == "vcf")
        return contact();
    return file();
}

} // namespace Brimlow::MediaKind
