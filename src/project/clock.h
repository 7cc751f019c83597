#pragma once

#include <QDateTime>
#include <chrono>
#include <functional>
#include <memory>

// Time as the open book sees it: the wall clock that dates cache entries,
// and alarms on the monotonic clock that delay typesetting. The app uses
// the system clock; tests install one they advance by hand.
class Clock
{
public:
    // A pending call. Destroying it before it fires cancels it.
    class Alarm
    {
    public:
        virtual ~Alarm() = default;
    };

    virtual ~Clock() = default;

    virtual QDateTime now() const = 0;
    // Calls fire once, delay from now, from the event loop: never from
    // inside this call, even for a delay of zero.
    virtual std::unique_ptr<Alarm> after(std::chrono::milliseconds delay, std::function<void()> fire) = 0;

    // The clock in use: the system's unless a test installed another.
    static Clock &current();
    // nullptr restores the system clock.
    static void setCurrent(Clock *clock);
    static Clock &system();
};
