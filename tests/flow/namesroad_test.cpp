// The people of a chat export, named right from the sidebar to the printed
// page: an iPhone's export of a German phone's chat, added, agreed to and
// made into a book in one click.
#include "app/accessview.h"
#include "app/contentview.h"
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "app/mainwindow.h"
#include "app/updater.h"
#include "flow/bookflow.h"
#include "flow/consentview.h"
#include "flowtest.h"
#include "model/consent.h"
#include "model/library.h"
#include "model/zipwriter.h"

#include <QAction>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace TestSupport;
using Detail = ContentView::Detail;

namespace {

// Nine days of an English export: a morning line from one, an evening
// line from the other.
QByteArray nineDays(const QByteArray &morning, const QByteArray &evening)
{
    QByteArray chat;
    for (int day = 1; day <= 9; ++day) {
        const QByteArray date = "3/" + QByteArray::number(day) + "/25, ";
        chat += date + "8:00 AM - " + morning + ": Morning, day " + QByteArray::number(day) + "\n";
        chat += date + "9:30 PM - " + evening + ": Sorry, I missed you again.\n";
    }
    return chat;
}

// The sidebar's selected row and the consent screen name the chat so.
void expectNamed(ContentView &view, ConsentView &consent, const QString &name)
{
    ConversationListModel *list = view.conversationList()->model();
    EXPECT_EQ(list->data(list->indexOf(*view.selection())).toString(), name);
    EXPECT_TRUE(findText(&consent, QStringLiteral("Make a book with ") + name));
}

// The PDF's text, every run of white space (a no-break space too) one space.
QString textOf(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput())
        .replace(QChar(0xA0), QLatin1Char(' '))
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

// Adds a chat file as the screen in front offers it.
void addChatFile(ContentView &view, const QString &file)
{
    desktop().answers.append({ file });
    if (view.route() == ContentView::Route::Access) {
        qobject_cast<QPushButton *>(findText(view.accessView(), QStringLiteral("Chat File…")))->click();
        return;
    }
    for (QAction *action : view.conversationList()->addButton()->menu()->actions()) {
        if (action->text() == QStringLiteral("Chat File…"))
            action->trigger();
    }
}

class NamesRoadTest : public FlowTest
{
protected:
    NamesRoadTest()
    {
        // Nobody in the chat has the account's name: only the export says who is who.
        Consent::setFullNameSource([] { return QStringLiteral("Pat Quill"); });
    }
    ~NamesRoadTest() override
    {
        Consent::setFullNameSource({});
        desktop().reset();
    }

