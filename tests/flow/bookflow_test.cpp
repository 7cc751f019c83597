// One book's flow between its screens, over a real project, the real
// message tool for the Wrapped, and stand-ins for the screens of the wizard,
// the viewer and the Wrapped.
#include "bookflowtest.h"
#include "flow/bookhomeview.h"
#include "flow/makingview.h"
#include "flow/printconsentsheet.h"
#include "heldgates.h"
#include "model/consent.h"
#include "model/day.h"
#include "model/defaults.h"
#include "service/pricing.h"
#include "viewer/bookview.h"

#include <QApplication>
#include <QCheckBox>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

using namespace TestSupport;
using Mode = BookFlow::Mode;

namespace {

class BookFlowTest : public FlowTest
{
protected:
    void TearDown() override { qunsetenv("QUORVEL_MODE"); }

    std::unique_ptr<BookFlow> flow(
        std::shared_ptr<Project> project, BookFlow::Screens screens = StandInScreens::screens())
    {
        auto made = std::make_unique<BookFlow>(project, screens);
        made->resize(1100, 760);
        made->show();
        return made;
    }

    static void click(QWidget *root, const QString &text)
    {
        QWidget *button = findText(root, text);
        ASSERT_TRUE(button) << text.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // A Wrapped that never finishes counting on its own, or one that counts.
    static BookFlow::Screens countingBy(std::function<QCoro::Task<Wrapped>(BookFile)> count)
    {
        BookFlow::Screens screens = StandInScreens::screens();
        screens.count = std::move(count);
        return screens;
    }
};

QString consent(const QString &id)
{
    return Defaults::standard().string(QStringLiteral("consent:") + id).value_or(QString());
}

} // namespace

TEST_F(BookFlowTest, TheFirstScreenFollowsConsentDesignAndTheModeAsked)
{
    struct Case
    {
        bool bookConsent;
        bool design;
        const char *mode;
        Mode first;
    };
    const QList<Case> cases {
        { false, true, "pages", Mode::Wrapped },
        { false, false, "home", Mode::Wrapped },
        { true, false, nullptr, Mode::Wizard },
        { true, false, "wrapped", Mode::Wrapped },
        { true, true, nullptr, Mode::Home },
        { true, true, "pages", Mode::Pages },
        { true, true, "Pages", Mode::Home },
        { true, true, "WRAPPED", Mode::Home },
        { true, true, "home", Mode::Home },
    };
    const BookFlow::Screens never = countingBy([](BookFile) -> QCoro::Task<Wrapped> { co_return Wrapped(); });
    int n = 0;
    for (const Case &c : cases) {
        const QString key = QStringLiteral("c%1").arg(n++);
        if (c.bookConsent)
            Consent::record(key);
        else
            Consent::recordWrapped(key);
        BookFile book = designedBook();
        if (!c.design)
            book.design.reset();
        if (c.mode)
            qputenv("QUORVEL_MODE", c.mode);
        else
            qunsetenv("QUORVEL_MODE");
        BookFlow made(open(book, key), never);
        EXPECT_EQ(made.mode(), c.first) << key.toStdString() << " " << (c.mode ? c.mode : "unset");
    }
}

TEST_F(BookFlowTest, AWrappedOnlyConsentAsksForPrintConsentBeforeTheBook)
{
    Consent::recordWrapped(QStringLiteral("w"));
    BookFile book = designedBook();
    book.design.reset();
    std::shared_ptr<Project> project = open(book, QStringLiteral("w"));
    auto made = flow(project);
    EXPECT_EQ(made->mode(), Mode::Wrapped);
    EXPECT_EQ(made->windowTitle(), "Wrapped");
    // Counted by the message tool, then shown.
    ASSERT_TRUE(waitUntil([&] { return made->wrapped().has_value(); }));
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), QStringLiteral("wrapped 6 -")); }));

    click(made->screen(), QStringLiteral("Make the Book"));
    ASSERT_TRUE(made->consentSheet());
    EXPECT_TRUE(findText(made->consentSheet(),
        QStringLiteral("I'm in this conversation, and Sam is happy to be in a printed book.")));
    click(made->consentSheet(), QStringLiteral("Cancel"));
    EXPECT_TRUE(waitUntil([&] { return !made->consentSheet(); }));
    EXPECT_EQ(made->mode(), Mode::Wrapped);
    EXPECT_EQ(consent(QStringLiteral("w")), QString());

    // Asked again, the box starts unticked.
    click(made->screen(), QStringLiteral("Make the Book"));
    ASSERT_TRUE(made->consentSheet());
    EXPECT_FALSE(made->consentSheet()->checkbox()->isChecked());
    made->consentSheet()->checkbox()->click();
    QTest::mouseClick(made->consentSheet()->makeButton(), Qt::LeftButton);
    EXPECT_EQ(consent(QStringLiteral("w")), Day::iso(QDateTime::currentDateTime()));
    EXPECT_EQ(made->mode(), Mode::Wizard);
    EXPECT_TRUE(waitUntil([&] { return !made->consentSheet(); }));
}

