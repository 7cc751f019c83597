#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace Brimlow {

// The book as templates/ebook/resolved.typ resolves it: edits applied,
// hidden and out-of-range messages gone, chapters and days in book order.
// The file is one JSON object:
//   { "title": str, "colophon"?: str, "dedication"?: [str], "language"?: str,
//     "author"?: str,
//     "chapters": [ { "title"?: str,
//       "days": [ { "day": "yyyy-MM-dd", "label"?: str,
//         "messages": [ { "name": str, "me"?: bool, "time"?: str,
//                         "text"?: str or [ { "text": str, "bold"?: bool } ],
//                         "media"?: [str] }
//                     or { "page": str } ] } ] } ] }
// Keys marked "?" may be absent or null; other keys are ignored.
struct ResolvedBook
{
    // A stretch of a message's text, set in bold or not.
    struct Run
    {
        QString text;
        bool bold = false;
    };

    struct Entry
    {
        // A page the user added; when set, the fields below are empty.
        std::optional<QString> page;
        QString name;
        bool me = false;
        QString time;
        QList<Run> text;
        QStringList media;
    };

    struct Day
    {
        QString day;
        QString label;
        QList<Entry> entries;
    };

    struct Chapter
    {
        QString title;
        QList<Day> days;
    };

    QString title;
    QString colophon;
    QStringList dedication;
    QString language = QStringLiteral("en");
    QString author;
    QList<Chapter> chapters;

    // Throws Failure with a sentence naming what is wrong.
    static ResolvedBook read(const QString &path);
    static ResolvedBook fromJson(const QByteArray &json);
};

} // namespace Brimlow
