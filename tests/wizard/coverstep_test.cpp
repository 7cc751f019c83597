// The cover step's frame, title fields, designs and own design: which tab
// opens, when the cover is drawn again, and what each control writes.
#include "covertest.h"
#include "project/project.h"
#include "service/standin.h"
#include "ui/segmentedcontrol.h"
#include "wizard/coverdesigns.h"
#include "wizard/coverown.h"
#include "wizard/coverpreview.h"
#include "wizard/covertitlefields.h"

#include <QColorDialog>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace CoverTest;
using namespace WizardTest;
using namespace std::chrono_literals;

namespace {

// Sets an environment variable for the length of a test.
class Environment
{
public:
    Environment(const char *name, const QByteArray &value)
        : m_name(name)
    {
        qputenv(name, value);
    }
    ~Environment() { qunsetenv(m_name); }

private:
    const char *m_name;
};

QAbstractButton *swatch(QWidget &step, const QString &name)
{
    for (auto *button : step.findChildren<QAbstractButton *>()) {
        if (button->accessibleName() == name && button->toolTip() == name)
            return button;
    }
    return nullptr;
}

QColorDialog *shownPicker()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *picker = qobject_cast<QColorDialog *>(top); picker && picker->isVisible())
            return picker;
    }
    return nullptr;
}

class CoverStepTest : public ::testing::Test
{
protected:
    CoverStepTest()
        : book(spreadBook(QDate(2023, 1, 1), 10))
        , model(book.project, WizardModel::Resuming::No)
    {
        noService();
        model.setRenderer(renders.renderer());
    }

    void setCover(const std::function<void(Design::Cover &)> &change)
    {
        Design design = model.design();
        change(design.cover);
        model.setDesign(design);
    }

    Book book;
    FakeRenders renders;
    WizardModel model;
};

} // namespace

TEST_F(CoverStepTest, OpensOnTheTabTheCoverWasMadeWith)
{
    EXPECT_EQ(CoverStep(&model).tab(), CoverStep::Tab::Designs);
    setCover([](Design::Cover &cover) { cover.image = QStringLiteral("/pictures/us.jpg"); });
    EXPECT_EQ(CoverStep(&model).tab(), CoverStep::Tab::Photo);
    setCover([](Design::Cover &cover) { cover.style = QStringLiteral("custom"); });
    EXPECT_EQ(CoverStep(&model).tab(), CoverStep::Tab::Own);
}

TEST_F(CoverStepTest, TheTabVariableNamesATabOrIsIgnored)
{
    setCover([](Design::Cover &cover) { cover.style = QStringLiteral("custom"); });
    const auto opensOn = [&](const QByteArray &value) {
        Environment variable("QUORVEL_COVER_TAB", value);
        return CoverStep(&model).tab();
    };
    EXPECT_EQ(opensOn("3"), CoverStep::Tab::Paint);
    EXPECT_EQ(opensOn("0"), CoverStep::Tab::Designs);
    EXPECT_EQ(opensOn("+2"), CoverStep::Tab::Photo);
    for (const char *ignored : { "4", "-1", "x", "", " 1", "1.0", "99999999999" })
        EXPECT_EQ(opensOn(ignored), CoverStep::Tab::Own) << ignored;
}

