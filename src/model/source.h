#pragma once

#include <QHashFunctions>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

// One place messages are read from: the computer's own Messages database
// ("mac"), an unlocked iPhone backup (its device identifier), or a chat
// export or pasted chat ("file-" and eight characters).
struct Source
{
    QString id;
    // "This Computer", the backup's device name, the chat's name.
    QString name;
    // A backup's date as the message tool printed it (ISO 8601).
    std::optional<QString> date;
    // A backup's folder.
    std::optional<QString> backup;
    // The messages database to read; empty for a chat file.
    QString database;
    // The backup's key must be given to the message tool.
    bool encrypted = false;
    // A chat file's copied file or folder. Present exactly for chat files:
    // the message tool then reads it instead of database.
    std::optional<QString> log;

    // The computer's own Messages database (Helpers::database()), made once.
    static const Source &mac();

    // The message tool's extra arguments for this source: "--backup" and the
    // folder for a backup, then "--key-stdin" when it is encrypted.
    QStringList exportArguments() const;

    // Strict: "id", "name", "database" and "encrypted" are required.
    static Source fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
    friend bool operator==(const Source &, const Source &) = default;
};

size_t qHash(const Source &source, size_t seed = 0) noexcept;
