#pragma once

class QIODevice;

namespace Brimlow {

struct Options;

// The tool's commands. Answers go to output; a password or key is read
// from input only when an option says it is there. Failures are thrown as
// Failure, and main turns them into the exit status.
namespace Commands {

void run(const Options &options, QIODevice &input, QIODevice &output);

void chats(const Options &options, QIODevice &output);
void exportBook(const Options &options, QIODevice &input);
void backups(const Options &options, QIODevice &output);
void unlock(const Options &options, QIODevice &input, QIODevice &output);
// Reads a book document on input and prints its Wrapped.
void wrapped(const Options &options, QIODevice &input, QIODevice &output);

} // namespace Commands

} // namespace Brimlow
