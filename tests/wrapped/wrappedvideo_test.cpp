#include "uitestsupport.h"
#include "wrapped/wrappedframe.h"
#include "wrapped/wrappedvideo.h"
#include "wrappedfixture.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {

WrappedSettings selecting(const QStringList &ids)
{
    WrappedSettings settings;
    settings.selection = ids;
    return settings;
}

QImage frameAt(double t, const WrappedVideo::Plan &plan, const Wrapped &wrapped,
    const WrappedSettings &settings, const std::optional<QString> &code = u"FRIEND-7Q2K"_s)
{
    QImage image(1080, 1920, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.scale(3, 3);
    WrappedFrame::paint(painter, t, plan, wrapped, settings, code);
    return image;
}

bool near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// What libavformat reads back from a video file.
struct Probe
{
    QString codec;
    int profile = 0;
    int width = 0;
    int height = 0;
    AVRational rate { 0, 1 };
    AVColorSpace colorspace = AVCOL_SPC_UNSPECIFIED;
    int frames = 0;
    double seconds = 0;
    // The picture at 0.1 s, as RGB.
    QImage early;
};

Probe probe(const QString &path)
{
    Probe made;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return made;
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index >= 0) {
        const AVStream *stream = format->streams[index];
        const AVCodecParameters *parameters = stream->codecpar;
        made.codec = QString::fromLatin1(avcodec_get_name(parameters->codec_id));
        made.profile = parameters->profile;
        made.width = parameters->width;
        made.height = parameters->height;
        made.rate = stream->avg_frame_rate;
        made.colorspace = parameters->color_space;
        made.seconds = double(format->duration) / AV_TIME_BASE;

        const AVCodec *decoder = avcodec_find_decoder(parameters->codec_id);
        AVCodecContext *context = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(context, parameters);
        avcodec_open2(context, decoder, nullptr);
        AVPacket *packet = av_packet_alloc();
        AVFrame *frame = av_frame_alloc();
        const auto take = [&] {
            while (avcodec_receive_frame(context, frame) == 0) {
                if (made.frames++ == 3) {
                    // Rows to spare: the scaler's vector code writes past the last row.
                    made.early = QImage(frame->width, frame->height + 4, QImage::Format_RGB32);
                    SwsContext *scaler = sws_getContext(frame->width, frame->height,
                        AVPixelFormat(frame->format), frame->width, frame->height, AV_PIX_FMT_BGRA,
                        SWS_BILINEAR, nullptr, nullptr, nullptr);
                    sws_setColorspaceDetails(scaler, sws_getCoefficients(SWS_CS_ITU709), 0,
                        sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
                    uint8_t *target[] = { made.early.bits() };
                    const int stride[] = { int(made.early.bytesPerLine()) };
                    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, target, stride);
                    sws_freeContext(scaler);
                    made.early = made.early.copy(0, 0, frame->width, frame->height);
                }
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == index)
                avcodec_send_packet(context, packet);
            av_packet_unref(packet);
            take();
        }
        avcodec_send_packet(context, nullptr);
        take();
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
    }
    avformat_close_input(&format);
    return made;
}

} // namespace

TEST(WrappedVideoPlan, PlaysUpToFourCardsAfterTheCover)
{
    const Wrapped wrapped = sampleWrapped();
    EXPECT_TRUE(WrappedVideo::plan(wrapped, selecting({ u"zz"_s })).cards.isEmpty());
    const WrappedVideo::Plan six = WrappedVideo::plan(wrapped,
        selecting({ u"cover"_s, u"love"_s, u"busiest"_s, u"busiest"_s, u"zz"_s, u"words"_s, u"emoji"_s,
            u"talks"_s }));
    QStringList ids;
    for (const Wrapped::Card &card : six.cards)
        ids.append(card.id);
    EXPECT_EQ(ids, (QStringList { u"love"_s, u"busiest"_s, u"busiest"_s, u"words"_s }));

    const QList<std::pair<int, int>> expected { { 0, 210 }, { 1, 282 }, { 2, 354 }, { 3, 396 }, { 4, 396 } };
    const QStringList cards { u"talks"_s, u"busiest"_s, u"love"_s, u"words"_s };
    for (const auto &[count, frames] : expected) {
        const WrappedVideo::Plan plan = WrappedVideo::plan(wrapped, selecting(cards.mid(0, count)));
        EXPECT_EQ(plan.frames(), frames) << count;
    }
    EXPECT_DOUBLE_EQ(WrappedVideo::plan(wrapped, selecting(cards)).perCard(), 1.55);
    EXPECT_DOUBLE_EQ(WrappedVideo::plan(wrapped, selecting(cards.mid(0, 1))).perCard(), 2.4);
}

