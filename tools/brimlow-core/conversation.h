#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class JsonWriter;

namespace Brimlow {

// One conversation as "chats" lists it.
struct Conversation
{
    struct Person
    {
        QString name;
        qint64 messages = 0;
    };

    QString key;
    bool group = false;
    QString name; // empty: the conversation has no name of its own
    QList<qint64> chatIds;
    QStringList services;
    qint64 messages = 0;
    QString first; // day keys
    QString last;
    std::optional<QList<Person>> people; // only where the user is not marked in the source
    // Who a one-to-one chat is with, where the export itself says: the
    // app's rules that guess it from names come after it.
    QString them;
    // Said of a source read only in part: "This file ends early: 49
    // messages were read."; empty when everything read.
    QString notice;

    // Snake-case keys, in the order the app documents them.
    void write(JsonWriter &json) const;
};

// Newest last message first; the key breaks ties so the order is stable.
void sortNewestFirst(QList<Conversation> &conversations);

} // namespace Brimlow
