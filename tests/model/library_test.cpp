#include "faketool.h"
#include "model/backups.h"
#include "model/library.h"
#include "scopeddefaults.h"
#include "testsupport.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <qcorosignal.h>

namespace {

// The tool's answer to "chats" for one-to-one conversations with these keys.
QByteArray chats(const QStringList &keys)
{
    QJsonArray array;
    for (const QString &key : keys) {
        array.append(QJsonObject { { "key", key }, { "group", false }, { "chat_ids", QJsonArray { 1 } },
            { "services", QJsonArray { "SMS" } }, { "messages", 3 }, { "first", "2024-01-01" },
            { "last", "2024-02-01" } });
    }
    return QJsonDocument(array).toJson();
}

QStringList keysOf(const QList<Conversation> &conversations)
{
    QStringList keys;
    for (const Conversation &conversation : conversations)
        keys.append(conversation.key);
    return keys;
}

QCoro::Task<void> listsChange(Library *library)
{
    co_await qCoro(library, &Library::listsChanged);
}

class LibraryTest : public ::testing::Test
{
protected:
    // A chat-file source whose file exists, so the saved list keeps it.
    Source chatSource(const QString &id)
    {
        Source source;
        source.id = id;
        source.name = id;
        source.log = m_files.filePath(id + ".txt");
        TestSupport::writeFile(*source.log, "chat");
        return source;
    }

    // A library over these saved sources that asks the fake tool.
    std::unique_ptr<Library> library(const QList<Source> &saved, Library::Environment environment = {})
    {
        Backups::save(saved);
        environment.contacts = contacts();
        auto library = std::make_unique<Library>(environment);
        library->setRunner(m_tool.runner());
        return library;
    }

    QString contacts() const { return m_files.filePath("contacts"); }
    void addContacts(const QByteArray &vcf)
    {
        QDir().mkpath(contacts());
        TestSupport::writeFile(contacts() + "/all.vcf", vcf);
    }

    ScopedDefaults m_defaults;
    QTemporaryDir m_files;
    FakeTool m_tool;
};

} // namespace

TEST(LibraryNamesTest, ContactKeysMeetAcrossWritings)
{
    EXPECT_EQ(Library::contactKey("Sam@Example.COM"), Library::contactKey("sam@example.com"));
    EXPECT_EQ(Library::contactKey("+1 (555) 123-4567"), "5551234567");
    EXPECT_EQ(Library::contactKey("555.123.4567"), "5551234567");
    EXPECT_EQ(Library::contactKey("0123"), "0123");
    EXPECT_EQ(Library::contactKey("chat-room"), "");
}

// North American numbers: written with +1, as eleven digits beginning
// with 1, or as ten whose area code and exchange each begin with 2 to 9.
TEST(LibraryNamesTest, PrettyHandleWritesNorthAmericanNumbersTheirWay)
{
    for (const char *number : { "+1 415 555 0132", "+14155550132", "1-415-555-0132", "14155550132",
             "4155550132", "(415) 555-0132", "415.555.0132" })
        EXPECT_EQ(Library::prettyHandle(number), "(415) 555-0132") << number;
    // With its country code, any exchange is North American.
    EXPECT_EQ(Library::prettyHandle("+1 555 123 4567"), "(555) 123-4567");
    // Digits of every script count, as characters, and stay as written.
    EXPECT_EQ(Library::prettyHandle(QStringLiteral("٤١٥٥٥٥٠١٣٢")), QStringLiteral("(٤١٥) ٥٥٥-٠١٣٢"));
}

