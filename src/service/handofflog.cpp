// The chat-log half of Handoff: exporting the conversation and writing it.
#include "handoff.h"
#include "model/bookfile.h"
#include "model/consent.h"
#include "model/helpers.h"
#include "model/text.h"
#include "model/workingfolder.h"

#include <QFile>
#include <QHash>

namespace Handoff {

namespace {

QString lineWord(const QString &media)
{
    if (media == QLatin1String("photo"))
        return QStringLiteral("image omitted");
    if (media == QLatin1String("video"))
        return QStringLiteral("video omitted");
    if (media == QLatin1String("voice memo") || media == QLatin1String("audio"))
        return QStringLiteral("audio omitted");
    if (media == QLatin1String("sticker"))
        return QStringLiteral("sticker omitted");
    return QStringLiteral("document omitted");
}

} // namespace

QCoro::Task<QString> chatLog(Conversation conversation, QString them, Names names)
{
    // The whole conversation lies there while it is written as a log: in a
    // working folder like a tool's run, removed on every way out, and swept
    // at the next start should the app be killed meanwhile.
    const WorkingFolder folder;
    const QString out = folder.file(QStringLiteral("book.json"));

    QStringList arguments { QStringLiteral("export"), QStringLiteral("--conversation"), conversation.key,
        QStringLiteral("--out"), out, QStringLiteral("--me"), QStringLiteral("Me"), QStringLiteral("--them"),
        them };
    if (conversation.people) {
        if (const std::optional<QString> me = Consent::me(conversation))
            arguments << QStringLiteral("--me-is") << *me;
    }
    co_await Helpers::core(arguments, conversation.source);

    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(file.errorString().toStdString());
    co_return write(BookFile::fromJson(file.readAll()), names);
}

QString write(const BookFile &book, const Names &names)
{
    QHash<QString, QString> table;
    std::optional<QString> firstOther;
    for (const BookFile::Person &person : book.people) {
        if (person.me)
            continue;
        table.insert(person.id, cleanName(names(person.name)));
        if (!firstOther)
            firstOther = person.id;
    }
    const QString other = firstOther ? table.value(*firstOther) : QStringLiteral("Them");

    QString result;
    result.reserve(book.messages.size() * 60);
    for (const BookFile::Message &message : book.messages) {
        QString sender = other;
        if (message.from == QLatin1String("me"))
            sender = QStringLiteral("Me");
        else if (message.who && table.contains(*message.who))
            sender = table.value(*message.who);
        const QString prefix = QLatin1Char('[') + message.at.left(10) + QStringLiteral(", ")
            + message.at.mid(11, 8) + QStringLiteral("] ") + sender + QStringLiteral(": ");
        if (message.text && !message.text->isEmpty())
            result += prefix + cleanText(*message.text) + QLatin1Char('\n');
        for (const QString &media : message.media.value_or(QStringList()))
            result += prefix + lineWord(media) + QLatin1Char('\n');
    }
    return result;
}

QString cleanName(const QString &name)
{
    QString cleaned = name;
    // The pair is one line break, so it becomes one space.
    cleaned.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &c : cleaned) {
        const char16_t u = c.unicode();
        if (u == u':' || u < 0x20 || u == 0x85 || u == 0x2028 || u == 0x2029)
            c = QLatin1Char(' ');
    }
    cleaned = Text::trimmedSpaces(cleaned);
    // Nobody else may appear as the user.
    if (cleaned.isEmpty() || cleaned == QLatin1String("Me"))
        return QStringLiteral("Them");
    return cleaned;
}

QString cleanText(const QString &text)
{
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList pieces = unified.split(QLatin1Char('\n'));
    // A continuation line must never read as the start of a message.
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        if (pieces.at(i).startsWith(QLatin1Char('[')))
            pieces[i].prepend(QLatin1Char(' '));
    }
    return pieces.join(QLatin1Char('\n'));
}

QString safe(const QString &text)
{
    QString kept;
    for (const QChar c : text) {
        if (!QStringLiteral("/\\:*?\"<>|").contains(c))
            kept.append(c);
    }
    return Text::trimmedSpaces(kept);
}

QString fileName(const Conversation &conversation, const QString &them)
{
    // The tool says which services a chat went through; its keys carry no
    // "wa:" of their own.
    const bool whatsApp = conversation.key.startsWith(QLatin1String("wa:"))
        || conversation.services.contains(QStringLiteral("WhatsApp"), Qt::CaseInsensitive);
    const QString app = whatsApp ? QStringLiteral("WhatsApp") : QStringLiteral("iMessage");
    return app + QStringLiteral(" - ") + safe(them) + QStringLiteral(".txt");
}

} // namespace Handoff