TEST_F(CoverStepTest, TitleKeystrokesDrawOnceTheTypingPauses)
{
    CoverStep step(&model);
    auto *fields = step.findChild<CoverTitleFields *>();
    const int before = renders.previews;
    fields->titleField()->selectAll();
    QTest::keyClicks(fields->titleField(), QStringLiteral("Us"));
    book.clock.advance(300ms);
    QTest::keyClicks(fields->titleField(), QStringLiteral("!"));
    EXPECT_EQ(model.title(), QStringLiteral("Us!"));
    book.clock.advance(399ms);
    EXPECT_EQ(renders.previews, before);
    book.clock.advance(1ms);
    QCoreApplication::processEvents();
    // One set: a front, a preview and the gallery of the last words.
    EXPECT_EQ(renders.previews, before + 1);
    EXPECT_EQ(renders.fronts, before + 1);
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-%1-Us!.png").arg(before));
    EXPECT_TRUE(TestSupport::waitUntil([&] { return model.gallery().value("cloth").endsWith("Us!.png"); }));

    // The line under the title waits the same way; a field the model
    // changes from elsewhere follows it.
    QTest::keyClicks(fields->colophonField(), QStringLiteral(" in Lisbon"));
    EXPECT_EQ(model.colophon(), QStringLiteral("2023 in Lisbon"));
    model.setTitle(QStringLiteral("Ours"));
    EXPECT_EQ(fields->titleField()->text(), QStringLiteral("Ours"));
    book.clock.advance(400ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(renders.previews, before + 2);
}

// The model outlives each visit to the step; "Make It for Me" or a title
// idea may set the title when no cover is on screen.
TEST_F(CoverStepTest, ATitleSetAfterTheStepLeftDrawsNothing)
{
    for (int visit = 0; visit < 2; ++visit)
        CoverStep step(&model);
    QCoreApplication::processEvents();
    const int previews = renders.previews;
    const int galleries = renders.galleries;
    model.setTitle(QStringLiteral("Ours"));
    model.setColophon(QStringLiteral("2023 and on"));
    book.clock.advance(400ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(renders.previews, previews);
    EXPECT_EQ(renders.galleries, galleries);
}

TEST_F(CoverStepTest, AnotherDesignOrColourDrawsAtOnceAndTheSameOneNothing)
{
    CoverStep step(&model);
    auto *designs = step.findChild<CoverDesigns *>();
    TestSupport::waitUntil([&] { return !model.isRenderingGallery(); });
    const int previews = renders.previews;
    const int galleries = renders.galleries;

    designs->choose(QStringLiteral("cloth"));
    EXPECT_EQ(renders.previews, previews);

    designs->choose(QStringLiteral("paper"));
    EXPECT_EQ(renders.previews, previews + 1);
    // Only the cover changed: the thumbnails stay.
    EXPECT_EQ(renders.galleries, galleries);

    designs->choose(QStringLiteral("photo"));
    EXPECT_EQ(model.design().cover.fit, QStringLiteral("bleed"));
    designs->choose(QStringLiteral("cloth"));
    EXPECT_EQ(model.design().cover.fit, QStringLiteral("bleed"));

    // A colour shows on the thumbnails too.
    swatch(step, QStringLiteral("Navy"))->click();
    EXPECT_EQ(model.design().cover.color, QStringLiteral("navy"));
    EXPECT_EQ(renders.previews, previews + 4);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return renders.galleries == galleries + 1; }));
}

TEST_F(CoverStepTest, TheGalleryShowsWhatCameOutAndSwatchesOnlyForClothDesigns)
{
    CoverStep step(&model);
    step.show();
    auto *designs = step.findChild<CoverDesigns *>();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !model.gallery().isEmpty(); }));
    // The fake gallery has a thumbnail for cloth alone.
    EXPECT_EQ(designs->shownKeys(), QStringList { QStringLiteral("cloth") });
    EXPECT_EQ(CoverDesigns::caption(QStringLiteral("split")), QStringLiteral("Two Inks"));
    EXPECT_EQ(CoverDesigns::caption(QStringLiteral("typewriter")), QStringLiteral("Typewriter"));
    EXPECT_TRUE(TestSupport::findText(designs, QStringLiteral("Cloth"))->property("checked").toBool());
    // The current colour's swatch is the checked one.
    EXPECT_TRUE(swatch(step, QStringLiteral("Oxblood"))->isChecked());
    EXPECT_FALSE(swatch(step, QStringLiteral("Sky"))->isChecked());

    for (const char *style : { "custom", "paper", "photo" }) {
        setCover([&](Design::Cover &cover) { cover.style = QString::fromLatin1(style); });
        EXPECT_FALSE(swatch(step, QStringLiteral("Oxblood"))->isVisible()) << style;
    }
    for (const char *style : { "cloth", "monogram", "bubble", "calendar" }) {
        setCover([&](Design::Cover &cover) { cover.style = QString::fromLatin1(style); });
        EXPECT_TRUE(swatch(step, QStringLiteral("Oxblood"))->isVisible()) << style;
    }
}

