// The ebook from the book's page: made for real, handed to a reader, to
// Send to Kindle or to a file, with failures shown where it was asked for.
#include "flow/bookhomeview.h"
#include "flow/ebookexport.h"
#include "flowtest.h"
#include "ui/desktop.h"
#include "ui/unopenedpage.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace TestSupport;

namespace {

class EbookExportTest : public FlowTest
{
protected:
    void TearDown() override
    {
        desktop().reset();
        desktop().handlers.clear();
        desktop().applications.clear();
    }

    static QString epubOf(const Project &project)
    {
        return project.folder() + QStringLiteral("/ebook/You & Sam.epub");
    }
};

} // namespace

TEST_F(EbookExportTest, TheReaderThatOpensEbooksGetsARealEpub)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    desktop().handlers.insert(
        QStringLiteral("application/epub+zip"), QStringLiteral("/apps/foliate.desktop"));
    BookHomeView view(project);
    view.show();
    view.saveAction(QStringLiteral("Ebook for Apple Books…"))->trigger();
    EXPECT_TRUE(view.isMakingEbook());
    EXPECT_FALSE(view.saveButton()->isEnabled());
    // Ordering doesn't wait for the ebook; deleting does, or the ebook
    // being written would bring the book's folder back.
    EXPECT_TRUE(view.orderButton()->isEnabled());
    EXPECT_FALSE(view.deleteButton()->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return !view.isMakingEbook(); }, 120000));
    EXPECT_TRUE(view.saveButton()->isEnabled());
    EXPECT_TRUE(view.deleteButton()->isEnabled());
    EXPECT_FALSE(project->error());
    ASSERT_EQ(desktop().of(QStringLiteral("openWith")),
        (QList<QStringList> { { "/apps/foliate.desktop", epubOf(*project) } }));
    EXPECT_TRUE(desktop().of(QStringLiteral("reveal")).isEmpty());
    EXPECT_EQ(epubcheckErrors(epubOf(*project)), QString());
}

// The menu closes onto a greyed-out button: the page says beside it what
// is being made, and keys typed meanwhile, which used to land on "Change
// Setup", press nothing until the focus comes back to the menu's button.
TEST_F(EbookExportTest, WhileTheEbookIsMadeThePageSaysSoAndKeysPressNothing)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    BookHomeView view(project);
    int setups = 0;
    QObject::connect(&view, &BookHomeView::setupRequested, [&] { ++setups; });
    view.resize(1280, 820);
    view.show();
    QApplication::setActiveWindow(&view);
    view.saveButton()->setFocus();
    EXPECT_FALSE(view.ebookStatus()->isVisible());

    view.saveAction(QStringLiteral("Save Ebook File…"))->trigger();
    EXPECT_TRUE(view.ebookStatus()->isVisible());
    EXPECT_TRUE(TestSupport::visibleTexts(view.ebookStatus()).contains("Making the ebook…"));
    EXPECT_EQ(QApplication::focusWidget(), view.ebookStatus());
    for (const Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter })
        QTest::keyClick(QApplication::focusWidget(), key);
    EXPECT_EQ(setups, 0);

    ASSERT_TRUE(waitUntil([&] { return !view.isMakingEbook(); }, 120000));
    EXPECT_FALSE(view.ebookStatus()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), view.saveButton());
    EXPECT_EQ(setups, 0);
}

