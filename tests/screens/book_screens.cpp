// One book's road through the window, as a person goes it over the sample
// conversation: the sidebar, the consent screen, every step of the wizard,
// the making screen and the book's page.
#include "app/contentview.h"
#include "app/mainwindow.h"
#include "fakedesktop.h"
#include "flow/bookflow.h"
#include "flow/bookhomeview.h"
#include "flow/consentview.h"
#include "gallery.h"
#include "insights/insights.h"
#include "project/project.h"
#include "samplewindow.h"
#include "ui/card.h"
#include "uitestsupport.h"
#include "wizard/timeline.h"
#include "wizard/wizardmodel.h"
#include "wizard/wizardview.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QVariantAnimation>

using Gallery::atEverySize;

namespace {

// The wizard's step shown, once its slide in has ended.
void settleStep(WizardView *wizard)
{
    TestSupport::waitUntil([&] { return !wizard->findChild<QWidget *>(QStringLiteral("stepTransition")); });
    Gallery::settle();
}

const char *stepName(WizardModel::Step step)
{
    switch (step) {
    case WizardModel::Step::Found:
        return "found";
    case WizardModel::Step::What:
        return "what";
    case WizardModel::Step::Fit:
        return "fit";
    case WizardModel::Step::Typeface:
        return "typeface";
    case WizardModel::Step::Chapters:
        return "chapters";
    case WizardModel::Step::Cover:
        return "cover";
    case WizardModel::Step::Touches:
        return "touches";
    case WizardModel::Step::Binding:
        return "binding";
    case WizardModel::Step::Shipping:
        return "shipping";
    case WizardModel::Step::Review:
        return "review";
    }
    return "";
}

} // namespace

TEST(BookScreens, TheSidebarAndTheConsentScreen)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample(SampleWindow::Consent::None);
        MainWindow *window = sample.window();
        ASSERT_TRUE(
            TestSupport::waitUntil([&] { return sample.content()->route() == ContentView::Route::Split; }));
        Gallery::settle(500);
        atEverySize(window, QStringLiteral("sidebar"), QStringLiteral("choose-someone"));
        ASSERT_TRUE(sample.pick());
        atEverySize(window, QStringLiteral("consent"), QStringLiteral("with-website"));
    });
}

// The sample year with someone known only by a UK number and no contact:
// the sidebar, the consent screen, the book's page with its cover and the
// title page name them by the number as written.
TEST(BookScreens, ABookWithSomeoneKnownByANumber)
{
    BookFile book = SampleWindow::sampleBook();
    for (BookFile::Person &person : book.people) {
        if (!person.me)
            person.name = QStringLiteral("+44 7700 900123");
    }
    Gallery::inBothAppearances([&] {
        SampleWindow sample(SampleWindow::Consent::None, QSize(1280, 820), book);
        MainWindow *window = sample.window();
        ASSERT_TRUE(sample.pick());
        atEverySize(window, QStringLiteral("consent"), QStringLiteral("number"));
        auto *consent = qobject_cast<ConsentView *>(sample.content()->detailWidget());
        ASSERT_TRUE(consent);
        consent->okToPrint()->click();
        consent->readButton()->click();
        ASSERT_TRUE(sample.home());
        atEverySize(window, QStringLiteral("book-page"), QStringLiteral("number"));
        ASSERT_TRUE(sample.pages());
        Gallery::settle(1500);
        atEverySize(window, QStringLiteral("pages"), QStringLiteral("number-title-page"));
    });
}

// The sample with a long first "I love you": the found step's card keeps
// the whole sentence, its answer included.
TEST(BookScreens, TheFoundStepWithALongFirstLoveYou)
{
    BookFile book = SampleWindow::sampleBook();
    const Insights insights = Insights::read(book);
    const auto love = std::find_if(insights.moments.cbegin(), insights.moments.cend(),
        [](const Insights::Moment &moment) { return moment.id == u"first-love"; });
    ASSERT_NE(love, insights.moments.cend());
    for (BookFile::Message &message : book.messages) {
        if (message.id == love->messageID)
            message.text = QStringLiteral("I love you, and I have wanted to say it since the night we missed "
                                          "the last train home together");
    }
    Gallery::inBothAppearances([&] {
        SampleWindow sample(SampleWindow::Consent::Book, QSize(1280, 820), book);
        WizardView *wizard = sample.wizard();
        ASSERT_TRUE(wizard);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return wizard->model()->isFoundReady(); }, 20000));
        settleStep(wizard);
        atEverySize(sample.window(), QStringLiteral("wizard-0-found"), QStringLiteral("long-love"));
    });
}

// Half way from the first step to the second: the new step slides in from
// the trailing edge, fading in, over the first going out.
TEST(BookScreens, TheWizardBetweenTwoSteps)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        WizardView *wizard = sample.wizard();
        ASSERT_TRUE(wizard);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return wizard->model()->isFoundReady(); }, 20000));
        settleStep(wizard);
        QVariantAnimation *slide = nullptr;
        atEverySize(
            sample.window(), QStringLiteral("wizard-1-what"), QStringLiteral("sliding-in"),
            [&] {
                settleStep(wizard);
                wizard->go(1);
                slide = wizard->findChild<QWidget *>(QStringLiteral("stepTransition"))
                            ->findChild<QVariantAnimation *>();
                slide->pause();
                slide->setCurrentTime(45);
            },
            [&] {
                slide->setCurrentTime(slide->duration());
                wizard->go(-1);
            });
    });
}

