#include "commands.h"

#include "backup.h"
#include "backupinfo.h"
#include "backupphotos.h"
#include "bookwriter.h"
#include "chatlog.h"
#include "ebook.h"
#include "embeddedphotos.h"
#include "failure.h"
#include "localphotos.h"
#include "mediakind.h"
#include "messagestore.h"
#include "model/bookfile.h"
#include "model/json.h"
#include "model/jsonwriter.h"
#include "options.h"
#include "sqlitedatabase.h"
#include "wrappeddocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace Brimlow::Commands {

namespace {

Failure usage(const QString &sentence)
{
    return Failure(sentence, Failure::Kind::Usage);
}

std::unique_ptr<ConversationSource> openSource(
    const Options &options, ChatLogReader::Detail detail = ChatLogReader::Detail::Messages)
{
    if (!options.log.isEmpty() && !options.database.isEmpty())
        throw usage(QStringLiteral("Give either --db or --log, not both."));
    if (!options.log.isEmpty())
        return std::make_unique<ChatLog>(options.log, detail);
    if (!options.database.isEmpty())
        return std::make_unique<MessageStore>(options.database);
    throw usage(QStringLiteral("Say what to read with --db or --log."));
}

// A secret on standard input, without the line feed the app sends after it.
QByteArray readSecret(QIODevice &input)
{
    QByteArray secret = input.readAll();
    if (secret.endsWith('\n'))
        secret.chop(1);
    if (secret.endsWith('\r'))
        secret.chop(1);
    return secret;
}

void keepPrivate(const QString &folder)
{
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void resolvePhotos(Transcript &transcript, PhotoLocator &locator, EmbeddedPhotos *embedded = nullptr)
{
    for (Transcript::Message &message : transcript.messages) {
        for (Transcript::Attachment &attachment : message.attachments) {
            if (attachment.kind != MediaKind::photo())
                attachment.path.clear();
            else if (!attachment.data.isEmpty() && embedded)
                attachment.path = embedded->save(attachment.data, attachment.path);
            else if (!attachment.path.isEmpty())
                attachment.path = locator.locate(attachment.path);
            attachment.data.clear();
        }
    }
}

QString photosFolderFor(const Options &options)
{
    return QFileInfo(options.out).absolutePath() + QStringLiteral("/photos");
}

void writeBook(const Transcript &transcript, const Options &options)
{
    QSaveFile file(options.out);
    if (!file.open(QIODevice::WriteOnly))
        throw Failure(
            QStringLiteral("The book can't be saved at %1: %2.").arg(options.out, file.errorString()));
    const BookWriter writer(transcript, { options.title, options.them, options.me });
    if (!writer.write(&file)) {
        file.cancelWriting();
        throw Failure(
            QStringLiteral("The book can't be saved at %1: %2.").arg(options.out, file.errorString()));
    }
    if (!file.commit())
        throw Failure(
            QStringLiteral("The book can't be saved at %1: %2.").arg(options.out, file.errorString()));
}

// The backup's messages as a standalone SQLite file in the cache folder,
// put in place only once it reads.
QString copyMessages(Backup &backup, const QString &cache)
{
    if (!QDir().mkpath(cache))
        throw Failure(QStringLiteral("The folder %1 can't be made.").arg(cache));
    keepPrivate(cache);
    QTemporaryDir work(cache + QStringLiteral("/.unlocking-XXXXXX"));
    if (!work.isValid())
        throw Failure(QStringLiteral("The folder %1 can't be written.").arg(cache));

    const QString copy = work.filePath(QStringLiteral("sms.db"));
    if (!backup.extract(Backup::messagesDomain(), Backup::messagesPath(), copy)) {
        const auto info = BackupInfo::read(backup.folder());
        if (info && info->whatsapp.value_or(false))
            throw Failure(
                QStringLiteral("This backup has no Messages chats in it, and its WhatsApp chats can't be "
                               "read yet."));
        throw Failure(QStringLiteral("This backup has no messages in it."));
    }
    // A store that was mid-write keeps its newest messages in the WAL file;
    // fold them into our own copy so it stands alone.
    const QString wal = copy + QStringLiteral("-wal");
    if (backup.extract(Backup::messagesDomain(), Backup::messagesPath() + QStringLiteral("-wal"), wal)) {
        if (QFileInfo(wal).size() > 0) {
            try {
                SqliteDatabase database(copy, SqliteDatabase::Mode::ReadWrite);
                database.execute("PRAGMA journal_mode=DELETE");
            } catch (const SqliteDatabase::Error &) {
                throw Failure(QStringLiteral("The messages in this backup are damaged and can't be read."));
            }
        }
        QFile::remove(wal);
    }
    try {
        MessageStore check(copy); // a damaged copy fails here, not later in the app
    } catch (const Failure &) {
        throw Failure(QStringLiteral("The messages in this backup are damaged and can't be read."));
    }

    const QString db = cache + QStringLiteral("/sms.db");
    if (std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(db).constData()) != 0)
        throw Failure(QStringLiteral("The unlocked messages can't be saved in %1.").arg(cache));
    return db;
}

} // namespace

