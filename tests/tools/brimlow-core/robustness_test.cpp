// Damaged inputs of every kind end in a sentence, never in a crash: the
// readers run over truncated and garbled copies of good inputs.
#include "backup.h"
#include "backupinfo.h"
#include "backupwriter.h"
#include "chatexports.h"
#include "chatlog.h"
#include "exportshapes.h"
#include "failure.h"
#include "fixtures.h"
#include "keybag.h"
#include "messagestore.h"
#include "plist.h"
#include "printers.h"
#include "toolrunner.h"
#include "typedstream.h"
#include "typedstreamwriter.h"
#include "whatsappreader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Brimlow;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// Copies of bytes with runs of them overwritten, the same every run.
QList<QByteArray> garbled(const QByteArray &bytes, int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QList<QByteArray> copies;
    for (int i = 0; i < count && !bytes.isEmpty(); ++i) {
        QByteArray copy = bytes;
        const int hits = 1 + random.bounded(8);
        for (int h = 0; h < hits; ++h) {
            const qsizetype at = random.bounded(int(copy.size()));
            const qsizetype length = qMin<qsizetype>(1 + random.bounded(16), copy.size() - at);
            for (qsizetype k = 0; k < length; ++k)
                copy[at + k] = char(random.bounded(256));
        }
        copies.append(copy);
    }
    return copies;
}

// Reads a store the way "chats" and "export" do; true when it read.
bool readsStore(const QString &path)
{
    try {
        MessageStore store(path, 0);
        for (const Conversation &conversation : store.conversations())
            store.transcript(conversation.key, std::nullopt);
        return true;
    } catch (const Failure &failure) {
        EXPECT_FALSE(failure.sentence().isEmpty());
        return false;
    }
}

// Reads a chat log the way "chats" and "export" do; true when it read.
bool readsLog(const QString &path)
{
    try {
        ChatLog log(path);
        for (const Conversation &conversation : log.conversations())
            log.transcript(conversation.key, QStringLiteral("Sam"));
        return true;
    } catch (const Failure &failure) {
        EXPECT_FALSE(failure.sentence().isEmpty());
        return false;
    }
}

QStringList filesUnder(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return { path };
    QStringList files;
    QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(it.next());
    files.sort();
    return files;
}

} // namespace

TEST(Robustness, TypedStreamSurvivesEveryCutAndGarbledByte)
{
    const QByteArray archive
        = TypedStreamWriter::attributedString(QStringLiteral("a message 👋 with some length"));
    for (qsizetype cut = 0; cut < archive.size(); ++cut)
        TypedStream::attributedText(archive.left(cut));
    for (const QByteArray &copy : garbled(archive, 3000, 1))
        TypedStream::attributedText(copy);
    SUCCEED();
}

TEST(Robustness, MessageStoreSurvivesTruncatedAndGarbledFiles)
{
    UtcZone zone;
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.db"));
    Fixtures::writeSampleStore(good, MessagesDbWriter::Schema::Ventura);
    const QByteArray bytes = readAll(good);
    const QString copy = dir.filePath(QStringLiteral("copy.db"));

    int failed = 0;
    for (qsizetype cut = 0; cut < bytes.size(); cut += 509) {
        writeAll(copy, bytes.left(cut));
        failed += readsStore(copy) ? 0 : 1;
    }
    EXPECT_GT(failed, 0);
    for (const QByteArray &damaged : garbled(bytes, 200, 2)) {
        writeAll(copy, damaged);
        readsStore(copy);
    }
    // A cut store through the real executable: a sentence and status 1.
    writeAll(copy, bytes.left(bytes.size() / 2));
    const ToolRun run = runTool({ "--db", copy, "chats" });
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastErrorLine(), "Error: The messages database is damaged and can't be read.");
}

TEST(Robustness, ChatLogsSurviveEveryCutAndGarbage)
{
    QTemporaryDir dir;
    const QString text
        = QStringLiteral("[1/31/25, 9:41:00 PM] Family: \u200EMessages and calls are end-to-end encrypted.\n"
                         "[1/31/25, 9:41:02 PM] Sam: hey\nsecond line\n"
                         "[1/31/25, 9:42:10 PM] Alex: \u200E<attached: 00000012-PHOTO-2025.jpg>\n"
                         "1/31/25, 9:43 PM - Jo: IMG-1.jpg (file attached)\n");
    for (qsizetype cut = 0; cut <= text.size(); ++cut)
        WhatsAppReader::parse(text.left(cut), dir.path());
    const QString path = dir.filePath(QStringLiteral("chat.txt"));
    for (const QByteArray &damaged : garbled(text.toUtf8(), 500, 3)) {
        writeAll(path, damaged);
        try {
            ChatLog log(path);
            for (const Conversation &conversation : log.conversations())
                log.transcript(conversation.key, QStringLiteral("Sam"));
        } catch (const Failure &) { }
    }
    SUCCEED();
}

