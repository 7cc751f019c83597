#include "messagesfixture.h"
#include "model/consent.h"
#include "model/scopeddefaults.h"
#include "project/fileerror.h"
#include "project/ownnames.h"
#include "projecttest.h"

using namespace std::chrono_literals;

namespace {

// Demo books are read from the environment once, so they are set before
// any test runs; only conversations keyed "demo:" ever match them.
class DemoBooks : public ::testing::Environment
{
public:
    void SetUp() override
    {
        BookFile alex = bookOf({ "from the alex demo" });
        alex.people[1].name = QStringLiteral("Alex");
        BookFile alone = bookOf({ "from the lonely demo" });
        alone.people.removeLast();
        TestSupport::writeFile(m_dir.filePath("alex.json"), alex.toJsonBytes());
        TestSupport::writeFile(m_dir.filePath("broken.json"), "{");
        TestSupport::writeFile(m_dir.filePath("alone.json"), alone.toJsonBytes());
        qputenv("QUORVEL_DEMO",
            (m_dir.filePath("broken.json") + "::" + m_dir.filePath("alone.json") + ":"
                + m_dir.filePath("alex.json"))
                .toUtf8());
    }

private:
    QTemporaryDir m_dir;
};

const auto *demoBooks = ::testing::AddGlobalTestEnvironment(new DemoBooks);

class OpenTest : public ::testing::Test
{
protected:
    OpenTest()
    {
        Consent::setFullNameSource([] { return QStringLiteral("  Pat  Doe"); });
    }
    ~OpenTest() override { Consent::setFullNameSource({}); }

    QString store() const { return m_books.path() + QStringLiteral("/chat.db"); }

    std::unique_ptr<Project> open(const Conversation &conversation, const QString &them)
    {
        return TestSupport::await(Project::open(conversation, them));
    }