TEST(WrappedFrame, ScenesChangeExactlyAtTheirEnds)
{
    const Wrapped wrapped = sampleWrapped();
    const WrappedVideo::Plan none = WrappedVideo::plan(wrapped, {});
    const WrappedVideo::Plan four
        = WrappedVideo::plan(wrapped, selecting({ u"talks"_s, u"busiest"_s, u"love"_s, u"words"_s }));
    using Scene = WrappedFrame::Scene;
    EXPECT_EQ(WrappedFrame::at(2.599, four).scene, Scene::Opening);
    EXPECT_EQ(WrappedFrame::at(2.6, four).scene, Scene::Months);
    EXPECT_EQ(WrappedFrame::at(5.2, four).scene, Scene::Card);
    EXPECT_EQ(WrappedFrame::at(5.2, four).card, 0);
    EXPECT_EQ(WrappedFrame::at(9.9, four).card, 3);
    EXPECT_EQ(WrappedFrame::at(11.4, four).scene, Scene::Outro);
    EXPECT_EQ(WrappedFrame::at(5.2, none).scene, Scene::Outro);
    EXPECT_DOUBLE_EQ(WrappedFrame::opacity(0.1, 2.6), 0.4);
    EXPECT_NEAR(WrappedFrame::opacity(2.5, 2.6), 0.5, 1e-9);
}

TEST(WrappedFrame, StillStretchesLookAlike)
{
    const WrappedVideo::Plan four
        = WrappedVideo::plan(sampleWrapped(), selecting({ u"talks"_s, u"busiest"_s, u"love"_s, u"words"_s }));
    // A card has settled from 55 % of its time until it fades out.
    EXPECT_EQ(WrappedFrame::look(5.2 + 1.0, four), WrappedFrame::look(5.2 + 1.3, four));
    EXPECT_NE(WrappedFrame::look(5.2 + 0.5, four), WrappedFrame::look(5.2 + 0.6, four));
    EXPECT_NE(WrappedFrame::look(5.2 + 1.3, four), WrappedFrame::look(5.2 + 1.4, four));
    EXPECT_NE(WrappedFrame::look(5.2 + 1.0, four), WrappedFrame::look(6.75 + 1.0, four));
    EXPECT_EQ(WrappedFrame::look(12, four), WrappedFrame::look(60, four));
    EXPECT_NE(WrappedFrame::look(11.45, four), WrappedFrame::look(11.5, four));
}

TEST(WrappedFrame, MonthsFillTheirGrid)
{
    EXPECT_EQ(WrappedFrame::columns(1), 4);
    EXPECT_EQ(WrappedFrame::columns(13), 6);
    EXPECT_EQ(WrappedFrame::columns(37), 12);
    EXPECT_EQ(WrappedFrame::shownMonths(0, 12), 0);
    EXPECT_EQ(WrappedFrame::shownMonths(0.5, 13), 7);
    EXPECT_EQ(WrappedFrame::shownMonths(1, 13), 13);
    const WrappedSettings::Palette palette = WrappedSettings().palette();
    EXPECT_EQ(WrappedFrame::tile(0, 0, 300, 300, palette), palette.faint);
    EXPECT_EQ(WrappedFrame::tile(0, 1, 300, 300, palette), palette.accent);
    EXPECT_NEAR(WrappedFrame::tile(0, 1, 0, 300, palette).alphaF(), 0.25, 0.01);
    // Every month empty: still a finite tint.
    EXPECT_NEAR(WrappedFrame::tile(0, 1, 0, 0, palette).alphaF(), 0.25, 0.01);
}

