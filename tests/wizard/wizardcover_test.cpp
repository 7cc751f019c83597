// The model's cover renders: real typst pictures for every way of making a
// cover, the gallery drawn once per title, the debounce, renders that end
// out of order, and the files the model keeps and removes.
#include "covertest.h"
#include "model/coverrender.h"
#include "project/project.h"
#include "service/coverart.h"
#include "service/standin.h"
#include "wizard/coverdesigns.h"

#include <QDir>
#include <QFileInfo>

using namespace CoverTest;
using namespace WizardTest;
using namespace std::chrono_literals;

namespace {

// Renders that write real files of their own and, while held, wait to be
// released (numbered from 0 in start order).
struct FileRenders
{
    bool hold = false;
    int made = 0;
    std::vector<std::unique_ptr<QTimer>> gates;

    void release(int render) { gates.at(render)->start(0); }

    QCoro::Task<QString> write(QString folder, QString name)
    {
        const int n = made++;
        if (hold) {
            gates.push_back(std::make_unique<QTimer>());
            gates.back()->setSingleShot(true);
            co_await qCoro(gates.back().get(), &QTimer::timeout);
        }
        const QString path = folder + QStringLiteral("/%1-%2.png").arg(name).arg(n);
        TestSupport::writeFile(path, picture(Qt::blue, Qt::green, 20, 30, "PNG"));
        if (name == QLatin1String("preview"))
            TestSupport::writeFile(
                folder + QStringLiteral("/front-%1.png").arg(n), picture(Qt::blue, Qt::green, 20, 30, "PNG"));
        co_return path;
    }

    WizardModel::Renderer renderer()
    {
        WizardModel::Renderer r;
        r.cover = [this](BookFile, int, int, QString folder) -> QCoro::Task<Helpers::CoverPictures> {
            const QString sheet = co_await write(folder, QStringLiteral("preview"));
            co_return Helpers::CoverPictures { sheet,
                QString(sheet).replace(QStringLiteral("preview"), QStringLiteral("front")) };
        };
        r.gallery = [this](BookFile book, QString folder) -> QCoro::Task<QMap<QString, QString>> {
            const QString gallery = folder + QStringLiteral("/cover-gallery-0000000%1").arg(made);
            QDir().mkpath(gallery);
            const QString cloth = co_await write(gallery, book.front.title);
            co_return QMap<QString, QString> { { QStringLiteral("cloth"), cloth } };
        };
        return r;
    }
};

} // namespace

TEST(WizardCoverRenders, EveryWayOfMakingTheCoverDrawsANewPictureAndLeavesNoOldOnes)
{
    StandIn service;
    service.pointClientHere();
    Step step(sampleBook());
    step.load();
    const QString folder = step.book.project->folder();
    CoverStep cover(&step.model);

    QStringList seen;
    const auto drawnAnew = [&](const std::function<void()> &change) {
        const std::optional<QString> before = step.model.coverFront();
        const QImage old(*before);
        change();
        EXPECT_TRUE(step.redrawn(before));
        EXPECT_FALSE(step.model.coverFailure()) << step.model.coverFailure()->toStdString();
        const QString now = *step.model.coverFront();
        EXPECT_NE(QImage(now), old);
        EXPECT_FALSE(QFileInfo::exists(*before));
        EXPECT_TRUE(QFileInfo::exists(*step.model.coverPreview()));
        seen.append(now);
    };
    drawnAnew([&] { cover.findChild<CoverDesigns *>()->choose(QStringLiteral("bubble")); });
    drawnAnew([&] { cover.setTab(CoverStep::Tab::Own); });
    drawnAnew([&] {
        cover.setTab(CoverStep::Tab::Photo);
        const QString photo = CoverArt::mine(folder) + QStringLiteral("/us.jpg");
        TestSupport::writeFile(photo, picture(QColor(0xf0, 0xb0, 0x80), QColor(0x6b, 0x3a, 0x2e)));
        cover.pick(photo);
    });
    drawnAnew([&] {
        cover.setTab(CoverStep::Tab::Paint);
        Design design = step.model.design();
        design.cover.style = QStringLiteral("cloth");
        design.cover.image.reset();
        step.model.setDesign(design);
    });
    drawnAnew([&] {
        auto *paint = cover.findChild<CoverPaint *>();
        paint->setPrompt(QStringLiteral("A window at night"));
        paint->paint();
    });
    EXPECT_EQ(step.model.design().cover.style, QStringLiteral("photo"));

    // One preview and one front in the folder: the ones on screen.
    EXPECT_EQ(QDir(folder).entryList({ QStringLiteral("cover-front-*.png") }, QDir::Files).size(), 1);
    EXPECT_EQ(QDir(folder).entryList({ QStringLiteral("cover-????????.png") }, QDir::Files).size(), 1);
    EXPECT_TRUE(QDir(folder).entryList({ QStringLiteral("cover-draft*") }, QDir::Files).isEmpty());
}

