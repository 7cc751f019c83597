#pragma once

#include "source.h"

#include <QByteArray>
#include <QHashFunctions>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One conversation of a source, as the message tool's "chats" answer lists
// it. Read only, never written. The answer's keys are snake case
// ("chat_ids"); reading converts them to the field names.
struct Conversation
{
    // A sender with the number of messages they wrote.
    struct LogPerson
    {
        QString name;
        int messages = 0;

        static LogPerson fromJson(const QJsonObject &object);
        friend bool operator==(const LogPerson &, const LogPerson &) = default;
    };

    // The conversation's key within its source; the message tool takes it back.
    QString key;
    bool group = false;
    // The conversation's own name, when it has one.
    std::optional<QString> name;
    QList<qint64> chatIds;
    QStringList services;
    int messages = 0;
    // Day keys of the first and last message.
    QString first;
    QString last;
    std::optional<QList<LogPerson>> people;
    // Who a one-to-one chat is with, where the export itself says so (a
    // Telegram personal chat's id is the other person's, an export that
    // names its owner leaves the other one): one of people, or the one who
    // never wrote. Lists of tools that didn't say have none.
    std::optional<QString> them;
    // What the tool says of a source it read only in part, a file cut
    // short: "This file ends early: 49 messages were read.".
    std::optional<QString> notice;
    // Not part of the answer: reading sets Source::mac(), and the loader
    // that asked another source replaces it.
    Source source;

    // The identifier everything per conversation is keyed on: the bare key
    // for the computer's own source, else the source's id, ":" and the key.
    QString id() const;

    static Conversation fromJson(const QJsonObject &object);
    // A whole "chats" answer; one bad conversation fails the list.
    static QList<Conversation> listFromJson(const QByteArray &bytes);

    friend bool operator==(const Conversation &, const Conversation &) = default;
};

size_t qHash(const Conversation::LogPerson &person, size_t seed = 0) noexcept;
size_t qHash(const Conversation &conversation, size_t seed = 0) noexcept;
