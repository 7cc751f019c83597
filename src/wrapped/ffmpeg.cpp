#include "ffmpeg.h"

#include <QLibrary>
#include <memory>

extern "C" {
#include <libavutil/version.h>
}

namespace {

std::unique_ptr<FFmpeg> load()
{
    // The versions of the headers built against: another major version
    // lays its structures out differently.
    static QLibrary libraries[] = { QLibrary(QStringLiteral("avutil"), LIBAVUTIL_VERSION_MAJOR),
        QLibrary(QStringLiteral("avcodec"), LIBAVCODEC_VERSION_MAJOR),
        QLibrary(QStringLiteral("avformat"), LIBAVFORMAT_VERSION_MAJOR),
        QLibrary(QStringLiteral("swscale"), LIBSWSCALE_VERSION_MAJOR) };
    for (QLibrary &library : libraries) {
        if (!library.load())
            return nullptr;
    }
    const auto find = [&](const char *name) -> QFunctionPointer {
        for (QLibrary &library : libraries) {
            if (const QFunctionPointer function = library.resolve(name))
                return function;
        }
        return nullptr;
    };
    auto made = std::make_unique<FFmpeg>();
    bool complete = true;
#define QUORVEL_FFMPEG_RESOLVE(name)                                                                         \
    made->name = reinterpret_cast<decltype(&::name)>(find(#name));                                           \
    complete = complete && made->name;
    QUORVEL_FFMPEG_FUNCTIONS(QUORVEL_FFMPEG_RESOLVE)
#undef QUORVEL_FFMPEG_RESOLVE
    if (!complete)
        return nullptr;
    return made;
}

} // namespace

const FFmpeg *FFmpeg::instance()
{
    static const std::unique_ptr<FFmpeg> loaded = load();
    return loaded.get();
}