    ScopedDefaults m_defaults;
    BooksFolder m_books;
    ManualClock m_clock;
};

TEST(FolderNameTest, EveryCharacterButLettersAndNumbersBecomesOneDash)
{
    EXPECT_EQ(Project::folderName(QStringLiteral("+1 555 0100")), "-1-555-0100");
    EXPECT_EQ(
        Project::folderName(QStringLiteral("file-3f2a9c1d:Family Group")), "file-3f2a9c1d-Family-Group");
    EXPECT_EQ(Project::folderName(QStringLiteral("Zoë e\u0301 😀!")), "Zoë-e\u0301---");
    EXPECT_EQ(Project::folderName(QStringLiteral("a:b")), Project::folderName(QStringLiteral("a-b")));
}

// A group keyed by all its members made a folder name the file system
// refused ("The book folder … couldn't be made.").
TEST(FolderNameTest, ANameTooLongForTheFileSystemIsCutAndHashed)
{
    QString members;
    for (int i = 0; members.toUtf8().size() < 400; ++i)
        members += QStringLiteral("Zoë Member %1, ").arg(i);
    const QString identifier = QStringLiteral("file-3f2a9c1d:") + members + QStringLiteral("& Sam");
    const QString name = Project::folderName(identifier);
    EXPECT_LE(name.toUtf8().size(), 255);
    EXPECT_TRUE(name.startsWith(QStringLiteral("file-3f2a9c1d-Zoë-Member-0--Zoë-Member-1--")));
    EXPECT_EQ(Project::folderName(identifier), name);
    EXPECT_NE(Project::folderName(identifier + QStringLiteral("a")), name);
    // Cut between whole characters: "ë" takes two bytes, here and in every place of the cut.
    for (int extra = 0; extra < 4; ++extra) {
        const QString longer = Project::folderName(QString(extra, u'x') + identifier);
        EXPECT_LE(longer.toUtf8().size(), 255);
        EXPECT_TRUE(QString::fromUtf8(longer.toUtf8()) == longer);
    }
    // Names within the limit are those every folder was made with.
    const QString fits = QString(255, u'a');
    EXPECT_EQ(Project::folderName(fits), fits);
    EXPECT_NE(Project::folderName(fits + QStringLiteral("a")).left(255), fits);
}

TEST_F(OpenTest, AFreshExportGetsTheLastThreeMonthsAndOneImmediateRun)
{
    writeStore(store(),
        { { QDate(2023, 1, 10), false, "long ago" }, { QDate(2024, 2, 28), true, "before" },
            { QDate(2024, 5, 31), false, "latest" } });
    auto project = open(samIn(store()), QStringLiteral("Sam"));
    EXPECT_TRUE(QFile::exists(project->folder() + "/book.json"));
    EXPECT_FALSE(QFile::exists(project->folder() + "/book.json.part"));
    EXPECT_EQ(project->folder(), m_books.path() + "/-15550100");
    EXPECT_EQ(project->book().edits.range, (Edits::DayRange { "2024-02-29", std::nullopt }));
    EXPECT_EQ(project->book().people[0].name, "Pat");
    EXPECT_EQ(project->book().front.title, "You & Sam");
    EXPECT_EQ(project->messagesInRange(), 1);

    // Setting the range asked for typesetting in 0.35 s; opening replaced
    // that with a run at once.
    FakeTypst typst;
    project->setTypesetter(typst.typesetter());
    m_clock.advance(0ms);
    EXPECT_EQ(typst.compiles.size(), 1);
    EXPECT_EQ(m_clock.waiting(), 0);
}

// The export writes the whole conversation's years; a fresh book prints
// only its last three months, and says their year.
TEST_F(OpenTest, AFreshBookSaysTheYearsOfItsDefaultRange)
{
    writeStore(
        store(), { { QDate(2022, 1, 10), false, "long ago" }, { QDate(2024, 5, 31), true, "latest" } });
    auto project = open(samIn(store()), QStringLiteral("Sam"));
    EXPECT_EQ(project->book().front.colophon, "2024");
    EXPECT_EQ(
        BookFile::fromJson(TestSupport::readFile(project->folder() + "/book.json")).front.colophon, "2024");
}

// Books saved before the line followed the range kept the whole
// conversation's years whatever stretch they print; opening mends them,
// before the first pages, and leaves a line the user wrote.
TEST_F(OpenTest, AnOlderBookGetsItsRangesYearsButAWrittenLineStays)
{
    BookFile book = bookOf({ "long ago", "hi", "there" });
    book.messages[0].at = QStringLiteral("2019-06-01T12:00:00");
    book.design = Design();
    book.edits.range = Edits::DayRange { QStringLiteral("2024-01-01"), std::nullopt };
    book.front.colophon = QStringLiteral("2019\u20132024");
    auto project = openExisting(book);
    FakeTypst typst;
    project->setTypesetter(typst.typesetter());
    m_clock.advance(0ms);
    ASSERT_EQ(typst.compiles.size(), 1);
    EXPECT_EQ(BookFile::fromJson(typst.compiles[0].bytes).front.colophon, "2024");
    EXPECT_EQ(
        BookFile::fromJson(TestSupport::readFile(project->folder() + "/book.json")).front.colophon, "2024");
    project.reset();

    for (const bool typed : { false, true }) {
        BookFile own = book;
        own.front.colophon = typed ? QStringLiteral("2019\u20132024") : QStringLiteral("Since the lake");
        own.front.colophonTyped = typed;
        project = openExisting(own, QStringLiteral("own"));
        EXPECT_EQ(project->book().front.colophon, own.front.colophon);
        project.reset();
    }
}

// The pages write dates as the user's screens do: a book opened by a
// British reader is saved with their patterns before its first pages, and
// opened again under the same locale it is left as it is.
TEST_F(OpenTest, ABookWritesDatesInTheLocaleOfWhoeverOpensIt)
{
    const TestSupport::ScopedLocale british(QLocale(QLocale::English, QLocale::UnitedKingdom));
    BookFile book = bookOf({ "hi", "there" });
    book.design = Design();
    auto project = openExisting(book);
    FakeTypst typst;
    project->setTypesetter(typst.typesetter());
    m_clock.advance(0ms);
    ASSERT_EQ(typst.compiles.size(), 1);
    const std::optional<BookFile::Dates> typeset = BookFile::fromJson(typst.compiles[0].bytes).dates;
    ASSERT_TRUE(typeset);
    EXPECT_EQ(typeset->day, "EEEE d MMMM");
    EXPECT_EQ(typeset->time, "HH:mm");
    const QByteArray saved = TestSupport::readFile(project->folder() + "/book.json");
    EXPECT_EQ(BookFile::fromJson(saved).dates, typeset);
    project.reset();

    project = openExisting(BookFile::fromJson(saved));
    m_clock.advance(1s);
    EXPECT_EQ(TestSupport::readFile(project->folder() + "/book.json"), saved);
    project.reset();

    // A US reader opening the same book gets their own order and clock back.
    const TestSupport::ScopedLocale american(QLocale(QLocale::English, QLocale::UnitedStates));
    project = openExisting(BookFile::fromJson(saved));
    EXPECT_EQ(project->book().dates->day, "EEEE, MMMM d");
    EXPECT_EQ(BookFile::fromJson(TestSupport::readFile(project->folder() + "/book.json")).dates->day,
        "EEEE, MMMM d");
}

TEST_F(OpenTest, AStoredOwnNameChoosesTheSidesOnlyWhenThePeopleAreKnown)
{
    writeStore(store(), { { QDate(2024, 5, 1), false, "hi" } });
    m_defaults.defaults().setString(QStringLiteral("me:+15550100"), QStringLiteral("Sam"));
    Conversation conversation = samIn(store());
    conversation.people = QList<Conversation::LogPerson> { { "Sam", 3 }, { "Alex", 2 } };
    auto project = open(conversation, QStringLiteral("Alex"));
    EXPECT_EQ(project->book().people[0].name, "Sam");
    EXPECT_EQ(project->book().front.title, "You & Alex");
    EXPECT_FALSE(project->book().edits.range);

    project.reset();
    QDir(m_books.path() + "/-15550100").removeRecursively();
    Consent::setFullNameSource([] { return QStringLiteral(" "); });
    conversation.people.reset();
    EXPECT_EQ(open(conversation, QStringLiteral("Alex"))->book().people[0].name, "Me");
}

TEST_F(OpenTest, WithoutAStoredChoiceTheUserIsStillOneOfThePeople)
{
    // Opened before anyone chose (an earlier consent, an automatic open):
    // the guess decides, and the account's name is never taken for a side.
    writeStore(store(), { { QDate(2024, 5, 1), false, "hi" } });
    Conversation conversation = samIn(store());
    conversation.people = QList<Conversation::LogPerson> { { "Sam", 3 }, { "Alex", 2 } };
    auto project = open(conversation, QStringLiteral("Alex"));
    EXPECT_EQ(project->book().people[0].name, "Sam");
    EXPECT_EQ(project->book().people[1].name, "Alex");
    EXPECT_EQ(project->book().front.title, "You & Alex");
}

TEST_F(OpenTest, ReopeningRenamesTheOtherSideButNotANameTheUserGave)
{
    writeStore(store(), { { QDate(2024, 5, 1), false, "hi" } });
    open(samIn(store()), QStringLiteral("+1 555 555 0100")).reset();
    // The export is not run again: the store can go.
    QFile::remove(store());

    // A number as the window writes it, so that the pages and the window
    // agree; it was left as the export wrote it.
    auto project = open(samIn(store()), QStringLiteral("(555) 555-0100"));
    EXPECT_EQ(project->book().people[1].name, "(555) 555-0100");
    EXPECT_EQ(project->book().front.title, "You & (555) 555-0100");
    project = open(samIn(store()), QStringLiteral("Sam"));
    EXPECT_EQ(project->book().people[1].name, "Sam");
    EXPECT_EQ(project->book().front.title, "You & Sam");
    // A number never takes a name's place: the contacts may not be read yet.
    project = open(samIn(store()), QStringLiteral("(555) 555-0100"));
    EXPECT_EQ(project->book().people[1].name, "Sam");

    project->setNames(QString(), QStringLiteral("Samuel"));
    project = open(samIn(store()), QStringLiteral("Sam"));
    EXPECT_EQ(project->book().people[1].name, "Samuel");
}

// The default range was saved before the other side was renamed, so the
// first pages typeset from the saved book printed the old name.
TEST_F(OpenTest, AFreshBookIsRenamedBeforeItsRangeIsSaved)
{
    writeStore(
        store(), { { QDate(2023, 1, 10), false, "long ago" }, { QDate(2024, 5, 31), true, "latest" } });
    m_defaults.defaults().setString(QStringLiteral("me:+15550100"), QStringLiteral("Alex"));
    Conversation conversation = samIn(store());
    conversation.people = QList<Conversation::LogPerson> { { "Sam", 1 }, { "Alex", 1 } };
    auto project = open(conversation, QStringLiteral("Samuel"));
    EXPECT_TRUE(project->book().edits.range);
    EXPECT_EQ(project->book().front.title, "You & Samuel");
    const BookFile saved = BookFile::fromJson(TestSupport::readFile(project->folder() + "/book.json"));
    EXPECT_EQ(saved.people[1].name, "Samuel");
    EXPECT_EQ(saved.front.title, "You & Samuel");
}

// A chat export's book was opened under a list of everyone in the chat,
// and its pages, receipt and title named the other side so.
TEST_F(OpenTest, ABookOpenedUnderAWrongNameIsMendedOnItsPagesToo)
{
    BookFile book = bookOf({ "sorry, running late", "hi" });
    book.messages[0].from = QStringLiteral("them");
    book.people[1].name = QStringLiteral("Jane Doe & John Doe");
    book.front.title = QStringLiteral("You & Jane Doe & John Doe");
    book.design = Design();
    book.design->receiptLines = QList<QStringList> { { "Sorrys", "0 you, 1 Jane Doe & John Doe" } };
    auto project = openExisting(book);
    project.reset();
    FakeTypst typst;
    project = TestSupport::await(
        Project::open(conversationWithKey(QStringLiteral("k")), QStringLiteral("Jane Doe")));
    project->setTypesetter(typst.typesetter());
    m_clock.advance(0ms);
    ASSERT_EQ(typst.compiles.size(), 1);
    const BookFile typeset = BookFile::fromJson(typst.compiles[0].bytes);
    EXPECT_EQ(typeset.people[1].name, "Jane Doe");
    EXPECT_EQ(typeset.front.title, "You & Jane Doe");
    EXPECT_TRUE(typeset.design->receiptLines->contains(QStringList { "Sorrys", "0 you, 1 Jane Doe" }));

    // Opened again, it is as it was saved: nothing to mend, nothing written.
    const QByteArray before = TestSupport::readFile(project->folder() + "/book.json");
    project = TestSupport::await(
        Project::open(conversationWithKey(QStringLiteral("k")), QStringLiteral("Jane Doe")));
    EXPECT_EQ(TestSupport::readFile(project->folder() + "/book.json"), before);
}

namespace {

// A chat file's book exported before anyone said who the user is: the
// account's name for the user, who wrote nothing, both people as members
// of a group, and a title made of the chat's key.
BookFile bookOfMembers()
{
    BookFile book = bookOf({ "sorry, running late", "no worries", "see you at six" });
    book.front.title = QStringLiteral("You & Lotte Brandt & Kai Winter");
    book.people = { { QStringLiteral("me"), QStringLiteral("root"), true },
        { QStringLiteral("p1"), QStringLiteral("Lotte Brandt"), false },
        { QStringLiteral("p2"), QStringLiteral("Kai Winter"), false } };
    for (const auto &[index, id] : { std::pair(0, "p1"), std::pair(1, "p2"), std::pair(2, "p1") }) {
        book.messages[index].from = QString::fromLatin1(id);
        book.messages[index].who = QString::fromLatin1(id);
    }
    book.design = Design();
    book.design->receiptLines = QList<QStringList> { { "Sorrys", "0 you, 1 Lotte Brandt & Kai Winter" } };
    return book;
}

Conversation lotteAndKai()
{
    Conversation conversation = conversationWithKey(QStringLiteral("Lotte Brandt & Kai Winter"));
    conversation.source.id = QStringLiteral("file-00c0ffee");
    conversation.source.log = QStringLiteral("/nowhere/chat.txt");
    conversation.people = QList<Conversation::LogPerson> { { "Lotte Brandt", 2 }, { "Kai Winter", 1 } };
    return conversation;
}

QString folderOf(const Conversation &conversation)
{
    const QString folder = Project::booksFolder() + QLatin1Char('/') + Project::folderName(conversation.id());
    QDir().mkpath(folder);
    return folder;
}

QStringList senders(const BookFile &book)
{
    QStringList from;
    for (const BookFile::Message &message : book.messages)
        from << message.from + QLatin1Char('/') + message.who.value_or(QString());
    return from;
}

} // namespace

// Such a book was left as it was: "root" printed for the user and the
// user's own messages under their name as someone else's.
TEST_F(OpenTest, ABookWrittenBeforeTheUserWasKnownGetsItsTwoSidesOnOpen)
{
    const Conversation conversation = lotteAndKai();
    m_defaults.defaults().setString(QStringLiteral("me:") + conversation.id(), QStringLiteral("Kai Winter"));
    const QString folder = folderOf(conversation);
    TestSupport::writeFile(folder + "/book.json", bookOfMembers().toJsonBytes());

    const auto project = open(conversation, QStringLiteral("Lotte Brandt"));
    const BookFile &book = project->book();
    ASSERT_EQ(book.people.size(), 2);
    EXPECT_EQ(book.people[0].id, "me");
    EXPECT_EQ(book.people[0].name, "Kai Winter");
    EXPECT_TRUE(book.people[0].me);
    EXPECT_EQ(book.people[1].id, "them");
    EXPECT_EQ(book.people[1].name, "Lotte Brandt");
    EXPECT_FALSE(book.people[1].me);
    EXPECT_EQ(senders(book), (QStringList { "them/them", "me/me", "them/them" }));
    EXPECT_EQ(book.front.title, "You & Lotte Brandt");
    EXPECT_TRUE(book.design->receiptLines->contains(QStringList { "Sorrys", "0 you, 1 Lotte Brandt" }));
    const BookFile saved = BookFile::fromJson(TestSupport::readFile(folder + "/book.json"));
    EXPECT_EQ(senders(saved), senders(book));
    EXPECT_EQ(saved.front.title, "You & Lotte Brandt");

    // The name shown later still renames the other side, as any book's.
    EXPECT_EQ(open(conversation, QStringLiteral("Lotte"))->book().front.title, "You & Lotte");
}

TEST_F(OpenTest, ABookOfMembersIsLeftAsItIsWhenItIsNotTheChatsOrTheUserNamedItsPeople)
{
    Conversation conversation = lotteAndKai();
    conversation.source.name = QStringLiteral("WhatsApp Chat with Lotte Brandt");
    const QString folder = folderOf(conversation);
    // A group of three, and a chat whose people are others.
    for (const QStringList &people :
        { QStringList { "Lotte Brandt", "Kai Winter", "Ina" }, QStringList { "Lotte Brandt", "Ina Roth" } }) {
        SCOPED_TRACE(people.join(", ").toStdString());
        conversation.people = QList<Conversation::LogPerson>();
        for (const QString &name : people)
            conversation.people->append({ name, 1 });
        TestSupport::writeFile(folder + "/book.json", bookOfMembers().toJsonBytes());
        EXPECT_EQ(open(conversation, QStringLiteral("Lotte Brandt"))->book().people.size(), 3);
    }

    // The user named them in the names sheet: what they said stays.
    conversation = lotteAndKai();
    conversation.source.name = QStringLiteral("WhatsApp Chat with Lotte Brandt");
    TestSupport::writeFile(folder + "/book.json", bookOfMembers().toJsonBytes());
    OwnNames { QStringLiteral("Kai"), std::nullopt }.keep(folder);
    EXPECT_EQ(open(conversation, QStringLiteral("Lotte Brandt"))->book().people.size(), 3);
    QFile::remove(folder + "/names.json");
    EXPECT_EQ(open(conversation, QStringLiteral("Lotte Brandt"))->book().people.size(), 2);
}

// Saving the names sheet as it opened kept the name then printed as the
// user's own choice, and no later open mended it.
TEST_F(OpenTest, OnlyANameChangedInTheNamesSheetIsKeptAsTheUsers)
{
    auto project = openExisting(bookOf({ "hi" }));
    const QString folder = project->folder();
    project->setNames(QStringLiteral("Pat"), QStringLiteral(" Sam\t"));
    EXPECT_TRUE(OwnNames::read(folder).isEmpty());
    project = TestSupport::await(
        Project::open(conversationWithKey(QStringLiteral("k")), QStringLiteral("Samuel")));
    EXPECT_EQ(project->book().people[1].name, "Samuel");

    project->setNames(QStringLiteral("Patricia"), QStringLiteral("Samuel"));
    EXPECT_EQ(OwnNames::read(folder).me, "Patricia");
    EXPECT_EQ(OwnNames::read(folder).them, std::nullopt);
    project->setNames(QStringLiteral("Patricia"), QStringLiteral("Sammy"));
    EXPECT_EQ(OwnNames::read(folder).me, "Patricia");
    EXPECT_EQ(OwnNames::read(folder).them, "Sammy");
    project = TestSupport::await(
        Project::open(conversationWithKey(QStringLiteral("k")), QStringLiteral("Samuel")));
    EXPECT_EQ(project->book().people[1].name, "Sammy");
}

TEST_F(OpenTest, AGroupKeyedByItsManyMembersOpens)
{
    QByteArray chat;
    QStringList members;
    for (int i = 0; i < 24; ++i) {
        members << QStringLiteral("Member Number %1 Of The Family").arg(i);
        chat += "1/31/25, 9:" + QByteArray::number(10 + i) + " PM - " + members.last().toUtf8() + ": hi\n";
    }
    const QString file = m_books.path() + "/chat.txt";
    TestSupport::writeFile(file, chat);
    Conversation family = conversationWithKey(members.mid(0, members.size() - 1).join(QStringLiteral(", "))
        + QStringLiteral(" & ") + members.last());
    ASSERT_GE(family.key.toUtf8().size(), 400);
    family.source.id = QStringLiteral("file-0000aaaa");
    family.source.log = file;
    family.group = true;
    const auto project = open(family, QStringLiteral("Group chat"));
    EXPECT_EQ(project->book().messages.size(), 24);
    EXPECT_LE(QFileInfo(project->folder()).fileName().toUtf8().size(), 255);
    EXPECT_TRUE(QFile::exists(project->folder() + "/book.json"));
}

// Opening used to rename a group's first member to the group's name
// ("Family", or "Group chat" for an unnamed one) on every open.
TEST_F(OpenTest, AGroupsMembersKeepTheirOwnNamesOnEveryOpen)
{
    BookFile book = bookOf({ "hi" });
    book.front.title = QStringLiteral("You & Sam");
    book.people.append({ QStringLiteral("p1"), QStringLiteral("Jo"), false });
    const QString folder = m_books.path() + "/file-1-family";
    QDir().mkpath(folder);
    TestSupport::writeFile(folder + "/book.json", book.toJsonBytes());
    Conversation family = conversationWithKey(QStringLiteral("family"));
    family.source.id = QStringLiteral("file-1");
    family.group = true;

    for (const QString &them : { QStringLiteral("Family"), QStringLiteral("Group chat") }) {
        const auto project = open(family, them);
        EXPECT_EQ(project->book().people[1].name, "Sam");
        EXPECT_EQ(project->book().people[2].name, "Jo");
        EXPECT_EQ(project->book().front.title, "You & Sam");
    }
}

TEST_F(OpenTest, AFailedExportLeavesNoBookToTrust)
{
    writeStore(store(), { { QDate(2024, 5, 1), false, "hi" } });
    Conversation missing = samIn(store());
    missing.key = QStringLiteral("+15559999");
    EXPECT_THROW(open(missing, QStringLiteral("Jo")), Helpers::Failure);
    const QString folder = m_books.path() + "/-15559999";
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());