TEST(BookScreens, EveryStepOfTheWizard)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        MainWindow *window = sample.window();
        WizardView *wizard = sample.wizard();
        ASSERT_TRUE(wizard);
        WizardModel *model = wizard->model();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return model->pricing().has_value(); }));
        for (int number = 0; number < WizardModel::stepCount; ++number) {
            const WizardModel::Step step = *WizardModel::stepAt(number);
            settleStep(wizard);
            if (step == WizardModel::Step::Cover)
                TestSupport::waitUntil([&] { return model->coverPreview().has_value(); }, 120000);
            const QString screen
                = QStringLiteral("wizard-%1-%2").arg(number).arg(QLatin1String(stepName(step)));
            atEverySize(window, screen, QStringLiteral("first"));
            if (step == WizardModel::Step::Found && !model->insights()->celebrations.isEmpty()) {
                auto *timeline = wizard->stepView()->findChild<Timeline *>();
                ASSERT_TRUE(timeline);
                atEverySize(
                    window, screen, QStringLiteral("day-card"),
                    [&] { timeline->openCard(model->insights()->celebrations.first()); },
                    Gallery::closePopups);
            } else if (step == WizardModel::Step::What) {
                wizard->stepView()->findChildren<Card *>().first()->click();
                atEverySize(window, screen, QStringLiteral("own-dates"));
            } else if (step == WizardModel::Step::Fit) {
                const Pricing prices = *model->pricing();
                Pricing small = prices;
                small.pagesPerVolume = 30;
                model->setPricing(small);
                atEverySize(window, screen, QStringLiteral("volumes"));
                model->setPricing(prices);
            } else if (step == WizardModel::Step::Touches && model->firstLove()) {
                model->setPinLove(true);
                model->setPinPage(model->loveLanding() + 89);
                atEverySize(window, screen, QStringLiteral("pin-later"));
                // A pin the book has a few pages after the first "I love
                // you", pushed off its page by it.
                const QString loveDay = model->firstLove()->day();
                std::shared_ptr<Project> project = model->project();
                model->setPinLove(false);
                for (const BookFile::Message &message : project->book().messages) {
                    if (message.text && message.day() > loveDay) {
                        const int lands = model->insights()->landingPage(
                            model->from(), message.day(), model->pageModel());
                        if (lands < model->loveLanding() + 5)
                            continue;
                        project->pin(message, lands + 3);
                        break;
                    }
                }
                model->setPinLove(true);
                model->setPinPage(model->loveLanding() + 60);
                EXPECT_TRUE(model->movedPin());
                atEverySize(window, screen, QStringLiteral("pin-moves-another"));
                model->setPinLove(false);
            } else if (step == WizardModel::Step::Binding) {
                const Pricing prices = *model->pricing();
                Pricing small = prices;
                small.pagesPerVolume = 30;
                model->setPricing(small);
                atEverySize(window, screen, QStringLiteral("three-books"));
                model->setPricing(prices);
            } else if (step == WizardModel::Step::Shipping) {
                Order order = model->order();
                order.recipient = QStringLiteral("someone");
                model->setOrder(order);
                atEverySize(window, screen, QStringLiteral("someone"));
            }
            if (number + 1 < WizardModel::stepCount)
                wizard->go(1);
        }
    });
}

// "Change Setup" on a book made with "Make It for Me": the first step
// shows the stretch the book has.
TEST(BookScreens, TheWizardReopenedOnAMadeBook)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        MainWindow *window = sample.window();
        BookHomeView *home = sample.home();
        ASSERT_TRUE(home);
        auto *setup
            = qobject_cast<QPushButton *>(TestSupport::findText(home, QStringLiteral("Change Setup")));
        ASSERT_TRUE(setup);
        setup->click();
        ASSERT_TRUE(TestSupport::waitUntil([&] {
            WizardModel *model = sample.flow()->wizard();
            return model && model->insights().has_value();
        }));
        WizardView *wizard = window->findChild<WizardView *>();
        ASSERT_TRUE(wizard);
        settleStep(wizard);
        atEverySize(window, QStringLiteral("wizard-1-what"), QStringLiteral("reopened"));
    });
}

TEST(BookScreens, TheMakingScreenAndTheBooksPage)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        MainWindow *window = sample.window();
        ASSERT_TRUE(sample.making());
        ASSERT_EQ(sample.flow()->mode(), BookFlow::Mode::Making);
        atEverySize(window, QStringLiteral("making"), QStringLiteral("typesetting"));

        BookHomeView *home = sample.home();
        ASSERT_TRUE(home);
        atEverySize(window, QStringLiteral("book-page"), QStringLiteral("top"));
    });
}

TEST(BookScreens, TheBooksPageWhileItsEbookIsMade)
{
    Gallery::inBothAppearances([] {
        FakeDesktop desktop;
        Desktop::setInstance(&desktop);
        SampleWindow sample;
        ASSERT_TRUE(sample.making());
        BookHomeView *home = sample.home();
        ASSERT_TRUE(home);
        home->saveButton()->setFocus();
        home->saveAction(QStringLiteral("Save Ebook File…"))->trigger();
        ASSERT_TRUE(home->isMakingEbook());
        atEverySize(sample.window(), QStringLiteral("book-page"), QStringLiteral("making-ebook"));
        TestSupport::waitUntil([&] { return !home->isMakingEbook(); }, 120000);
        Desktop::setInstance(nullptr);
    });
}
