#pragma once

#include <QString>
#include <optional>

// The names the user gave the book's two sides in the names sheet, kept
// beside the book ("names.json"), so that opening it again, which brings
// the names in step with the conversation, never undoes them. A side the
// user left as it was has none.
struct OwnNames
{
    std::optional<QString> me;
    std::optional<QString> them;

    bool isEmpty() const { return !me && !them; }

    // What the book's folder keeps; none when nothing was named there or
    // the file doesn't read.
    static OwnNames read(const QString &folder);
    // Adds these names to those kept, each side's newest winning. A failed
    // write keeps what was there: the names are in the book all the same.
    void keep(const QString &folder) const;
};