TEST_F(BookFlowTest, TheWrappedIsCountedOnceAndAFailureLeadsOnToTheBook)
{
    Consent::record(QStringLiteral("k"));
    int counts = 0;
    bool fail = true;
    auto made = flow(open(designedBook()), countingBy([&](BookFile) -> QCoro::Task<Wrapped> {
        ++counts;
        if (fail)
            throw Helpers::Failure(
                QStringLiteral("brimlow-core"), 1, QStringLiteral("Error: The book has no days."));
        Wrapped wrapped;
        wrapped.total = 42;
        co_return wrapped;
    }));
    EXPECT_EQ(made->mode(), Mode::Home);
    made->openWrapped(std::nullopt);
    const QString sentence = QStringLiteral("brimlow-core failed (1): Error: The book has no days.");
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), sentence); }));
    EXPECT_FALSE(findText(made.get(), QStringLiteral("Counting")));
    EXPECT_EQ(made->screen()->parentWidget(), made.get());

    // Never a dead end: on to the book's page.
    click(made->screen(), QStringLiteral("Make the Book"));
    EXPECT_EQ(made->mode(), Mode::Home);

    // Coming back counts again; after that, never more.
    fail = false;
    made->openWrapped(QStringLiteral("streak"));
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), QStringLiteral("wrapped 42 streak")); }));
    made->makeBook();
    made->openWrapped(std::nullopt);
    EXPECT_TRUE(findText(made.get(), QStringLiteral("wrapped 42 -")));
    EXPECT_EQ(counts, 2);
}

// Fault mended: the count run again on coming back showed the last one's
// failure and "Make the Book", without any progress, until it ended; and
// the book's page kept that old sentence under its actions.
TEST_F(BookFlowTest, ACountRunAgainShowsItIsCountingAndTheOldFailureGoes)
{
    Consent::record(QStringLiteral("k"));
    std::shared_ptr<Project> project = open(designedBook());
    int counts = 0;
    HeldGates gates;
    auto made = flow(project, countingBy([&](BookFile) -> QCoro::Task<Wrapped> {
        const int n = counts++;
        co_await gates.wait();
        if (n == 0)
            throw Helpers::Failure(
                QStringLiteral("brimlow-core"), 1, QStringLiteral("Error: The book has no days."));
        Wrapped wrapped;
        wrapped.total = 42;
        co_return wrapped;
    }));
    const QString sentence = QStringLiteral("brimlow-core failed (1): Error: The book has no days.");
    made->openWrapped(std::nullopt);
    gates.release(0);
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), sentence); }));
    click(made->screen(), QStringLiteral("Make the Book"));
    ASSERT_EQ(made->mode(), Mode::Home);
    EXPECT_TRUE(waitUntil([&] { return findText(made.get(), sentence); }));

    made->openWrapped(std::nullopt);
    ASSERT_EQ(counts, 2);
    EXPECT_TRUE(findText(made.get(), QStringLiteral("Counting")));
    EXPECT_FALSE(findText(made.get(), sentence));
    EXPECT_FALSE(findText(made.get(), QStringLiteral("Make the Book")));
    EXPECT_FALSE(project->error());
    // Left while it counts, the book's page has no sentence of it either.
    made->makeBook();
    ASSERT_EQ(made->mode(), Mode::Home);
    EXPECT_FALSE(findText(made.get(), sentence));
    made->openWrapped(std::nullopt);
    EXPECT_TRUE(findText(made.get(), QStringLiteral("Counting")));
    gates.release(1);
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), QStringLiteral("wrapped 42 -")); }));
    EXPECT_EQ(counts, 2);
    EXPECT_FALSE(project->error());
}

