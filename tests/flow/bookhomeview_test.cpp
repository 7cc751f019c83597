// The book's own page against a real project, real typst and the stand-in.
#include "flow/bookhomeparts.h"
#include "flow/bookhomeview.h"
#include "flow/bookpage.h"
#include "flow/ordersheet.h"
#include "flowtest.h"
#include "service/rewards.h"
#include "ui/icons.h"
#include "ui/style.h"
#include "viewer/bookview.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

using namespace TestSupport;

namespace {

class BookHomeViewTest : public FlowTest
{
protected:
    void TearDown() override { desktop().reset(); }

    std::unique_ptr<BookHomeView> page(std::shared_ptr<Project> project)
    {
        auto view = std::make_unique<BookHomeView>(project);
        view->resize(1280, 820);
        view->show();
        return view;
    }

    static bool settled(const BookHomeView &view)
    {
        return waitUntil([&] { return view.pricesAsked() && view.hasCover(); }, 60000);
    }

    // The page of a book typeset to that many pages, once it asked for prices.
    std::unique_ptr<BookHomeView> pageOfPages(int pages)
    {
        m_typst.pdf = blankPdf(pages);
        std::shared_ptr<Project> project = open(designedBook());
        fakeTypesetting(*project, m_typst);
        auto view = page(project);
        EXPECT_TRUE(waitUntil([&] { return view->pricesAsked() && project->layout().pageCount == pages; }));
        return view;
    }

    static QStringList chosenAddons(const Project &project)
    {
        return project.book().order ? project.book().order->addons.value_or(QStringList()) : QStringList();
    }

    FakeTypst m_typst;
};

} // namespace

TEST_F(BookHomeViewTest, ShowsTheBookItsFactsAndTheAddonsOfTheThreeGroups)
{
    std::shared_ptr<Project> project = open(designedBook());
    auto view = page(project);
    // Before prices and pages: the defaults, and no add-ons.
    EXPECT_TRUE(findText(view.get(), QStringLiteral("Paperback")));
    EXPECT_FALSE(findText(view.get(), QStringLiteral("Add to it")));
    ASSERT_TRUE(typeset(*project));
    ASSERT_TRUE(settled(*view));

    const QStringList texts = visibleTexts(view.get());
    for (const char *text : { "You & Sam", "March 1, 2024 – March 6, 2024", "Messages", "6", "Pages",
             "Binding", "Paperback", "Shipping", "Economy", "Make it yours", "Names in the book", "Pat & Sam",
             "Add a page of your own", "Find a moment", "Photo edition", "Add to it", "IN THE BOOK",
             "ALONGSIDE IT", "MADE FROM A MOMENT", "Colour pages", "Voice notes", "Soon", "Your messages",
             "Delete This Book and Its Messages…" })
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    // Outside the three groups, nothing is offered.
    EXPECT_FALSE(texts.contains(QStringLiteral("Gift box")));
    EXPECT_FALSE(texts.contains(QStringLiteral("Books")));
    EXPECT_FALSE(view->addonRow(QStringLiteral("voice-notes"))->box());
    EXPECT_EQ(view->pagesAction()->text(), "Look Through the Pages");
    EXPECT_EQ(view->wrappedAction()->toolTip(), "Your conversation in numbers, as cards to share");
    EXPECT_TRUE(view->orderButton()->isEnabled());
    EXPECT_TRUE(view->saveButton()->isEnabled());
    // A book without order choices: the paperback sent by economy, as the
    // facts say and the service charges.
    EXPECT_EQ(view->orderLabel().plainText(), "Order · $45");
    EXPECT_EQ(findText(view.get(), QStringLiteral("+$9"))->isVisible(), true);
}

TEST_F(BookHomeViewTest, WithoutTheWrappedTheToolbarHasThePagesOnly)
{
    BookHomeView view(open(designedBook()), BookHomeView::WrappedButton::Hidden);
    EXPECT_TRUE(view.pagesAction());
    EXPECT_FALSE(view.wrappedAction());
}