    // Adds the chat file as the screen in front offers it, agrees on the
    // consent screen, presses Make It for Me and waits for the typeset
    // pages: the window's title, the book as it ended and its PDF's text.
    struct Made
    {
        QString title;
        BookFile book;
        QString text;
    };
    void make(
        const QString &file, const std::function<void(ContentView &, ConsentView &)> &atConsent, Made &made)
    {
        Library library;
        Updater updater { QString() };
        MainWindow window(&library, &updater);
        window.resize(1280, 820);
        window.show();
        ContentView &view = *window.content();
        ASSERT_TRUE(waitUntil([&] { return view.route() != ContentView::Route::Progress; }));
        addChatFile(view, file);

        QString id;
        ASSERT_TRUE(waitUntil([&] {
            for (const Conversation &conversation : library.conversations()) {
                if (conversation.source.log)
                    id = conversation.id();
            }
            return !id.isEmpty() && view.conversationList()->model()->indexOf(id).isValid();
        }));
        view.setSelection(id);
        auto *consent = qobject_cast<ConsentView *>(view.detailWidget());
        ASSERT_TRUE(consent);
        atConsent(view, *consent);
        consent->okToPrint()->click();
        consent->readButton()->click();
        ASSERT_TRUE(waitUntil([&] { return view.detail() == Detail::Book; }, 60000));
        auto *flow = qobject_cast<BookFlow *>(view.detailWidget());
        ASSERT_TRUE(flow);
        QWidget *makeItForMe = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            makeItForMe = findText(flow->screen(), QStringLiteral("Make It for Me"));
            return makeItForMe && makeItForMe->isEnabled();
        }));
        QTest::mouseClick(makeItForMe, Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return flow->mode() == BookFlow::Mode::Home; }, 120000));

        Project &project = *view.project();
        ASSERT_TRUE(waitUntil([&] { return !project.pdf().isEmpty() && !project.isTypesetting(); }, 120000));
        made = { window.windowTitle(), project.book(), textOf(project.pdf()) };
    }

    // A chat with someone known by a number, and the name every screen and
    // page should give them.
    struct Named
    {
        QString number;
        QString shown;
    };

    // Adds a folder of one WhatsApp export per number, each the number's
    // mornings and the user's evenings, then agrees to each chat in turn:
    // the sidebar, the window's title and the consent screen name the
    // person as shown, and so do the wizard, the book's title and the
    // typeset pages, which never print the number of someone with a name.
    void expectNamedEverywhere(const QList<Named> &chats)
    {
        const QString folder = m_files.filePath(QStringLiteral("exports"));
        QDir().mkpath(folder);
        for (const Named &chat : chats) {
            writeFile(folder + QStringLiteral("/WhatsApp Chat with %1.txt").arg(chat.number),
                nineDays(chat.number.toUtf8(), "Pat Quill"));
        }
        Library library;
        Updater updater { QString() };
        MainWindow window(&library, &updater);
        window.resize(1280, 820);
        window.show();
        ContentView &view = *window.content();
        ASSERT_TRUE(waitUntil([&] { return view.route() != ContentView::Route::Progress; }));
        addChatFile(view, folder);
        QHash<QString, QString> ids;
        ASSERT_TRUE(waitUntil([&] {
            for (const Conversation &conversation : library.conversations()) {
                if (conversation.source.log && conversation.name)
                    ids.insert(*conversation.name, conversation.id());
            }
            return ids.size() == chats.size();
        }));

        for (const Named &chat : chats) {
            SCOPED_TRACE(chat.number.toStdString());
            const QString id = ids.value(chat.number);
            ASSERT_TRUE(waitUntil([&] { return view.conversationList()->model()->indexOf(id).isValid(); }));
            view.setSelection(id);
            auto *consent = qobject_cast<ConsentView *>(view.detailWidget());
            ASSERT_TRUE(consent);
            expectNamed(view, *consent, chat.shown);
            EXPECT_EQ(consent->okToPrintLabel()->text(),
                QStringLiteral("I'm in this conversation, and %1 is happy to be in a printed book.")
                    .arg(chat.shown));
            EXPECT_EQ(window.windowTitle(), chat.shown);
            EXPECT_EQ(consent->me(), "Pat Quill");

            consent->okToPrint()->click();
            consent->readButton()->click();
            ASSERT_TRUE(waitUntil([&] { return view.detail() == Detail::Book; }, 60000));
            Project &project = *view.project();
            ASSERT_TRUE(
                waitUntil([&] { return !project.pdf().isEmpty() && !project.isTypesetting(); }, 120000));
            const QString title = QStringLiteral("You & ") + chat.shown;
            EXPECT_EQ(window.windowTitle(), title);
            EXPECT_EQ(project.book().front.title, title);
            EXPECT_EQ(project.book().people.value(1).name, chat.shown);
            const QString text = textOf(project.pdf());
            EXPECT_TRUE(text.contains(title)) << text.toStdString();
            EXPECT_TRUE(text.contains(chat.shown + QStringLiteral(" Morning, day 9"))) << text.toStdString();
            if (!chat.shown.contains(QRegularExpression(QStringLiteral("\\d"))))
                EXPECT_FALSE(QString(text).remove(u' ').contains(Library::contactKey(chat.number)))
                    << text.toStdString();
        }
    }

    QTemporaryDir m_files;
};

} // namespace