void run(const Options &options, QIODevice &input, QIODevice &output)
{
    switch (options.command) {
    case Options::Command::Chats:
        chats(options, output);
        return;
    case Options::Command::Export:
        exportBook(options, input);
        return;
    case Options::Command::Backups:
        backups(options, output);
        return;
    case Options::Command::Unlock:
        unlock(options, input, output);
        return;
    case Options::Command::Wrapped:
        wrapped(options, input, output);
        return;
    case Options::Command::Ebook:
        Ebook::run(options);
        return;
    case Options::Command::None:
        break;
    }
    throw usage(QStringLiteral("Say what to do: chats, export, backups, unlock, wrapped or ebook."));
}

void wrapped(const Options &options, QIODevice &input, QIODevice &output)
{
    QByteArray bytes = input.readAll();
    BookFile book;
    try {
        const QJsonObject object = Json::parseObject(bytes);
        // The parsed document holds it all now; a long book is large enough
        // for the copies to count.
        bytes = QByteArray();
        book = BookFile::fromJson(object);
    } catch (const JsonError &error) {
        throw Failure(
            QStringLiteral("The book on standard input can't be read: %1.").arg(error.description()));
    }
    if (!WrappedDocument::make(book, options.year).write(output))
        throw Failure(QStringLiteral("The answer couldn't be written to standard output."));
    output.write("\n");
}

void chats(const Options &options, QIODevice &output)
{
    // Listing needs no message's text: a large export is only counted.
    QList<Conversation> list = openSource(options, ChatLogReader::Detail::Counts)->conversations();
    if (options.limit && list.size() > *options.limit)
        list.resize(*options.limit);
    JsonWriter json(&output);
    json.beginArray();
    for (const Conversation &conversation : list)
        conversation.write(json);
    json.endArray();
    json.flush();
    output.write("\n");
}

void exportBook(const Options &options, QIODevice &input)
{
    if (options.conversation.isEmpty())
        throw usage(QStringLiteral("Say which conversation to export with --conversation."));
    if (options.out.isEmpty())
        throw usage(QStringLiteral("Say where to write the book with --out."));

    Transcript transcript = openSource(options)->transcript(options.conversation, options.meIs);
    if (options.backup.isEmpty()) {
        LocalPhotos photos;
        EmbeddedPhotos embedded(photosFolderFor(options));
        resolvePhotos(transcript, photos, &embedded);
        try {
            writeBook(transcript, options);
        } catch (...) {
            for (const QString &file : embedded.written())
                QFile::remove(file);
            throw;
        }
        return;
    }

    Backup backup(options.backup);
    if (backup.isEncrypted()) {
        const QByteArray key = options.keyStdin ? readSecret(input) : QByteArray();
        if (key.trimmed().isEmpty())
            throw Failure(
                QStringLiteral("The key of this encrypted backup is missing. Remove the backup and add it "
                               "again with its password."));
        backup.unlockWithKey(QString::fromLatin1(key));
    }
    BackupPhotos photos(backup, photosFolderFor(options));
    resolvePhotos(transcript, photos);
    try {
        writeBook(transcript, options);
    } catch (...) {
        for (const QString &file : photos.written())
            QFile::remove(file);
        throw;
    }
}

void backups(const Options &options, QIODevice &output)
{
    QStringList folders = BackupInfo::defaultFolders();
    if (options.dir) {
        folders = { *options.dir };
        if (!QFileInfo(folders.first()).isDir())
            throw Failure(QStringLiteral("There's no folder at %1.").arg(folders.first()));
    }
    QList<BackupInfo> list;
    // One of the places may be a link to another: each backup once.
    QSet<QString> seen;
    for (const QString &folder : folders) {
        if (!QFileInfo(folder).isDir())
            continue;
        for (const BackupInfo &backup : BackupInfo::listIn(folder)) {
            const QString real = QFileInfo(backup.path).canonicalFilePath();
            if (!seen.contains(real)) {
                seen.insert(real);
                list.append(backup);
            }
        }
    }
    JsonWriter json(&output);
    json.beginArray();
    for (const BackupInfo &backup : list)
        backup.write(json);
    json.endArray();
    json.flush();
    output.write("\n");
}

void unlock(const Options &options, QIODevice &input, QIODevice &output)
{
    if (options.backup.isEmpty())
        throw usage(QStringLiteral("Say which backup to unlock with --backup."));
    if (options.cache.isEmpty())
        throw usage(QStringLiteral("Say where to keep the unlocked messages with --cache."));

    Backup backup(options.backup);
    if (backup.isEncrypted()) {
        const QByteArray password = options.passwordStdin ? readSecret(input) : QByteArray();
        if (password.isEmpty())
            throw Failure(QStringLiteral("This backup is encrypted. Enter its password to unlock it."));
        backup.unlockWithPassword(password);
    }
    const QString db = copyMessages(backup, QDir::cleanPath(QFileInfo(options.cache).absoluteFilePath()));

    JsonWriter json(&output);
    json.beginObject();
    json.member("db", db);
    if (backup.isEncrypted())
        json.member("key", backup.key());
    json.endObject();
    json.flush();
    output.write("\n");
}

} // namespace Brimlow::Commands
