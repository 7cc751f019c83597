#pragma once

#include "model/helpers.h"
#include "model/library.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <qcorosignal.h>

// Stands in for the message tool where a test needs a controlled answer:
// each source's answer comes from a table (a missing entry fails like the
// tool), and while holding, every run waits until the test releases it.
class FakeTool : public QObject
{
    Q_OBJECT

public:
    QHash<QString, QByteArray> answers;
    bool holding = false;
    // The source ids of the runs so far, in order.
    QStringList runs;

    Library::Runner runner()
    {
        return [this](QStringList arguments, Source source) { return run(arguments, source); };
    }

    // Lets the run with this number (counting from 1) end.
    void release(int run) { emit released(run); }

signals:
    void released(int run);

private:
    QCoro::Task<QByteArray> run(QStringList arguments, Source source)
    {
        runs.append(source.id);
        const int number = int(runs.size());
        const std::optional<QByteArray> answer
            = answers.contains(source.id) ? std::optional(answers.value(source.id)) : std::nullopt;
        while (holding && co_await qCoro(this, &FakeTool::released) != number) { }
        if (!answer)
            throw Helpers::Failure(QStringLiteral("brimlow-core"), 1, QStringLiteral("Error: No such chat."));
        co_return *answer;
    }
};