// Numbers kept without spaces, as Messages, SMS backups and Signal keep
// them, read as their owners write them; one already written so stays.
TEST(LibraryNamesTest, PrettyHandleWritesOtherCountriesInTheirInternationalForm)
{
    const QList<std::pair<const char *, const char *>> numbers { { "+4915123456789", "+49 1512 3456789" },
        { "+49 151 23456789", "+49 1512 3456789" }, { "+447700900123", "+44 7700 900123" },
        { "+33612345678", "+33 6 12 34 56 78" }, { "+919876543210", "+91 98765 43210" },
        { "+61412345678", "+61 412 345 678" }, { "+49 (0)151 23456789", "+49 1512 3456789" } };
    for (const auto &[handle, shown] : numbers) {
        EXPECT_EQ(Library::prettyHandle(handle), shown) << handle;
        EXPECT_EQ(Library::prettyHandle(shown), shown) << shown;
    }
    EXPECT_EQ(Library::prettyHandle(QStringLiteral("+٤٩١٥١٢٣٤٥٦٧٨٩")), "+49 1512 3456789");
}

// Ten digits that aren't North American were all taken for it once:
// "06 12 34 56 78" showed as (061) 234-5678, someone else's number.
TEST(LibraryNamesTest, PrettyHandleLeavesEveryOtherHandleAsWritten)
{
    for (const char *handle : { "06 12 34 56 78", // France, without its country code
             "0412 345 678", // Australia
             "5551234567", // an exchange beginning with 1
             // Eleven digits beginning with 1 that the plan's rule rejects: a
             // Chinese mobile printed on a cover as "(380) 013-8000".
             "13800138000", "138 0013 8000", "1 015 555 0132", "07700 900123", "0049 151 23456789",
             "555123456", "72727",
             "+1 555 123 45678", // too long for the plan
             "+45 12 34 56 78", // no such Danish number: its owner's grouping stands
             "+999 1234567", // no such country
             "+12", "+15550100", // too short to be dialled from abroad
             "a1234567890@example.com", "+49 151 23456789@example.com" })
        EXPECT_EQ(Library::prettyHandle(handle), handle) << handle;
}

TEST_F(LibraryTest, DisplayNamesFollowNamesGroupsAndSources)
{
    addContacts("BEGIN:VCARD\nN:Rivera;Sam\nTEL:+1 (555) 123-4567\nEMAIL:Jo@Example.com\nEND:VCARD\n");
    const Source chat = chatSource("file-0000aaaa");
    m_tool.answers.insert(chat.id, chats({}));
    const auto lib = library({ chat });
    TestSupport::await(lib->load());

    Conversation conversation;
    conversation.source = Source::mac();
    conversation.key = "+15551234567";
    EXPECT_EQ(lib->displayName(conversation), "Sam Rivera");
    conversation.key = "jo@example.com";
    EXPECT_EQ(lib->displayName(conversation), "Sam Rivera");
    conversation.key = "+15550009999";
    EXPECT_EQ(lib->displayName(conversation), "(555) 000-9999");

    // A name with a letter is shown as it is; one of digits is a handle.
    conversation.name = "Book club";
    EXPECT_EQ(lib->displayName(conversation), "Book club");
    conversation.name = "+1 555 123 4567";
    EXPECT_EQ(lib->displayName(conversation), "Sam Rivera");
    conversation.name = "+1 555 000 9999";
    EXPECT_EQ(lib->displayName(conversation), "(555) 000-9999");
    conversation.name = "+44 7700 900123";
    EXPECT_EQ(lib->displayName(conversation), "+44 7700 900123");

    conversation.name = QString();
    conversation.group = true;
    EXPECT_EQ(lib->displayName(conversation), "Group chat");
    conversation.name = "Hiking";
    EXPECT_EQ(lib->displayName(conversation), "Hiking");

    // A chat file's key is its own name, even when it looks like a number.
    conversation = Conversation();
    conversation.source = chat;
    conversation.key = "+15551234567";
    EXPECT_EQ(lib->displayName(conversation), "+15551234567");

    EXPECT_EQ(lib->memberName("Sam"), "Sam");
    EXPECT_EQ(lib->memberName("555-123-4567"), "Sam Rivera");
    EXPECT_EQ(lib->memberNames()("JO@example.com"), "Sam Rivera");
}

