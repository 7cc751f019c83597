#pragma once

#include <QString>

namespace Brimlow::MediaKind {

// The kind words a book uses for attachments.
inline QString photo()
{
    return QStringLiteral("photo");
}
inline QString video()
{
    return QStringLiteral("video");
}
inline QString voiceMemo()
{
    return QStringLiteral("voice memo");
}
inline QString audio()
{
    return QStringLiteral("audio");
}
inline QString sticker()
{
    return QStringLiteral("sticker");
}
inline QString file()
{
    return QStringLiteral("file");
}
// A shared contact card (a .vcf file).
inline QString contact()
{
    return QStringLiteral("contact");
}

enum class Flag {
    None,
    Sticker,
    VoiceMessage,
};

// An attachment of a Messages store, from its MIME type, its uniform type
// identifier and its file name (whichever the store has).
QString fromStore(const QString &mimeType, const QString &uti, const QString &fileName, Flag flag);

// An attachment known only by its file name, as chat exports name them
// ("IMG-20250131-WA0001.jpg", "00000012-PHOTO-2025-01-31-21-41-02.jpg").
QString fromFileName(const QString &fileName);

} // namespace Brimlow::MediaKind
