// Who is who in a chat file, read as the window reads it: the message
// tool's own "chats" answer for exports these tests write, the name the
// conversation is shown by, and the book, receipt and Wrapped that opening
// it makes.
#include "insights/insights.h"
#include "model/backups.h"
#include "model/chatfiles.h"
#include "model/consent.h"
#include "model/library.h"
#include "model/scopeddefaults.h"
#include "model/wrapped.h"
#include "projecttest.h"

namespace {

QByteArray telegramPage(const QByteArray &chatName, const QList<std::pair<QByteArray, QByteArray>> &messages)
{
    QByteArray history;
    int id = 1;
    for (const auto &[from, text] : messages) {
        ++id;
        history += "<div class=\"message default clearfix\" id=\"message" + QByteArray::number(id)
            + "\">\n <div class=\"body\">\n  <div class=\"pull_right date details\" title=\"0"
            + QByteArray::number(id)
            + ".03.2024 21:14:00 UTC+00:00\">21:14</div>\n  <div class=\"from_name\">\n" + from
            + "\n  </div>\n  <div class=\"text\">" + text + "</div>\n </div>\n</div>\n";
    }
    return "<!DOCTYPE html>\n<html>\n <head>\n  <meta charset=\"utf-8\"/>\n  <title>Exported Data</title>\n"
           " </head>\n <body>\n  <div class=\"page_wrap\">\n   <div class=\"page_header\">\n    <div "
           "class=\"content\">\n     <div class=\"text bold\">\n"
        + chatName
        + "\n     </div>\n    </div>\n   </div>\n   <div class=\"page_body chat_page\">\n    <div "
          "class=\"history\">\n"
        + history + "    </div>\n   </div>\n  </div>\n </body>\n</html>\n";
}

class WhoIsWhoTest : public ::testing::Test
{
protected:
    // The account's name is nobody's in these chats: only the chats say who is who.
    WhoIsWhoTest()
    {
        Consent::setFullNameSource([] { return QStringLiteral("Robin Ash"); });
    }
    ~WhoIsWhoTest() override { Consent::setFullNameSource({}); }

    QString written(const QString &name, const QByteArray &content)
    {
        const QString path = m_files.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        TestSupport::writeFile(path, content);
        return path;
    }

    void addContact(const QByteArray &card)
    {
        QDir().mkpath(m_files.filePath("contacts"));
        TestSupport::writeFile(m_files.filePath("contacts/all.vcf"), card);
    }

    // The chat file's conversation as the library lists it after adding it.
    Conversation added(const Source &source)
    {
        Backups::save({ source });
        Library::Environment environment;
        environment.contacts = m_files.filePath("contacts");
        m_library = std::make_unique<Library>(environment);
        TestSupport::await(m_library->load());
        const QList<Conversation> listed = m_library->lists().value(source.id);
        EXPECT_EQ(listed.size(), 1) << m_library->errors().value(source.id).toStdString();
        return listed.value(0);
    }
    Conversation added(const QString &path) { return added(TestSupport::await(ChatFiles::add(path))); }

    // Opened as the window opens it.
    std::unique_ptr<Project> opened(const Conversation &conversation)
    {
        auto project = TestSupport::await(Project::open(conversation, m_library->displayName(conversation)));
        project->nameMembers(m_library->memberNames());
        return project;
    }

    static QStringList senders(const BookFile &book)
    {
        QStringList from;
        for (const BookFile::Message &message : book.messages)
            from << message.from;
        return from;
    }

    static QString sorrys(const BookFile &book)
    {
        for (const QStringList &line : Insights::read(book).receiptLines) {
            if (line.value(0) == QLatin1String("Sorrys"))
                return line.value(1);
        }
        return {};
    }

    ScopedDefaults m_defaults;
    BooksFolder m_books;
    ManualClock m_clock;
    QTemporaryDir m_files;
    std::unique_ptr<Library> m_library;
};

} // namespace

TEST_F(WhoIsWhoTest, ATelegramChatNamedByTheFirstNameIsWithThatPerson)
{
    const Conversation chat = added(written("ChatExport_2024-03-09/messages.html",
        telegramPage("Lotte",
            { { "Lotte Brandt", "sorry, the train again" }, { "Kai Winter", "no rush" },
                { "Lotte Brandt", "there in five" } })));
    ASSERT_EQ(chat.name, "Lotte");
    EXPECT_EQ(m_library->displayName(chat), "Lotte");
    EXPECT_EQ(Consent::user(chat), "Kai Winter");

    const auto project = opened(chat);
    const BookFile &book = project->book();
    ASSERT_EQ(book.people.size(), 2);
    EXPECT_EQ(book.people[0].name, "Kai Winter");
    EXPECT_EQ(book.people[1].name, "Lotte");
    EXPECT_EQ(book.front.title, "You & Lotte");
    EXPECT_EQ(senders(book), (QStringList { "them", "me", "them" }));
    EXPECT_EQ(sorrys(book), "0 you, 1 Lotte");
}

