#pragma once

// A chat the user added: WhatsApp's export of thirty thousand lines with
// Robin Roe, long enough that the message tool takes a while to export it,
// saved as the source "file-0000aaaa" in the home of a RunningApp. One
// phrase is in it and nowhere else, so a test finds every copy of it.
#include "runningapp.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace LongChat {

inline const QByteArray phrase = "meet me by the old lighthouse";
// Where the app keeps its copy, under the home.
inline const QString folder = QStringLiteral(".local/share/Quorvel/Files/file-0000aaaa");

// Writes the chat and the defaults that name its source, with more
// entries beside.
inline void add(const RunningApp &app, const QJsonObject &more = {})
{
    QByteArray chat;
    for (int i = 0; i < 30000; ++i) {
        const QByteArray day = QByteArray::number(1 + i % 28);
        chat += "3/" + day + "/24, 9:" + QByteArray::number(10 + i % 50) + " PM - "
            + (i % 2 ? "Robin Roe: " : "Sam Lee: ") + (i % 10 ? "ok, see you then" : phrase) + '\n';
    }
    const QString log
        = app.home() + QLatin1Char('/') + folder + QStringLiteral("/WhatsApp Chat with Robin Roe.txt");
    QDir().mkpath(QFileInfo(log).path());
    TestSupport::writeFile(log, chat);
    const QJsonArray sources { QJsonObject { { "id", "file-0000aaaa" },
        { "name", "WhatsApp Chat with Robin Roe" }, { "database", "" }, { "encrypted", false },
        { "log", log } } };
    QJsonObject defaults = more;
    defaults.insert(QStringLiteral("backups"),
        QJsonObject { { "data", QString::fromLatin1(QJsonDocument(sources).toJson().toBase64()) } });
    const QString file = app.home() + QStringLiteral("/.config/Quorvel/defaults.json");
    QDir().mkpath(QFileInfo(file).path());
    TestSupport::writeFile(file, QJsonDocument(defaults).toJson());
}

// What the app left that may hold the chat's messages: everything in its
// temporary folder, and every file in the home holding the phrase besides
// the chat's own copy.
inline QStringList leftBy(const RunningApp &app)
{
    QStringList left = app.leftInTemp();
    for (const QString &file : RunningApp::filesUnder(app.home())) {
        if (!file.startsWith(folder)
            && TestSupport::readFile(app.home() + QLatin1Char('/') + file).contains(phrase))
            left.append(file);
    }
    return left;
}

} // namespace LongChat