TEST_F(LibraryTest, SayingWhoIsTheUserRenamesTheirChat)
{
    const auto lib = library({});
    Conversation conversation;
    conversation.source = chatSource("file-0000aaaa");
    conversation.key = "Jane Doe & John Doe";
    conversation.people = QList<Conversation::LogPerson> { { "Jane Doe", 2 }, { "John Doe", 1 } };
    QSignalSpy names(lib.get(), &Library::namesChanged);
    lib->setMe(conversation, "Jane Doe");
    EXPECT_EQ(lib->displayName(conversation), "John Doe");
    lib->setMe(conversation, "Jane Doe");
    lib->setMe(conversation, "John Doe");
    EXPECT_EQ(lib->displayName(conversation), "Jane Doe");
    EXPECT_EQ(names.count(), 2);
}

TEST_F(LibraryTest, NamesComeFromEveryCardTheLaterWinning)
{
    addContacts("BEGIN:VCARD\nN:Rivera;\nTEL:5551234567\nEND:VCARD\n"
                "BEGIN:VCARD\nN:;\nTEL:5552221111\nEND:VCARD\n"
                "BEGIN:VCARD\nN:;Jo\nEMAIL:shared@example.com\nEND:VCARD\n"
                "BEGIN:VCARD\nN:;Kim\nEMAIL:shared@example.com\nEND:VCARD\n");
    const Source chat = chatSource("file-0000aaaa");
    m_tool.answers.insert(chat.id, chats({}));
    const auto lib = library({ chat });
    TestSupport::await(lib->load());

    EXPECT_EQ(lib->memberName("5551234567"), "Rivera");
    EXPECT_EQ(lib->memberName("5552221111"), "(555) 222-1111");
    EXPECT_EQ(lib->memberName("shared@example.com"), "Kim");
}

// A chat export's person written as a number was shown as the raw number,
// though the contacts know whose it is.
TEST_F(LibraryTest, AChatFilesPersonWrittenAsANumberOrAddressIsShownAsTheirContact)
{
    addContacts("BEGIN:VCARD\nN:Brandt;Lotte\nTEL:+49 151 2345 6789\nEMAIL:kai@example.org\nEND:VCARD\n");
    const Source chat = chatSource("file-0000aaaa");
    m_tool.answers.insert(chat.id, chats({}));
    const auto lib = library({ chat });
    TestSupport::await(lib->load());

    Conversation conversation;
    conversation.source = chat;
    conversation.key = "+49 151 23456789 & Robin";
    conversation.people = QList<Conversation::LogPerson> { { "+49 151 23456789", 4 }, { "Robin", 3 } };
    lib->setMe(conversation, "Robin");
    EXPECT_EQ(lib->displayName(conversation), "Lotte Brandt");
    conversation.people = QList<Conversation::LogPerson> { { "KAI@example.org", 4 }, { "Robin", 3 } };
    EXPECT_EQ(lib->displayName(conversation), "Lotte Brandt");
    // Nobody's number is shown as numbers are.
    conversation.people = QList<Conversation::LogPerson> { { "+1 555 000 9999", 4 }, { "Robin", 3 } };
    EXPECT_EQ(lib->displayName(conversation), "(555) 000-9999");
    // The one who wrote alone, too.
    conversation.people = QList<Conversation::LogPerson> { { "+4915123456789", 4 } };
    EXPECT_EQ(lib->displayName(conversation), "Lotte Brandt");
    // A chat's own name with a letter is shown as it is, whoever is in it.
    conversation.name = "Lotte 🌻";
    EXPECT_EQ(lib->displayName(conversation), "Lotte 🌻");
}

// A contact whose number has no digits used to be stored under the empty
// key, and then named every conversation whose key has no digits either.
TEST_F(LibraryTest, ANumberWithoutDigitsNamesNothing)
{
    addContacts("BEGIN:VCARD\nN:;Alex\nTEL:n/a\nEMAIL:\nEND:VCARD\n");
    const Source chat = chatSource("file-0000aaaa");
    m_tool.answers.insert(chat.id, chats({}));
    const auto lib = library({ chat });
    TestSupport::await(lib->load());

    Conversation conversation;
    conversation.source = Source::mac();
    conversation.key = "chat-room";
    EXPECT_EQ(lib->displayName(conversation), "chat-room");
}

