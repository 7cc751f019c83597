// quorvel-service: the stand-in of the maker's web service.
//   quorvel-service --data DIR [--port N] [--host ADDRESS] [--mode stripe|email|off] [--part-size BYTES]
// Prints "quorvel-service: listening on http://HOST:PORT" once it accepts
// connections; port 0 picks a free port.
#include "service.h"

#include <QString>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <optional>
#include <stdexcept>

namespace {

struct Options
{
    Service::Settings settings;
    QString host = QStringLiteral("127.0.0.1");
    int port = 8787;
};

QString valueAfter(const QStringList &arguments, qsizetype &i)
{
    if (i + 1 >= arguments.size())
        throw std::invalid_argument(QStringLiteral("%1 needs a value").arg(arguments.at(i)).toStdString());
    return arguments.at(++i);
}

qint64 number(const QString &text, const QString &option, qint64 least, qint64 most)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok || value < least || value > most)
        throw std::invalid_argument(QStringLiteral("%1 must be a number from %2 to %3")
                                        .arg(option)
                                        .arg(least)
                                        .arg(most)
                                        .toStdString());
    return value;
}

Options parse(const QStringList &arguments)
{
    Options options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &word = arguments.at(i);
        if (word == QLatin1String("--data"))
            options.settings.dataFolder = valueAfter(arguments, i);
        else if (word == QLatin1String("--port"))
            options.port = int(number(valueAfter(arguments, i), word, 0, 65535));
        else if (word == QLatin1String("--host"))
            options.host = valueAfter(arguments, i);
        else if (word == QLatin1String("--mode"))
            options.settings.mode = valueAfter(arguments, i);
        else if (word == QLatin1String("--part-size"))
            options.settings.partSize = number(valueAfter(arguments, i), word, 1, qint64(1) << 32);
        else
            throw std::invalid_argument(QStringLiteral("unknown argument %1").arg(word).toStdString());
    }
    if (options.settings.dataFolder.isEmpty())
        throw std::invalid_argument("--data DIR is required");
    if (!QStringList { QStringLiteral("stripe"), QStringLiteral("email"), QStringLiteral("off") }.contains(
            options.settings.mode))
        throw std::invalid_argument("--mode must be stripe, email or off");
    return options;
}

} // namespace

int main(int argc, char **argv)
{
    // A dropped connection must not end the server with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    try {
        const Options options = parse(arguments);
        Service service(options.settings);
        const int port = service.bind(options.host, options.port);
        if (port < 0)
            throw std::runtime_error(
                QStringLiteral("cannot listen on %1:%2").arg(options.host).arg(options.port).toStdString());
        std::printf(
            "quorvel-service: listening on http://%s:%d\n", options.host.toLocal8Bit().constData(), port);
        std::fflush(stdout);
        return service.run() ? 0 : 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "quorvel-service: error: %s\n", error.what());
        return 2;
    }
}