TEST_F(BookFlowTest, TheWizardOfANewBookCanNotBeCancelledButReopenedItCan)
{
    Consent::record(QStringLiteral("k"));
    BookFile book = designedBook();
    book.design.reset();
    std::shared_ptr<Project> project = open(book);
    auto made = flow(project);
    EXPECT_EQ(made->mode(), Mode::Wizard);
    EXPECT_FALSE(findText(made->screen(), QStringLiteral("Cancel")));
    EXPECT_EQ(made->windowTitle(), "You & Sam");
    made->wizard()->setTitle(QStringLiteral("Our Year"));
    EXPECT_EQ(made->windowTitle(), "Our Year");
    made->wizard()->setTitle(QString());
    EXPECT_EQ(made->windowTitle(), "You & Sam");

    click(made->screen(), QStringLiteral("Finish"));
    EXPECT_EQ(made->mode(), Mode::Making);
    EXPECT_FALSE(project->needsWizard());
    ASSERT_TRUE(waitUntil([&] { return made->mode() == Mode::Home; }, 60000));
    // The cover the making screen drew is on the page at once, not drawn again.
    auto *home = qobject_cast<BookHomeView *>(made->screen());
    EXPECT_TRUE(home->hasCover());
    QTest::qWait(50);
    EXPECT_EQ(home->coverRenders(), 0);

    // From the page: the setup again, resumed, and this time it can be left.
    WizardModel *first = made->wizard();
    qobject_cast<BookHomeView *>(made->screen())->setupRequested();
    EXPECT_EQ(made->mode(), Mode::Wizard);
    EXPECT_NE(made->wizard(), first);
    click(made->screen(), QStringLiteral("Cancel"));
    EXPECT_EQ(made->mode(), Mode::Home);
}

TEST_F(BookFlowTest, TheBooksPageLeadsToThePagesTheWrappedAndBack)
{
    Consent::record(QStringLiteral("k"));
    auto made = flow(
        open(designedBook()), countingBy([](BookFile) -> QCoro::Task<Wrapped> { co_return Wrapped(); }));
    auto *home = qobject_cast<BookHomeView *>(made->screen());
    ASSERT_TRUE(home);
    home->pagesAction()->trigger();
    EXPECT_EQ(made->mode(), Mode::Pages);
    click(made->screen(), QStringLiteral("Done"));
    EXPECT_EQ(made->mode(), Mode::Home);
    qobject_cast<BookHomeView *>(made->screen())->wrappedAction()->trigger();
    EXPECT_EQ(made->mode(), Mode::Wrapped);
    EXPECT_EQ(made->windowTitle(), "Wrapped");
    // The wizard can open the Wrapped on a card of its choosing.
    made->wizard()->onWrapped()(QStringLiteral("love"));
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), QStringLiteral("wrapped 0 love")); }));
}

// The price list's limit, not 780, even when the page is left and come back to.
TEST_F(BookFlowTest, ThePagesCountVolumesOfThePriceListTheBooksPageLoaded)
{
    std::optional<Pricing> pricing = TestSupport::await(Pricing::load());
    ASSERT_TRUE(pricing);
    pricing->pagesPerVolume = 2;
    service.answer(QStringLiteral("pricing$"), 200, QJsonDocument(pricing->toJson()).toJson());
    Consent::record(QStringLiteral("k"));
    std::shared_ptr<Project> project = open(designedBook(40));
    BookFlow::Screens screens = StandInScreens::screens();
    screens.pages = BookFlow::Screens::standard().pages;
    auto made = flow(project, screens);
    auto *home = qobject_cast<BookHomeView *>(made->screen());
    ASSERT_TRUE(home);
    ASSERT_TRUE(waitUntil([&] { return home->pricing().has_value(); }));
    ASSERT_TRUE(typeset(*project));
    const int pages = project->layout().pageCount;
    ASSERT_GT(pages, 2);
    const QString volumes = QStringLiteral(" · %1 volumes").arg((pages + 1) / 2);

    home->pagesAction()->trigger();
    auto *view = qobject_cast<BookView *>(made->screen());
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->subtitle().endsWith(volumes)) << view->subtitle().toStdString();
    view->backAction()->trigger();
    ASSERT_EQ(made->mode(), Mode::Home);
    qobject_cast<BookHomeView *>(made->screen())->pagesAction()->trigger();
    view = qobject_cast<BookView *>(made->screen());
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->subtitle().endsWith(volumes)) << view->subtitle().toStdString();
}

