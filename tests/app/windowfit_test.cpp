// Every main screen fits the window at every size from the smallest up:
// nothing runs out of what holds it or is squeezed past its words, long
// columns scroll down, and nothing scrolls sideways. Over the sample
// conversation, with the real tools, as a person goes from screen to screen.
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "fitcheck.h"
#include "flow/bookflow.h"
#include "flow/bookhomeview.h"
#include "samplewindow.h"
#include "uitestsupport.h"
#include "viewer/bookview.h"
#include "viewer/searchresults.h"
#include "wizard/coverstep.h"
#include "wizard/wizardmodel.h"
#include "wizard/wizardview.h"
#include "wrapped/wrappedinspector.h"
#include "wrapped/wrappedview.h"
#include "wrapped/wrappedviewtest.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

namespace {

// The smallest window, the width of a small laptop's screen, the first
// size and a large one.
const QList<QSize> sizes { { 980, 640 }, { 1024, 700 }, { 1280, 820 }, { 1600, 1000 } };

void settle()
{
    for (int round = 0; round < 4; ++round)
        QApplication::processEvents();
    QTest::qWait(100);
    // What arrived at the end of the wait (the cover's designs, say) is laid
    // out before it is measured, as it is before it is painted.
    for (int round = 0; round < 4; ++round)
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// What is cut or scrolls sideways in the window at each size, one line per
// fault and size; empty when the screen fits.
QStringList faults(QWidget *window)
{
    QStringList found;
    for (const QSize &size : sizes) {
        window->resize(size);
        settle();
        const QString at = QStringLiteral("%1x%2: ").arg(size.width()).arg(size.height());
        for (const QString &cut : TestSupport::cutWidgets(window))
            found.append(at + cut);
        for (const QString &bar : TestSupport::sidewaysScrollBars(window))
            found.append(at + QStringLiteral("scrolls sideways: ") + bar);
    }
    return found;
}

} // namespace

TEST(WindowFit, TheSmallestWindowCountsItsMenuBarAndToolbar)
{
    SampleWindow sample;
    MainWindow *window = sample.window();
    EXPECT_EQ(window->minimumSize(), QSize(980, 640));
    ASSERT_TRUE(sample.home());
    // The book's page fills the toolbar: the window still gets as small.
    window->resize(400, 300);
    settle();
    EXPECT_EQ(window->size(), QSize(980, 640));
    EXPECT_EQ(window->minimumSizeHint().boundedTo(QSize(980, 640)), window->minimumSizeHint());
}

TEST(WindowFit, TheSidebarAndTheConsentScreen)
{
    SampleWindow sample(SampleWindow::Consent::None);
    ASSERT_TRUE(
        TestSupport::waitUntil([&] { return sample.content()->route() == ContentView::Route::Split; }));
    EXPECT_EQ(faults(sample.window()), QStringList());
    ASSERT_TRUE(sample.pick());
    EXPECT_EQ(faults(sample.window()), QStringList());
}

// A person's full name can be longer than the screen is wide: the consent
// screen's box beside it and the first step's moments ran past the window.
TEST(WindowFit, ALongNameWrapsOnTheConsentScreenAndWhatTheWizardFound)
{
    BookFile book = SampleWindow::sampleBook();
    for (BookFile::Person &person : book.people) {
        if (!person.me)
            person.name = QStringLiteral("Maximiliane Theodora Wilhelmina von Rabenstein-Oberhausen");
    }
    {
        SampleWindow sample(SampleWindow::Consent::None, QSize(980, 640), book);
        ASSERT_TRUE(sample.pick());
        EXPECT_EQ(faults(sample.window()), QStringList());
    }
    SampleWindow sample(SampleWindow::Consent::Book, QSize(980, 640), book);
    ASSERT_TRUE(sample.wizard());
    EXPECT_EQ(faults(sample.window()), QStringList());
}

TEST(WindowFit, EveryStepOfTheWizard)
{
    SampleWindow sample;
    WizardView *wizard = sample.wizard();
    ASSERT_TRUE(wizard);
    WizardModel *model = wizard->model();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model->pricing().has_value(); }));
    const auto goTo = [&](WizardModel::Step step) {
        wizard->go(int(step) - int(model->step()));
        return TestSupport::waitUntil(
            [&] { return !wizard->findChild<QWidget *>(QStringLiteral("stepTransition")); });
    };
    for (int number = 0; number < WizardModel::stepCount; ++number) {
        ASSERT_TRUE(goTo(*WizardModel::stepAt(number)));
        EXPECT_EQ(faults(sample.window()), QStringList()) << "step " << number;
    }
    // Every way of making the cover, each with its own panel.
    ASSERT_TRUE(goTo(WizardModel::Step::Cover));
    auto *cover = qobject_cast<CoverStep *>(wizard->stepView());
    ASSERT_TRUE(cover);
    for (int tab = 0; tab < CoverStep::tabCount; ++tab) {
        cover->setTab(CoverStep::Tab(tab));
        EXPECT_EQ(faults(sample.window()), QStringList()) << "cover tab " << tab;
    }
}

