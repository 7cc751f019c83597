#pragma once

#include <QImage>
#include <QString>
#include <memory>

struct AVFrame;

// An H.264 video in an MP4 file, fed one picture at a time: libx264 at
// 8 Mb/s, profile High, 30 frames a second, colours tagged as BT.709.
// Pictures are converted for the encoder on any thread; the writer itself
// is used from one thread at a time.
class VideoWriter
{
public:
    // A picture in the encoder's colours (YUV 4:2:0, BT.709).
    class Picture
    {
    public:
        Picture() = default;
        bool isNull() const { return !m_frame; }

    private:
        friend class VideoWriter;
        std::shared_ptr<AVFrame> m_frame;
    };

    VideoWriter();
    ~VideoWriter();

    VideoWriter(const VideoWriter &) = delete;
    VideoWriter &operator=(const VideoWriter &) = delete;

    // The top size.height() rows of a 32-bit premultiplied ARGB image of
    // size.width(), converted; a null picture when that fails. The image
    // needs a row more than it shows: the converter's vector code reads a
    // little past the last row. Safe on any thread.
    static Picture convert(const QImage &image, QSize size);

    // Makes the file and starts the encoder; throws WrappedVideo::Failure,
    // with the system's own sentence when the file can't be made.
    void open(const QString &path, QSize size, int framesPerSecond);
    // Appends a picture of the video's size, shown from frame index on for
    // one frame's time.
    void append(const Picture &picture, qint64 index);
    // Writes what the encoder still holds and closes the file.
    void finish();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};
