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
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace TestSupport;
using Detail = ContentView::Detail;

namespace {

// The PDF's text, every run of white space one space.
QString textOf(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") });
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput())
        .replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
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

    Library library;
    Updater updater { QString() };
    MainWindow window(&library, &updater);
    window.resize(1280, 820);
    window.show();
    ContentView &view = *window.content();
    ASSERT_TRUE(waitUntil([&] { return view.route() != ContentView::Route::Progress; }));
    desktop().answers.append({ archive });
    // Added as the screen in front offers it: the access screen, else the sidebar.
    if (view.route() == ContentView::Route::Access) {
        qobject_cast<QPushButton *>(findText(view.accessView(), QStringLiteral("Chat File…")))->click();
    } else {
        for (QAction *action : view.conversationList()->addButton()->menu()->actions()) {
            if (action->text() == QStringLiteral("Chat File…"))
                action->trigger();
        }
    }

    QString id;
    ASSERT_TRUE(waitUntil([&] {
        for (const Conversation &conversation : library.conversations()) {
            if (conversation.source.log)
                id = conversation.id();
        }
        return !id.isEmpty() && view.conversationList()->model()->indexOf(id).isValid();
    }));
    ConversationListModel *list = view.conversationList()->model();
    EXPECT_EQ(list->data(list->indexOf(id)).toString(), "Jane Doe");

    view.setSelection(id);
    auto *consent = qobject_cast<ConsentView *>(view.detailWidget());
    ASSERT_TRUE(consent);
    EXPECT_TRUE(findText(consent, QStringLiteral("Make a book with Jane Doe")));
    EXPECT_EQ(consent->me(), "John Doe");
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
    EXPECT_EQ(project.book().front.title, "You & Jane Doe");
    EXPECT_EQ(window.windowTitle(), "You & Jane Doe");
    const QString text = textOf(project.pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Jane Doe"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Guten Morgen, Tag 9"))) << text.toStdString();
    for (const QString &joined :
        { QStringLiteral("Jane Doe & John Doe"), QStringLiteral("John Doe & Jane Doe"),
            QStringLiteral("JANE DOE & JOHN DOE"), QStringLiteral("JOHN DOE & JANE DOE") })
        EXPECT_FALSE(text.contains(joined, Qt::CaseInsensitive)) << text.toStdString();
}