TEST_F(LibraryTest, DeniedAccessAndNothingAddedReadsNothing)
{
    addContacts("BEGIN:VCARD\nN:;Sam\nTEL:4155550132\nEND:VCARD\n");
    const auto lib = library({});
    QSignalSpy names(lib.get(), &Library::namesChanged);
    TestSupport::await(lib->load());

    EXPECT_EQ(lib->access(), Library::Access::Denied);
    EXPECT_TRUE(lib->sources().isEmpty());
    EXPECT_TRUE(m_tool.runs.isEmpty());
    EXPECT_EQ(names.count(), 0);
    EXPECT_EQ(lib->memberName("4155550132"), "(415) 555-0132");

    // Someone without a Messages database starts from the chat file they
    // add; its numbers were shown and printed bare all that session.
    const Source chat = chatSource("file-0000aaaa");
    m_tool.answers.insert(chat.id, chats({ "4155550132" }));
    TestSupport::await(lib->add(chat));
    EXPECT_EQ(lib->memberName("4155550132"), "Sam");

    // Later sources don't read the address book again.
    const Source other = chatSource("file-0000bbbb");
    m_tool.answers.insert(other.id, chats({ "Jo" }));
    TestSupport::await(lib->add(other));
    EXPECT_EQ(names.count(), 1);
}

TEST_F(LibraryTest, DeniedAccessStillLoadsAddedSources)
{
    const Source a = chatSource("file-0000aaaa");
    const Source b = chatSource("file-0000bbbb");
    m_tool.answers.insert(a.id, chats({ "Sam", "Jo" }));
    m_tool.answers.insert(b.id, chats({ "Kim" }));
    const auto lib = library({ a, b });
    TestSupport::await(lib->load());

    EXPECT_EQ(lib->sources(), (QList<Source> { a, b }));
    EXPECT_EQ(m_tool.runs.size(), 2);
    EXPECT_EQ(keysOf(lib->conversations()), (QStringList { "Sam", "Jo", "Kim" }));
    EXPECT_EQ(lib->conversations().first().source, a);
    EXPECT_EQ(lib->conversations().last().id(), "file-0000bbbb:Kim");
    EXPECT_TRUE(lib->loadingSources().isEmpty());
}

TEST_F(LibraryTest, AFailedSourceKeepsItsListAndSparesTheOthers)
{
    const Source a = chatSource("file-0000aaaa");
    const Source b = chatSource("file-0000bbbb");
    m_tool.answers.insert(a.id, chats({ "Sam" }));
    m_tool.answers.insert(b.id, chats({ "Kim" }));
    const auto lib = library({ a, b });
    TestSupport::await(lib->load());

    m_tool.answers.remove(b.id);
    TestSupport::await(lib->load());
    EXPECT_EQ(lib->errors().value(b.id), "brimlow-core failed (1): Error: No such chat.");
    EXPECT_FALSE(lib->errors().contains(a.id));
    EXPECT_EQ(keysOf(lib->lists().value(b.id)), QStringList { "Kim" });

    m_tool.answers.insert(b.id, "{not json");
    TestSupport::await(lib->load(b));
    EXPECT_FALSE(lib->errors().value(b.id).isEmpty());
    EXPECT_NE(lib->errors().value(b.id), "brimlow-core failed (1): Error: No such chat.");
    EXPECT_EQ(keysOf(lib->lists().value(b.id)), QStringList { "Kim" });

    m_tool.answers.insert(b.id, chats({ "Kim", "Lee" }));
    TestSupport::await(lib->load(b));
    EXPECT_TRUE(lib->errors().isEmpty());
    EXPECT_EQ(keysOf(lib->lists().value(b.id)), (QStringList { "Kim", "Lee" }));
}

