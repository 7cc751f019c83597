#include "model/backups.h"
#include "model/chatfiles.h"
#include "model/helpers.h"
#include "model/ziparchive.h"
#include "scopeddefaults.h"
#include "testsupport.h"
#include "zipwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString noChat
    = QStringLiteral("Quorvel failed (0): There's no chat in that. Choose the file or folder the app "
                     "exported (or its .zip): a "
                     ".txt, .json, .html, .csv, .xml, .mbox or .eml file, or a WhatsApp database.");

QString files()
{
    return Helpers::support() + "/Files";
}

QStringList folders()
{
    return QDir(files()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

class ChatFilesTest : public ::testing::Test
{
protected:
    QString chosen(const QString &relative, const QByteArray &contents = "chat")
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        TestSupport::writeFile(path, contents);
        return path;
    }

    QString zip(const QString &name, const QList<ZipEntry> &entries)
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(writeZip(path, entries));
        return path;
    }

    // The failure's sentence when adding fails, and that nothing stayed.
    std::optional<QString> refusal(const QString &path, qint64 unpackLimit = ZipArchive::defaultLimit)
    {
        const QStringList before = folders();
        const std::optional<QString> failure = TestSupport::failureOf(ChatFiles::add(path, unpackLimit));
        EXPECT_EQ(folders(), before);
        return failure;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ChatFilesTest, AZippedFolderIsUnpackedAndReadAsAWhole)
{
    const QString archive = zip("WhatsApp_Chat.zip",
        { { "Chat/", {}, ZipEntry::Kind::Folder },
            { "Chat/WhatsApp Chat.TXT", "1/31/25, 9:41 PM - Sam: hey\n" }, { "Chat/IMG-0001.jpg", "jpeg" } });
    const Source source = TestSupport::await(ChatFiles::add(archive));

    EXPECT_TRUE(source.id.contains(QRegularExpression("^file-[0-9a-f]{8}$"))) << source.id.toStdString();
    EXPECT_EQ(source.name, "WhatsApp Chat");
    EXPECT_EQ(source.log, files() + "/" + source.id);
    EXPECT_EQ(source.database, "");
    EXPECT_FALSE(source.backup);
    EXPECT_EQ(
        TestSupport::readFile(*source.log + "/Chat/WhatsApp Chat.TXT"), "1/31/25, 9:41 PM - Sam: hey\n");
}

TEST_F(ChatFilesTest, ArchivesWithoutAVisibleChatAreRefused)
{
    EXPECT_EQ(refusal(zip("mac.zip",
                  { { "__MACOSX/Chat/._chat.txt", "fork" }, { "Chat/.hidden.txt", "x" },
                      { "Chat/photo.jpg", "jpeg" } })),
        noChat);
}

TEST_F(ChatFilesTest, UnsafeArchivesAreRefusedWithoutWritingOutside)
{
    // Saying why: "there's no chat in that" would send the user looking
    // for another file.
    const QString outside = m_dir.filePath("escaped.txt");
    for (const QList<ZipEntry> &entries : {
             QList<ZipEntry> { { "chat.txt", "x" }, { "../../escaped.txt", "x" } },
             QList<ZipEntry> { { "chat.txt", "x" }, { outside, "x" } },
             QList<ZipEntry> { { "chat.txt", "x" }, { "link", outside.toUtf8(), ZipEntry::Kind::Link } },
         }) {
        EXPECT_EQ(refusal(zip("unsafe.zip", entries)),
            "Quorvel failed (0): That zip archive holds a link, or a file that would land outside the folder "
            "it's unpacked into, so it wasn't unpacked.")
            << entries.last().name.toStdString();
        EXPECT_FALSE(QFileInfo::exists(outside));
    }
}

TEST_F(ChatFilesTest, ArchivesTooLargeToUnpackAreRefusedSayingSo)
{
    const QString archive
        = zip("big.zip", { { "a.txt", QByteArray(600, 'a') }, { "b.txt", QByteArray(600, 'b') } });
    EXPECT_EQ(refusal(archive, 1000),
        "Quorvel failed (0): That zip archive is too large to unpack: it holds more than 1000 bytes.");
}

TEST_F(ChatFilesTest, UnpackingStopsPastTheSizeLimit)
{
    const QString archive
        = zip("big.zip", { { "a.txt", QByteArray(600, 'a') }, { "b.txt", QByteArray(600, 'b') } });
    QTemporaryDir into;
    try {
        ZipArchive::extract(archive, into.path(), 1000);
        FAIL() << "unpacked past the limit";
    } catch (const ZipArchive::Error &error) {
        EXPECT_EQ(error.kind(), ZipArchive::Error::Kind::TooLarge);
    }
    EXPECT_NO_THROW(ZipArchive::extract(archive, into.path(), 1200));
}

// Fault mended: a zip archive cut short, as a download or copy that
// stopped leaves it, said "The zip archive can't be opened: Not a zip
// archive.", which sends the user looking for another file.
TEST_F(ChatFilesTest, AnArchiveCutShortOrDamagedAsksForTheChatToBeExportedAgain)
{
    const QString damaged = QStringLiteral(
        "Quorvel failed (0): That zip archive is incomplete or damaged, so it wasn't unpacked. Export the "
        "chat again and add the new file.");
    QByteArray lines;
    for (int i = 0; i < 2000; ++i)
        lines += "1/31/25, 9:41 PM - Sam: hey, message " + QByteArray::number(i) + "\n";
    const QByteArray whole = TestSupport::readFile(zip("whole.zip", { { "WhatsApp Chat.txt", lines } }));
    ASSERT_GT(whole.size(), 1000);
    // Cut anywhere: in the data, in the directory at the end, just short.
    for (const qsizetype kept : { qsizetype(40), whole.size() / 2, whole.size() - 30, whole.size() - 1 })
        EXPECT_EQ(refusal(chosen(QStringLiteral("cut-%1.zip").arg(kept), whole.left(kept))), damaged) << kept;
    // Spoilt inside: the entry's data no longer inflates.
    QByteArray spoilt = whole;
    for (qsizetype at = 60; at < 160; ++at)
        spoilt[at] = char(spoilt[at] ^ 0x5a);
    EXPECT_EQ(refusal(chosen("spoilt.zip", spoilt)), damaged);
    // Named a zip, but no zip at all: exporting again is the way out too.
    EXPECT_EQ(refusal(chosen("chat.zip", "not a zip at all")), damaged);
}

TEST_F(ChatFilesTest, WhatCannotBeReadFailsWithTheSystemsOwnErrorAndLeavesNothing)
{
    // Not refusals of the app's own: what the file system said, as it said it.
    const std::optional<QString> gone = refusal(m_dir.filePath("gone.txt"));
    ASSERT_TRUE(gone);
    EXPECT_FALSE(gone->startsWith("Quorvel failed")) << gone->toStdString();
    EXPECT_TRUE(gone->contains("No such file or directory")) << gone->toStdString();
}

TEST_F(ChatFilesTest, AFolderIsCopiedWhenAChatLiesAtAnyDepth)
{
    chosen("Export/a/b/result.json", "{}");
    chosen("Export/.secret/kept.bin", "x");
    const Source source = TestSupport::await(ChatFiles::add(m_dir.filePath("Export/")));
    EXPECT_EQ(source.name, "Export");
    EXPECT_EQ(source.log, files() + "/" + source.id + "/Export");
    EXPECT_EQ(TestSupport::readFile(*source.log + "/a/b/result.json"), "{}");
    EXPECT_EQ(TestSupport::readFile(*source.log + "/.secret/kept.bin"), "x");

    chosen("Pictures/one.jpg");
    chosen("Pictures/two.png");
    EXPECT_EQ(refusal(m_dir.filePath("Pictures")), noChat);
}

TEST_F(ChatFilesTest, ASingleFileIsTakenWhateverItsName)
{
    const Source source = TestSupport::await(ChatFiles::add(chosen("my_export.data.bin")));
    EXPECT_EQ(source.name, "my export.data");
    EXPECT_EQ(source.log, files() + "/" + source.id + "/my_export.data.bin");
    EXPECT_EQ(TestSupport::readFile(*source.log), "chat");
}

// An IRC log of days without their year ends on the day it was last
// written: copied or unpacked on the day it was added, its days moved on.
TEST_F(ChatFilesTest, CopiesKeepTheDayTheirFileWasLastWritten)
{
    const QDateTime written(QDate(2020, 1, 1), QTime(10, 30), Qt::UTC);
    const auto modified
        = [](const QString &path) { return QFileInfo(path).lastModified().toUTC().toString(Qt::ISODate); };
    const QString log = chosen("logs/#hillwalkers.log", "[31 Dec 23:59] <morag!~m@example.net> hogmanay\n");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    const Source copied = TestSupport::await(ChatFiles::add(log));
    EXPECT_EQ(modified(*copied.log), "2020-01-01T10:30:00Z");
    const Source folder = TestSupport::await(ChatFiles::add(m_dir.filePath("logs")));
    EXPECT_EQ(modified(*folder.log + "/#hillwalkers.log"), "2020-01-01T10:30:00Z");

    const Source unpacked = TestSupport::await(ChatFiles::add(zip("logs.zip",
        { { "#hillwalkers.log", "[31 Dec 23:59] <morag!~m@example.net> hogmanay\n", ZipEntry::Kind::File,
            written.toSecsSinceEpoch() } })));
    EXPECT_EQ(modified(*unpacked.log + "/#hillwalkers.log"), "2020-01-01T10:30:00Z");
}

TEST_F(ChatFilesTest, AWhatsAppStoreBringsItsNamesAlong)
{
    const QString store = chosen("Phone/msgstore-2024.1.crypt15", "store");
    chosen("Phone/wa.db", "names");
    const Source source = TestSupport::await(ChatFiles::add(store));
    EXPECT_EQ(source.name, "msgstore-2024.1");
    EXPECT_EQ(source.log, files() + "/" + source.id + "/msgstore-2024.1.crypt15");
    EXPECT_EQ(TestSupport::readFile(files() + "/" + source.id + "/wa.db"), "names");

    const Source alone = TestSupport::await(ChatFiles::add(chosen("Alone/msgstore.db", "store")));
    EXPECT_FALSE(QFileInfo::exists(files() + "/" + alone.id + "/wa.db"));
}

TEST_F(ChatFilesTest, PastedTextIsStoredExactly)
{
    const QString text = QStringLiteral("\n  1/31/25, 9:41 PM - Sam: héllo\n\n");
    const Source source = ChatFiles::paste(text, "Sam");
    EXPECT_EQ(source.name, "Sam");
    EXPECT_EQ(source.log, files() + "/" + source.id + "/pasted.txt");
    EXPECT_EQ(TestSupport::readFile(*source.log), text.toUtf8());

    const Source empty = ChatFiles::paste(QString(), "Pasted chat");
    EXPECT_NE(empty.id, source.id);
    EXPECT_TRUE(QFileInfo(*empty.log).isFile());
    EXPECT_EQ(QFileInfo(*empty.log).size(), 0);
}

TEST(ChatFilesNameTest, NamesDropTheLastExtensionAndUnderscores)
{
    EXPECT_EQ(ChatFiles::nameFor("/x/WhatsApp_Chat_with_Sam.zip"), "WhatsApp Chat with Sam");
    EXPECT_EQ(ChatFiles::nameFor("/x/archive.tar.gz"), "archive.tar");
    EXPECT_EQ(ChatFiles::nameFor("/x/Folder/"), "Folder");
    EXPECT_EQ(ChatFiles::nameFor("/x/.hidden"), ".hidden");
}

// A pasted chat is read once before its source is saved, and a copied one
// before the library saves it: meanwhile another window's start, whose
// sweep removes every chat's folder no saved source names, leaves it.
TEST_F(ChatFilesTest, AChatNotSavedYetIsLeftByAnotherWindowsStart)
{
    const ScopedDefaults defaults;
    const Source pasted = ChatFiles::paste(QStringLiteral("1/31/25, 9:41 PM - Sam: hi"), "Sam");
    const Source copied = TestSupport::await(ChatFiles::add(chosen("WhatsApp Chat with Sam.txt")));
    Backups::sweep();
    EXPECT_TRUE(QFileInfo::exists(*pasted.log));
    EXPECT_TRUE(QFileInfo::exists(*copied.log));
}
