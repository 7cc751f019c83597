#include "faketool.h"
#include "fixtures.h"
#include "model/backups.h"
#include "model/chatfiles.h"
#include "model/consent.h"
#include "model/helpers.h"
#include "model/keychain.h"
#include "model/library.h"
#include "scopeddefaults.h"
#include "testsupport.h"
#include "zipwriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using TestSupport::await;

namespace {

const QByteArray whatsApp = "1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there\n";

QStringList idsOf(const QList<Conversation> &conversations)
{
    QStringList ids;
    for (const Conversation &conversation : conversations)
        ids.append(conversation.id());
    return ids;
}

class LibraryEndToEndTest : public ::testing::Test
{
protected:
    // The real tool, the saved list and the computer's database as named.
    std::unique_ptr<Library> library(Library::Environment environment = {})
    {
        return std::make_unique<Library>(environment);
    }

    QString backup(const QString &udid, const std::optional<QByteArray> &password = std::nullopt)
    {
        const QString folder = m_dir.filePath("Backup/" + udid);
        Fixtures::writeBackup(
            folder, { udid, "Phone " + udid }, { "+15550100", "kim@example.com" }, password);
        return folder;
    }

    ScopedDefaults m_defaults;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(LibraryEndToEndTest, TheComputersDatabaseListsItsConversations)
{
    ASSERT_EQ(Helpers::database(), qEnvironmentVariable("QUORVEL_DB"));
    const auto lib = library();
    await(lib->load());

    EXPECT_EQ(lib->access(), Library::Access::Granted);
    EXPECT_EQ(lib->sources(), QList<Source> { Source::mac() });
    const QList<Conversation> conversations = lib->conversations();
    // The tool's order: the latest conversation first.
    EXPECT_EQ(idsOf(conversations), (QStringList { "sam@example.com", "+15551234567" }));
    EXPECT_EQ(conversations.last().source, Source::mac());
    EXPECT_EQ(conversations.last().messages, 2);
    EXPECT_EQ(lib->displayName(conversations.last()), "(555) 123-4567");
    EXPECT_TRUE(lib->errors().isEmpty());
}

TEST_F(LibraryEndToEndTest, AddedSourcesListTheirsAndForgettingRemovesEverything)
{
    const auto lib = library();
    await(lib->load());

    const Source plain = await(Backups::unlock(await(Backups::info(backup("1111"))), std::nullopt));
    await(lib->add(plain));
    const BackupInfo locked = await(Backups::info(backup("2222", "secret")));
    EXPECT_TRUE(TestSupport::failureOf(Backups::unlock(locked, QStringLiteral("guess"))));
    EXPECT_EQ(await(Keychain::get("2222")), std::nullopt);
    const Source encrypted = await(Backups::unlock(locked, QStringLiteral("secret")));
    await(lib->add(encrypted));
    EXPECT_TRUE(await(Keychain::get("2222")));

    const QString archive = m_dir.filePath("WhatsApp_Chat_with_Sam.zip");
    ASSERT_TRUE(writeZip(archive, { { "WhatsApp Chat with Sam.txt", whatsApp } }));
    const Source zipped = await(ChatFiles::add(archive));
    await(lib->add(zipped));
    QDir().mkpath(m_dir.filePath("Export"));
    TestSupport::writeFile(m_dir.filePath("Export/WhatsApp Chat with Sam.txt"), whatsApp);
    const Source folder = await(ChatFiles::add(m_dir.filePath("Export")));
    await(lib->add(folder));
    const Source pasted = ChatFiles::paste(QString::fromUtf8(whatsApp), "Sam");
    await(lib->add(pasted));

    EXPECT_EQ(lib->sources(), (QList<Source> { Source::mac(), plain, encrypted, zipped, folder, pasted }));
    EXPECT_EQ(Backups::saved(), (QList<Source> { plain, encrypted, zipped, folder, pasted }));
    EXPECT_TRUE(lib->errors().isEmpty()) << lib->errors().values().join(" | ").toStdString();
    EXPECT_EQ(idsOf(lib->conversations()),
        (QStringList { "sam@example.com", "+15551234567", "1111:kim@example.com", "1111:+15550100",
            "2222:kim@example.com", "2222:+15550100", zipped.id + ":Sam", folder.id + ":Sam",
            pasted.id + ":Sam & Robin" }));

    for (const Source &source : { plain, encrypted, zipped, folder, pasted }) {
        const QString kept = *Backups::folder(source);
        ASSERT_TRUE(QFileInfo::exists(kept));
        await(lib->forget(source));
        EXPECT_FALSE(QFileInfo::exists(kept));
        EXPECT_FALSE(lib->lists().contains(source.id));
        EXPECT_EQ(await(Keychain::get(source.id)), std::nullopt);
    }
    EXPECT_EQ(lib->sources(), QList<Source> { Source::mac() });
    EXPECT_EQ(Backups::saved(), QList<Source>());
}

// A backup the saved list can't name would stay unlocked on disk, named
// nowhere, once the app ends: it isn't added, and what unlocking wrote goes.
TEST_F(LibraryEndToEndTest, ABackupTheListCantBeSavedWithIsNotAddedAndLeavesNothing)
{
    const auto lib = library();
    await(lib->load());
    const Source kept = await(Backups::unlock(await(Backups::info(backup("3333"))), std::nullopt));
    await(lib->add(kept));
    const Source encrypted
        = await(Backups::unlock(await(Backups::info(backup("4444", "pw"))), QStringLiteral("pw")));
    ASSERT_TRUE(await(Keychain::get("4444")));

    // The defaults' folder can't be made: a file stands where it would be.
    TestSupport::writeFile(m_dir.filePath("blocked"), "");
    Defaults::standard().setFileName(m_dir.filePath("blocked/defaults.json"));
    const std::optional<QString> failure = TestSupport::failureOf(lib->add(encrypted));
    EXPECT_EQ(failure,
        "Quorvel failed (0): Quorvel couldn't write " + m_dir.filePath("blocked/defaults.json")
            + ", where it keeps what you add, so this wasn't added.");
    EXPECT_EQ(lib->added(), QList<Source> { kept });
    EXPECT_FALSE(Backups::saved().contains(encrypted));
    EXPECT_FALSE(QFileInfo::exists(*Backups::folder(encrypted)));
    EXPECT_EQ(await(Keychain::get("4444")), std::nullopt);

    // One added before names the same folder already: it stays as it is.
    const Source again = await(Backups::unlock(await(Backups::info(backup("3333"))), std::nullopt));
    await(lib->add(again));
    EXPECT_EQ(lib->added(), QList<Source> { again });
    EXPECT_TRUE(QFileInfo(again.database).isFile());
    await(lib->forget(again));
}

TEST_F(LibraryEndToEndTest, TheDevelopmentBackupIsUnlockedOnce)
{
    Library::Environment environment;
    environment.backup = backup("3333", "pw");
    environment.backupPassword = "pw";
    const auto first = library(environment);
    await(first->load());
    ASSERT_EQ(first->added().size(), 1);
    EXPECT_EQ(first->added().first().id, "3333");
    EXPECT_EQ(first->lists().value("3333").size(), 2);
    EXPECT_TRUE(await(Keychain::get("3333")));

    // Already added: the next start unlocks nothing, so no key comes back.
    await(Keychain::remove("3333"));
    const auto second = library(environment);
    await(second->load());
    EXPECT_EQ(second->added(), first->added());
    EXPECT_EQ(await(Keychain::get("3333")), std::nullopt);

    // A wrong password adds nothing, silently.
    await(second->forget(second->added().first()));
    environment.backupPassword = "wrong";
    const auto third = library(environment);
    await(third->load());
    EXPECT_TRUE(third->added().isEmpty());
}

TEST_F(LibraryEndToEndTest, AForgottenSourceStaysGoneWhenItsLoadEndsLater)
{
    const Source pasted = ChatFiles::paste(QString::fromUtf8(whatsApp), "Sam");
    Backups::save({ pasted });
    const auto lib = library();
    FakeTool tool;
    tool.answers.insert(pasted.id, "[]");
    tool.holding = true;
    lib->setRunner(tool.runner());

    QCoro::Task<void> loading = lib->load(pasted);
    await(lib->forget(pasted));
    tool.release(1);
    await(std::move(loading));
    EXPECT_FALSE(lib->lists().contains(pasted.id));
    EXPECT_TRUE(lib->loadingSources().isEmpty());
}

// A one-to-one export was listed by everyone in it, the user too ("Jane Doe
// & John Doe"), and the user's guess was whoever came first.
TEST_F(LibraryEndToEndTest, AnExportIsShownByThePersonItIsWithInEveryLanguage)
{
    Consent::setFullNameSource([] { return QStringLiteral("Pat Quill"); });
    const QByteArray chat = "31.01.25, 21:41 - Jane Doe: Hallo\n31.01.25, 21:42 - John Doe: Hi\n"
                            "01.02.25, 08:00 - Jane Doe: Guten Morgen\n";
    const QStringList names = { "WhatsApp Chat with Jane Doe", "WhatsApp Chat - Jane Doe",
        "WhatsApp Chat mit Jane Doe", "Discussion WhatsApp avec Jane Doe", "Chat de WhatsApp con Jane Doe",
        "Chat WhatsApp con Jane Doe", "Conversa do WhatsApp com Jane Doe", "WhatsApp-chat met Jane Doe",
        "Jane Doe ile WhatsApp Sohbeti" };
    const auto lib = library();
    QList<Source> added;
    for (const QString &name : names) {
        // The file as the phone names it; the iPhone's zip, which holds "_chat.txt"; and that zip unpacked.
        const QString folder = m_dir.filePath(name);
        QDir().mkpath(folder + "/unpacked/" + name);
        TestSupport::writeFile(folder + "/" + name + ".txt", chat);
        ASSERT_TRUE(writeZip(folder + "/" + name + ".zip", { { "_chat.txt", chat } }));
        TestSupport::writeFile(folder + "/unpacked/" + name + "/_chat.txt", chat);
        for (const QString &chosen :
            { folder + "/" + name + ".txt", folder + "/" + name + ".zip", folder + "/unpacked/" + name }) {
            added.append(await(ChatFiles::add(chosen)));
            await(lib->add(added.last()));
        }
    }
    added.append(ChatFiles::paste(QString::fromUtf8(chat), "jane doe"));
    await(lib->add(added.last()));
    ASSERT_TRUE(lib->errors().isEmpty()) << lib->errors().values().join(" | ").toStdString();
    for (const Source &source : added) {
        SCOPED_TRACE(source.name.toStdString());
        ASSERT_EQ(lib->lists().value(source.id).size(), 1);
        const Conversation conversation = lib->lists().value(source.id).first();
        EXPECT_EQ(lib->displayName(conversation), "Jane Doe");
        EXPECT_EQ(Consent::user(conversation), "John Doe");
    }

    // Named after no one: the guess decides, then the user's choice.
    const Source plain = ChatFiles::paste(QString::fromUtf8(chat), "Pasted chat");
    await(lib->add(plain));
    const Conversation unnamed = lib->lists().value(plain.id).first();
    EXPECT_EQ(lib->displayName(unnamed), "John Doe");
    lib->setMe(unnamed, "John Doe");
    EXPECT_EQ(lib->displayName(unnamed), "Jane Doe");

    // A group keeps its name, or "Group chat".
    const Source group
        = ChatFiles::paste(QString::fromUtf8(chat) + "01.02.25, 08:01 - Jo: Morgen!\n", "Family");
    await(lib->add(group));
    EXPECT_EQ(lib->displayName(lib->lists().value(group.id).first()), "Group chat");
    TestSupport::writeFile(m_dir.filePath("WhatsApp Chat mit Familie.txt"),
        QByteArray(chat) + "01.02.25, 08:01 - Jo: Morgen!\n");
    const Source named = await(ChatFiles::add(m_dir.filePath("WhatsApp Chat mit Familie.txt")));
    await(lib->add(named));
    EXPECT_EQ(lib->displayName(lib->lists().value(named.id).first()), "Familie");
    Consent::setFullNameSource({});
}