TEST_F(WhoIsWhoTest, AChatOnlyTheOtherPersonWroteGivesTheUserNoMessages)
{
    const Conversation chat = added(written("WhatsApp Chat with Lotte Brandt.txt",
        "3/5/24, 9:14 PM - Lotte Brandt: sorry, I missed your call\n"
        "3/6/24, 8:00 AM - Lotte Brandt: call me back?\n"
        "3/7/24, 7:30 PM - Lotte Brandt: I'll try you tomorrow\n"));
    ASSERT_EQ(chat.people->size(), 1);
    EXPECT_EQ(m_library->displayName(chat), "Lotte Brandt");
    EXPECT_EQ(Consent::user(chat), QString());

    const auto project = opened(chat);
    const BookFile &book = project->book();
    ASSERT_EQ(book.people.size(), 2);
    EXPECT_EQ(book.people[0].name, "Robin");
    EXPECT_TRUE(book.people[0].me);
    EXPECT_EQ(book.people[1].name, "Lotte Brandt");
    EXPECT_EQ(book.front.title, "You & Lotte Brandt");
    EXPECT_EQ(senders(book), (QStringList { "them", "them", "them" }));
    EXPECT_EQ(sorrys(book), "0 you, 1 Lotte Brandt");
    EXPECT_FALSE(Consent::me(chat));

    const Wrapped wrapped = TestSupport::await(Wrapped::make(book));
    QStringList counts;
    for (const Wrapped::Person &person : wrapped.people)
        counts << person.name + QLatin1Char('=') + QString::number(person.messages);
    EXPECT_EQ(counts, (QStringList { "Robin=0", "Lotte Brandt=3" }));
}

// Messages to someone who never answered, exported as a chat with them:
// the book printed the user's every word as that person's.
TEST_F(WhoIsWhoTest, AChatOnlyTheUserWroteIsStillWithThePersonItIsNamedAfter)
{
    const Conversation chat = added(written("WhatsApp Chat with Lotte Brandt.txt",
        "3/5/24, 9:14 PM - Kai Winter: sorry, I missed your call\n"
        "3/6/24, 8:00 AM - Kai Winter: I think of you every day\n"));
    EXPECT_EQ(m_library->displayName(chat), "Lotte Brandt");

    const auto project = opened(chat);
    const BookFile &book = project->book();
    ASSERT_EQ(book.people.size(), 2);
    EXPECT_EQ(book.people[0].name, "Kai Winter");
    EXPECT_EQ(book.people[1].name, "Lotte Brandt");
    EXPECT_EQ(book.front.title, "You & Lotte Brandt");
    EXPECT_EQ(senders(book), (QStringList { "me", "me" }));
    EXPECT_EQ(sorrys(book), "1 you, 0 Lotte Brandt");
    EXPECT_FALSE(Consent::me(chat));
}

TEST_F(WhoIsWhoTest, OneSideOfAPastedChatIsThePersonItIsWith)
{
    const Conversation chat
        = added(ChatFiles::paste(QStringLiteral("3/5/24, 9:14 PM - Lotte Brandt: sorry, running late\n"
                                                "3/5/24, 9:20 PM - Lotte Brandt: ten minutes\n"),
            QStringLiteral("Lotte")));
    const auto project = opened(chat);
    EXPECT_EQ(project->book().people[0].name, "Robin");
    EXPECT_EQ(senders(project->book()), (QStringList { "them", "them" }));
    EXPECT_EQ(sorrys(project->book()), "0 you, 1 " + project->book().people[1].name);
}

TEST_F(WhoIsWhoTest, APersonWrittenAsANumberIsNamedAsTheirContact)
{
    addContact("BEGIN:VCARD\nN:Brandt;Lotte\nTEL:+49 151 2345 6789\nEND:VCARD\n");
    const QByteArray chat = "3/5/24, 9:14 PM - Kai Winter: are you coming?\n"
                            "3/5/24, 9:15 PM - +49 151 23456789: sorry, on my way\n";
    // Named after the number by the export, and a file named otherwise.
    for (const QString &name :
        { QStringLiteral("WhatsApp Chat with +49 151 23456789.txt"), QStringLiteral("chat.txt") }) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = QFileInfo(name).completeBaseName();
        const Conversation conversation = added(written(folder + QLatin1Char('/') + name, chat));
        EXPECT_EQ(m_library->displayName(conversation), "Lotte Brandt");
        EXPECT_EQ(Consent::user(conversation), "Kai Winter");
        const auto project = opened(conversation);
        EXPECT_EQ(project->book().people[1].name, "Lotte Brandt");
        EXPECT_EQ(project->book().front.title, "You & Lotte Brandt");
        EXPECT_EQ(senders(project->book()), (QStringList { "me", "them" }));
        EXPECT_EQ(sorrys(project->book()), "0 you, 1 Lotte Brandt");
    }
}