TEST(Robustness, BackupsSurviveDamagedManifestsAndFiles)
{
    QTemporaryDir dir;
    QTemporaryDir work;
    const QString store = work.filePath(QStringLiteral("sms.db"));
    Fixtures::writePhoneStore(store);
    const QByteArray password = "pw";
    BackupWriter writer(
        dir.filePath(QStringLiteral("phone")), {}, BackupWriter::Encryption::Password, password);
    writer.addFile("HomeDomain", "Library/SMS/sms.db", readAll(store));
    writer.finish();
    const QString folder = writer.folder();
    const QString manifest = folder + QStringLiteral("/Manifest.plist");
    const QString manifestDb = folder + QStringLiteral("/Manifest.db");
    const QString smsDb = writer.storedPath("HomeDomain", "Library/SMS/sms.db");
    const QByteArray goodManifest = readAll(manifest);
    const QByteArray goodManifestDb = readAll(manifestDb);
    const QByteArray goodSms = readAll(smsDb);

    // Unlocks as the tool does; true when the messages came out readable.
    const auto unlocks = [&] {
        try {
            Backup backup(folder);
            backup.unlockWithPassword(password);
            const QString out = work.filePath(QStringLiteral("out.db"));
            if (!backup.extract(Backup::messagesDomain(), Backup::messagesPath(), out))
                return false;
            return readsStore(out);
        } catch (const Failure &failure) {
            EXPECT_FALSE(failure.sentence().isEmpty());
            return false;
        }
    };
    ASSERT_TRUE(unlocks());

    for (qsizetype cut = 0; cut < goodManifest.size(); cut += 7) {
        writeAll(manifest, goodManifest.left(cut));
        EXPECT_FALSE(unlocks());
        BackupInfo::read(folder);
    }
    // Garbled manifests are only opened: a garbled iteration count makes
    // the password's key slow to derive, not wrong.
    for (const QByteArray &damaged : garbled(goodManifest, 150, 4)) {
        writeAll(manifest, damaged);
        try {
            Backup backup(folder);
        } catch (const Failure &) { }
        BackupInfo::read(folder);
    }
    writeAll(manifest, goodManifest);

    // A cut that leaves every page a read needs still reads; the rest fail.
    int failed = 0;
    for (qsizetype cut = 0; cut < goodManifestDb.size(); cut += 1021) {
        writeAll(manifestDb, goodManifestDb.left(cut));
        failed += unlocks() ? 0 : 1;
    }
    EXPECT_GT(failed, 20);
    writeAll(manifestDb, goodManifestDb);

    failed = 0;
    for (qsizetype cut = 0; cut < goodSms.size(); cut += 4093) {
        writeAll(smsDb, goodSms.left(cut));
        failed += unlocks() ? 0 : 1;
    }
    EXPECT_GT(failed, 10);
    for (const QByteArray &damaged : garbled(goodSms, 40, 5)) {
        writeAll(smsDb, damaged);
        unlocks();
    }
}

TEST(Robustness, KeybagsAndPlistsSurviveGarbage)
{
    for (const QByteArray &damaged : garbled(QByteArray(2000, 'A'), 200, 6)) {
        Keybag::parse(damaged);
        const Plist plist = Plist::fromBytes(damaged);
        Plist::string(Plist::item(plist.root(), "Device Name"));
    }
    const QByteArray xml
        = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>Device Name</key>"
          "<string>Robin</string><key>Last Backup Date</key><date>2024-05-31T10:20:30Z</date>"
          "</dict></plist>";
    for (qsizetype cut = 0; cut < xml.size(); ++cut)
        Plist::fromBytes(xml.left(cut));
    for (const QByteArray &damaged : garbled(xml, 500, 7))
        Plist::date(Plist::item(Plist::fromBytes(damaged).root(), "Last Backup Date"));
    SUCCEED();
}

TEST(Robustness, EveryChatExportSurvivesCutsAndGarbage)
{
    UtcZone zone;
    quint32 seed = 100;
    QList<std::pair<QString, std::function<QString(const QString &)>>> exports;
    for (const ChatExports::Sample &sample : ChatExports::samples())
        exports.append({ sample.format, sample.write });
    for (const ExportShapes::Shape &shape : ExportShapes::all())
        exports.append({ shape.name, shape.write });
    for (const auto &[format, write] : exports) {
        SCOPED_TRACE(format.toStdString());
        QTemporaryDir dir;
        const QString log = write(dir.path());
        for (const QString &file : filesUnder(log)) {
            const QByteArray good = readAll(file);
            const qsizetype step = qMax<qsizetype>(1, good.size() / 40);
            for (qsizetype cut = 0; cut < good.size(); cut += step) {
                writeAll(file, good.left(cut));
                readsLog(log);
            }
            for (const QByteArray &damaged : garbled(good, 40, ++seed)) {
                writeAll(file, damaged);
                readsLog(log);
            }
            writeAll(file, good);
        }
        EXPECT_TRUE(readsLog(log));
    }
}

// A file read as one tree is refused when cut; a backup read record by
// record gives the records before the cut (ExportShapes).
TEST(Robustness, CutStructuredExportsAreRefusedNotReadInPart)
{
    UtcZone zone;
    const QList<std::function<QString(const QString &)>> writers = { ChatExports::telegramChat,
        ChatExports::messengerNewer, ChatExports::discordJson, ChatExports::snapchat, ChatExports::skype,
        ChatExports::sigtopJson, ChatExports::snapchatOlder };
    for (const auto &write : writers) {
        QTemporaryDir dir;
        const QString file = write(dir.path());
        const QString path = QFileInfo(file).isDir() ? filesUnder(file).last() : file;
        SCOPED_TRACE(path.toStdString());
        writeAll(path, readAll(path).chopped(readAll(path).size() / 3));
        EXPECT_FALSE(readsLog(path));
    }
    // Through the executable: a sentence naming the file, status 1.
    QTemporaryDir dir;
    const QString file = ChatExports::telegramChat(dir.path());
    writeAll(file, readAll(file).left(700));
    const ToolRun run = runTool({ "--log", file, "chats" });
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastErrorLine(), "Error: The chat file result.json is damaged and can't be read.");
}