TEST(WizardCoverRenders, TheTenDesignsAreDrawnOnceForATitle)
{
    noService();
    Step step(sampleBook());
    int galleries = 0;
    WizardModel::Renderer counting = WizardModel::Renderer::typst();
    counting.gallery = [&galleries](BookFile book, QString folder) {
        ++galleries;
        return Helpers::renderCoverGallery(std::move(book), std::move(folder));
    };
    step.model.setRenderer(counting);
    step.load();
    ASSERT_EQ(step.model.gallery().size(), 10);
    for (const QString &picture : step.model.gallery())
        EXPECT_EQ(QImage(picture).size(), QSize(180, 288));
    const QMap<QString, QString> first = step.model.gallery();

    // Another design keeps the thumbnails; another title draws them again.
    Design design = step.model.design();
    design.cover.style = QStringLiteral("minimal");
    step.model.setDesign(design);
    TestSupport::await(step.model.renderGallery());
    EXPECT_EQ(galleries, 1);
    step.model.setTitle(QStringLiteral("Another Title"));
    TestSupport::await(step.model.renderGallery());
    EXPECT_EQ(galleries, 2);
    EXPECT_NE(QImage(step.model.gallery().value("cloth")), QImage(first.value("cloth")));
    EXPECT_FALSE(QFileInfo::exists(first.value("cloth")));
}

TEST(WizardCoverRenders, WordsTypedInARowStartOneSetOfRenders)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setRenderer(renders.renderer());
    for (const char *title : { "U", "Us", "Us!" }) {
        model.setTitle(QString::fromLatin1(title));
        model.redrawSoon();
        book.clock.advance(150ms);
    }
    EXPECT_EQ(renders.previews, 0);
    book.clock.advance(250ms);
    QCoreApplication::processEvents();
    EXPECT_EQ(renders.previews, 1);
    EXPECT_EQ(renders.fronts, 1);
    EXPECT_EQ(renders.galleries, 1);
    EXPECT_EQ(model.coverPreview(), QStringLiteral("preview-0-Us!.png"));
    // A change that draws at once takes in a redraw still waiting.
    model.setTitle(QStringLiteral("Ours"));
    model.redrawSoon();
    model.redraw();
    book.clock.advance(1s);
    QCoreApplication::processEvents();
    EXPECT_EQ(renders.previews, 2);
}

// A render that ended after a newer one had been shown once removed the
// pictures before it, the one on screen among them.
TEST(WizardCoverRenders, ALateRenderNeverTakesTheShownPictureAway)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FileRenders renders;
    renders.hold = true;
    const QString folder = book.project->folder();
    {
        WizardModel model(book.project, WizardModel::Resuming::No);
        model.setRenderer(renders.renderer());
        QCoro::Task<void> first = model.renderCover();
        model.setTitle(QStringLiteral("Second"));
        QCoro::Task<void> second = model.renderCover();
        EXPECT_TRUE(model.isRenderingCover());
        renders.release(1);
        TestSupport::await(std::move(second));
        EXPECT_FALSE(model.isRenderingCover());
        const QString shown = *model.coverPreview();
        EXPECT_EQ(shown, folder + QStringLiteral("/preview-1.png"));
        EXPECT_EQ(model.coverFront(), folder + QStringLiteral("/front-1.png"));
        renders.release(0);
        TestSupport::await(std::move(first));
        EXPECT_EQ(model.coverPreview(), shown);
        EXPECT_TRUE(QFileInfo::exists(shown));
        EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/preview-0.png")));
        EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/front-0.png")));

        // The next one shown replaces it on the disk too.
        renders.hold = false;
        model.setTitle(QStringLiteral("Third"));
        TestSupport::await(model.renderCover());
        EXPECT_FALSE(QFileInfo::exists(shown));
        EXPECT_TRUE(QFileInfo::exists(*model.coverPreview()));
        TestSupport::await(model.renderGallery());
        EXPECT_EQ(model.gallery().size(), 1);
    }
    // The wizard gone, its pictures go too; the book stays.
    EXPECT_EQ(QDir(folder).entryList({ QStringLiteral("*.png") }, QDir::Files), QStringList());
    EXPECT_TRUE(QDir(folder).entryList({ QStringLiteral("cover-gallery-*") }, QDir::Dirs).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/book.json")));
}

