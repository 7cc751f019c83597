// brimlow-core: reads Messages stores, iPhone backups and chat exports, and
// writes what the app shows and prints. Every failure ends with one line
// "Error: <sentence>" on standard error and a non-zero exit status.
#include "commands.h"
#include "failure.h"
#include "options.h"

#include <QFile>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr int Failed = 1;
constexpr int BadCommandLine = 2;

void printError(const QString &sentence)
{
    const QByteArray line = "Error: " + sentence.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

// Large chat exports make millions of small allocations, and where
// transparent huge pages are given only to programs that ask for them,
// faulting the heap in 4 KB pages costs more than the reading itself
// (twice the time for a 100 MB export). glibc asks only when told so at
// start, so the tool starts once more, told; if that fails it runs as it is.
void preferHugePages(char **argv)
{
    if (std::getenv("GLIBC_TUNABLES") != nullptr)
        return;
    setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
    execv("/proc/self/exe", argv);
}

} // namespace

int main(int argc, char **argv)
{
    preferHugePages(argv);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QFile input;
    QFile output;
    input.open(stdin, QIODevice::ReadOnly);
    output.open(stdout, QIODevice::WriteOnly);
    try {
        const Brimlow::Options options = Brimlow::Options::parse(arguments);
        Brimlow::Commands::run(options, input, output);
        if (!output.flush()) {
            printError(QStringLiteral("The answer couldn't be written to standard output."));
            return Failed;
        }
        return 0;
    } catch (const Brimlow::Failure &failure) {
        output.flush();
        printError(failure.sentence());
        return failure.kind() == Brimlow::Failure::Kind::Usage ? BadCommandLine : Failed;
    } catch (const std::exception &error) {
        output.flush();
        printError(
            QStringLiteral("Something unexpected went wrong: %1").arg(QString::fromLocal8Bit(error.what())));
        return Failed;
    }
}
