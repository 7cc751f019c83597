// Until the window exists the app typesets one book document to PDF:
//   quorvel BOOK.json OUT.pdf
#include "model/helpers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <qcorotask.h>

namespace {

QCoro::Task<int> typesetOnce(QString book, QString out)
{
    try {
        co_await Helpers::typeset(book, QStringLiteral("novel"), out);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        co_return 1;
    }
    std::printf("The book is at %s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
    co_return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: quorvel BOOK.json OUT.pdf\n");
        return 2;
    }
    int status = 1;
    QTimer::singleShot(0, [&] {
        [](QString book, QString out, int &status) -> QCoro::Task<void> {
            status = co_await typesetOnce(book, out);
            QCoreApplication::quit();
        }(QFileInfo(args[1]).absoluteFilePath(), QFileInfo(args[2]).absoluteFilePath(), status);
    });
    app.exec();
    return status;
}