TEST_F(EbookExportTest, WithoutApplicationsTheEbookIsShownAndKindleOpensItsPage)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    TestSupport::await(EbookExport::run(project, EbookExport::Destination::Kindle, nullptr));
    EXPECT_FALSE(project->error());
    ASSERT_EQ(desktop().calls.size(), 2);
    EXPECT_EQ(desktop().calls[0].what, "reveal");
    EXPECT_EQ(desktop().calls[0].arguments, QStringList { epubOf(*project) });
    EXPECT_EQ(desktop().calls[1].what, "openUrl");
    EXPECT_EQ(desktop().calls[1].arguments.first(), "https://www.amazon.com/sendtokindle");

    // Without a browser the page is handed back to be offered, and what is
    // said of it names where the ebook is when the file manager didn't show
    // it either.
    desktop().reset();
    desktop().opens = false;
    std::optional<EbookExport::Unopened> unopened
        = TestSupport::await(EbookExport::run(project, EbookExport::Destination::Kindle, nullptr));
    ASSERT_TRUE(unopened);
    EXPECT_EQ(unopened->page, EbookExport::kindlePage());
    EXPECT_FALSE(project->error());
    EXPECT_EQ(EbookExport::sentence(*unopened, EbookExport::Address::Named),
        QStringLiteral(
            "Send to Kindle's page didn't open in your browser. Open https://www.amazon.com/sendtokindle "
            "in a browser to send the ebook, which is shown in the file manager."));
    EXPECT_EQ(desktop().of(QStringLiteral("reveal")).size(), 1);

    const QString epub = QDir::toNativeSeparators(epubOf(*project));
    desktop().reset();
    desktop().opens = false;
    desktop().reveals = false;
    unopened = TestSupport::await(EbookExport::run(project, EbookExport::Destination::Kindle, nullptr));
    ASSERT_TRUE(unopened);
    EXPECT_EQ(EbookExport::sentence(*unopened, EbookExport::Address::Named),
        QStringLiteral("Send to Kindle's page didn't open in your browser, nor the file manager. Open "
                       "https://www.amazon.com/sendtokindle in a browser to send the ebook, which is at %1.")
            .arg(epub));
    EXPECT_EQ(EbookExport::sentence(*unopened, EbookExport::Address::Offered),
        QStringLiteral("Send to Kindle's page didn't open in your browser, nor the file manager. Open this "
                       "address in a browser to send the ebook, which is at %1.")
            .arg(epub));
    desktop().reset();
    desktop().reveals = false;
    TestSupport::await(EbookExport::run(project, EbookExport::Destination::Reader, nullptr));
    EXPECT_EQ(
        project->error(), QStringLiteral("The file manager didn't open. The ebook is at %1.").arg(epub));

    // Send to Kindle's own application, when there is one, gets the file.
    desktop().reset();
    desktop().applications.insert(
        QStringLiteral("com.amazon.SendToKindle"), QStringLiteral("/apps/kindle.desktop"));
    desktop().opens = false;
    TestSupport::await(EbookExport::run(project, EbookExport::Destination::Kindle, nullptr));
    desktop().opens = true;
    EXPECT_EQ(desktop().of(QStringLiteral("openWith")).size(), 1);
    EXPECT_EQ(project->error(), QStringLiteral("The ebook couldn't be opened with kindle."));
}

