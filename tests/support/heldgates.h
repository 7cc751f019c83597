#pragma once

#include <QTest>
#include <QTimer>
#include <memory>
#include <qcorosignal.h>
#include <qcorotask.h>
#include <vector>

// Where fake runs wait, while the test holds them, until it lets each go
// on (counted from 0 in the order they came). Runs still held when the
// gates go go on then, and the gates wait for them: no coroutine stays
// suspended for good (the sanitized build would count its frame as
// leaked). A fake declares its gates last, so that what its runs touch
// after their gate is still there then.
class HeldGates
{
public:
    HeldGates() = default;
    HeldGates(const HeldGates &) = delete;
    HeldGates &operator=(const HeldGates &) = delete;
    ~HeldGates()
    {
        for (const std::unique_ptr<QTimer> &gate : m_gates)
            gate->start(0);
        [[maybe_unused]] const bool passed
            = QTest::qWaitFor([this] { return m_passed == int(m_gates.size()); }, 120000);
    }

    // Waits until released.
    QCoro::Task<void> wait()
    {
        m_gates.push_back(std::make_unique<QTimer>());
        QTimer *gate = m_gates.back().get();
        gate->setSingleShot(true);
        co_await qCoro(gate, &QTimer::timeout);
        ++m_passed;
    }

    void release(int n) { m_gates.at(n)->start(0); }
    int size() const { return int(m_gates.size()); }

private:
    std::vector<std::unique_ptr<QTimer>> m_gates;
    int m_passed = 0;
};
