// The consent screen: which participant is the user, and what each way on
// stores and calls.
#include "app/shelltest.h"
#include "flow/consentview.h"
#include "model/consent.h"
#include "model/defaults.h"
#include "ui/style.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Shell;

namespace {

class ConsentViewTest : public ShellTest
{
protected:
    ConsentViewTest()
    {
        Consent::setFullNameSource([] { return QStringLiteral("Robin Quill"); });
    }
    ~ConsentViewTest() override { Consent::setFullNameSource({}); }

    static Conversation conversation(
        const QString &sourceId, std::optional<QList<Conversation::LogPerson>> people)
    {
        Conversation conversation;
        conversation.key = QStringLiteral("Sam");
        conversation.source.id = sourceId;
        conversation.messages = 48213;
        conversation.first = QStringLiteral("2019-08-14");
        conversation.people = std::move(people);
        return conversation;
    }

    static std::optional<QString> stored(const QString &key) { return Defaults::standard().string(key); }

    int agreed = 0;
    int wrapped = 0;
    ConsentView::Actions actions() const
    {
        auto *self = const_cast<ConsentViewTest *>(this);
        return { [self] { ++self->agreed; }, [self] { ++self->wrapped; }, {}, {} };
    }
};

const QList<Conversation::LogPerson> people { { "Sam", 120 }, { "Robin", 98 }, { "Robert", 3 } };

} // namespace

TEST_F(ConsentViewTest, SaysWhatReadingMeans)
{
    ConsentView view(conversation("file-1", std::nullopt), QStringLiteral("Sam"), actions());
    const QStringList texts = TestSupport::visibleTexts(&view);
    EXPECT_TRUE(texts.contains("Make a book with Sam"));
    EXPECT_TRUE(
        texts.contains("To make it, Quorvel reads your messages with Sam: 48,213 of them, going back to "
                       "August 14, 2019. It reads them here, on this computer. Nothing is sent anywhere "
                       "until you order, and then only the finished book."));
    EXPECT_TRUE(texts.contains("A free set of cards with the numbers from your conversation, read on this "
                               "computer. No message is quoted on a card, and nothing is printed."));
    EXPECT_TRUE(texts.contains(
        "You can delete the book, and everything Quorvel made from these messages, at any time."));
    EXPECT_EQ(
        view.okToPrintLabel()->text(), "I'm in this conversation, and Sam is happy to be in a printed book.");
    // Without participants there is nothing to pick.
    EXPECT_EQ(view.picker(), nullptr);

    Conversation group = conversation("file-1", std::nullopt);
    group.group = true;
    ConsentView groupView(group, QStringLiteral("Family"), { [] {}, {}, {}, {} });
    EXPECT_FALSE(TestSupport::findText(&groupView, "See Our Wrapped"));
    ConsentView groupWithWrapped(group, QStringLiteral("Family"), actions());
    EXPECT_TRUE(
        TestSupport::visibleTexts(&groupWithWrapped)
            .contains("A free set of cards with the numbers from your group chat, read on this computer. No "
                      "message is quoted on a card, and nothing is printed."));
}

TEST_F(ConsentViewTest, ReadingWaitsForTheTickAndReturnReadsOnlyThen)
{
    QWidget window;
    auto *view
        = new ConsentView(conversation("mac", std::nullopt), QStringLiteral("Sam"), actions(), &window);
    window.resize(900, 700);
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_FALSE(view->readButton()->isEnabled());
    QTest::keyClick(&window, Qt::Key_Return);
    view->readButton()->click();
    EXPECT_EQ(agreed, 0);

    // The Wrapped needs no tick.
    static_cast<QPushButton *>(TestSupport::findText(view, "See Our Wrapped"))->click();
    EXPECT_EQ(wrapped, 1);

    view->okToPrint()->click();
    EXPECT_TRUE(view->readButton()->isEnabled());
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_EQ(agreed, 1);
    // No participants: nothing about who the user is is stored.
    EXPECT_FALSE(stored("me:Sam"));
}

TEST_F(ConsentViewTest, ThePickerStartsOnTheStoredChoiceElseTheGuessAndStoresEveryChange)
{
    // The first participant whose name starts with the account's first name.
    {
        ConsentView view(conversation("mac", people), QStringLiteral("Sam"), actions());
        ASSERT_NE(view.picker(), nullptr);
        EXPECT_EQ(view.picker()->count(), 3);
        EXPECT_EQ(view.picker()->itemText(0), "Sam (120 messages)");
        EXPECT_EQ(view.me(), "Robin");
        view.picker()->setCurrentIndex(2);
        EXPECT_EQ(stored("me:Sam"), "Robert");
    }
    // The stored choice wins; a source other than the computer's keys by source and key.
    {
        Defaults::standard().setString(QStringLiteral("me:file-1:Sam"), QStringLiteral("Sam"));
        ConsentView view(conversation("file-1", people), QStringLiteral("Sam"), actions());
        EXPECT_EQ(view.me(), "Sam");
        view.picker()->setCurrentIndex(1);
        view.okToPrint()->click();
        view.readButton()->click();
        EXPECT_EQ(stored("me:file-1:Sam"), "Robin");
        EXPECT_EQ(agreed, 1);
    }
    // A stored name that names no one here falls back to the guess.
    {
        Defaults::standard().setString(QStringLiteral("me:file-2:Sam"), QStringLiteral("Nobody"));
        ConsentView view(conversation("file-2", people), QStringLiteral("Sam"), actions());
        EXPECT_EQ(view.me(), "Robin");
    }
    // No participant matches the account: the first one.
    {
        Consent::setFullNameSource([] { return QStringLiteral("  "); });
        ConsentView view(conversation("file-3", people), QStringLiteral("Sam"), actions());
        EXPECT_EQ(view.me(), "Sam");
    }
}