// Fault mended: the page said Send to Kindle's address in a sentence but
// offered neither Copy Link nor Try Again, as every other unopened page does.
TEST_F(EbookExportTest, KindlesPageThatDidNotOpenIsOfferedToCopyAndTryAgain)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    BookHomeView view(project);
    view.resize(980, 640);
    view.show();
    desktop().opens = false;
    view.saveAction(QStringLiteral("Send to Kindle…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return !view.isMakingEbook(); }, 120000));

    auto *unopened = view.findChild<UnopenedPage *>();
    ASSERT_TRUE(unopened);
    ASSERT_TRUE(unopened->isVisible());
    EXPECT_EQ(unopened->address(), EbookExport::kindlePage());
    EXPECT_EQ(unopened->sentence(),
        QStringLiteral("Send to Kindle's page didn't open in your browser. Open this address in a browser to "
                       "send the ebook, which is shown in the file manager."));
    // Said once, beside its address, not again as the page's error.
    EXPECT_FALSE(project->error());
    unopened->copyButton()->click();
    EXPECT_EQ(desktop().of(QStringLiteral("copyText")),
        (QList<QStringList> { { EbookExport::kindlePage().toString() } }));

    // Still no browser: the page stays offered. Then one opens it.
    unopened->retryButton()->click();
    ASSERT_TRUE(waitUntil([&] { return desktop().of(QStringLiteral("openUrl")).size() == 2; }));
    QTest::qWait(10);
    EXPECT_TRUE(unopened->isVisible());
    desktop().opens = true;
    unopened->retryButton()->click();
    ASSERT_TRUE(waitUntil([&] { return !unopened->isVisible(); }));
    EXPECT_EQ(desktop().of(QStringLiteral("openUrl")).size(), 3);
    EXPECT_FALSE(project->error());

    // A page gone before the export ends leaves it to the book's error,
    // address and all.
    desktop().opens = false;
    {
        BookHomeView gone(project);
        gone.saveAction(QStringLiteral("Send to Kindle…"))->trigger();
    }
    ASSERT_TRUE(waitUntil([&] { return project->error().has_value(); }, 120000));
    EXPECT_EQ(*project->error(),
        QStringLiteral(
            "Send to Kindle's page didn't open in your browser. Open https://www.amazon.com/sendtokindle "
            "in a browser to send the ebook, which is shown in the file manager."));
}

TEST_F(EbookExportTest, SavingTheFileReplacesOneThereAndCancellingWritesNothing)
{
    BookFile book = designedBook();
    book.front.title = QStringLiteral("Us/Them");
    std::shared_ptr<Project> project = open(book);
    ASSERT_TRUE(typeset(*project));
    const QString target = m_books.path() + QStringLiteral("/copy.epub");
    writeFile(target, "older");
    desktop().answers = { { target } };
    TestSupport::await(EbookExport::run(project, EbookExport::Destination::File, nullptr));
    EXPECT_FALSE(project->error());
    EXPECT_EQ(desktop().panels.last().suggestedName, "Us-Them.epub");
    EXPECT_EQ(readFile(target), readFile(project->folder() + QStringLiteral("/ebook/Us-Them.epub")));

    QFile::remove(target);
    TestSupport::await(EbookExport::run(project, EbookExport::Destination::File, nullptr));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_FALSE(project->error());
}

TEST_F(EbookExportTest, AnEbookThatCanNotBeMadeSaysSoOnThePage)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    // A file where the ebook's folder goes.
    writeFile(project->folder() + QStringLiteral("/ebook"), "in the way");
    BookHomeView view(project);
    view.show();
    view.saveAction(QStringLiteral("Save Ebook File…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return !view.isMakingEbook(); }));
    ASSERT_TRUE(project->error());
    EXPECT_TRUE(findText(&view, *project->error()));
    EXPECT_TRUE(desktop().panels.isEmpty());
    EXPECT_TRUE(view.saveButton()->isEnabled());
}

// The user may pick another conversation while the ebook is made: the
// export holds the book and finishes.
TEST_F(EbookExportTest, TheExportOutlivesThePageAndTheSelection)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    const QString epub = epubOf(*project);
    std::weak_ptr<Project> watch = project;
    {
        BookHomeView view(project);
        view.saveAction(QStringLiteral("Ebook for Apple Books…"))->trigger();
    }
    project.reset();
    EXPECT_FALSE(watch.expired());
    ASSERT_TRUE(waitUntil([&] { return !desktop().of(QStringLiteral("reveal")).isEmpty(); }, 120000));
    EXPECT_EQ(desktop().of(QStringLiteral("reveal")).first(), QStringList { epub });
    EXPECT_TRUE(QFile::exists(epub));
    ASSERT_TRUE(waitUntil([&] { return watch.expired(); }));
}

// The real desktop: the user's choice for a type first, then what says it
// handles it.
TEST_F(EbookExportTest, TheDesktopFindsTheApplicationForAType)
{
    const QString home = QString::fromUtf8(qgetenv("XDG_DATA_HOME"));
    const QString applications = home + QStringLiteral("/applications");
    QDir().mkpath(applications);
    for (const char *name : { "foliate", "calibre" })
        writeFile(applications + QStringLiteral("/%1.desktop").arg(QLatin1String(name)),
            "[Desktop Entry]\nType=Application\nName=x\nExec=true %f\n");
    Desktop real;
    EXPECT_EQ(real.applicationFor(QStringLiteral("application/epub+zip")), QString());
    writeFile(applications + QStringLiteral("/mimeinfo.cache"),
        "[MIME Cache]\napplication/epub+zip=missing.desktop;calibre.desktop;\n");
    EXPECT_EQ(real.applicationFor(QStringLiteral("application/epub+zip")),
        applications + QStringLiteral("/calibre.desktop"));
    const QString config = QString::fromUtf8(qgetenv("XDG_CONFIG_HOME"));
    QDir().mkpath(config);
    writeFile(config + QStringLiteral("/mimeapps.list"),
        "[Added Associations]\ntext/plain=calibre.desktop;\n[Default "
        "Applications]\napplication/epub+zip=foliate.desktop\n");
    EXPECT_EQ(real.applicationFor(QStringLiteral("application/epub+zip")),
        applications + QStringLiteral("/foliate.desktop"));
    QFile::remove(config + QStringLiteral("/mimeapps.list"));
    QFile::remove(applications + QStringLiteral("/mimeinfo.cache"));
}
