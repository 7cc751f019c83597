#include "backup.h"
#include "backupcrypto.h"
#include "backupinfo.h"
#include "backupwriter.h"
#include "failure.h"
#include "fixtures.h"
#include "messagestore.h"
#include "printers.h"
#include "sqlitedatabase.h"
#include "sqlitestatement.h"
#include "toolrunner.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

using namespace Brimlow;

namespace {

const QByteArray password = "correct horse battery";
const QByteArray photoBytes = QByteArray("\xFF\xD8\xFF\xE0 a photo of a summit", 24);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A backup of the phone store, with the photo its first message shows.
QString writeBackup(const QString &folder, BackupWriter::Encryption encryption,
    BackupWriter::Device device = {}, BackupWriter::KeyBytes keyBytes = BackupWriter::KeyBytes::InPlace)
{
    QTemporaryDir work;
    const QString store = work.filePath(QStringLiteral("sms.db"));
    Fixtures::writePhoneStore(store);
    BackupWriter backup(folder, device, encryption, password);
    backup.setKeyBytes(keyBytes);
    backup.addFile(QStringLiteral("HomeDomain"), QStringLiteral("Library/SMS/sms.db"), readAll(store));
    backup.addFile(QStringLiteral("MediaDomain"), Fixtures::photoRelativePath(), photoBytes, 2);
    backup.addFile(
        QStringLiteral("HomeDomain"), QStringLiteral("Library/Preferences/com.example.plist"), "<plist/>");
    backup.finish();
    return folder;
}

QJsonObject objectOf(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

TEST(BackupCrypto, MatchesThePublishedTestVectors)
{
    using BackupCrypto::Hash;
    EXPECT_EQ(BackupCrypto::pbkdf2(Hash::Sha1, "password", "salt", 2, 20).toHex(),
        "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957");
    EXPECT_EQ(BackupCrypto::pbkdf2(Hash::Sha256, "password", "salt", 1, 32).toHex(),
        "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
    const QByteArray kek
        = QByteArray::fromHex("000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F");
    const QByteArray wrapped = QByteArray::fromHex(
        "28C9F404C4B810F4CBCCB35CFB87F8263F5786E2D80ED326CBC7F0E71A99F43BFB988B9B7A02DD21");
    EXPECT_EQ(BackupCrypto::unwrapKey(kek, wrapped).value_or(QByteArray()).toHex(),
        "00112233445566778899aabbccddeeff000102030405060708090a0b0c0d0e0f");
    QByteArray tampered = wrapped;
    tampered[5] = char(tampered[5] ^ 1);
    EXPECT_FALSE(BackupCrypto::unwrapKey(kek, tampered).has_value());
}

TEST(BackupInfo, DescribesEveryBackupInAFolderNewestFirst)
{
    QTemporaryDir parent;
    BackupWriter::Device older;
    older.udid = QStringLiteral("0123456789abcdef0123456789abcdef01234567");
    older.name = QStringLiteral("Old Phone");
    older.version = QStringLiteral("12.5.7");
    older.date = Fixtures::utc(2021, 2, 3, 4, 5, 6);
    writeBackup(parent.filePath(older.udid), BackupWriter::Encryption::None, older);
    writeBackup(
        parent.filePath(QStringLiteral("00008030-000A1B2C3D4E5F60")), BackupWriter::Encryption::Password);
    QDir(parent.path()).mkpath(QStringLiteral("Photos"));

    const QList<BackupInfo> list = BackupInfo::listIn(parent.path());
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list.at(0).udid, "00008030-000A1B2C3D4E5F60");
    EXPECT_EQ(list.at(0).device, "Robin's iPhone");
    EXPECT_EQ(list.at(0).model, QString("iPhone14,2"));
    EXPECT_EQ(list.at(0).ios, QString("17.4.1"));
    EXPECT_EQ(list.at(0).date, QString("2024-05-31T10:20:30Z"));
    EXPECT_TRUE(list.at(0).encrypted);
    EXPECT_TRUE(list.at(0).messages); // seen without the password
    EXPECT_EQ(list.at(0).whatsapp, false);
    EXPECT_EQ(list.at(0).path, QDir(parent.path()).filePath("00008030-000A1B2C3D4E5F60"));
    EXPECT_EQ(list.at(1).device, "Old Phone");
    EXPECT_FALSE(list.at(1).encrypted);

    const ToolRun run = runTool({ "backups", "--dir", parent.path() });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray answer = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(answer.size(), 2);
    EXPECT_EQ(answer.at(1).toObject().value("date").toString(), "2021-02-03T04:05:06Z");
    EXPECT_EQ(answer.at(1).toObject().value("messages").toBool(), true);
    EXPECT_EQ(answer.at(1).toObject().value("whatsapp").toBool(true), false);
}

// Property lists given as bytes say what the same files say in a folder;
// only what the folder holds stays unsaid.
TEST(BackupInfo, DescribesABackupFromItsPropertyListsAlone)
{
    QTemporaryDir dir;
    const QString folder = writeBackup(dir.filePath(QStringLiteral("phone")), BackupWriter::Encryption::None);
    const auto plist = [&](const char *name) { return Plist::fromBytes(readAll(folder + '/' + name)); };
    const auto described = BackupInfo::fromPropertyLists(
        folder, plist("Manifest.plist"), plist("Info.plist"), plist("Status.plist"));
    const auto read = BackupInfo::read(folder);
    ASSERT_TRUE(described && read);
    const auto said = [](const BackupInfo &backup) {
        return std::tuple(
            backup.path, backup.udid, backup.device, backup.model, backup.ios, backup.date, backup.encrypted);
    };
    EXPECT_EQ(said(*described), said(*read));
    EXPECT_TRUE(read->messages);
    EXPECT_FALSE(described->messages);
    EXPECT_EQ(described->whatsapp, std::nullopt);

    // An Info.plist is no manifest: it says nothing of encryption.
    EXPECT_FALSE(BackupInfo::fromPropertyLists(folder, plist("Info.plist"), Plist(), Plist()));
    EXPECT_FALSE(BackupInfo::fromPropertyLists(folder, Plist(), plist("Info.plist"), Plist()));
}

// Without a folder named, the places a Linux user keeps backups in come
// first, each place newest first, and a Mac's folder copied over last.
TEST(BackupInfo, LooksInTheLinuxPlacesThenInAMacsFolder)
{
    // The test main gives every run a home folder of its own; never clear a
    // real one.
    ASSERT_TRUE(QDir::homePath().contains(QStringLiteral("quorvel-test-home")));
    const QStringList places = BackupInfo::defaultFolders();
    ASSERT_EQ(places,
        QStringList({ QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                + QStringLiteral("/Quorvel/iPhone Backups"),
            QDir::homePath() + QStringLiteral("/MobileSync/Backup"),
            QDir::homePath() + QStringLiteral("/Library/Application Support/MobileSync/Backup") }));
    const auto clear = [&] {
        for (const QString &place : places)
            QDir(place).removeRecursively();
        QFile::remove(places.at(1));
    };
    clear();
    ToolRun run = runTool({ "backups" });
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.trimmed(), "[]");

    const auto device = [](const char *udid, int year) {
        BackupWriter::Device made;
        made.udid = QString::fromLatin1(udid);
        made.date = Fixtures::utc(year, 1, 2, 3, 4, 5);
        return made;
    };
    writeBackup(places.at(2) + QStringLiteral("/mac"), BackupWriter::Encryption::None, device("MAC", 2024));
    writeBackup(
        places.at(1) + QStringLiteral("/idevice"), BackupWriter::Encryption::None, device("IDEV", 2023));
    writeBackup(places.at(0) + QStringLiteral("/old"), BackupWriter::Encryption::None, device("OLD", 2020));
    writeBackup(places.at(0) + QStringLiteral("/new"), BackupWriter::Encryption::None, device("NEW", 2022));
    const auto udids = [](const ToolRun &run) {
        QStringList found;
        for (const QJsonValue &backup : QJsonDocument::fromJson(run.out).array())
            found.append(backup.toObject().value(QStringLiteral("udid")).toString());
        return found;
    };
    run = runTool({ "backups" });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(udids(run), QStringList({ "NEW", "OLD", "IDEV", "MAC" }));

    // One place linked to another lists its backups once.
    QDir(places.at(1)).removeRecursively();
    ASSERT_TRUE(QFile::link(places.at(0), places.at(1)));
    run = runTool({ "backups" });
    EXPECT_EQ(udids(run), QStringList({ "NEW", "OLD", "MAC" }));
    clear();

    run = runTool({ "backups", "--dir", places.at(2) + QStringLiteral("/nowhere") });
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(
        run.lastErrorLine(), QStringLiteral("Error: There's no folder at %1/nowhere.").arg(places.at(2)));
}

TEST(Backups, UnlockAPlainBackupIntoAStandaloneCopy)
{
    QTemporaryDir dir;
    const QString backup = writeBackup(dir.filePath(QStringLiteral("phone")), BackupWriter::Encryption::None);
    const QStringList before = Fixtures::snapshot(backup);
    const QString cache = dir.filePath(QStringLiteral("Backups/00008030"));

    const ToolRun run = runTool({ "unlock", "--backup", backup, "--cache", cache });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject answer = objectOf(run.out);
    EXPECT_EQ(answer.value("db").toString(), cache + QStringLiteral("/sms.db"));
    EXPECT_FALSE(answer.contains("key"));
    EXPECT_EQ(QDir(cache).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { "sms.db" });
    EXPECT_EQ(MessageStore(answer.value("db").toString()).conversations().size(), 1);
    EXPECT_EQ(Fixtures::snapshot(backup), before);
}

TEST(Backups, UnlockAnEncryptedBackupWithItsPassword)
{
    QTemporaryDir dir;
    const QString backup
        = writeBackup(dir.filePath(QStringLiteral("phone")), BackupWriter::Encryption::Password);
    const QString cache = dir.filePath(QStringLiteral("cache"));

    ToolRun run = runTool({ "unlock", "--backup", backup, "--cache", cache, "--password-stdin" }, "wrong\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastErrorLine(), "Error: That password didn't unlock the backup. Check it and try again.");
    EXPECT_FALSE(QFile::exists(cache + QStringLiteral("/sms.db")));

    run = runTool({ "unlock", "--backup", backup, "--cache", cache });
    EXPECT_EQ(run.lastErrorLine(), "Error: This backup is encrypted. Enter its password to unlock it.");

    run = runTool({ "unlock", "--backup", backup, "--cache", cache, "--password-stdin" }, password + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonObject answer = objectOf(run.out);
    EXPECT_EQ(answer.value("key").toString().size(), 64);
    const Transcript transcript
        = MessageStore(answer.value("db").toString()).transcript("+15550100", std::nullopt);
    EXPECT_EQ(transcript.messages.first().text, "the summit!");
}

// Nothing decrypted goes to the temporary folder, where a killed run would
// leave it: the manifest is read in memory, the messages are written in
// the cache the app names (and sweeps). The tool is killed while it writes
// them, a store large enough that this takes a while.
TEST(Backups, AnUnlockKilledMidwayLeavesNothingInTheTemporaryFolder)
{
    QTemporaryDir dir;
    QTemporaryDir work;
    const QString store = work.filePath(QStringLiteral("sms.db"));
    Fixtures::writePhoneStore(store);
    SqliteDatabase(store, SqliteDatabase::Mode::ReadWrite)
        .execute("CREATE TABLE padding (bytes BLOB); INSERT INTO padding VALUES (randomblob(16000000));");
    BackupWriter backup(
        dir.filePath(QStringLiteral("phone")), {}, BackupWriter::Encryption::Password, password);
    backup.addFile(QStringLiteral("HomeDomain"), QStringLiteral("Library/SMS/sms.db"), readAll(store));
    backup.finish();
    const QString cache = dir.filePath(QStringLiteral("cache"));
    const QString temp = dir.filePath(QStringLiteral("tmp"));
    QDir().mkpath(temp);

    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), temp);
    tool.setProcessEnvironment(environment);
    tool.start(toolPath(),
        { QStringLiteral("unlock"), QStringLiteral("--backup"), backup.folder(), QStringLiteral("--cache"),
            cache, QStringLiteral("--password-stdin") });
    tool.write(password + '\n');
    tool.waitForBytesWritten();
    tool.closeWriteChannel();
    // Writing the messages, the manifest read (its file list found them):
    // the tool holds a file open in the cache. Looked for without the event
    // loop, which would reap the tool.
    const auto writing = [&] {
        const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(tool.processId()));
        for (const QFileInfo &descriptor :
            descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            if (descriptor.symLinkTarget().startsWith(cache + QStringLiteral("/.unlocking-")))
                return true;
        }
        return false;
    };
    const auto running = [&] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(tool.processId()));
        return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
    };
    const auto started = std::chrono::steady_clock::now();
    while (running() && !writing() && std::chrono::steady_clock::now() - started < std::chrono::seconds(60))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    ASSERT_TRUE(running()) << "the unlock ended before it could be killed: "
                           << tool.readAllStandardError().toStdString();
    tool.kill();
    tool.waitForFinished();
    EXPECT_EQ(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

TEST(Backups, UnlockABackupWhoseKeysAreReferencedObjects)
{
    QTemporaryDir dir;
    const QString backup = writeBackup(dir.filePath(QStringLiteral("phone")),
        BackupWriter::Encryption::Password, {}, BackupWriter::KeyBytes::Referenced);
    const ToolRun run = runTool({ "unlock", "--backup", backup, "--cache",
                                    dir.filePath(QStringLiteral("cache")), "--password-stdin" },
        password + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const Transcript transcript
        = MessageStore(objectOf(run.out).value("db").toString()).transcript("+15550100", std::nullopt);
    EXPECT_EQ(transcript.messages.first().text, "the summit!");
}

TEST(Backups, ExportCopiesThePhotosOutOfAnEncryptedBackup)
{
    QTemporaryDir dir;
    const QString backup
        = writeBackup(dir.filePath(QStringLiteral("phone")), BackupWriter::Encryption::Password);
    const QString cache = dir.filePath(QStringLiteral("cache"));
    const ToolRun unlocked
        = runTool({ "unlock", "--backup", backup, "--cache", cache, "--password-stdin" }, password);
    ASSERT_EQ(unlocked.exitCode, 0) << unlocked.err.constData();
    const QString db = objectOf(unlocked.out).value("db").toString();
    const QByteArray key = objectOf(unlocked.out).value("key").toString().toLatin1();
    const QString book = dir.filePath(QStringLiteral("Books/phone/book.json"));
    QDir().mkpath(QFileInfo(book).absolutePath());
    const QStringList exportArguments = { "--db", db, "export", "--conversation", "+15550100", "--out", book,
        "--backup", backup, "--key-stdin" };

    QByteArray wrongKey = key;
    wrongKey[0] = wrongKey.at(0) == '0' ? '1' : '0';
    ToolRun run = runTool(exportArguments, wrongKey + "\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.lastErrorLine(),
        "Error: The saved key doesn't unlock this backup anymore. Remove the backup and "
        "add it again with its password.");
    EXPECT_FALSE(QFile::exists(book));
    run = runTool(exportArguments);
    EXPECT_TRUE(run.lastErrorLine().startsWith("Error: The key of this encrypted backup is missing."));

    run = runTool(exportArguments, key + "\n");
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const QJsonArray messages = objectOf(readAll(book)).value("messages").toArray();
    ASSERT_EQ(messages.size(), 2);
    const QJsonObject first = messages.at(0).toObject();
    EXPECT_EQ(first.value("text").toString(), "the summit!");
    EXPECT_EQ(first.value("media").toArray(), QJsonArray { "photo" });
    const QString photo = first.value("photos").toArray().at(0).toString();
    EXPECT_TRUE(photo.startsWith(QFileInfo(book).absolutePath() + QStringLiteral("/photos/")));
    EXPECT_TRUE(photo.endsWith(QStringLiteral("-IMG_0001.JPG")));
    EXPECT_EQ(readAll(photo), photoBytes);
}

TEST(Backups, FoldTheStoresWriteAheadLogIntoTheCopy)
{
    // A phone backed up mid-write leaves its newest messages in sms.db-wal.
    QTemporaryDir dir;
    const QString store = dir.filePath(QStringLiteral("live/sms.db"));
    QDir().mkpath(dir.filePath(QStringLiteral("live")));
    Fixtures::writePhoneStore(store);
    SqliteDatabase phone(store, SqliteDatabase::Mode::ReadWrite);
    phone.execute("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;");
    phone.execute("INSERT INTO message (guid, text, handle_id, is_from_me, date) "
                  "VALUES ('NEW', 'only in the wal', 1, 0, 739000000000000000)");
    phone.execute("INSERT INTO chat_message_join (chat_id, message_id) VALUES (1, last_insert_rowid())");

    BackupWriter writer(
        dir.filePath(QStringLiteral("phone")), {}, BackupWriter::Encryption::Password, password);
    writer.addFile("HomeDomain", "Library/SMS/sms.db", readAll(store));
    writer.addFile("HomeDomain", "Library/SMS/sms.db-wal", readAll(store + "-wal"));
    writer.finish();

    const QString cache = dir.filePath(QStringLiteral("cache"));
    const ToolRun run
        = runTool({ "unlock", "--backup", writer.folder(), "--cache", cache, "--password-stdin" }, password);
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(QDir(cache).entryList(QDir::Files | QDir::Hidden), QStringList { "sms.db" });
    const Transcript transcript = MessageStore(cache + "/sms.db").transcript("+15550100", std::nullopt);
    EXPECT_EQ(transcript.messages.last().text, "only in the wal");
}

TEST(Backups, SayWhatIsMissing)
{
    QTemporaryDir dir;
    BackupWriter empty(dir.filePath(QStringLiteral("empty")), {}, BackupWriter::Encryption::None);
    empty.addFile("HomeDomain", "Library/Preferences/com.example.plist", "<plist/>");
    empty.finish();
    EXPECT_FALSE(BackupInfo::read(empty.folder())->messages);
    ToolRun run = runTool({ "unlock", "--backup", empty.folder(), "--cache", dir.filePath("cache") });
    EXPECT_EQ(run.lastErrorLine(), "Error: This backup has no messages in it.");

    run = runTool({ "unlock", "--backup", dir.path(), "--cache", dir.filePath("cache") });
    EXPECT_EQ(run.lastErrorLine(), "Error: That folder isn't an iPhone backup.");
    run = runTool({ "unlock", "--cache", dir.filePath("cache") });
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.lastErrorLine(), "Error: Say which backup to unlock with --backup.");
}

// A manifest read elsewhere opens the backup whose files lie in the folder,
// and a file's record from Manifest.db reads as extract reads it.
TEST(Backups, OpenFromManifestAndRecordBytes)
{
    QTemporaryDir dir;
    const QString folder
        = writeBackup(dir.filePath(QStringLiteral("phone")), BackupWriter::Encryption::Password);
    Backup backup(folder, Plist::fromBytes(readAll(folder + QStringLiteral("/Manifest.plist"))));
    EXPECT_TRUE(backup.isEncrypted());
    backup.unlockWithPassword(password);
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(backup.extract(QStringLiteral("MediaDomain"), Fixtures::photoRelativePath(), photo));
    EXPECT_EQ(readAll(photo), photoBytes);
    try {
        Backup damaged(folder, Plist());
        ADD_FAILURE() << "a backup without a manifest opened";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.sentence(), "The backup is damaged: its Manifest.plist can't be read.");
    }

    const QString plain = writeBackup(dir.filePath(QStringLiteral("plain")), BackupWriter::Encryption::None);
    SqliteDatabase manifest = SqliteDatabase::openForReading(plain + QStringLiteral("/Manifest.db"));
    SqliteStatement query(manifest, "SELECT file FROM Files WHERE domain = 'MediaDomain'");
    ASSERT_TRUE(query.next());
    const auto record = Backup::readFileRecord(query.blob(0));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->protectionClass, 2);
    EXPECT_EQ(record->size, photoBytes.size());
    EXPECT_TRUE(record->wrappedKey.isEmpty());
    EXPECT_FALSE(Backup::readFileRecord("<plist><dict/></plist>"));
}