TEST(WindowFit, TheMakingScreenTheBooksPageItsPagesAndItsWrapped)
{
    SampleWindow sample;
    ASSERT_TRUE(sample.making());
    ASSERT_EQ(sample.flow()->mode(), BookFlow::Mode::Making);
    EXPECT_EQ(faults(sample.window()), QStringList());

    ASSERT_TRUE(sample.home());
    EXPECT_EQ(faults(sample.window()), QStringList());
    BookView *pages = sample.pages();
    ASSERT_TRUE(pages);
    EXPECT_EQ(faults(sample.window()), QStringList());
    // Beside the pages, the book's settings, then what a search found.
    pages->setInspectorShown(true);
    EXPECT_EQ(faults(sample.window()), QStringList()) << "settings";
    pages->setInspectorShown(false);
    pages->setQuery(QStringLiteral("coffee"));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return pages->results()->count() > 0; }));
    EXPECT_EQ(faults(sample.window()), QStringList()) << "search";
    pages->setQuery(QString());
    ASSERT_TRUE(sample.wrapped());
    EXPECT_EQ(faults(sample.window()), QStringList());
}

// A Wrapped failure is read where the user's eyes are at the smallest
// window: a year the tool can't count beside the year picker, a save that
// fails beside its button; each whole, and over nothing.
TEST(WindowFit, TheWrappedsFailuresAreToldBesideWhatFailed)
{
    SampleWindow sample(SampleWindow::Consent::Book, QSize(980, 640), twoYearsOfUs());
    MainWindow *window = sample.window();
    WrappedView *view = sample.wrapped();
    ASSERT_TRUE(view);
    settle();
    QComboBox *years = view->inspector()->yearPicker();
    ASSERT_EQ(TestSupport::outOfSight(years), QString());
    // The picker never offers a year without messages; the tool refuses one.
    view->pickYear(2019);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    ASSERT_TRUE(view->error());
    settle();
    EXPECT_EQ(TestSupport::outOfSight(view->inspector()->errorLine()), QString());
    EXPECT_EQ(TestSupport::outOfSight(years), QString());
    EXPECT_EQ(TestSupport::cutWidgets(window), QStringList());

    // Saving where a file stands in the folder's way, the save button
    // scrolled into view as the user does.
    QTemporaryDir folder;
    const QString blocked = folder.filePath(QStringLiteral("taken"));
    TestSupport::writeFile(blocked, "a file");
    TestSupport::desktop().answers.append({ blocked + QStringLiteral("/cards") });
    auto *save = qobject_cast<QPushButton *>(TestSupport::findText(view, QStringLiteral("Save Cards…")));
    ASSERT_TRUE(save);
    for (QWidget *up = save->parentWidget(); up; up = up->parentWidget()) {
        if (auto *panel = qobject_cast<QScrollArea *>(up)) {
            panel->ensureWidgetVisible(save);
            break;
        }
    }
    settle();
    save->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->error() && !view->exporting(); }));
    settle();
    EXPECT_EQ(TestSupport::outOfSight(view->inspector()->errorLine()), QString());
    EXPECT_EQ(TestSupport::outOfSight(save), QString());
    EXPECT_EQ(TestSupport::cutWidgets(window), QStringList());
    TestSupport::desktop().reset();
}
