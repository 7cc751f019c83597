// Every step of the wizard over the sample conversation, light and dark,
// saved for a person to look at; and the frame's own rules on the way.
#include "service/standin.h"
#include "ui/card.h"
#include "ui/style.h"
#include "uitestsupport.h"
#include "wizard/wizardview.h"
#include "wizardtest.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

using namespace WizardTest;
using namespace std::chrono_literals;

namespace {

BookFile sampleBook()
{
    return BookFile::fromJson(
        TestSupport::readFile(TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json")));
}

// Runs the found step's reveal to its end on the hand-driven clock.
void reveal(ManualClock &clock, WizardModel &model)
{
    for (int i = 0; i < 400 && !model.isFoundReady(); ++i) {
        clock.advance(30ms);
        QCoreApplication::processEvents();
    }
}

void settle(WizardView &view)
{
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return !view.findChild<QWidget *>(QStringLiteral("stepTransition")); }));
    QCoreApplication::processEvents();
}

class Appearance
{
public:
    explicit Appearance(const char *name)
        : m_before(QApplication::palette())
    {
        qputenv("QUORVEL_APPEARANCE", name);
        Style::apply();
        qunsetenv("QUORVEL_APPEARANCE");
    }
    ~Appearance() { QApplication::setPalette(m_before); }

private:
    QPalette m_before;
};

} // namespace

TEST(WizardScreens, EveryStepLightAndDark)
{
    StandIn service;
    service.pointClientHere();
    for (const char *look : { "light", "dark" }) {
        Appearance appearance(look);
        Book book(sampleBook());
        WizardModel model(book.project, WizardModel::Resuming::No);
        model.setOnWrapped([](std::optional<QString>) {});
        WizardView view(&model, WizardView::CanCancel::Yes);
        view.resize(980, 780);
        view.show();
        TestSupport::saveScreen(&view, QStringLiteral("wizard-%1-0-waiting").arg(QLatin1String(look)));
        ASSERT_TRUE(TestSupport::waitUntil([&] { return model.insights() && model.pricing(); }));
        reveal(book.clock, model);
        ASSERT_TRUE(model.isFoundReady());
        QCoreApplication::processEvents();
        const Pricing prices = *model.pricing();
        for (int step = 0; step < WizardModel::stepCount; ++step) {
            settle(view);
            if (step == int(WizardModel::Step::Cover))
                TestSupport::waitUntil([&] { return model.coverPreview().has_value(); }, 60000);
            TestSupport::saveScreen(&view, QStringLiteral("wizard-%1-%2").arg(QLatin1String(look)).arg(step));
            // A second look at the steps with a state of their own.
            if (step == int(WizardModel::Step::What)) {
                view.stepView()->findChildren<Card *>().first()->click();
                QTest::qWait(50);
                TestSupport::saveScreen(
                    &view, QStringLiteral("wizard-%1-1-own-dates").arg(QLatin1String(look)));
            } else if (step == int(WizardModel::Step::Fit)) {
                Pricing small = prices;
                small.pagesPerVolume = 30;
                model.setPricing(small);
                QTest::qWait(50);
                TestSupport::saveScreen(
                    &view, QStringLiteral("wizard-%1-2-volumes").arg(QLatin1String(look)));
                model.setPricing(prices);
            } else if (step == int(WizardModel::Step::Shipping)) {
                Order order = model.order();
                order.recipient = QStringLiteral("someone");
                model.setOrder(order);
                QTest::qWait(50);
                TestSupport::saveScreen(
                    &view, QStringLiteral("wizard-%1-8-someone").arg(QLatin1String(look)));
            }
            if (step + 1 < WizardModel::stepCount)
                view.go(1);
        }
    }
}
