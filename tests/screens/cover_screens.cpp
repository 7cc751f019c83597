// The wizard's cover step in the window, every tab, with real typst renders
// and real paintings from the stand-in; and the step before any picture.
#include "app/mainwindow.h"
#include "flow/bookflow.h"
#include "gallery.h"
#include "project/project.h"
#include "samplewindow.h"
#include "service/coverart.h"
#include "uitestsupport.h"
#include "wizard/coverpreview.h"
#include "wizard/covertest.h"
#include "wizard/wizardview.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using Gallery::atEverySize;

namespace {

void putPhotos(const QString &folder)
{
    const QString mine = CoverArt::mine(folder);
    const QList<std::pair<QColor, QColor>> colours { { QColor(0x8e, 0xb8, 0xd8), QColor(0x4f, 0x7a, 0x4a) },
        { QColor(0xf0, 0xb0, 0x80), QColor(0x6b, 0x3a, 0x2e) },
        { QColor(0x30, 0x3a, 0x60), QColor(0x15, 0x18, 0x24) },
        { QColor(0xd8, 0xc8, 0xe8), QColor(0x7a, 0x60, 0x8a) } };
    int n = 0;
    for (const auto &[sky, hill] : colours)
        TestSupport::writeFile(
            mine + QStringLiteral("/cover-photo-0000000%1.jpg").arg(n++), CoverTest::picture(sky, hill));
}

// The wizard of the sample book on its cover step, its pictures drawn.
CoverStep *coverStep(SampleWindow &sample)
{
    WizardView *wizard = sample.wizard();
    if (!wizard)
        return nullptr;
    WizardModel *model = wizard->model();
    // Stepping onto the cover draws it, as Continue does.
    wizard->go(int(WizardModel::Step::Cover) - int(model->step()));
    TestSupport::waitUntil([&] { return qobject_cast<CoverStep *>(wizard->stepView()); });
    TestSupport::waitUntil(
        [&] {
            return !model->isRenderingCover() && !model->isRenderingGallery() && model->coverFront()
                && model->gallery().size() == 10;
        },
        180000);
    return qobject_cast<CoverStep *>(wizard->stepView());
}

bool redrawn(WizardModel *model, const std::optional<QString> &before)
{
    return TestSupport::waitUntil(
        [&] { return model->coverFront() != before && !model->isRenderingCover(); }, 120000);
}

// The menus of the tab shown (title ideas, tips, painting ideas), each open.
void openEachMenu(QWidget *window, CoverStep *cover, const QString &tab)
{
    int n = 0;
    for (QToolButton *button : cover->findChildren<QToolButton *>()) {
        if (!button->menu() || !button->isVisibleTo(cover))
            continue;
        atEverySize(
            window, QStringLiteral("cover"), tab + QStringLiteral("-menu-%1").arg(++n),
            [&] { Gallery::dropDown(button, button->menu()); }, Gallery::closePopups);
    }
}

} // namespace

TEST(CoverScreens, EveryTab)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        MainWindow *window = sample.window();
        ASSERT_TRUE(sample.open());
        putPhotos(sample.flow()->wizard()->project()->folder());
        CoverStep *cover = coverStep(sample);
        ASSERT_TRUE(cover);
        WizardModel *model = cover->model();
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("designs"));
        openEachMenu(window, cover, QStringLiteral("designs"));

        auto *preview = cover->findChild<CoverPreview *>();
        preview->setWholeSheet(true);
        TestSupport::waitUntil([&] { return model->coverPreview().has_value(); }, 120000);
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("spine-and-back"));
        preview->setWholeSheet(false);

        std::optional<QString> before = model->coverFront();
        cover->setTab(CoverStep::Tab::Own);
        ASSERT_TRUE(redrawn(model, before));
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("own"));

        cover->setTab(CoverStep::Tab::Photo);
        const QString first = CoverArt::photos(model->project()->book(), model->project()->folder()).first();
        before = model->coverFront();
        cover->pick(first);
        ASSERT_TRUE(redrawn(model, before));
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("photo"));
        openEachMenu(window, cover, QStringLiteral("photo"));
        cover->setTab(CoverStep::Tab::Own);
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("own-with-picture"));

        cover->setTab(CoverStep::Tab::Paint);
        auto *paint = cover->findChild<CoverPaint *>();
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("paint-empty"));
        openEachMenu(window, cover, QStringLiteral("paint"));
        paint->setPrompt(QStringLiteral("Two coffee cups on a rainy windowsill"));
        paint->setUsingReferences(true);
        cover->toggleReference(first);
        before = model->coverFront();
        paint->paintButton()->click();
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("painting"));
        ASSERT_TRUE(TestSupport::waitUntil([&] { return model->painting() == 0; }, 120000));
        ASSERT_TRUE(redrawn(model, before));
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("painted"));

        // A picture gone from the disk: the cover can't be drawn, and says so.
        Design design = model->design();
        design.cover.image = model->project()->folder() + QStringLiteral("/gone.jpg");
        model->setDesign(design);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return model->coverFailure().has_value(); }, 120000));
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("failed"));
    });
}

TEST(CoverScreens, ABookWithoutPicturesYet)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        MainWindow *window = sample.window();
        WizardView *wizard = sample.wizard();
        ASSERT_TRUE(wizard);
        // Renders that don't end while the pictures are taken.
        WizardTest::FakeRenders renders;
        renders.hold = true;
        WizardModel *model = wizard->model();
        model->setRenderer(renders.renderer());
        wizard->go(int(WizardModel::Step::Cover) - int(model->step()));
        TestSupport::waitUntil([&] { return model->isRenderingGallery(); }, 5000);
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("waiting"));
        auto *cover = qobject_cast<CoverStep *>(wizard->stepView());
        ASSERT_TRUE(cover);
        cover->setTab(CoverStep::Tab::Photo);
        atEverySize(window, QStringLiteral("cover"), QStringLiteral("photo-empty"));
    });
}