TEST_F(BookHomeViewTest, TheWrappedWearsASymbolOfItsOwnNotTheCodeLinesNorCopys)
{
    BookHomeView view(open(designedBook()));
    const auto drawn = [](const QIcon &icon) { return icon.pixmap(22).toImage(); };
    const QImage wrapped = drawn(view.wrappedAction()->icon());
    QImage blank(wrapped.size(), wrapped.format());
    blank.fill(Qt::transparent);
    EXPECT_NE(wrapped, blank) << "a symbol the app doesn't ship";
    // The code line under the toolbar wears one of these, whatever the
    // rewards' standing; copying wears the last.
    Rewards::Status status;
    status.code = QStringLiteral("SAM-42");
    QStringList others { BookPage::rewardsLine(status)->symbol };
    status.rewards = QStringLiteral("on");
    status.viral.giftCode = QStringLiteral("GIFT-1");
    others << BookPage::rewardsLine(status)->symbol
           << QStringLiteral("rectangle.portrait.on.rectangle.portrait");
    for (const QString &other : others)
        EXPECT_NE(wrapped, drawn(Icons::icon(other))) << other.toStdString();
}

TEST_F(BookHomeViewTest, TickingAnAddonChangesTheOrderWithTheOneItNeeds)
{
    std::shared_ptr<Project> project = open(designedBook());
    auto view = page(project);
    ASSERT_TRUE(waitUntil([&] { return view->addonRow(QStringLiteral("colour-coding")); }));
    QAbstractButton *coding = view->addonRow(QStringLiteral("colour-coding"))->box();
    QAbstractButton *colour = view->addonRow(QStringLiteral("colour"))->box();
    coding->click();
    EXPECT_EQ(chosenAddons(*project), QStringList({ "colour", "colour-coding" }));
    EXPECT_TRUE(colour->isChecked());
    EXPECT_TRUE(coding->isChecked());
    EXPECT_EQ(project->book().design->colourCoding, true);
    // The order's price follows: the book with the default shipping, colour
    // for a thin book and the coding.
    EXPECT_EQ(view->orderLabel().plainText(), "Order · $59");
    // Unticking colour takes colour coding with it.
    colour->click();
    EXPECT_TRUE(chosenAddons(*project).isEmpty());
    EXPECT_FALSE(coding->isChecked());
}

TEST_F(BookHomeViewTest, ABookOfSeveralVolumesGetsTheNoteAndTheBooksLine)
{
    auto view = pageOfPages(1600);
    EXPECT_TRUE(findText(view.get(), QStringLiteral("Books")));
    EXPECT_TRUE(findText(view.get(), QStringLiteral("1,600")));
    const Pricing::Binding paperback = view->pricing()->bindings.first();
    EXPECT_TRUE(findText(view.get(),
        QStringLiteral("Your story runs to 3 books. Each book after the first is $%1 off.")
            .arg(paperback.price - paperback.extraVolume)));
}

// Fault mended: a price list with a negative page limit was thrown away, so
// the page fell back to volumes of 780 pages and lost its add-ons.
TEST_F(BookHomeViewTest, APriceListWithoutAPageLimitKeepsItsAddOnsAndMakesOneBook)
{
    std::optional<Pricing> pricing = TestSupport::await(Pricing::load());
    ASSERT_TRUE(pricing);
    pricing->pagesPerVolume = -1;
    service.answer(QStringLiteral("pricing$"), 200, QJsonDocument(pricing->toJson()).toJson());
    auto view = pageOfPages(1600);
    ASSERT_TRUE(view->pricing());
    const QStringList texts = visibleTexts(view.get());
    for (const char *text : { "Add to it", "Colour pages", "1,600" })
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    EXPECT_FALSE(texts.contains(QStringLiteral("Books")));
    EXPECT_FALSE(texts.join(u'\n').contains(QStringLiteral("Your story runs to")));
    EXPECT_EQ(view->orderLabel().plainText(), "Order · $45");
}