TEST(WizardCoverRenders, AGalleryForOlderWordsNeverReplacesTheOneShown)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    WizardModel model(book.project, WizardModel::Resuming::No);
    model.setRenderer(renders.renderer());
    TestSupport::await(model.renderGallery());
    EXPECT_EQ(model.gallery().value("cloth"), QStringLiteral("cloth-0-You & Sam.png"));

    renders.hold = true;
    model.setTitle(QStringLiteral("Ours"));
    QCoro::Task<void> ours = model.renderGallery();
    EXPECT_TRUE(model.isRenderingGallery());
    // Back to the words shown: the drawing under way must not land.
    model.setTitle(QStringLiteral("You & Sam"));
    TestSupport::await(model.renderGallery());
    EXPECT_FALSE(model.isRenderingGallery());
    renders.release(0);
    TestSupport::await(std::move(ours));
    EXPECT_EQ(model.gallery().value("cloth"), QStringLiteral("cloth-0-You & Sam.png"));
    EXPECT_EQ(model.galleryKey(), QStringLiteral("You & Sam|2023|oxblood|"));
}

// A gallery that failed was marked drawn all the same and never tried
// again for the same words.
TEST(WizardCoverRenders, AFailedGalleryIsTriedAgain)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    FakeRenders renders;
    WizardModel model(book.project, WizardModel::Resuming::No);
    int calls = 0;
    WizardModel::Renderer failing = renders.renderer();
    failing.gallery = [&calls](BookFile, QString) -> QCoro::Task<QMap<QString, QString>> {
        ++calls;
        throw Helpers::Failure(QStringLiteral("typst"), 1, QStringLiteral("no"));
        co_return {};
    };
    model.setRenderer(failing);
    TestSupport::await(model.renderGallery());
    EXPECT_TRUE(model.gallery().isEmpty());
    EXPECT_FALSE(model.isRenderingGallery());
    TestSupport::await(model.renderGallery());
    EXPECT_EQ(calls, 2);
}

// typst's message ends in a source excerpt; its last line was shown as the
// reason ("^^^^").
TEST(WizardCoverRenders, AFailureSaysWhatTypstSaidAndAMissingPictureSaysSo)
{
    Book book(spreadBook(QDate(2023, 1, 1), 10));
    WizardModel model(book.project, WizardModel::Resuming::No);
    WizardModel::Renderer failing;
    failing.cover = [](BookFile, int, int, QString) -> QCoro::Task<Helpers::CoverPictures> {
        throw Helpers::Failure(QStringLiteral("typst"), 1,
            QStringLiteral(
                "error: the input \"pages\" is \"-1\"\n   \u250C\u2500 cover.typ:3:1\n   \u2502\n 3 \u2502 "
                "#panic()\n   \u2502 ^^^^^^^^\n"));
        co_return {};
    };
    failing.gallery = [](BookFile, QString) -> QCoro::Task<QMap<QString, QString>> { co_return {}; };
    model.setRenderer(failing);
    TestSupport::await(model.renderCover());
    EXPECT_EQ(model.coverFailure(), QStringLiteral("The input \"pages\" is \"-1\"."));

    Design design = model.design();
    design.cover.image = book.project->folder() + QStringLiteral("/gone.jpg");
    model.setDesign(design);
    TestSupport::await(model.renderCover());
    EXPECT_EQ(model.coverFailure(),
        QStringLiteral("The picture on it is no longer on this computer. Choose it again, or another."));
}
