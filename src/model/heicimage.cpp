// Compiled as a static plugin: its factory is handed to Qt by
// registerFormat() instead of being loaded from a plugin folder.
#define QT_STATICPLUGIN

#include "heicimage.h"

#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QLibrary>
#include <QVariant>
#include <QtPlugin>
#include <libheif/heif.h>
#include <memory>
#include <mutex>

namespace {

// libheif is loaded on the first HEIC picture, not at start: with its
// codecs it is a tenth of the libraries the app would otherwise load
// before its window, for the few who ever pick such a photo.
#define QUORVEL_HEIF_FUNCTIONS(F)                                                                            \
    F(heif_context_alloc)                                                                                    \
    F(heif_context_free)                                                                                     \
    F(heif_context_read_from_memory_without_copy)                                                            \
    F(heif_context_get_primary_image_handle)                                                                 \
    F(heif_image_handle_release)                                                                             \
    F(heif_image_handle_get_width)                                                                           \
    F(heif_image_handle_get_height)                                                                          \
    F(heif_image_handle_has_alpha_channel)                                                                   \
    F(heif_decode_image)                                                                                     \
    F(heif_image_release)                                                                                    \
    F(heif_image_get_plane_readonly)                                                                         \
    F(heif_image_get_width)                                                                                  \
    F(heif_image_get_height)

struct Heif
{
#define QUORVEL_HEIF_MEMBER(name) decltype(&::name) name = nullptr;
    QUORVEL_HEIF_FUNCTIONS(QUORVEL_HEIF_MEMBER)
#undef QUORVEL_HEIF_MEMBER
};

std::unique_ptr<Heif> loadHeif()
{
    // The major version of the headers built against.
    static QLibrary library(QStringLiteral("heif"), LIBHEIF_NUMERIC_VERSION >> 24);
    if (!library.load())
        return nullptr;
    auto made = std::make_unique<Heif>();
    bool complete = true;
#define QUORVEL_HEIF_RESOLVE(name)                                                                           \
    made->name = reinterpret_cast<decltype(&::name)>(library.resolve(#name));                               \
    complete = complete && made->name;
    QUORVEL_HEIF_FUNCTIONS(QUORVEL_HEIF_RESOLVE)
#undef QUORVEL_HEIF_RESOLVE
    return complete ? std::move(made) : nullptr;
}

// Null where libheif can't be loaded: HEIC pictures then don't read.
const Heif *heif()
{
    static const std::unique_ptr<Heif> loaded = loadHeif();
    return loaded.get();
}

// More than any camera takes; a file claiming more is refused before its
// pixels are decoded.
constexpr qint64 largestPixelCount = 200'000'000;
// Files are read whole; a photo is a few megabytes.
constexpr qint64 largestFileSize = 256 * 1024 * 1024;

struct ContextDeleter
{
    void operator()(heif_context *context) const { heif()->heif_context_free(context); }
};
struct HandleDeleter
{
    void operator()(heif_image_handle *handle) const { heif()->heif_image_handle_release(handle); }
};
struct ImageDeleter
{
    void operator()(heif_image *image) const { heif()->heif_image_release(image); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;
using Image = std::unique_ptr<heif_image, ImageDeleter>;

// The primary picture of a HEIF file held in memory. The context reads the
// bytes in place, so they must outlive it.
class Primary
{
public:
    explicit Primary(const QByteArray &bytes)
        : m_heif(heif())
    {
        if (!m_heif)
            return;
        m_context.reset(m_heif->heif_context_alloc());
        if (!m_context)
            return;
        if (m_heif->heif_context_read_from_memory_without_copy(
                m_context.get(), bytes.constData(), size_t(bytes.size()), nullptr)
                .code
            != heif_error_Ok)
            return;
        heif_image_handle *handle = nullptr;
        if (m_heif->heif_context_get_primary_image_handle(m_context.get(), &handle).code == heif_error_Ok)
            m_handle.reset(handle);
    }

    bool isValid() const { return m_handle != nullptr; }
    // As it is shown: turned and mirrored as the file says.
    QSize size() const
    {
        return isValid()
            ? QSize(m_heif->heif_image_handle_get_width(m_handle.get()),
                m_heif->heif_image_handle_get_height(m_handle.get()))
            : QSize();
    }

    QImage decode() const
    {
        const QSize shown = size();
        if (shown.isEmpty() || qint64(shown.width()) * shown.height() > largestPixelCount)
            return {};
        const bool alpha = m_heif->heif_image_handle_has_alpha_channel(m_handle.get());
        heif_image *decoded = nullptr;
        if (m_heif->heif_decode_image(m_handle.get(), &decoded, heif_colorspace_RGB,
                alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, nullptr)
                .code
            != heif_error_Ok)
            return {};
        const Image image(decoded);
        int stride = 0;
        const uint8_t *pixels = m_heif->heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
        const int width = m_heif->heif_image_get_width(image.get(), heif_channel_interleaved);
        const int height = m_heif->heif_image_get_height(image.get(), heif_channel_interleaved);
        if (!pixels || width < 1 || height < 1)
            return {};
        // Copied: the decoded planes go with the libheif image.
        return QImage(pixels, width, height, stride, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888)
            .copy();
    }

private:
    const Heif *m_heif;
    Context m_context;
    Handle m_handle;
};

class HeicHandler : public QImageIOHandler
{
public:
    bool canRead() const override
    {
        if (!device() || !HeicImage::isHeic(device()->peek(12)))
            return false;
        setFormat("heic");
        return true;
    }

    bool read(QImage *image) override
    {
        if (!load())
            return false;
        QImage decoded = m_primary->decode();
        if (decoded.isNull())
            return false;
        *image = std::move(decoded);
        return true;
    }

    bool supportsOption(ImageOption option) const override { return option == Size; }

    QVariant option(ImageOption option) const override
    {
        if (option != Size || !const_cast<HeicHandler *>(this)->load())
            return {};
        return m_primary->size();
    }

private:
    // Reads the file once, on the first question that needs it.
    bool load()
    {
        if (!m_primary) {
            if (!device() || device()->size() > largestFileSize)
                return false;
            m_bytes = device()->readAll();
            m_primary = std::make_unique<Primary>(m_bytes);
        }
        return m_primary->isValid();
    }

    QByteArray m_bytes;
    std::unique_ptr<Primary> m_primary;
};

class HeicPlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heic.json")

public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format == "heic" || format == "heif")
            return CanRead;
        if (!format.isEmpty() || !device || !device->isReadable())
            return {};
        return HeicImage::isHeic(device->peek(12)) ? CanRead : Capabilities();
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new HeicHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("heic") : format);
        return handler;
    }
};

} // namespace

// Made by moc from HeicPlugin's metadata, at the end of this file.
extern const QStaticPlugin qt_static_plugin_HeicPlugin();

namespace HeicImage {

void registerFormat()
{
    static std::once_flag registered;
    std::call_once(registered, [] { qRegisterStaticPluginFunction(qt_static_plugin_HeicPlugin()); });
}

bool isHeic(const QByteArray &head)
{
    static const QList<QByteArray> brands { "heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1" };
    return head.size() >= 12 && head.mid(4, 4) == "ftyp" && brands.contains(head.mid(8, 4));
}

} // namespace HeicImage

#include "heicimage.moc"
