// The wizard as a screen reader walks it: on each of the ten steps every
// control has a name, and each step's choices say which one is chosen.
#include "accessibletree.h"
#include "service/standin.h"
#include "wizardtest.h"

using namespace WizardTest;
using Step = WizardModel::Step;

namespace {

class WizardAccessibility : public ::testing::Test
{
protected:
    WizardAccessibility()
    {
        service.pointClientHere();
        screen.model.setRenderer(renders.renderer());
        screen.open();
        EXPECT_TRUE(TestSupport::waitUntil([&] { return screen.model.pricing().has_value(); }));
        screen.reveal();
    }

    void show(Step step)
    {
        screen.model.setStep(step);
        screen.settle();
    }

    StandIn service;
    FakeRenders renders;
    Screen screen { spreadBook(QDate(2024, 3, 1), 20) };
};

} // namespace

TEST_F(WizardAccessibility, EveryControlOfEveryStepHasAName)
{
    for (int number = 0; number < 10; ++number) {
        const Step step = *WizardModel::stepAt(number);
        show(step);
        EXPECT_TRUE(TestSupport::everyElementNamed(&screen.view)) << "step " << number;
    }
}

TEST_F(WizardAccessibility, EachChoiceIsNamedByItsTitleAndTheChosenOneSaysSo)
{
    show(Step::Typeface);
    const QStringList faces = TestSupport::chosenItems(screen.view.stepView());
    ASSERT_FALSE(faces.isEmpty());
    const QStringList controls = TestSupport::spokenControls(screen.view.stepView());
    EXPECT_GE(controls.filter(QStringLiteral("RadioButton: ")).size(), 3)
        << controls.join('\n').toStdString();

    show(Step::Binding);
    EXPECT_EQ(TestSupport::chosenItems(screen.view.stepView()),
        QStringList { QStringLiteral("Paperback, Soft cover, sewn and glued like a novel, $39") });

    show(Step::Chapters);
    EXPECT_EQ(TestSupport::chosenItems(screen.view.stepView()).size(), 1);

    // A choice of one's own dates holds fields, heard inside it by name.
    show(Step::What);
    QAccessibleInterface *ownDates
        = TestSupport::elementNamed(screen.view.stepView(), QStringLiteral("Choose my own dates"));
    TestSupport::pressElement(ownDates);
    ASSERT_TRUE(ownDates->state().checked);
    EXPECT_TRUE(TestSupport::everyElementNamed(&screen.view));
    const QStringList fields = TestSupport::spokenControls(screen.view.stepView());
    for (const QString &field : { QStringLiteral("SpinBox: From"), QStringLiteral("SpinBox: To"),
             QStringLiteral("EditableText: Start at a moment"), QStringLiteral("Button: Find") })
        EXPECT_TRUE(fields.contains(field)) << field.toStdString() << " in\n"
                                            << fields.join('\n').toStdString();

    // The designs and the cloth's colours are pickers of one choice each.
    show(Step::Cover);
    EXPECT_EQ(TestSupport::chosenItems(screen.view.stepView()),
        (QStringList { QStringLiteral("Front"), QStringLiteral("Designs"), QStringLiteral("Cloth"),
            QStringLiteral("Oxblood") }));
    TestSupport::pressElement(TestSupport::elementNamed(screen.view.stepView(), QStringLiteral("Navy")));
    EXPECT_EQ(screen.model.design().cover.color, QStringLiteral("navy"));
    EXPECT_TRUE(TestSupport::chosenItems(screen.view.stepView()).contains(QStringLiteral("Navy")));

    // The segments of a segmented control are choices of their own.
    show(Step::Shipping);
    const QStringList shipping = TestSupport::chosenItems(screen.view.stepView());
    ASSERT_EQ(shipping.size(), 2) << shipping.join('\n').toStdString();
    EXPECT_EQ(shipping[0], QStringLiteral("To me"));
    EXPECT_TRUE(shipping[1].startsWith(QStringLiteral("Economy, Arrives "))) << shipping[1].toStdString();
}