TEST_F(ConsentViewTest, TheTwoExplanationsStartAtOneEdge)
{
    ConsentView::Actions both = actions();
    both.web = [] {};
    ConsentView view(conversation("file-1", std::nullopt), QStringLiteral("Sam"), both);
    view.resize(700, 700);
    view.show();
    QApplication::processEvents();
    QWidget *wrappedText = TestSupport::findText(&view,
        QStringLiteral(
            "A free set of cards with the numbers from your conversation, read on this computer. No "
            "message is quoted on a card, and nothing is printed."));
    QWidget *webText = nullptr;
    for (QLabel *label : view.findChildren<QLabel *>()) {
        if (label->text().startsWith(QLatin1String("Sends this conversation, as text, to ")))
            webText = label;
    }
    ASSERT_TRUE(wrappedText);
    ASSERT_TRUE(webText);
    EXPECT_EQ(wrappedText->mapTo(&view, QPoint(0, 0)).x(), webText->mapTo(&view, QPoint(0, 0)).x());
}

TEST_F(ConsentViewTest, AChatExportsTextsFollowWhoTheUserSaysTheyAre)
{
    Conversation chat
        = conversation("file-1", QList<Conversation::LogPerson> { { "Jane Doe", 3 }, { "John Doe", 2 } });
    chat.source.name = QStringLiteral("Discussion WhatsApp avec Jane Doe");
    chat.source.log = QStringLiteral("/nowhere/chat.txt");
    ConsentView view(chat, QStringLiteral("Jane Doe"), actions());
    EXPECT_EQ(view.me(), "John Doe");
    view.okToPrint()->click();

    view.picker()->setCurrentIndex(0);
    EXPECT_EQ(stored("me:file-1:Sam"), "Jane Doe");
    EXPECT_TRUE(TestSupport::findText(&view, "Make a book with John Doe"));
    EXPECT_EQ(view.okToPrintLabel()->text(),
        "I'm in this conversation, and John Doe is happy to be in a printed book.");
    EXPECT_TRUE(view.okToPrint()->isChecked());

    // Names that come later change the texts, not what the user did.
    view.setName(QStringLiteral("Tom & Jerry"));
    EXPECT_TRUE(TestSupport::findText(&view, "Make a book with Tom & Jerry"));
    EXPECT_EQ(view.okToPrintLabel()->text(),
        "I'm in this conversation, and Tom & Jerry is happy to be in a printed book.");
    EXPECT_TRUE(view.okToPrint()->isChecked());
    EXPECT_TRUE(view.readButton()->isEnabled());
}

// Opening the screen stored its guess as the user's choice: a user who
// looked and left had chosen someone they never picked. Only a way on
// stores it, the guess too when it was left as it was.
TEST_F(ConsentViewTest, LookingAndLeavingStoresNobodyAndEveryWayOnStoresThePick)
{
    Conversation chat = conversation("file-4", people);
    {
        ConsentView view(chat, QStringLiteral("Sam"), actions());
        EXPECT_EQ(view.me(), "Robin");
    }
    EXPECT_FALSE(stored("me:file-4:Sam"));
    EXPECT_FALSE(Consent::me(chat));

    ConsentView::Actions all = actions();
    int webbed = 0;
    all.web = [&] { ++webbed; };
    for (const QString &button : { QStringLiteral("See Our Wrapped"), QStringLiteral("Make It on "),
             QStringLiteral("Read Our Messages") }) {
        SCOPED_TRACE(button.toStdString());
        Defaults::standard().remove(QStringLiteral("me:file-4:Sam"));
        ConsentView view(chat, QStringLiteral("Sam"), all);
        EXPECT_FALSE(stored("me:file-4:Sam"));
        view.okToPrint()->click();
        QPushButton *pressed = nullptr;
        for (QPushButton *candidate : view.findChildren<QPushButton *>()) {
            if (candidate->text().startsWith(button))
                pressed = candidate;
        }
        ASSERT_TRUE(pressed);
        pressed->click();
        EXPECT_EQ(stored("me:file-4:Sam"), "Robin");
    }
    EXPECT_EQ(wrapped, 1);
    EXPECT_EQ(webbed, 1);
    EXPECT_EQ(agreed, 1);
}
