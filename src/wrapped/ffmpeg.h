#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

// What the video is written with of FFmpeg, looked up when the first video
// is made rather than linked: FFmpeg brings a hundred codec libraries with
// it, and loading them held every start of the app up by tens of
// milliseconds although most starts make no video. The headers still give
// the types; each function is reached through instance().
struct FFmpeg
{
    // Every function used, by its own name.
#define QUORVEL_FFMPEG_FUNCTIONS(X)                                                                          \
    X(av_frame_alloc)                                                                                        \
    X(av_frame_free)                                                                                         \
    X(av_frame_get_buffer)                                                                                   \
    X(av_log_set_level)                                                                                      \
    X(av_opt_set)                                                                                            \
    X(av_strerror)                                                                                           \
    X(av_packet_alloc)                                                                                       \
    X(av_packet_free)                                                                                        \
    X(av_packet_rescale_ts)                                                                                  \
    X(av_packet_unref)                                                                                       \
    X(avcodec_alloc_context3)                                                                                \
    X(avcodec_find_encoder_by_name)                                                                          \
    X(avcodec_free_context)                                                                                  \
    X(avcodec_open2)                                                                                         \
    X(avcodec_parameters_from_context)                                                                       \
    X(avcodec_receive_packet)                                                                                \
    X(avcodec_send_frame)                                                                                    \
    X(av_interleaved_write_frame)                                                                            \
    X(av_write_trailer)                                                                                      \
    X(avformat_alloc_output_context2)                                                                        \
    X(avformat_free_context)                                                                                 \
    X(avformat_new_stream)                                                                                   \
    X(avformat_write_header)                                                                                 \
    X(avio_closep)                                                                                           \
    X(avio_open)                                                                                             \
    X(sws_freeContext)                                                                                       \
    X(sws_getCoefficients)                                                                                   \
    X(sws_getContext)                                                                                        \
    X(sws_scale)                                                                                             \
    X(sws_setColorspaceDetails)

#define QUORVEL_FFMPEG_MEMBER(name) decltype(&::name) name = nullptr;
    QUORVEL_FFMPEG_FUNCTIONS(QUORVEL_FFMPEG_MEMBER)
#undef QUORVEL_FFMPEG_MEMBER

    // The libraries of the FFmpeg the app was built with, loaded once for
    // the process on first use from any thread; nullptr when one of them,
    // or one of the functions, can't be found.
    static const FFmpeg *instance();
};
