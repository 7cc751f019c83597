// The plain build's driver of a fuzz target: runs each input file named, or
// every file in each folder named, once, so that seeds and regressions are
// tests in every build. Options libFuzzer would take ("-runs=0") are
// ignored.
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

QStringList inputsIn(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return { path };
    QStringList files;
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

} // namespace

int main(int argc, char **argv)
{
    int ran = 0;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            continue;
        for (const QString &path : inputsIn(QString::fromLocal8Bit(argv[i]))) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "replay: can't read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(
                reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
            ++ran;
        }
    }
    std::printf("replay: %d inputs ran\n", ran);
    return 0;
}