TEST_F(BookHomeViewTest, OrderingWaitsForTheTypesetPagesAndSavingForTheEbook)
{
    ManualClock clock;
    FakeTypst typst;
    typst.hold = true;
    std::shared_ptr<Project> project = open(designedBook());
    project->setTypesetter(typst.typesetter());
    auto view = page(project);
    const auto ordered = [&] { return view->findChildren<OrderSheet *>().size(); };
    EXPECT_FALSE(view->orderButton()->isEnabled());
    EXPECT_FALSE(view->saveButton()->isEnabled());
    clock.advance(std::chrono::milliseconds(0));
    typst.release(0);
    ASSERT_TRUE(waitUntil([&] { return !project->pdf().isEmpty(); }));
    EXPECT_TRUE(view->orderButton()->isEnabled());
    EXPECT_TRUE(view->saveButton()->isEnabled());

    // A new typesetting holds the order back, not the saving.
    project->addWord(QStringLiteral("Message"));
    clock.advance(std::chrono::milliseconds(350));
    EXPECT_TRUE(project->isTypesetting());
    EXPECT_FALSE(view->orderButton()->isEnabled());
    EXPECT_TRUE(view->saveButton()->isEnabled());
    typst.release(1);
    ASSERT_TRUE(waitUntil([&] { return !project->isTypesetting(); }));
    QTest::mouseClick(view->orderButton(), Qt::LeftButton);
    EXPECT_EQ(ordered(), 1);
}

TEST_F(BookHomeViewTest, TheTestOrderAidOpensTheOrderOnceTheBookIsTypeset)
{
    std::shared_ptr<Project> project = open(designedBook());
    {
        auto without = page(project);
        const auto ordered = [&] { return without->findChildren<OrderSheet *>().size(); };
        ASSERT_TRUE(typeset(*project));
        ASSERT_TRUE(settled(*without));
        QTest::qWait(400);
        EXPECT_EQ(ordered(), 0);
    }
    // Only its presence counts, even empty. Ordering is closed, so the
    // sheet that opens places nothing.
    service.setMode(QStringLiteral("off"));
    qputenv("QUORVEL_TEST_ORDER", "");
    FakeTypst typst;
    typst.hold = true;
    fakeTypesetting(*project, typst);
    project->addWord(QStringLiteral("day"));
    ASSERT_TRUE(waitUntil([&] { return project->isTypesetting(); }));
    auto view = page(project);
    const auto ordered = [&] { return view->findChildren<OrderSheet *>().size(); };
    ASSERT_TRUE(waitUntil([&] { return view->pricesAsked(); }));
    QTest::qWait(700);
    EXPECT_EQ(ordered(), 0);
    typst.release(0);
    EXPECT_TRUE(waitUntil([&] { return ordered() == 1; }));
    QTest::qWait(700);
    EXPECT_EQ(ordered(), 1);
    qunsetenv("QUORVEL_TEST_ORDER");
}

