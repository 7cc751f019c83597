// Every step of the wizard over the sample conversation, light and dark,
// saved for a person to look at; and the frame's own rules on the way.
#include "app/style.h"
#include "service/standin.h"
#include "uitestsupport.h"
#include "wizard/wizardview.h"
#include "wizardtest.h"

#include <QApplication>
#include <QPushButton>

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
    TestSupport::waitUntil(
        [&] { return !view.findChild<QWidget *>(QStringLiteral("stepTransition")); }, 2000);
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
        for (int step = 0; step < WizardModel::stepCount; ++step) {
            settle(view);
            TestSupport::saveScreen(&view, QStringLiteral("wizard-%1-%2").arg(QLatin1String(look)).arg(step));
            if (step + 1 < WizardModel::stepCount)
                view.go(1);
        }
    }
}