// A chat the other person exported on an iPhone and sent: their phone
// names it after the user. Once the user said which one they are, the book
// named both sides after them ("B.C. & B.C." on the Wrapped, "Bo Chen
// texted first" in the wizard). The other side is the one the messages
// name, on the list, in the book and on every card; an export without the
// chat's name (Android's) is with them as well.
TEST_F(WhoIsWhoTest, AChatNamedAfterTheUserIsWithTheOtherPerson)
{
    const QString lrm = QStringLiteral("\u200e");
    const QString named = lrm + QStringLiteral("[05/03/2024, 21:10:00] Bo Chen: ") + lrm
        + QStringLiteral("Messages and calls are end-to-end encrypted. No one outside of this chat, not even "
                         "WhatsApp, can read or listen to them.\n");
    const QString lines = QStringLiteral("[05/03/2024, 21:14:00] Ann Lee: did you get home ok\n"
                                         "[05/03/2024, 21:20:00] Bo Chen: yes, thanks for dinner\n"
                                         "[06/03/2024, 08:02:00] Ann Lee: sorry I was late\n");
    for (const QString &text : { named + lines, lines }) {
        SCOPED_TRACE(text.startsWith(lrm) ? "named by the export" : "named by its file");
        const QString folder = text.startsWith(lrm) ? QStringLiteral("iphone") : QStringLiteral("android");
        const Conversation chat
            = added(written(folder + QStringLiteral("/WhatsApp Chat with Bo Chen.txt"), text.toUtf8()));
        // Until the user says otherwise, the chat is with the one it is named after.
        EXPECT_EQ(m_library->displayName(chat), "Bo Chen");
        EXPECT_EQ(Consent::user(chat), "Ann Lee");

        m_library->setMe(chat, QStringLiteral("Bo Chen"));
        EXPECT_EQ(m_library->displayName(chat), "Ann Lee");
        EXPECT_EQ(Consent::otherParty(chat), "Ann Lee");

        const auto project = opened(chat);
        const BookFile &book = project->book();
        ASSERT_EQ(book.people.size(), 2);
        EXPECT_EQ(book.people[0].name, "Bo Chen");
        EXPECT_TRUE(book.people[0].me);
        EXPECT_EQ(book.people[1].name, "Ann Lee");
        EXPECT_EQ(book.front.title, "You & Ann Lee");
        EXPECT_EQ(senders(book), (QStringList { "them", "me", "them" }));
        EXPECT_EQ(sorrys(book), "0 you, 1 Ann Lee");
        QStringList moments;
        for (const Insights::Moment &moment : Insights::read(book).moments)
            moments << moment.title;
        EXPECT_TRUE(moments.contains("Ann Lee texted first")) << moments.join(", ").toStdString();

        const Wrapped wrapped = TestSupport::await(Wrapped::make(book));
        QStringList names;
        for (const Wrapped::Person &person : wrapped.people)
            names << person.name;
        EXPECT_EQ(names, (QStringList { "Bo Chen", "Ann Lee" }));
    }
}

// A book opened before, whose other side got the user's own name, is
// mended on the next open.
TEST_F(WhoIsWhoTest, ABookThatNamedTheUserOnBothSidesIsMended)
{
    const Conversation chat = added(written("WhatsApp Chat with Bo Chen.txt",
        "\u200e[05/03/2024, 21:10:00] Bo Chen: \u200eMessages and calls are end-to-end encrypted. No one "
        "outside of this chat, not even WhatsApp, can read or listen to them.\n"
        "[05/03/2024, 21:14:00] Ann Lee: did you get home ok\n"
        "[05/03/2024, 21:20:00] Bo Chen: yes, thanks for dinner\n"));
    m_library->setMe(chat, QStringLiteral("Bo Chen"));
    {
        // As the window opened it before: under the chat's own name.
        auto project = TestSupport::await(Project::open(chat, QStringLiteral("Bo Chen")));
        EXPECT_EQ(project->book().people[1].name, "Ann Lee");
        EXPECT_EQ(project->book().front.title, "You & Ann Lee");
        BookFile broken = project->book();
        broken.people[1].name = QStringLiteral("Bo Chen");
        broken.front.title = QStringLiteral("You & Bo Chen");
        TestSupport::writeFile(project->folder() + QStringLiteral("/book.json"), broken.toJsonBytes());
    }
    const auto project = opened(chat);
    EXPECT_EQ(project->book().people[1].name, "Ann Lee");
    EXPECT_EQ(project->book().front.title, "You & Ann Lee");
}
