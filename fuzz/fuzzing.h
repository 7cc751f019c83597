#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// What every fuzz target shares. A target defines LLVMFuzzerTestOneInput;
// the sanitized build links it with libFuzzer, the plain build with a
// driver that replays seeds and regressions once.
namespace Fuzzing {

// The input as a reader gets a file's bytes: a copy, with the terminating
// zero QByteArray keeps after its data.
QByteArray input(const uint8_t *data, size_t size);

// A folder of the process's own, removed when it ends.
QString scratch();

void writeFile(const QString &path, const QByteArray &bytes);

} // namespace Fuzzing