TEST_F(LibraryTest, ASlowSourceDoesNotHoldBackTheOthers)
{
    const Source slow = chatSource("file-0000aaaa");
    const Source quick = chatSource("file-0000bbbb");
    m_tool.answers.insert(slow.id, chats({ "Sam" }));
    m_tool.answers.insert(quick.id, chats({ "Kim" }));
    const auto lib = library({ slow, quick });
    m_tool.holding = true;

    QCoro::Task<void> loading = lib->load();
    // Both runs started before either ended.
    EXPECT_EQ(m_tool.runs, (QStringList { slow.id, quick.id }));
    m_tool.release(2);
    TestSupport::await(listsChange(lib.get()));
    EXPECT_EQ(keysOf(lib->conversations()), QStringList { "Kim" });
    EXPECT_EQ(lib->loadingSources(), QSet<QString> { slow.id });
    m_tool.release(1);
    TestSupport::await(std::move(loading));
    EXPECT_EQ(keysOf(lib->conversations()), (QStringList { "Sam", "Kim" }));
}

// Overlapping loads used to let whichever finished last decide a source,
// so an older answer, or an older failure, could replace a newer list.
TEST_F(LibraryTest, TheNewestLoadOfASourceWins)
{
    const Source a = chatSource("file-0000aaaa");
    const auto lib = library({ a });
    m_tool.holding = true;

    // No answer yet: the first run fails.
    QCoro::Task<void> first = lib->load();
    m_tool.answers.insert(a.id, chats({ "New" }));
    QCoro::Task<void> second = lib->load();
    ASSERT_EQ(m_tool.runs.size(), 2);
    EXPECT_TRUE(lib->loadingSources().contains(a.id));

    m_tool.release(2);
    TestSupport::await(std::move(second));
    EXPECT_TRUE(lib->loadingSources().isEmpty());
    m_tool.release(1);
    TestSupport::await(std::move(first));
    EXPECT_EQ(keysOf(lib->conversations()), QStringList { "New" });
    EXPECT_TRUE(lib->errors().isEmpty());
    EXPECT_TRUE(lib->loadingSources().isEmpty());
}

TEST_F(LibraryTest, AddingASourceAgainMovesItToTheEnd)
{
    const Source a = chatSource("file-0000aaaa");
    const Source b = chatSource("file-0000bbbb");
    m_tool.answers.insert(a.id, chats({ "Sam" }));
    const auto lib = library({ a, b });

    Source renamed = a;
    renamed.name = "Sam again";
    TestSupport::await(lib->add(renamed));
    EXPECT_EQ(lib->added(), (QList<Source> { b, renamed }));
    EXPECT_EQ(Backups::saved(), (QList<Source> { b, renamed }));
    EXPECT_EQ(keysOf(lib->lists().value(a.id)), QStringList { "Sam" });
}

// Each window saved its own list whole: a source added in one window was
// gone from the saved list once another added or forgot one, and the next
// start swept its files.
TEST_F(LibraryTest, TwoWindowsKeepTheSourcesEachAdded)
{
    const Source a = chatSource("file-0000aaaa");
    const Source b = chatSource("file-0000bbbb");
    const Source c = chatSource("file-0000cccc");
    m_tool.answers.insert(a.id, chats({ "Sam" }));
    const auto first = library({ a });
    auto second = std::make_unique<Library>(Library::Environment {});
    second->setRunner(m_tool.runner());

    TestSupport::await(first->add(b));
    TestSupport::await(second->add(c));
    EXPECT_EQ(Backups::saved(), (QList<Source> { a, b, c }));
    TestSupport::await(second->forget(a));
    EXPECT_EQ(Backups::saved(), (QList<Source> { b, c }));
    EXPECT_EQ(first->added(), (QList<Source> { a, b }));
}

TEST_F(LibraryTest, SignalsOnlyWhatReallyChanged)
{
    const Source a = chatSource("file-0000aaaa");
    m_tool.answers.insert(a.id, chats({ "Sam" }));
    const auto lib = library({ a });
    QSignalSpy access(lib.get(), &Library::accessChanged);
    QSignalSpy lists(lib.get(), &Library::listsChanged);
    QSignalSpy conversations(lib.get(), &Library::conversationsChanged);
    QSignalSpy sources(lib.get(), &Library::sourcesChanged);
    QSignalSpy errors(lib.get(), &Library::errorsChanged);
    QSignalSpy loading(lib.get(), &Library::loadingSourcesChanged);

    TestSupport::await(lib->load());
    TestSupport::await(lib->load());
    EXPECT_EQ(access.count(), 1); // unknown to denied, once
    EXPECT_EQ(lists.count(), 1);
    EXPECT_EQ(conversations.count(), 1);
    EXPECT_EQ(sources.count(), 0);
    EXPECT_EQ(errors.count(), 0);
    EXPECT_EQ(loading.count(), 4); // in and out, twice
}