    // An encrypted backup's key comes from the keychain by the source's id.
    QStringList asked;
    Project::setKeyReader([&](QString account) -> QCoro::Task<std::optional<QString>> {
        asked << account;
        co_return QStringLiteral("secret");
    });
    Conversation locked = samIn(store());
    locked.source.id = QStringLiteral("udid-1");
    locked.source.backup = m_books.path() + "/no-backup";
    locked.source.encrypted = true;
    EXPECT_THROW(open(locked, QStringLiteral("Jo")), Helpers::Failure);
    EXPECT_EQ(asked, QStringList { "udid-1" });
    Project::setKeyReader({});
}

TEST_F(OpenTest, DemoConversationsCopyTheirDemoBook)
{
    auto alex = open(conversationWithKey(QStringLiteral("demo:alex")), QStringLiteral("Alex"));
    EXPECT_EQ(alex->book().messages[0].text, "from the alex demo");
    auto them = open(conversationWithKey(QStringLiteral("demo:them")), QStringLiteral("Them"));
    EXPECT_EQ(them->book().messages[0].text, "from the lonely demo");
    EXPECT_THROW(
        open(conversationWithKey(QStringLiteral("demo:nobody")), QStringLiteral("X")), std::exception);
}

TEST_F(OpenTest, NamingMembersSavesOnlyWhenANameChanges)
{
    BookFile book = bookOf({ "hi" });
    book.people.append({ QStringLiteral("p1"), QStringLiteral("+15550101"), false });
    auto project = openExisting(book);
    const QByteArray before = TestSupport::readFile(project->folder() + "/book.json");
    project->nameMembers([](const QString &handle) { return handle; });
    EXPECT_EQ(TestSupport::readFile(project->folder() + "/book.json"), before);
    project->nameMembers([](const QString &handle) { return handle == "+15550101" ? "Jo" : "Other"; });
    EXPECT_EQ(project->book().people[1].name, "Sam");
    EXPECT_EQ(project->book().people[2].name, "Jo");
    EXPECT_TRUE(TestSupport::readFile(project->folder() + "/book.json").contains("\"Jo\""));
}

} // namespace
