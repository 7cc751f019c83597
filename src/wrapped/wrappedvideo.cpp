#include "wrappedvideo.h"

#include "videowriter.h"
#include "wrappedframe.h"

#include <QFile>
#include <QFuture>
#include <QImage>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>
#include <chrono>
#include <cmath>
#include <qcorofuture.h>
#include <qcorotimer.h>

namespace WrappedVideo {

namespace {

constexpr double targetLength = 13.2;
constexpr qreal scale = 3;
const QSize pictureSize(1080, 1920);

// What every frame is drawn from.
struct Inputs
{
    Plan plan;
    Wrapped wrapped;
    WrappedSettings settings;
    std::optional<QString> code;
};

// The frame at t, drawn and converted for the encoder.
VideoWriter::Picture picture(double t, const Inputs &inputs)
{
    // A row to spare, for the converter.
    QImage image(pictureSize + QSize(0, 1), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    QPainter painter(&image);
    painter.scale(scale, scale);
    WrappedFrame::paint(painter, t, inputs.plan, inputs.wrapped, inputs.settings, inputs.code);
    painter.end();
    return VideoWriter::convert(image, pictureSize);
}

// The encoder's own thread: its work runs in the order it was given.
QThreadPool *encoderThread()
{
    static QThreadPool *const pool = [] {
        auto *made = new QThreadPool;
        made->setMaxThreadCount(1);
        return made;
    }();
    return pool;
}

// Runs work on the encoder's thread; the future holds what it threw.
template<typename Work> QFuture<std::exception_ptr> encode(Work work)
{
    return QtConcurrent::run(encoderThread(), [work]() -> std::exception_ptr {
        try {
            work();
        } catch (...) {
            return std::current_exception();
        }
        return nullptr;
    });
}

// Waits for work started before, throwing what it threw.
QCoro::Task<void> finished(QFuture<std::exception_ptr> work)
{
    if (const std::exception_ptr error = co_await work)
        std::rethrow_exception(error);
}

} // namespace

Failure::Failure(const QString &message)
    : std::runtime_error(message.toStdString())
{ }

double Plan::perCard() const
{
    if (cards.isEmpty())
        return 0;
    const double each = (targetLength - intro - months - outro) / double(cards.size());
    if (std::isnan(each) || each < 1.5)
        return 1.5;
    return std::min(each, 2.4);
}

double Plan::length() const
{
    return intro + months + double(cards.size()) * perCard() + outro;
}

int Plan::frames() const
{
    return int(std::round(length() * framesPerSecond));
}

Plan plan(const Wrapped &wrapped, const WrappedSettings &settings)
{
    Plan made;
    for (const QString &id : settings.selection) {
        const Wrapped::Card *card = wrapped.card(id);
        // The cover plays as the opening scene instead.
        if (card && card->kind != Wrapped::Kind::Cover && made.cards.size() < 4)
            made.cards.append(*card);
    }
    return made;
}

QCoro::Task<void> exportVideo(Wrapped wrapped, WrappedSettings settings, std::optional<QString> code,
    QString to, std::function<void(double)> progress)
{
    const Plan planned = plan(wrapped, settings);
    const int frames = planned.frames();
    QFile::remove(to);
    // Frames are drawn on the thread pool a few ahead and encoded in order
    // on a thread of their own, so the window stays free and the film takes
    // the time of the slower of the two. Every frame is a picture of its
    // own in the film, but one that looks like the frame before it is not
    // drawn again. The work shares what it needs,
    // and outlives this task should it be dropped.
    const auto writer = std::make_shared<VideoWriter>();
    co_await finished(encode([writer, to] { writer->open(to, pictureSize, framesPerSecond); }));
    const auto inputs
        = std::make_shared<const Inputs>(Inputs { planned, std::move(wrapped), std::move(settings), code });
    const int ahead = std::max(2, QThread::idealThreadCount() / 2);
    QList<QFuture<VideoWriter::Picture>> drawing;
    QList<QFuture<std::exception_ptr>> encoding;
    int next = 0;
    QFuture<VideoWriter::Picture> latest;
    std::optional<WrappedFrame::Look> latestLook;
    for (int i = 0; i < frames; ++i) {
        for (; next < frames && drawing.size() < ahead; ++next) {
            const double t = double(next) / framesPerSecond;
            // A still stretch of a scene is drawn once.
            const WrappedFrame::Look look = WrappedFrame::look(t, planned);
            if (look != latestLook) {
                latest = QtConcurrent::run([inputs, t] { return picture(t, *inputs); });
                latestLook = look;
            }
            drawing.append(latest);
        }
        const VideoWriter::Picture picture = co_await drawing.takeFirst();
        if (picture.isNull())
            continue;
        encoding.append(encode([writer, picture, i] { writer->append(picture, i); }));
        while (encoding.size() > ahead)
            co_await finished(encoding.takeFirst());
        if (progress)
            progress(double(i + 1) / frames);
        co_await QCoro::sleepFor(std::chrono::milliseconds(0));
    }
    while (!encoding.isEmpty())
        co_await finished(encoding.takeFirst());
    co_await finished(encode([writer] { writer->finish(); }));
}

} // namespace WrappedVideo
