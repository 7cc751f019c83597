#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs the staged brimlow-core as the app does: a child process, its
// answer on standard output, a sentence on the last line of standard error.
struct ToolRun
{
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;

    // The last non-empty line of standard error.
    QString lastErrorLine() const;
};

QString toolPath();
ToolRun runTool(const QStringList &arguments, const QByteArray &input = {});
