#pragma once

#include "transcript.h"

#include <QString>
#include <optional>

class QIODevice;

namespace Brimlow {

// Writes the book document of one conversation: every required key, an
// empty "edits", no "design" and no "order", so the app starts the book in
// its wizard.
class BookWriter
{
public:
    // The names of the command line; absent ones are made from the chat.
    struct Names
    {
        std::optional<QString> title;
        std::optional<QString> them;
        std::optional<QString> me;
    };

    BookWriter(const Transcript &transcript, const Names &names);

    // The user is "me"; the other side of a one-to-one chat "them"; group
    // members "p1", "p2", … in participant order, named by their handles.
    QString personId(int sender) const;

    // False when the device refused the bytes.
    bool write(QIODevice *device) const;

private:
    const Transcript &m_transcript;
    QString m_title;
    QString m_them;
    QString m_me;
};

} // namespace Brimlow