TEST(WrappedFrame, OpeningWithoutACoverIsBackgroundAndTheEndIsTheOutro)
{
    Wrapped wrapped = sampleWrapped();
    const WrappedSettings settings;
    const QColor background = settings.palette().background;
    const QColor accent = settings.palette().accent;
    const WrappedVideo::Plan plan = WrappedVideo::plan(wrapped, selecting({ u"busiest"_s }));

    wrapped.cards.removeFirst();
    const QImage bare = frameAt(1.3, plan, wrapped, settings);
    for (int y = 0; y < bare.height(); y += 37)
        for (int x = 0; x < bare.width(); x += 37)
            ASSERT_EQ(bare.pixelColor(x, y), background) << x << "," << y;

    // Long past the end the closing frame stands at full opacity, its
    // ribbon in the accent.
    const QImage end = frameAt(60, plan, wrapped, settings);
    int ribbon = 0;
    for (int y = 0; y < end.height(); y += 3)
        ribbon += near(end.pixelColor(540, y), accent, 2);
    EXPECT_GT(ribbon, 30);
}

TEST(WrappedFrame, DecadesOfMonthsStayAboveTheFooter)
{
    Wrapped wrapped = sampleWrapped();
    wrapped.months.clear();
    for (int m = 0; m < 200; ++m)
        wrapped.months.append({ QString::asprintf("%04d-%02d", 2000 + m / 12, m % 12 + 1), 10 + m % 7 });
    const WrappedSettings settings;
    const WrappedVideo::Plan plan = WrappedVideo::plan(wrapped, settings);
    const QImage filled = frameAt(4.9, plan, wrapped, settings);
    const QColor background = settings.palette().background;
    // The footer's band in the middle column, where no footer text is:
    // background only.
    for (int y = 1920 - 102 - 60; y < 1920 - 102; ++y)
        ASSERT_TRUE(near(filled.pixelColor(540, y), background, 2)) << y;
    // Every tile is drawn: the last one is coloured.
    EXPECT_FALSE(near(filled.pixelColor(1080 - 95, 1400), background, 2));
}

TEST(WrappedFrame, TheCodeIsOnTheCardsAndTheEndNotUnderTheMonths)
{
    const Wrapped wrapped = sampleWrapped();
    const WrappedSettings settings;
    const WrappedVideo::Plan plan = WrappedVideo::plan(wrapped, selecting({ u"busiest"_s }));
    const auto differs = [&](double t) {
        return frameAt(t, plan, wrapped, settings) != frameAt(t, plan, wrapped, settings, std::nullopt);
    };
    EXPECT_TRUE(differs(1.3)) << "opening card";
    EXPECT_FALSE(differs(3.9)) << "months";
    EXPECT_TRUE(differs(6.0)) << "card";
    EXPECT_TRUE(differs(60)) << "closing frame";
}

TEST(WrappedVideo, WritesAnH264FilmOfThePlannedLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ours.mp4"_s);
    TestSupport::writeFile(path, "an older film");
    const Wrapped wrapped = sampleWrapped();
    const WrappedSettings settings
        = selecting({ u"cover"_s, u"talks"_s, u"busiest"_s, u"love"_s, u"words"_s });
    QList<double> progress;
    TestSupport::await(WrappedVideo::exportVideo(
        wrapped, settings, u"FRIEND-7Q2K"_s, path, [&](double done) { progress.append(done); }));

    const Probe film = probe(path);
    EXPECT_EQ(film.codec, u"h264"_s);
    EXPECT_EQ(film.profile, FF_PROFILE_H264_HIGH);
    EXPECT_EQ(film.width, 1080);
    EXPECT_EQ(film.height, 1920);
    EXPECT_EQ(film.rate.num, 30);
    EXPECT_EQ(film.rate.den, 1);
    EXPECT_EQ(film.colorspace, AVCOL_SPC_BT709);
    EXPECT_EQ(film.frames, 396);
    EXPECT_NEAR(film.seconds, 13.2, 0.05);
    ASSERT_FALSE(film.early.isNull());
    EXPECT_TRUE(near(film.early.pixelColor(540, 960), settings.palette().background, 6))
        << film.early.pixelColor(540, 960).name().toStdString();

    ASSERT_EQ(progress.size(), 396);
    EXPECT_DOUBLE_EQ(progress.first(), 1.0 / 396);
    EXPECT_DOUBLE_EQ(progress.last(), 1.0);
    EXPECT_TRUE(std::is_sorted(progress.cbegin(), progress.cend()));
}

TEST(WrappedVideo, AFileThatCannotBeMadeGivesTheSystemsSentence)
{
    QTemporaryDir dir;
    const std::optional<QString> failure = TestSupport::failureOf(WrappedVideo::exportVideo(
        sampleWrapped(), {}, std::nullopt, dir.filePath(u"missing/folder/ours.mp4"_s)));
    EXPECT_EQ(failure, u"No such file or directory"_s);
}
