#pragma once

#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace Brimlow {
class ChatLogReader;
}

// The chat-export formats the fuzz targets read, each with its reader and
// the sample exports its seeds come from (the tests' own).
namespace ChatFormats {

struct Format
{
    // The fuzz target, fuzz/targets/<target>.cpp.
    QString target;
    const Brimlow::ChatLogReader *reader;
    // Writers of sample exports into an empty folder, returning what --log
    // is given. The first is the one a target fuzzes in.
    QList<std::function<QString(const QString &folder)>> samples;
};

const QList<Format> &all();

// The files of a sample export the format's reader takes: the one file
// given, or those under the folder that the reader recognises.
QStringList filesOf(const Format &format, const QString &log);

// One input as the main file of the target's first sample export, held in
// memory with the rest of the export: read by the format's reader alone
// when it recognises the input, then with the rest of the export as the
// tool reads it. Failures with a sentence are
// what damaged files should end in; anything else is a finding.
void read(const QString &target, const uint8_t *data, size_t size);

} // namespace ChatFormats

// The whole of a chat format's fuzz target.
#define QUORVEL_FUZZ_CHAT_FORMAT(target)                                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                  \
    {                                                                                                        \
        ChatFormats::read(QStringLiteral(target), data, size);                                               \
        return 0;                                                                                            \
    }
