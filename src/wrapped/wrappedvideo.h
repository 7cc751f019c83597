#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <qcorotask.h>
#include <stdexcept>

// The share video: the cover card, the months filling in, up to four of
// the selected cards and a closing frame, written as H.264 in an MP4 file
// of 1080 x 1920 at 30 frames a second.
namespace WrappedVideo {

// Which cards play and how long each scene lasts, in seconds.
struct Plan
{
    // Never a cover card; at most four.
    QList<Wrapped::Card> cards;
    double intro = 2.6;
    double months = 2.6;
    double outro = 1.8;

    // Each card's time on screen: the film aims at 13.2 s, and a card
    // stays between 1.5 s and 2.4 s; 0 without cards.
    double perCard() const;
    double length() const;
    int frames() const;
};

constexpr int framesPerSecond = 30;

// An error of the video's own, with the sentence for the user.
class Failure : public std::runtime_error
{
public:
    explicit Failure(const QString &message);
    QString message() const { return QString::fromUtf8(what()); }
};

Plan plan(const Wrapped &wrapped, const WrappedSettings &settings);

// Writes the video to the file to, replacing what is there; progress hears
// the share of frames done after each frame, and the event loop runs
// between frames. Throws Failure, or the system's error when the file
// can't be made.
QCoro::Task<void> exportVideo(Wrapped wrapped, WrappedSettings settings, std::optional<QString> code,
    QString to, std::function<void(double)> progress = {});

} // namespace WrappedVideo