TEST_F(CoverStepTest, TitleIdeasComeFromTheConversation)
{
    model.setColophon(QString());
    EXPECT_EQ(CoverTitleFields::titleIdeas(model),
        QStringList({ QStringLiteral("Pat & Them"), QStringLiteral("Read at 2:14 AM") }));

    Insights insights = daysOf(QDate(2023, 1, 1), 10, 4);
    insights.topEmoji = { QStringLiteral("\U0001F602"), QStringLiteral("\u2764\uFE0F") };
    insights.latestNight = QStringLiteral("3:41 AM");
    model.setInsights(insights);
    model.setColophon(QStringLiteral("  "));
    EXPECT_EQ(CoverTitleFields::titleIdeas(model),
        QStringList({ QStringLiteral("Pat & Sam"), QStringLiteral("Read at 3:41 AM"),
            QStringLiteral("Mostly \U0001F602"), QStringLiteral("Us,   ") }));

    insights.topEmoji.clear();
    insights.latestNight.reset();
    model.setInsights(insights);
    model.setColophon(QString());
    EXPECT_EQ(CoverTitleFields::titleIdeas(model),
        QStringList({ QStringLiteral("Pat & Sam"), QStringLiteral("Read at 2:14 AM") }));

    BookFile nobody = spreadBook(QDate(2023, 1, 1), 2);
    nobody.people.clear();
    Book other(nobody);
    WizardModel otherModel(other.project, WizardModel::Resuming::No);
    EXPECT_TRUE(CoverTitleFields::titleIdeas(otherModel).first().startsWith(QStringLiteral("Me & ")));
}

TEST_F(CoverStepTest, ChoosingAnIdeaReplacesTheTitleAndDrawsItSoon)
{
    model.setColophon(QString());
    CoverStep step(&model);
    auto *fields = step.findChild<CoverTitleFields *>();
    EXPECT_EQ(QFontInfo(fields->titleField()->font()).family(), QStringLiteral("EB Garamond"));
    EXPECT_TRUE(fields->titleField()->font().italic());
    const int previews = renders.previews;
    QMenu *menu = fields->ideasButton()->menu();
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 2);
    // "&" in a menu item marks its shortcut letter: "Pat & Them" read "Pat _Them".
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Pat && Them"));
    EXPECT_EQ(menu->actions().at(0)->iconText(), QStringLiteral("Pat & Them"));
    menu->actions().at(0)->trigger();
    EXPECT_EQ(model.title(), QStringLiteral("Pat & Them"));
    EXPECT_EQ(menu->actions().at(1)->text(), QStringLiteral("Read at 2:14 AM"));
    // A name's "&" shows in the menu; it doesn't mark a shortcut letter.
    EXPECT_TRUE(QKeySequence::mnemonic(menu->actions().at(0)->text()).isEmpty());
    EXPECT_EQ(menu->actions().at(0)->text().replace(QStringLiteral("&&"), QStringLiteral("&")),
        QStringLiteral("Pat & Them"));
    menu->actions().at(1)->trigger();
    EXPECT_EQ(model.title(), QStringLiteral("Read at 2:14 AM"));
    EXPECT_EQ(fields->titleField()->text(), QStringLiteral("Read at 2:14 AM"));
    book.clock.advance(400ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(renders.previews, previews + 1);
}

TEST_F(CoverStepTest, ShowingYourOwnStoresTheDefaultRecordOnce)
{
    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Own);
    EXPECT_EQ(model.design().cover.style, QStringLiteral("custom"));
    ASSERT_TRUE(model.design().cover.custom);
    EXPECT_EQ(model.design().cover.custom->toJson(),
        QJsonObject({ { "background", "#6b1f24" }, { "ink", "#efe6d2" }, { "font", "garamond" },
            { "position", "middle" } }));
    // Leaving keeps the own design until something else is chosen.
    step.setTab(CoverStep::Tab::Designs);
    EXPECT_EQ(model.design().cover.style, QStringLiteral("custom"));
}