TEST_F(BookFlowTest, DeletingTheBookEndsTheFlow)
{
    Consent::record(QStringLiteral("k"));
    std::shared_ptr<Project> project = open(designedBook());
    auto made = flow(project);
    QSignalSpy deleted(made.get(), &BookFlow::deleted);
    qobject_cast<BookHomeView *>(made->screen())->deleted();
    EXPECT_EQ(deleted.size(), 1);
}

// The wizard itself, over the book's own model: Make It for Me, the making
// screen, and the book's page with its cover.
TEST_F(BookFlowTest, TheRealWizardLeadsThroughTheMakingScreenToTheBooksPage)
{
    Consent::record(QStringLiteral("k"));
    BookFile book = designedBook(40);
    book.design.reset();
    std::shared_ptr<Project> project = open(book);
    BookFlow::Screens screens = StandInScreens::screens();
    screens.wizard = BookFlow::Screens::standard().wizard;
    auto made = flow(project, screens);
    ASSERT_EQ(made->mode(), Mode::Wizard);
    QWidget *makeItForMe = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        makeItForMe = findText(made->screen(), QStringLiteral("Make It for Me"));
        return makeItForMe && makeItForMe->isEnabled();
    }));
    QTest::mouseClick(makeItForMe, Qt::LeftButton);
    ASSERT_EQ(made->mode(), Mode::Making);
    EXPECT_FALSE(project->needsWizard());
    EXPECT_TRUE(findText(made->screen(), QStringLiteral("Making your book")));
    ASSERT_TRUE(waitUntil([&] { return made->mode() == Mode::Home; }, 60000));
    auto *home = qobject_cast<BookHomeView *>(made->screen());
    EXPECT_TRUE(home->hasCover());
    EXPECT_TRUE(findText(home, QStringLiteral("40")));
    ASSERT_TRUE(waitUntil([&] { return home->pricesAsked(); }));
}

// The wizard's first step reveals what it found for a while; leaving it
// meanwhile, for the Wrapped or for another conversation, used to redraw a
// wizard half taken down.
TEST_F(BookFlowTest, LeavingTheWizardWhileItsFirstStepRevealsIsSafe)
{
    Consent::record(QStringLiteral("k"));
    BookFile book = designedBook(40);
    book.design.reset();
    BookFlow::Screens screens = countingBy([](BookFile) -> QCoro::Task<Wrapped> { co_return Wrapped(); });
    screens.wizard = BookFlow::Screens::standard().wizard;
    auto made = flow(open(book), screens);
    // What it found has arrived and is being revealed.
    ASSERT_TRUE(waitUntil([&] { return made->wizard()->insights().has_value(); }));
    QTest::qWait(300);
    ASSERT_FALSE(made->wizard()->isFoundReady());
    made->wizard()->onWrapped()(std::nullopt);
    ASSERT_TRUE(waitUntil([&] { return findText(made.get(), QStringLiteral("wrapped 0 -")); }));
    // The wizard goes; its step, on the way out, ends the reveal.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(made->wizard()->isFoundReady());
    made->makeBook();
    ASSERT_EQ(made->mode(), Mode::Wizard);
    made.reset();
    QTest::qWait(50);
}

// After "Change Setup" the focus stayed behind, in the list beside the
// book or on nothing: the keys had to find their way back to the wizard.
TEST_F(BookFlowTest, ANewScreenTakesTheFocusFromTheOneBefore)
{
    Consent::record(QStringLiteral("k"));
    auto made = flow(open(designedBook()));
    ASSERT_TRUE(TestSupport::activate(made.get()));
    auto *home = qobject_cast<BookHomeView *>(made->screen());
    ASSERT_TRUE(home);
    auto *setup = qobject_cast<QPushButton *>(findText(home, QStringLiteral("Change Setup")));
    ASSERT_TRUE(setup);
    setup->setFocus(Qt::TabFocusReason);
    QTest::keyClick(setup, Qt::Key_Space);
    ASSERT_EQ(made->mode(), Mode::Wizard);
    // The stand-in wizard's first control is its "Finish".
    EXPECT_EQ(QApplication::focusWidget(), findText(made->screen(), QStringLiteral("Finish")));

    // A screen with nothing to stop at keeps the focus on itself.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_EQ(made->mode(), Mode::Making);
    ASSERT_TRUE(QApplication::focusWidget());
    EXPECT_TRUE(made->screen()->isAncestorOf(QApplication::focusWidget())
        || QApplication::focusWidget() == made->screen());
}