TEST_F(LibraryTest, DemoModeListsTheReadableDemoBooksUnderTheComputersSource)
{
    const QByteArray sample = TestSupport::readFile(TestSupport::sourceDir() + "/samples/sample-book.json");
    QJsonObject book = QJsonDocument::fromJson(sample).object();
    const QJsonArray maya = book.value("people").toArray();

    QJsonObject allMe = book;
    allMe.insert("people", QJsonArray { QJsonObject { { "id", "me" }, { "name", "Sam" }, { "me", true } } });
    QJsonObject group = book;
    QJsonArray three = maya;
    three.append(QJsonObject { { "id", "x" }, { "name", "Lee" }, { "me", false } });
    group.insert("people", three);
    QJsonObject empty = book;
    empty.insert("messages", QJsonArray());

    QStringList paths;
    for (const auto &[name, json] :
        { std::pair { "sample", book }, { "allme", allMe }, { "group", group }, { "empty", empty } }) {
        paths.append(m_files.filePath(QString::fromLatin1(name) + ".json"));
        TestSupport::writeFile(paths.last(), QJsonDocument(json).toJson());
    }
    TestSupport::writeFile(m_files.filePath("broken.json"), "{}");
    paths.insert(1, m_files.filePath("broken.json"));
    paths.append(m_files.filePath("missing.json"));

    Library::Environment environment;
    environment.demoBooks = paths;
    const auto lib = library({ chatSource("file-0000aaaa") }, environment);
    TestSupport::await(lib->load());

    EXPECT_EQ(lib->access(), Library::Access::Granted);
    EXPECT_EQ(lib->sources(), QList<Source> { Source::mac() });
    EXPECT_EQ(lib->lists().keys(), QStringList { "mac" });
    EXPECT_TRUE(m_tool.runs.isEmpty());
    const QList<Conversation> demos = lib->conversations();
    ASSERT_EQ(demos.size(), 4);
    EXPECT_EQ(keysOf(demos), (QStringList { "demo:maya", "demo:them", "demo:maya", "demo:maya" }));
    EXPECT_EQ(demos[0].name, "Maya");
    EXPECT_FALSE(demos[0].group);
    EXPECT_EQ(demos[0].messages, 2004);
    EXPECT_EQ(demos[0].first, "2024-01-01");
    EXPECT_EQ(demos[0].last, "2024-12-31");
    EXPECT_EQ(demos[0].services, QStringList { "iMessage" });
    EXPECT_EQ(demos[0].source, Source::mac());
    EXPECT_EQ(demos[1].name, "Them");
    EXPECT_TRUE(demos[2].group);
    EXPECT_EQ(demos[3].first, "");
    EXPECT_EQ(demos[3].last, "");
}

TEST_F(LibraryTest, TheDevelopmentChatFileIsAddedOnce)
{
    const QString path = m_files.filePath("Chat_with_Sam.txt");
    TestSupport::writeFile(path, "1/31/25, 9:41 PM - Sam: hey\n");
    Library::Environment environment;
    environment.file = path;
    const auto first = library({}, environment);
    TestSupport::await(first->load());
    ASSERT_EQ(first->added().size(), 1);
    EXPECT_EQ(first->added().first().name, "Chat with Sam");
    EXPECT_EQ(m_tool.runs, QStringList { first->added().first().id });

    // The next start finds it saved under that name and adds nothing.
    auto second = std::make_unique<Library>(environment);
    second->setRunner(m_tool.runner());
    TestSupport::await(second->load());
    EXPECT_EQ(second->added(), first->added());
}