TEST_F(CoverStepTest, EachOwnControlWritesTheWholeRecord)
{
    setCover([](Design::Cover &cover) {
        cover.style = QStringLiteral("custom");
        cover.custom = Design::Cover::Custom { QStringLiteral("#6B1F24"), QStringLiteral("#efe6d2"),
            QStringLiteral("futura"), QStringLiteral("diagonal") };
    });
    CoverStep step(&model);
    step.show();
    auto *own = step.findChild<CoverOwn *>();
    // Values outside the lists choose nothing and stay as they are.
    EXPECT_EQ(own->typeface()->currentIndex(), -1);
    EXPECT_EQ(own->position()->currentIndex(), -1);
    EXPECT_EQ(model.design().cover.custom->font, QStringLiteral("futura"));

    own->ink()->click();
    QColorDialog *picker = shownPicker();
    ASSERT_TRUE(picker);
    EXPECT_FALSE(picker->testOption(QColorDialog::ShowAlphaChannel));
    picker->setCurrentColor(QColor(0x10, 0x20, 0x30));
    picker->accept();
    const Design::Cover::Custom written = *model.design().cover.custom;
    EXPECT_EQ(written.ink, QStringLiteral("#102030"));
    EXPECT_EQ(written.background, QStringLiteral("#6B1F24"));
    EXPECT_EQ(written.font, QStringLiteral("futura"));
    EXPECT_EQ(written.position, QStringLiteral("diagonal"));

    // The same colour picked again is written as hex reads it back.
    own->background()->click();
    picker = shownPicker();
    ASSERT_TRUE(picker);
    picker->accept();
    EXPECT_EQ(model.design().cover.custom->background, QStringLiteral("#6b1f24"));

    own->typeface()->setCurrentIndex(1);
    emit own->typeface()->activated(1);
    EXPECT_EQ(model.design().cover.custom->font, QStringLiteral("pagella"));
    emit own->position()->activated(0);
    EXPECT_EQ(model.design().cover.custom->position, QStringLiteral("top"));
}

TEST_F(CoverStepTest, APictureOnTheOwnDesignSitsFramedUntilToldAndCanBeRemoved)
{
    setCover([](Design::Cover &cover) {
        cover.style = QStringLiteral("custom");
        cover.image = QStringLiteral("/pictures/us.jpg");
    });
    CoverStep step(&model);
    step.show();
    auto *own = step.findChild<CoverOwn *>();
    EXPECT_TRUE(own->fit()->isVisible());
    EXPECT_EQ(own->fit()->currentIndex(), 0);
    emit own->fit()->activated(1);
    EXPECT_EQ(model.design().cover.fit, QStringLiteral("bleed"));

    auto *remove
        = qobject_cast<QPushButton *>(TestSupport::findText(own, QStringLiteral("Remove the Picture")));
    ASSERT_TRUE(remove);
    remove->click();
    EXPECT_FALSE(model.design().cover.image);
    EXPECT_EQ(model.design().cover.fit, QStringLiteral("bleed"));
    EXPECT_FALSE(own->fit()->isVisible());
    EXPECT_TRUE(TestSupport::findText(own,
        QStringLiteral("Add a photo or a painted picture from the other tabs, and it goes on your design.")));
}

// The preview once spun for ever after a render failed.
TEST_F(CoverStepTest, ThePreviewWaitsOnlyWhileARenderRunsAndSaysWhenOneFailed)
{
    renders.hold = true;
    CoverStep step(&model);
    step.show();
    auto *preview = step.findChild<CoverPreview *>();
    model.redraw();
    EXPECT_TRUE(model.isRenderingCover());
    EXPECT_TRUE(preview->isWaiting());
    preview->setWholeSheet(true);
    EXPECT_TRUE(preview->shown().isNull());

    renders.fail = true;
    for (int i = 0; i < renders.gates.size(); ++i)
        renders.release(i);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !model.isRenderingCover(); }));
    EXPECT_FALSE(preview->isWaiting());
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("The cover didn't come out. no")));
}
