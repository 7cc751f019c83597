#include "clock.h"

#include <QTimer>

namespace {

class TimerAlarm : public Clock::Alarm
{
public:
    TimerAlarm(std::chrono::milliseconds delay, std::function<void()> fire)
        : m_timer(new QTimer)
    {
        m_timer->setSingleShot(true);
        // Coarse timers may fire up to 5% early; a debounce must not.
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer, &QTimer::timeout, [fire = std::move(fire)] { fire(); });
        m_timer->start(delay);
    }

    // The alarm may be dropped from inside its own call (the call schedules
    // the next one), so the timer goes later, not under its own signal.
    ~TimerAlarm() override
    {
        m_timer->stop();
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        m_timer->deleteLater();
    }

    TimerAlarm(const TimerAlarm &) = delete;
    TimerAlarm &operator=(const TimerAlarm &) = delete;

private:
    QTimer *m_timer;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    std::unique_ptr<Alarm> after(std::chrono::milliseconds delay, std::function<void()> fire) override
    {
        return std::make_unique<TimerAlarm>(delay, std::move(fire));
    }
};

Clock *&installed()
{
    static Clock *clock = nullptr;
    return clock;
}

} // namespace

Clock &Clock::system()
{
    static SystemClock clock;
    return clock;
}

Clock &Clock::current()
{
    return installed() ? *installed() : system();
}

void Clock::setCurrent(Clock *clock)
{
    installed() = clock;
}
