// The road of one book through the window's content: the consent screen,
// the hand-off to the website, and the book's flow, with the real message
// tool, real typst and the stand-in service.
#include "app/consentview.h"
#include "app/contentview.h"
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "flow/handoffslot.h"
#include "flowtest.h"
#include "model/backups.h"
#include "model/library.h"

#include <QCheckBox>
#include <QKeySequence>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

using namespace TestSupport;
using Detail = ContentView::Detail;

namespace {

class RoadTest : public FlowTest
{
protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        qputenv("QUORVEL_HANDOFF_ORIGIN", service.origin().toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("QUORVEL_HANDOFF_ORIGIN");
        desktop().reset();
    }

    // A chat export the user added earlier, read by the real message tool.
    Source chatFile()
    {
        writeFile(m_files.filePath(QStringLiteral("chat.txt")),
            "1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi there\n2/1/25, 8:00 AM - Sam: "
            "morning\n");
        Source file;
        file.id = QStringLiteral("file-0000aaaa");
        file.name = QStringLiteral("chat");
        file.log = m_files.filePath(QStringLiteral("chat.txt"));
        Backups::save({ file });
        return file;
    }

    std::unique_ptr<ContentView> window(Library *library)
    {
        auto view = std::make_unique<ContentView>(library);
        view->resize(1280, 820);
        view->show();
        return view;
    }

    // Picks a conversation in the sidebar as the user does.
    static void pick(ContentView &view, const QString &id)
    {
        ASSERT_TRUE(waitUntil([&] { return view.conversationList()->model()->indexOf(id).isValid(); }));
        QTreeView *tree = view.conversationList()->view();
        const QModelIndex index = view.conversationList()->model()->indexOf(id);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }

    static void click(QWidget *root, const QString &text)
    {
        auto *button = qobject_cast<QPushButton *>(findText(root, text));
        ASSERT_TRUE(button) << text.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QTemporaryDir m_files;
};

} // namespace

TEST_F(RoadTest, TheConsentScreenHandsTheConversationToTheWebsite)
{
    chatFile();
    Library library;
    auto view = window(&library);
    pick(*view, QStringLiteral("file-0000aaaa:Sam & Robin"));
    ASSERT_EQ(view->detail(), Detail::Consent);
    EXPECT_TRUE(findText(view->detailWidget(),
        QStringLiteral(
            "Sends this conversation, as text, to quorvel.app and opens it in your browser, to make "
            "the Wrapped and the book there, like on your phone.")));
    // The name's "&" is shown, not taken for a shortcut letter.
    auto *consent = qobject_cast<ConsentView *>(view->detailWidget());
    EXPECT_TRUE(QKeySequence::mnemonic(consent->okToPrint()->text()).isEmpty());
    saveScreen(view.get(), QStringLiteral("consent-with-website"));
    click(view->detailWidget(), QStringLiteral("Make It on quorvel.app"));
    ASSERT_EQ(view->detail(), Detail::Handoff);
    EXPECT_TRUE(findText(view->detailWidget(), QStringLiteral("Reading 3 messages")));
    // Nothing is stored for a hand-off: no consent is needed or given.
    EXPECT_FALSE(Defaults::standard().string(QStringLiteral("consent:file-0000aaaa:Sam & Robin")));

    ASSERT_TRUE(waitUntil([&] { return findText(view->detailWidget(), QStringLiteral("Back")); }));
    EXPECT_TRUE(findText(view->detailWidget(), QStringLiteral("It's open in your browser. Carry on there.")));
    saveScreen(view.get(), QStringLiteral("handoff-in-window"));
    const QList<QJsonObject> uploads = service.requests(QStringLiteral("/api/inbox/[^/]+/file$"));
    ASSERT_EQ(uploads.size(), 1);
    EXPECT_TRUE(StandIn::body(uploads.first()).contains("] Me: morning"))
        << StandIn::body(uploads.first()).toStdString();
    ASSERT_EQ(desktop().of(QStringLiteral("openUrl")).size(), 1);
    EXPECT_TRUE(desktop()
                    .of(QStringLiteral("openUrl"))
                    .first()
                    .first()
                    .startsWith(service.origin() + "/make/#inbox="));

    click(view->detailWidget(), QStringLiteral("Back"));
    EXPECT_EQ(view->detail(), Detail::Consent);
}
