// The cover step over the sample conversation, every tab in both
// appearances, with real typst renders and real paintings from the
// stand-in; saved for a person to look at.
#include "covertest.h"
#include "project/project.h"
#include "service/coverart.h"
#include "service/standin.h"
#include "wizard/coverpreview.h"
#include "wizard/wizardview.h"

#include <QAbstractButton>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace CoverTest;

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
            mine + QStringLiteral("/cover-photo-0000000%1.jpg").arg(n++), picture(sky, hill));
}

} // namespace

TEST(CoverScreens, EveryTabLightAndDark)
{
    StandIn service;
    service.pointClientHere();
    TestSupport::inBothAppearances([&](const QString &suffix) {
        Step step(sampleBook());
        putPhotos(step.book.project->folder());
        WizardView view(&step.model, WizardView::CanCancel::Yes);
        view.resize(980, 780);
        view.show();
        step.load();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return step.settled(); }, 60000));
        auto *cover = qobject_cast<CoverStep *>(view.stepView());
        ASSERT_TRUE(cover);
        TestSupport::saveScreen(&view, QStringLiteral("cover-designs") + suffix);

        auto *preview = cover->findChild<CoverPreview *>();
        preview->setWholeSheet(true);
        QTest::qWait(500);
        TestSupport::saveScreen(&view, QStringLiteral("cover-designs-sheet") + suffix);
        preview->setWholeSheet(false);

        std::optional<QString> before = step.model.coverFront();
        cover->setTab(CoverStep::Tab::Own);
        ASSERT_TRUE(step.redrawn(before));
        TestSupport::saveScreen(&view, QStringLiteral("cover-own") + suffix);

        cover->setTab(CoverStep::Tab::Photo);
        before = step.model.coverFront();
        const QString first
            = CoverArt::photos(step.book.project->book(), step.book.project->folder()).first();
        cover->pick(first);
        ASSERT_TRUE(step.redrawn(before));
        QTest::qWait(300);
        TestSupport::saveScreen(&view, QStringLiteral("cover-photo-on-own") + suffix);
        cover->setTab(CoverStep::Tab::Own);
        TestSupport::saveScreen(&view, QStringLiteral("cover-own-with-picture") + suffix);
        cover->setTab(CoverStep::Tab::Photo);

        Design design = step.model.design();
        design.cover.style = QStringLiteral("cloth");
        step.model.setDesign(design);
        before = step.model.coverFront();
        cover->pick(first);
        ASSERT_TRUE(step.redrawn(before));
        QTest::qWait(300);
        TestSupport::saveScreen(&view, QStringLiteral("cover-photo") + suffix);

        cover->setTab(CoverStep::Tab::Paint);
        auto *paint = cover->findChild<CoverPaint *>();
        TestSupport::saveScreen(&view, QStringLiteral("cover-paint-empty") + suffix);
        paint->setPrompt(QStringLiteral("Two coffee cups on a rainy windowsill"));
        paint->setUsingReferences(true);
        cover->toggleReference(first);
        paint->paintButton()->click();
        TestSupport::saveScreen(&view, QStringLiteral("cover-paint-painting") + suffix);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return step.model.painting() == 0; }, 60000));
        ASSERT_TRUE(step.redrawn(before));
        QTest::qWait(300);
        TestSupport::saveScreen(&view, QStringLiteral("cover-paint") + suffix);

        // A picture gone from the disk: the cover can't be drawn, and says so.
        design = step.model.design();
        design.cover.image = step.book.project->folder() + QStringLiteral("/gone.jpg");
        step.model.setDesign(design);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return step.model.coverFailure().has_value(); }, 60000));
        TestSupport::saveScreen(&view, QStringLiteral("cover-failed") + suffix);
    });
}

TEST(CoverScreens, ABookWithoutPicturesYet)
{
    WizardTest::noService();
    TestSupport::inBothAppearances([&](const QString &suffix) {
        // Renders that don't end while the screens are taken.
        WizardTest::FakeRenders renders;
        renders.hold = true;
        Step step(sampleBook());
        step.model.setRenderer(renders.renderer());
        WizardView view(&step.model, WizardView::CanCancel::No);
        view.resize(980, 780);
        view.show();
        TestSupport::waitUntil([&] { return step.model.isRenderingGallery(); }, 5000);
        TestSupport::saveScreen(&view, QStringLiteral("cover-waiting") + suffix);
        auto *cover = qobject_cast<CoverStep *>(view.stepView());
        cover->setTab(CoverStep::Tab::Photo);
        TestSupport::saveScreen(&view, QStringLiteral("cover-photo-empty") + suffix);
    });
}
