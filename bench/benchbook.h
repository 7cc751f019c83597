#pragma once

// What the benchmarks of the window share: the stand-in service with the
// app's prices asked of it, and a book of this computer's Messages placed
// where the app keeps books.
#include "benchservice.h"
#include "model/conversation.h"
#include "project/project.h"
#include "service/pricing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>

namespace Bench {

// Starts the stand-in with its files in the folder and points the app's
// prices at it; false, said on the error stream, when it did not start.
inline bool startPricing(QProcess &service, const QTemporaryDir &dir, const char *bench)
{
    const QString origin = startService(service, dir.filePath(QStringLiteral("service")));
    if (origin.isEmpty()) {
        std::fprintf(stderr, "%s: the stand-in service did not start\n", bench);
        return false;
    }
    Pricing::setEndpoint(QUrl(origin + QStringLiteral("/api/pricing")));
    return true;
}

// A conversation of this computer's Messages whose book, these bytes, lies
// in the books folder the app is told of; false when it could not be
// written.
inline bool placeBook(const QString &books, const Conversation &conversation, const QByteArray &book)
{
    Project::setBooksFolder(books);
    const QString folder = books + QLatin1Char('/') + Project::folderName(conversation.id());
    QDir().mkpath(folder);
    QFile file(folder + QStringLiteral("/book.json"));
    return file.open(QIODevice::WriteOnly) && file.write(book) == book.size();
}

inline Conversation messagesConversation(const QString &key)
{
    Conversation conversation;
    conversation.key = key;
    conversation.source = Source::mac();
    return conversation;
}

// The shipped sample book's bytes.
inline QByteArray sampleBook()
{
    QFile file(QStringLiteral(QUORVEL_SOURCE_DIR "/samples/sample-book.json"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace Bench
