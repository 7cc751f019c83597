#pragma once

#include "model/wrapped.h"
#include "wrappedsettings.h"
#include "wrappedvideo.h"

#include <QColor>
#include <optional>

class QPainter;

// One still of the share video at a time t: a pure function of its
// inputs, so the same time always gives the same picture. Frames are 360 x
// 640 points; the cards are the card view's own drawing.
namespace WrappedFrame {

enum class Scene { Opening, Months, Card, Outro };

// The scene on screen at t, which card of the plan it shows, and how far
// into the scene t is.
struct Moment
{
    Scene scene = Scene::Opening;
    int card = -1;
    double local = 0;
    double length = 0;
};

Moment at(double t, const WrappedVideo::Plan &plan);

// Everything a frame's picture depends on besides the document and the
// settings: two times with the same look give the same picture.
struct Look
{
    Scene scene = Scene::Opening;
    int card = -1;
    // How far the scene's contents have run, 0 to 1.
    double progress = 0;
    double opacity = 0;
    // How far a card still is below its place, in points.
    double drop = 0;

    friend bool operator==(const Look &, const Look &) = default;
};

Look look(double t, const WrappedVideo::Plan &plan);

// A scene's opacity: in over its first quarter second, out over its last
// 0.2 s.
double fadeIn(double local);
double opacity(double local, double length);

// The months grid: columns for a number of months, how many are shown at
// progress, and each tile's colour.
int columns(int months);
int shownMonths(double progress, int months);
QColor tile(int index, int shown, int count, int peak, const WrappedSettings::Palette &palette);

void paint(QPainter &painter, double t, const WrappedVideo::Plan &plan, const Wrapped &wrapped,
    const WrappedSettings &settings, const std::optional<QString> &code);

} // namespace WrappedFrame