TEST_F(NamesRoadTest, AnExportNamedAfterThePersonPrintsThatNameAlone)
{
    QByteArray chat;
    for (int day = 1; day <= 9; ++day) {
        const QByteArray date = "[0" + QByteArray::number(day) + ".02.25, ";
        chat += date + "08:00:00] Jane Doe: Guten Morgen, Tag " + QByteArray::number(day) + "\n";
        chat += date + "08:05:00] John Doe: Morgen! Wie geht's?\n";
        chat += date + "21:30:00] Jane Doe: Sorry, ich war spät dran.\n";
    }
    const QString archive = m_files.filePath(QStringLiteral("WhatsApp Chat mit Jane Doe.zip"));
    ASSERT_TRUE(writeZip(archive, { { "_chat.txt", chat } }));

    Made made;
    make(
        archive,
        [](ContentView &view, ConsentView &consent) {
            expectNamed(view, consent, QStringLiteral("Jane Doe"));
            EXPECT_EQ(consent.me(), "John Doe");
        },
        made);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(made.book.front.title, "You & Jane Doe");
    EXPECT_EQ(made.title, "You & Jane Doe");
    EXPECT_TRUE(made.text.contains(QStringLiteral("Jane Doe"))) << made.text.toStdString();
    EXPECT_TRUE(made.text.contains(QStringLiteral("Guten Morgen, Tag 9"))) << made.text.toStdString();
    for (const QString &joined :
        { QStringLiteral("Jane Doe & John Doe"), QStringLiteral("John Doe & Jane Doe"),
            QStringLiteral("JANE DOE & JOHN DOE"), QStringLiteral("JOHN DOE & JANE DOE") })
        EXPECT_FALSE(made.text.contains(joined, Qt::CaseInsensitive)) << made.text.toStdString();
}

// An export of someone the user never answered made its one writer the
// user: every message, and the receipt's counts, were the user's.
TEST_F(NamesRoadTest, AChatOnlyTheOtherPersonWrotePrintsThemAsTheOtherPerson)
{
    const QByteArray chat = nineDays("Lotte Brandt", "Lotte Brandt");
    const QString file = m_files.filePath(QStringLiteral("WhatsApp Chat with Lotte Brandt.txt"));
    writeFile(file, chat);

    Made made;
    make(
        file,
        [](ContentView &view, ConsentView &consent) {
            expectNamed(view, consent, QStringLiteral("Lotte Brandt"));
            EXPECT_EQ(consent.picker(), nullptr);
        },
        made);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(made.title, "You & Lotte Brandt");
    ASSERT_EQ(made.book.people.size(), 2);
    EXPECT_EQ(made.book.people[0].name, "Pat");
    EXPECT_EQ(made.book.people[1].name, "Lotte Brandt");
    for (const BookFile::Message &message : made.book.messages)
        EXPECT_EQ(message.from, "them");
    EXPECT_TRUE(made.text.contains(QStringLiteral("Morning, day 9"))) << made.text.toStdString();
    // The receipt counts every sorry as Lotte's, none as the user's.
    EXPECT_TRUE(made.text.contains(QRegularExpression(QStringLiteral("0 YOU, \\d+ LOTTE BRANDT"))))
        << made.text.toStdString();
    EXPECT_FALSE(made.text.contains(QStringLiteral("LOTTE BRANDT & LOTTE BRANDT"), Qt::CaseInsensitive));
}

// Someone who starts from a chat file had no contacts read that session:
// a person the export writes as a number printed as that number.
TEST_F(NamesRoadTest, AnExportOfANumberPrintsTheContactWhoseNumberItIs)
{
    const QString contacts = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/contacts");
    QDir().mkpath(contacts);
    writeFile(contacts + QStringLiteral("/people.vcf"),
        "BEGIN:VCARD\nVERSION:3.0\nN:Brandt;Lotte;;;\nTEL;TYPE=CELL:+49 151 2345 6789\nEND:VCARD\n");
    const QByteArray chat = nineDays("+49 151 23456789", "Pat Quill");
    const QString file = m_files.filePath(QStringLiteral("WhatsApp Chat with +49 151 23456789.txt"));
    writeFile(file, chat);

    Made made;
    make(
        file,
        [](ContentView &view, ConsentView &consent) {
            expectNamed(view, consent, QStringLiteral("Lotte Brandt"));
        },
        made);
    QDir(contacts).removeRecursively();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(made.title, "You & Lotte Brandt");
    EXPECT_EQ(made.book.people.value(1).name, "Lotte Brandt");
    EXPECT_TRUE(made.text.contains(QStringLiteral("Lotte Brandt Morning, day 9"))) << made.text.toStdString();
    EXPECT_FALSE(made.text.contains(QStringLiteral("23456789"))) << made.text.toStdString();
}

