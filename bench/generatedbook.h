#pragma once

// A generated two-person book for the benchmarks: the same bytes every run.
#include "model/bookfile.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>

namespace Bench {

// Spread over 80 days, so that all of it is one book without a default range.
inline BookFile generatedBook(int messageCount)
{
    static const QStringList words { "garden", "tonight", "coffee", "really", "missed", "train", "laughing",
        "dinner", "remember", "weekend", "sunny", "tired", "love", "call", "later", "photo", "beach", "work",
        "home", "soon", "okay", "yes", "the", "and", "you", "we", "it", "was", "so", "good" };
    QRandomGenerator random(42);
    BookFile book;
    book.format = 1;
    book.style = QStringLiteral("novel");
    book.front.title = QStringLiteral("You & Sam");
    book.front.colophon = QStringLiteral("2024");
    book.people = { { "me", "Pat", true }, { "them", "Sam", false } };
    const QDateTime start(QDate(2024, 1, 1), QTime(8, 0));
    for (int i = 0; i < messageCount; ++i) {
        QStringList text;
        for (int w = 1 + int(random.bounded(24)); w > 0; --w)
            text << words[random.bounded(words.size())];
        BookFile::Message message;
        message.id = QStringLiteral("m%1").arg(i);
        message.at = start.addSecs(qint64(i) * 80 * 86400 / messageCount).toString(Qt::ISODate);
        message.from = random.bounded(2) ? QStringLiteral("me") : QStringLiteral("them");
        message.text = text.join(QLatin1Char(' '));
        book.messages.append(message);
    }
    book.stats = BookFile::Stats { messageCount, book.messages.first().at.left(10),
        book.messages.last().at.left(10) };
    return book;
}

} // namespace Bench
