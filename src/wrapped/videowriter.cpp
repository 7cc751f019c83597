#include "videowriter.h"

#include "ffmpeg.h"
#include "wrappedvideo.h"

#include <QFile>

namespace {

QString errorText(const FFmpeg *ff, int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    ff->av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

[[noreturn]] void notStarted()
{
    throw WrappedVideo::Failure(QStringLiteral("The video couldn't start."));
}

[[noreturn]] void notFinished()
{
    throw WrappedVideo::Failure(QStringLiteral("The video didn't finish."));
}

} // namespace

struct VideoWriter::Parts
{
    // Found by open(), on the encoder's thread: loading FFmpeg takes long
    // enough to be felt on the window's.
    const FFmpeg *ff = nullptr;
    AVFormatContext *format = nullptr;
    AVCodecContext *codec = nullptr;
    AVStream *stream = nullptr;
    AVPacket *packet = nullptr;
    bool headerWritten = false;
    bool finished = false;

    ~Parts()
    {
        if (!ff)
            return;
        ff->av_packet_free(&packet);
        ff->avcodec_free_context(&codec);
        if (format) {
            if (format->pb)
                ff->avio_closep(&format->pb);
            ff->avformat_free_context(format);
        }
    }

    // Moves every packet the encoder has ready into the file.
    void drain()
    {
        for (;;) {
            const int received = ff->avcodec_receive_packet(codec, packet);
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return;
            if (received < 0)
                notFinished();
            // Each picture lasts one frame; without it the last frame of
            // the file would have no length.
            packet->duration = 1;
            ff->av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            const int written = ff->av_interleaved_write_frame(format, packet);
            ff->av_packet_unref(packet);
            if (written < 0)
                notFinished();
        }
    }
};

VideoWriter::VideoWriter()
    : m_parts(std::make_unique<Parts>())
{ }

VideoWriter::~VideoWriter() = default;

void VideoWriter::open(const QString &path, QSize size, int framesPerSecond)
{
    Parts &p = *m_parts;
    p.ff = FFmpeg::instance();
    const FFmpeg *ff = p.ff;
    if (!ff)
        notStarted();
    // The encoder's statistics are no news for our users.
    ff->av_log_set_level(AV_LOG_ERROR);
    const QByteArray file = QFile::encodeName(path);
    int status = ff->avformat_alloc_output_context2(&p.format, nullptr, "mp4", file.constData());
    if (status < 0 || !p.format)
        throw WrappedVideo::Failure(errorText(ff, status));
    const AVCodec *encoder = ff->avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        notStarted();
    p.stream = ff->avformat_new_stream(p.format, nullptr);
    p.codec = ff->avcodec_alloc_context3(encoder);
    p.packet = ff->av_packet_alloc();
    if (!p.stream || !p.codec || !p.packet)
        notStarted();

    AVCodecContext *c = p.codec;
    c->width = size.width();
    c->height = size.height();
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational { 1, framesPerSecond };
    c->framerate = AVRational { framesPerSecond, 1 };
    c->bit_rate = 8'000'000;
    // Tagged, so that players don't guess the colours of a tall picture.
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_BT709;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    if (p.format->oformat->flags & AVFMT_GLOBALHEADER)
        c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    ff->av_opt_set(c->priv_data, "profile", "high", 0);
    // Flat colours and type encode well at this speed; slower presets
    // only cost the user time.
    ff->av_opt_set(c->priv_data, "preset", "veryfast", 0);
    if (ff->avcodec_open2(c, encoder, nullptr) < 0
        || ff->avcodec_parameters_from_context(p.stream->codecpar, c) < 0)
        notStarted();
    p.stream->time_base = c->time_base;
    p.stream->avg_frame_rate = c->framerate;

    status = ff->avio_open(&p.format->pb, file.constData(), AVIO_FLAG_WRITE);
    if (status < 0)
        throw WrappedVideo::Failure(errorText(ff, status));
    if (ff->avformat_write_header(p.format, nullptr) < 0)
        notStarted();
    p.headerWritten = true;
}

VideoWriter::Picture VideoWriter::convert(const QImage &image, QSize size)
{
    const FFmpeg *ff = FFmpeg::instance();
    if (!ff)
        return {};
    // One converter per thread: they keep state and are costly to make.
    thread_local std::unique_ptr<SwsContext, void (*)(SwsContext *)> scaler(nullptr, ff->sws_freeContext);
    thread_local QSize scalerSize;
    if (!scaler || scalerSize != size) {
        scaler.reset(ff->sws_getContext(size.width(), size.height(), AV_PIX_FMT_BGRA, size.width(),
            size.height(), AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
        scalerSize = size;
        if (!scaler)
            return {};
        // Full-range sRGB pictures into limited-range BT.709, as tagged.
        ff->sws_setColorspaceDetails(scaler.get(), ff->sws_getCoefficients(SWS_CS_DEFAULT), 1,
            ff->sws_getCoefficients(SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
    }
    if (image.format() != QImage::Format_ARGB32_Premultiplied || image.width() != size.width()
        || image.height() <= size.height())
        return {};
    Picture picture;
    picture.m_frame.reset(ff->av_frame_alloc(), [ff](AVFrame *frame) { ff->av_frame_free(&frame); });
    AVFrame *frame = picture.m_frame.get();
    if (!frame)
        return {};
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = size.width();
    frame->height = size.height();
    if (ff->av_frame_get_buffer(frame, 0) < 0)
        return {};
    // Premultiplied ARGB of an opaque picture is BGRA in memory on the
    // little-endian machines we build for.
    const uint8_t *source[] = { image.constBits() };
    const int stride[] = { int(image.bytesPerLine()) };
    ff->sws_scale(scaler.get(), source, stride, 0, size.height(), frame->data, frame->linesize);
    return picture;
}

void VideoWriter::append(const Picture &picture, qint64 index)
{
    Parts &p = *m_parts;
    const FFmpeg *ff = p.ff;
    AVFrame *frame = picture.m_frame.get();
    if (!ff || !p.codec || !frame || frame->width != p.codec->width || frame->height != p.codec->height)
        notFinished();
    frame->pts = index;
    if (ff->avcodec_send_frame(p.codec, frame) < 0)
        notFinished();
    p.drain();
}

void VideoWriter::finish()
{
    Parts &p = *m_parts;
    const FFmpeg *ff = p.ff;
    if (p.finished)
        return;
    p.finished = true;
    if (!ff || !p.codec)
        notFinished();
    if (ff->avcodec_send_frame(p.codec, nullptr) < 0)
        notFinished();
    p.drain();
    if (ff->av_write_trailer(p.format) < 0 || ff->avio_closep(&p.format->pb) < 0)
        notFinished();
}