// Every number was shown as a North American one made of its last ten
// digits: +49 151 23456789 as (512) 345-6789 in the sidebar and on the
// consent screen, beside a book that printed +49 151 23456789; then a
// number kept without spaces showed as a run of digits, and ten digits
// from France as North American.
TEST_F(NamesRoadTest, ANumberWithoutAContactIsTheNumberItIsFromTheSidebarToThePrintedPage)
{
    expectNamedEverywhere({ { QStringLiteral("+4915123456789"), QStringLiteral("+49 1512 3456789") },
        { QStringLiteral("06 12 34 56 78"), QStringLiteral("06 12 34 56 78") },
        { QStringLiteral("+44 7700 900123"), QStringLiteral("+44 7700 900123") },
        { QStringLiteral("+33 6 12 34 56 78"), QStringLiteral("+33 6 12 34 56 78") },
        { QStringLiteral("+1 415 555 0132"), QStringLiteral("(415) 555-0132") } });
}

TEST_F(NamesRoadTest, ANumberWithAContactIsTheContactFromTheSidebarToThePrintedPage)
{
    const QString contacts = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/contacts");
    QDir().mkpath(contacts);
    writeFile(contacts + QStringLiteral("/people.vcf"),
        "BEGIN:VCARD\nVERSION:3.0\nN:Brandt;Lotte;;;\nTEL:+49 170 1234567\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nN:Hughes;Olivia;;;\nTEL:07700 900456\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nN:Martin;Camille;;;\nTEL:+33 698765432\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nN:Nair;Priya;;;\nTEL:+91 91234 56789\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nN:Lee;Jordan;;;\nTEL:(212) 555-0199\nEND:VCARD\n");
    expectNamedEverywhere({ { QStringLiteral("+49 170 1234567"), QStringLiteral("Lotte Brandt") },
        { QStringLiteral("+44 7700 900456"), QStringLiteral("Olivia Hughes") },
        { QStringLiteral("+33 6 98 76 54 32"), QStringLiteral("Camille Martin") },
        { QStringLiteral("+91 91234 56789"), QStringLiteral("Priya Nair") },
        { QStringLiteral("+1 212 555 0199"), QStringLiteral("Jordan Lee") } });
    QDir(contacts).removeRecursively();
}

// A Telegram chat the user, Alex Rowan, saved under "Alex" for Alexandra
// Kim: the nickname is the first word of the user's name, and Alexandra
// was made the user, though the chat's id is hers.
TEST_F(NamesRoadTest, ATelegramChatIsWithThePersonItsIdNames)
{
    Consent::setFullNameSource([] { return QStringLiteral("Alex Rowan"); });
    QJsonArray messages;
    for (int day = 1; day <= 9; ++day) {
        const qint64 morning = QDateTime(QDate(2025, 3, day), QTime(8, 0)).toSecsSinceEpoch();
        messages.append(QJsonObject { { "id", day * 2 }, { "type", "message" },
            { "date_unixtime", QString::number(morning) }, { "from", "Alexandra Kim" },
            { "from_id", "user5550" }, { "text", QStringLiteral("Morning, day %1").arg(day) } });
        messages.append(QJsonObject { { "id", day * 2 + 1 }, { "type", "message" },
            { "date_unixtime", QString::number(morning + 3600 * 12) }, { "from", "Alex Rowan" },
            { "from_id", "user7001" }, { "text", QStringLiteral("Evening, day %1").arg(day) } });
    }
    const QString folder = m_files.filePath(QStringLiteral("ChatExport_2025-03-10"));
    QDir().mkpath(folder);
    writeFile(folder + QStringLiteral("/result.json"),
        QJsonDocument(QJsonObject { { "name", "Alex" }, { "type", "personal_chat" }, { "id", 5550 },
                          { "messages", messages } })
            .toJson());

    Made made;
    make(
        folder,
        [](ContentView &view, ConsentView &consent) {
            expectNamed(view, consent, QStringLiteral("Alex"));
            EXPECT_EQ(consent.me(), "Alex Rowan");
        },
        made);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(made.title, "You & Alex");
    ASSERT_EQ(made.book.people.size(), 2);
    EXPECT_EQ(made.book.people[0].name, "Alex Rowan");
    EXPECT_EQ(made.book.people[1].name, "Alex");
    for (const BookFile::Message &message : made.book.messages)
        EXPECT_EQ(message.from, message.text->startsWith(u'M') ? "them" : "me")
            << message.text->toStdString();
    EXPECT_TRUE(made.text.contains(QStringLiteral("Alex Morning, day 9"))) << made.text.toStdString();
}