TEST_F(BookHomeViewTest, SavingThePdfCopiesItAndAFailureShowsOnThePage)
{
    std::shared_ptr<Project> project = open(designedBook());
    auto view = page(project);
    ASSERT_TRUE(typeset(*project));

    const QString target = m_books.path() + QStringLiteral("/saved.pdf");
    writeFile(target, "an older file");
    desktop().answers = { { target } };
    view->saveAction(QStringLiteral("PDF…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return readFile(target) == readFile(project->pdf()); }));
    EXPECT_EQ(desktop().panels.last().suggestedName, "You & Sam.pdf");

    // A regular file stands where the folder should be.
    desktop().answers = { { target + QStringLiteral("/inside.pdf") } };
    view->saveAction(QStringLiteral("PDF…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return project->error().has_value(); }));
    EXPECT_TRUE(findText(view.get(), *project->error()));

    // Cancelling writes nothing and says nothing more.
    project->setError(std::nullopt);
    view->saveAction(QStringLiteral("PDF…"))->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(project->error());
}

// Fault mended: a 400-character title was offered whole as the PDF's name,
// which no folder can hold, so the save failed.
TEST_F(BookHomeViewTest, ALongTitlesPdfIsOfferedANameItSavesUnder)
{
    BookFile book = designedBook();
    book.front.title = QStringLiteral("Every message we sent in the year we met ").repeated(10);
    ASSERT_EQ(book.front.title.size(), 410);
    std::shared_ptr<Project> project = open(book);
    auto view = page(project);
    ASSERT_TRUE(typeset(*project));

    // Asked once to see the name offered, then saved under it.
    view->saveAction(QStringLiteral("PDF…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return desktop().panels.size() == 1; }));
    const QString offered = desktop().panels.last().suggestedName;
    EXPECT_TRUE(offered.startsWith(QStringLiteral("Every message we sent")));
    const QString target = m_books.path() + QLatin1Char('/') + offered;
    desktop().answers = { { target } };
    view->saveAction(QStringLiteral("PDF…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(target) || project->error(); }));
    EXPECT_FALSE(project->error()) << project->error()->toStdString();
    EXPECT_EQ(readFile(target), readFile(project->pdf()));
}

// Fault mended: the book's page offered the title unchanged ("Us
// 2023/2024.pdf" names a folder) under a filter of its own, the page view
// another, and both opened wherever the app happened to be started.
TEST_F(BookHomeViewTest, TheBooksPageAndItsPagesOfferThePdfAlike)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(QDir().mkpath(documents));
    BookFile book = designedBook();
    book.front.title = QStringLiteral("Us 2023/2024");
    std::shared_ptr<Project> project = open(book);
    auto view = page(project);
    ASSERT_TRUE(typeset(*project));
    view->saveAction(QStringLiteral("PDF…"))->trigger();
    ASSERT_TRUE(waitUntil([&] { return desktop().panels.size() == 1; }));
    BookView pages(project);
    TestSupport::await(pages.exportPDF());

    ASSERT_EQ(desktop().panels.size(), 2);
    for (const Desktop::Panel &panel : desktop().panels) {
        EXPECT_EQ(panel.mode, Desktop::Panel::Mode::Save);
        EXPECT_EQ(panel.suggestedName, "Us 2023-2024.pdf");
        EXPECT_EQ(panel.directory, documents);
        EXPECT_EQ(panel.nameFilters, QStringList { "PDF document (*.pdf)" });
        EXPECT_EQ(panel.defaultSuffix, "pdf");
    }
}

TEST_F(BookHomeViewTest, DeletingRemovesTheFolderAndTheBookConsentOnly)
{
    std::shared_ptr<Project> project = open(designedBook(), QStringLiteral("del"));
    Defaults &defaults = Defaults::standard();
    for (const char *key : { "consent:del", "consent-wrapped:del", "me:del", "wrapped:del" })
        defaults.setString(QString::fromLatin1(key), QStringLiteral("x"));
    auto view = page(project);
    QSignalSpy deleted(view.get(), &BookHomeView::deleted);

    // Cancelling changes nothing.
    QTest::mouseClick(view->deleteButton(), Qt::LeftButton);
    auto *box = view->findChild<QMessageBox *>();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QStringLiteral("Delete “You & Sam”?"));
    box->button(QMessageBox::Cancel)->click();
    QTest::qWait(10);
    EXPECT_TRUE(deleted.isEmpty());
    EXPECT_TRUE(QDir(project->folder()).exists());

    QTest::mouseClick(view->deleteButton(), Qt::LeftButton);
    box = view->findChild<QMessageBox *>();
    ASSERT_TRUE(box);
    qobject_cast<QPushButton *>(findText(box, QStringLiteral("Delete")))->click();
    EXPECT_EQ(deleted.size(), 1);
    EXPECT_FALSE(QDir(project->folder()).exists());
    EXPECT_FALSE(defaults.string(QStringLiteral("consent:del")));
    for (const char *key : { "consent-wrapped:del", "me:del", "wrapped:del" })
        EXPECT_TRUE(defaults.string(QString::fromLatin1(key))) << key;
}

// The question before deleting and the page's sheets speak with one
// button order, whichever the desktop's is.
TEST_F(BookHomeViewTest, TheDeleteQuestionOrdersItsButtonsAsTheSheetsDo)
{
    std::shared_ptr<Project> project = open(designedBook());
    const auto before = [](QWidget *dialog, const QString &action) {
        QWidget *doing = findText(dialog, action);
        QWidget *cancel = findText(dialog, QStringLiteral("Cancel"));
        EXPECT_TRUE(doing && cancel) << action.toStdString();
        return doing && cancel && doing->mapToGlobal(QPoint()).x() < cancel->mapToGlobal(QPoint()).x();
    };
    for (const auto layout : { QDialogButtonBox::WinLayout, QDialogButtonBox::GnomeLayout }) {
        DialogButtonLayout desktop(layout);
        auto view = page(project);
        view->extra(QStringLiteral("Add a page of your own"))->click();
        QDialog *sheet = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            sheet = view->findChild<QDialog *>();
            return sheet && sheet->isVisible() && findText(sheet, QStringLiteral("Add Page"));
        }));
        const bool sheetFirst = before(sheet, QStringLiteral("Add Page"));
        sheet->reject();

        QTest::mouseClick(view->deleteButton(), Qt::LeftButton);
        auto *question = view->findChild<QMessageBox *>();
        ASSERT_TRUE(question);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(question));
        EXPECT_EQ(before(question, QStringLiteral("Delete")), sheetFirst) << layout;
        question->button(QMessageBox::Cancel)->click();
    }
}

TEST_F(BookHomeViewTest, TheRewardsLineShowsOnceThereIsAStatusAndLeadsToTheWrapped)
{
    std::shared_ptr<Project> project = open(designedBook());
    auto view = page(project);
    QSignalSpy wrapped(view.get(), &BookHomeView::wrappedRequested);
    ASSERT_TRUE(waitUntil([&] { return Rewards::shared().status().has_value() && view->pricesAsked(); }));
    const Rewards::Status status = *Rewards::shared().status();
    QWidget *line = findText(view.get(),
        QStringLiteral("Friends of Friends: code %1 is %2% off for you and anyone you give it to.")
            .arg(status.code)
            .arg(status.referral.percent));
    ASSERT_TRUE(line);
    QTest::mouseClick(line->parentWidget(), Qt::LeftButton);
    EXPECT_EQ(wrapped.size(), 1);
}

TEST_F(BookHomeViewTest, TheCoverIsDrawnAgainOnlyWhenWhatItShowsChanges)
{
    std::shared_ptr<Project> project = open(designedBook());
    ASSERT_TRUE(typeset(*project));
    auto view = page(project);
    ASSERT_TRUE(settled(*view));
    const int renders = view->coverRenders();

    BookFile book = project->book();
    book.design->cover.custom = Design::Cover::Custom();
    book.design->cover.custom->background = QStringLiteral("#112233");
    project->setBook(book);
    QTest::qWait(100);
    EXPECT_EQ(view->coverRenders(), renders);

    book.design->cover.color = QStringLiteral("navy");
    project->setBook(book);
    ASSERT_TRUE(waitUntil([&] { return view->coverRenders() == renders + 1; }));
    EXPECT_TRUE(view->hasCover());
}

TEST_F(BookHomeViewTest, TheExtrasOpenTheirSheetsAndTheSearchOpensThePages)
{
    std::shared_ptr<Project> project = open(designedBook());
    auto view = page(project);
    QSignalSpy pages(view.get(), &BookHomeView::pagesRequested);
    ExtraRow *find = view->extra(QStringLiteral("Find a moment"));
    // Anywhere in the row, the empty middle too.
    QTest::mouseClick(find, Qt::LeftButton, {}, QPoint(find->width() - 40, find->height() / 2));
    EXPECT_EQ(pages.size(), 1);

    view->extra(QStringLiteral("Names in the book"))->click();
    ASSERT_TRUE(
        waitUntil([&] { return view->findChild<QDialog *>() && view->findChild<QDialog *>()->isVisible(); }));
    view->findChild<QDialog *>()->reject();
    QTest::qWait(10);
    view->extra(QStringLiteral("Add a page of your own"))->click();
    ASSERT_TRUE(
        waitUntil([&] { return findText(view->findChild<QDialog *>(), QStringLiteral("Add Page")); }));
}
