// Pictures on the cover: brought into the book, picked from the strip,
// dropped, chosen in the open panel, and painted by the stand-in service.
#include "covertest.h"
#include "heicwriter.h"
#include "project/project.h"
#include "service/coverart.h"
#include "service/standin.h"
#include "ui/picturethumb.h"
#include "wizard/coverphoto.h"
#include "wizard/photostrip.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace CoverTest;
using namespace WizardTest;

namespace {

class CoverPictures : public StandInTest
{
protected:
    CoverPictures()
        : book(spreadBook(QDate(2023, 1, 1), 10))
        , model(book.project, WizardModel::Resuming::No)
    {
        model.setRenderer(renders.renderer());
        TestSupport::desktop().reset();
    }

    QString folder() const { return book.project->folder(); }
    QString mine() const { return folder() + QStringLiteral("/my-photos"); }
    QString outside(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_outside.filePath(name);
        TestSupport::writeFile(path, bytes);
        return path;
    }
    QString photo(const QString &name)
    {
        return outside(name, picture(Qt::darkCyan, Qt::darkGreen, 120, 90));
    }
    QStringList copies() const
    {
        return QDir(mine()).entryList({ QStringLiteral("cover-photo-*.jpg") }, QDir::Files);
    }
    QStringList paintings() const
    {
        return QDir(folder()).entryList({ QStringLiteral("cover-art-*") }, QDir::Files);
    }

    Book book;
    FakeRenders renders;
    WizardModel model;

private:
    QTemporaryDir m_outside;
};

void drop(QWidget *target, const QList<QUrl> &urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropped);
}

} // namespace

TEST_F(CoverPictures, APictureIsCopiedIntoTheBookBeforeItGoesOnTheCover)
{
    CoverStep step(&model);
    TestSupport::await(step.use(photo(QStringLiteral("us.png"))));
    ASSERT_EQ(copies().size(), 1);
    const QString copy = mine() + QLatin1Char('/') + copies().first();
    EXPECT_TRUE(QFileInfo(copy).fileName().contains(QRegularExpression("^cover-photo-[0-9A-F]{8}\\.jpg$")));
    EXPECT_EQ(model.design().cover.image, copy);
    EXPECT_EQ(model.design().cover.style, QStringLiteral("photo"));
    EXPECT_EQ(model.design().cover.fit, QStringLiteral("bleed"));

    // On the own design only the picture changes.
    Design design = model.design();
    design.cover.style = QStringLiteral("custom");
    design.cover.fit = QStringLiteral("framed");
    model.setDesign(design);
    TestSupport::await(step.use(photo(QStringLiteral("them.png"))));
    EXPECT_EQ(model.design().cover.style, QStringLiteral("custom"));
    EXPECT_EQ(model.design().cover.fit, QStringLiteral("framed"));
    EXPECT_NE(model.design().cover.image, copy);

    TestSupport::await(step.use(outside(QStringLiteral("notes.txt"), "hello")));
    EXPECT_EQ(
        step.error(), QStringLiteral("That file isn't a picture Quorvel can use. Try a JPEG, PNG or HEIC."));
    EXPECT_EQ(copies().size(), 2);
}

// A conversation's photo went on the cover by its path in the source's
// folder, and forgetting the source took the cover's picture with it.
TEST_F(CoverPictures, AConversationsPhotoIsCopiedSoForgettingItsSourceKeepsTheCover)
{
    const QString source = photo(QStringLiteral("IMG_0001.jpg"));
    CoverStep step(&model);
    step.pick(source);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.design().cover.image.has_value(); }));
    const QString image = *model.design().cover.image;
    EXPECT_TRUE(image.startsWith(mine() + QLatin1Char('/')));
    QFile::remove(source);
    EXPECT_TRUE(QImage(image).size() == QSize(120, 90));

    // A picture that is the book's own goes on as it is.
    step.pick(image);
    EXPECT_EQ(model.design().cover.image, image);
    EXPECT_EQ(copies().size(), 1);
}

// Most iPhone photos are HEIC: the strip offers a conversation's with
// their thumbnails, the open panel lists them and a drop takes them, and
// the cover gets a JPEG copy of each.
TEST_F(CoverPictures, HeicPhotosAreOfferedTakenAndCopiedAsJpegs)
{
    const QString heic = outside(QStringLiteral("IMG_0002.HEIC"), QByteArray());
    ASSERT_TRUE(
        TestSupport::writeHeic(heic, QImage::fromData(picture(Qt::darkCyan, Qt::darkGreen, 120, 90))));
    BookFile file = spreadBook(QDate(2023, 1, 1), 3);
    file.messages[1].photos = QStringList { heic };
    Book other(file);
    WizardModel otherModel(other.project, WizardModel::Resuming::No);
    PhotoStrip strip(&otherModel, 64);
    EXPECT_EQ(strip.pictures(), QStringList { heic });
    // Its thumbnail is read as the strip reads every one.
    EXPECT_EQ(TestSupport::await(PictureThumb::read(heic, 64)).size(), QSize(85, 64));

    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Photo);
    TestSupport::desktop().answers = { { heic } };
    TestSupport::await(step.choosePicture());
    EXPECT_TRUE(TestSupport::desktop().panels.first().nameFilters.first().contains(QStringLiteral("*.heic")));
    EXPECT_FALSE(step.error());
    ASSERT_TRUE(model.design().cover.image);
    const QString copy = *model.design().cover.image;
    EXPECT_TRUE(copy.startsWith(mine()) && copy.endsWith(QStringLiteral(".jpg")));
    EXPECT_EQ(QImageReader(copy).format(), QByteArray("jpeg"));
    EXPECT_EQ(QImage(copy).size(), QSize(120, 90));

    drop(step.findChild<CoverPhoto *>(), { QUrl::fromLocalFile(heic) });
    EXPECT_TRUE(TestSupport::waitUntil([&] { return model.design().cover.image != copy; }));
    EXPECT_FALSE(step.error());
    EXPECT_EQ(copies().size(), 2);
}

TEST_F(CoverPictures, TheOpenPanelBringsEveryFileAndPutsTheFirstOnTheCover)
{
    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Photo);
    TestSupport::desktop().answers = { { photo("a.png"), photo("b.png"), photo("c.png") } };
    TestSupport::await(step.choosePicture());
    ASSERT_EQ(TestSupport::desktop().panels.size(), 1);
    EXPECT_EQ(TestSupport::desktop().panels.first().prompt, QStringLiteral("Add Photos"));
    EXPECT_EQ(TestSupport::desktop().panels.first().mode, Desktop::Panel::Mode::OpenFiles);
    EXPECT_EQ(copies().size(), 3);
    EXPECT_TRUE(model.design().cover.image->startsWith(mine()));
    // The strip offers the new pictures at once.
    auto *strip = step.findChild<CoverPhoto *>()->strip();
    EXPECT_EQ(strip->pictures().size(), 3);
    EXPECT_EQ(strip->selected(), QStringList { *model.design().cover.image });

    // A file that isn't a picture says so; the next one still goes on.
    const std::optional<QString> before = model.design().cover.image;
    TestSupport::desktop().answers = { { outside("notes.png", "words"), photo("d.png") } };
    TestSupport::await(step.choosePicture());
    EXPECT_EQ(
        step.error(), QStringLiteral("That file isn't a picture Quorvel can use. Try a JPEG, PNG or HEIC."));
    EXPECT_NE(model.design().cover.image, before);
    EXPECT_EQ(copies().size(), 4);

    // Cancelling leaves everything, the sentence too.
    TestSupport::await(step.choosePicture());
    EXPECT_TRUE(step.error());
}

TEST_F(CoverPictures, OnThePaintingTabChosenFilesJoinTheReferencesUpToThree)
{
    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Paint);
    const QString first = photo("first.png");
    step.toggleReference(first);
    TestSupport::desktop().answers
        = { { photo("1.png"), photo("2.png"), photo("3.png"), photo("4.png"), photo("5.png") } };
    TestSupport::await(step.choosePicture());
    EXPECT_EQ(copies().size(), 5);
    ASSERT_EQ(step.references().size(), 3);
    EXPECT_EQ(step.references().first(), first);
    EXPECT_FALSE(model.design().cover.image);

    // A fourth is not taken; a chosen one comes off.
    step.toggleReference(photo("6.png"));
    EXPECT_EQ(step.references().size(), 3);
    step.toggleReference(first);
    EXPECT_EQ(step.references().size(), 2);
    EXPECT_FALSE(step.references().contains(first));
}

TEST_F(CoverPictures, ADropUsesTheFirstFileOnlyAndIgnoresWhatIsNoFile)
{
    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Photo);
    auto *panel = step.findChild<CoverPhoto *>();
    drop(panel, { QUrl(QStringLiteral("https://example.com/us.jpg")) });
    QTest::qWait(50);
    EXPECT_FALSE(model.design().cover.image);
    drop(panel, { QUrl::fromLocalFile(photo("one.png")), QUrl::fromLocalFile(photo("two.png")) });
    EXPECT_TRUE(TestSupport::waitUntil([&] { return model.design().cover.image.has_value(); }));
    EXPECT_EQ(copies().size(), 1);
    EXPECT_FALSE(panel->isDropping());
}

TEST_F(CoverPictures, TheStripOffersTheBooksPicturesAndRingsTheChosen)
{
    PhotoStrip empty(&model, 64);
    EXPECT_TRUE(empty.pictures().isEmpty());
    EXPECT_TRUE(TestSupport::findText(
        &empty, QStringLiteral("Add photos of the two of you, or anything that belongs on the cover.")));

    const QString broken = outside("broken.jpg", "\xff\xd8 not really");
    BookFile file = spreadBook(QDate(2023, 1, 1), 3);
    file.messages[1].photos = QStringList { photo("b.jpg"), broken };
    Book other(file);
    WizardModel otherModel(other.project, WizardModel::Resuming::No);
    TestSupport::writeFile(
        CoverArt::mine(other.project->folder()) + "/mine.png", picture(Qt::red, Qt::blue, 40, 40, "PNG"));
    PhotoStrip strip(&otherModel, 52);
    QSignalSpy picked(&strip, &PhotoStrip::picked);
    QSignalSpy added(&strip, &PhotoStrip::addRequested);
    ASSERT_EQ(strip.pictures().size(), 3);
    EXPECT_TRUE(strip.pictures().first().endsWith(QLatin1String("/my-photos/mine.png")));
    EXPECT_FALSE(strip.isLoaded());
    // Read once the strip is on screen.
    strip.show();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return strip.isLoaded(); }));
    strip.setSelected({ strip.pictures().at(0), strip.pictures().at(1) });
    EXPECT_TRUE(static_cast<PictureThumb *>(strip.thumbnail(strip.pictures().at(0)))->isSelected());
    EXPECT_TRUE(static_cast<PictureThumb *>(strip.thumbnail(strip.pictures().at(1)))->isSelected());
    EXPECT_FALSE(static_cast<PictureThumb *>(strip.thumbnail(broken))->isSelected());
    // Narrower than its row, it fades where more pictures lie.
    strip.resize(150, strip.height());
    QApplication::processEvents();
    const QColor page = strip.palette().color(QPalette::Window);
    EXPECT_LE(TestSupport::columnDistance(&strip, strip.width() - 1, page), 6);
    EXPECT_GT(TestSupport::columnDistance(strip.viewport(), 0, page), 20);

    // A picture that can't be read stays a quiet square that can be picked.
    static_cast<QAbstractButton *>(strip.thumbnail(broken))->click();
    ASSERT_EQ(picked.size(), 1);
    EXPECT_EQ(picked.first().first().toString(), broken);
    EXPECT_EQ(added.size(), 0);
    for (auto *button : strip.findChildren<QAbstractButton *>()) {
        if (button->accessibleName() == QStringLiteral("Add photos"))
            button->click();
    }
    EXPECT_EQ(added.size(), 1);
    EXPECT_EQ(picked.size(), 1);
}

TEST_F(CoverPictures, APressPaintsTwoAndTheFirstToArriveGoesOnTheCover)
{
    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Paint);
    auto *paint = step.findChild<CoverPaint *>();
    paint->setPrompt(QStringLiteral("  ab\t"));
    EXPECT_FALSE(paint->paintButton()->isEnabled());
    paint->setPrompt(QStringLiteral("\nab"));
    EXPECT_TRUE(paint->paintButton()->isEnabled());
    paint->setPrompt(QStringLiteral("abc"));
    EXPECT_TRUE(paint->paintButton()->isEnabled());
    EXPECT_EQ(paint->paintButton()->text(), QStringLiteral("Paint Two"));

    paint->setPrompt(QStringLiteral("Two cups on a sill"));
    paint->paintButton()->click();
    EXPECT_EQ(model.painting(), 2);
    EXPECT_EQ(paint->paintButton()->text(), QStringLiteral("Painting\u2026"));
    EXPECT_FALSE(paint->paintButton()->isEnabled());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
    EXPECT_EQ(paintings().size(), 2);
    ASSERT_EQ(model.paintings().size(), 2);
    // Newest first: the first to arrive is last.
    EXPECT_EQ(model.design().cover.image, model.paintings().last());
    EXPECT_EQ(model.design().cover.style, QStringLiteral("photo"));
    EXPECT_EQ(paint->shownPaintings(), model.paintings());
    const QList<QJsonObject> sent = service.requests(QStringLiteral("/api/covers/generate$"));
    ASSERT_EQ(sent.size(), 2);
    EXPECT_TRUE(
        StandIn::body(sent.first()).startsWith(R"({"prompt":"Two cups on a sill","style":"watercolour")"));

    // Later paintings wait for a click.
    const std::optional<QString> cover = model.design().cover.image;
    paint->paint();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
    EXPECT_EQ(model.design().cover.image, cover);
    paint->paint();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
    EXPECT_EQ(model.paintings().size(), 6);
    EXPECT_EQ(paint->shownPaintings(), model.paintings().mid(0, 4));
}

// The visit's paintings lived in the step's view and were gone when it was
// opened again, though their files stayed in the book.
TEST_F(CoverPictures, PaintingsStayOfferedWhenTheStepIsOpenedAgain)
{
    Design design = model.design();
    design.cover.style = QStringLiteral("custom");
    model.setDesign(design);
    {
        CoverStep step(&model);
        auto *paint = step.findChild<CoverPaint *>();
        paint->setPrompt(QStringLiteral("A paper boat"));
        paint->paint();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
        // Onto the own design, which stays.
        EXPECT_EQ(model.design().cover.style, QStringLiteral("custom"));
        EXPECT_EQ(model.design().cover.image, model.paintings().last());
    }
    CoverStep again(&model);
    EXPECT_EQ(again.findChild<CoverPaint *>()->shownPaintings(), model.paintings());
    EXPECT_EQ(model.paintings().size(), 2);
}

TEST_F(CoverPictures, AFailedPaintingShowsTheServicesSentence)
{
    CoverStep step(&model);
    auto *paint = step.findChild<CoverPaint *>();
    service.answer(QStringLiteral("/api/covers/generate$"), 500, R"({"error":"No."})");
    paint->setPrompt(QStringLiteral("Two cups"));
    paint->paint();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
    EXPECT_EQ(step.error(), QStringLiteral("No."));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("No.")));
    EXPECT_TRUE(model.paintings().isEmpty());
    EXPECT_TRUE(paintings().isEmpty());

    // The next press starts clean.
    service.reset();
    paint->paint();
    EXPECT_FALSE(step.error());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
    EXPECT_EQ(model.paintings().size(), 2);
}

TEST_F(CoverPictures, ThePaintVariablePaintsOnceAWizard)
{
    qputenv("QUORVEL_COVER_PAINT", "");
    {
        CoverStep step(&model);
        EXPECT_EQ(step.findChild<CoverPaint *>()->prompt(), QString());
        ASSERT_TRUE(TestSupport::waitUntil([&] { return model.painting() == 0; }));
        // An empty description: the service says what it wants.
        EXPECT_EQ(step.error(), QStringLiteral("Describe the picture in a few more words."));
    }
    qputenv("QUORVEL_COVER_PAINT", "A window at night");
    {
        CoverStep step(&model);
        EXPECT_EQ(model.painting(), 0);
    }
    qunsetenv("QUORVEL_COVER_PAINT");
    EXPECT_EQ(service.requests(QStringLiteral("/api/covers/generate$")).size(), 2);

    Book other(spreadBook(QDate(2023, 1, 1), 3));
    WizardModel otherModel(other.project, WizardModel::Resuming::No);
    otherModel.setRenderer(renders.renderer());
    qputenv("QUORVEL_COVER_PAINT", "A window at night");
    CoverStep step(&otherModel);
    qunsetenv("QUORVEL_COVER_PAINT");
    EXPECT_EQ(step.findChild<CoverPaint *>()->prompt(), QStringLiteral("A window at night"));
    ASSERT_TRUE(TestSupport::waitUntil([&] { return otherModel.painting() == 0; }));
    EXPECT_EQ(otherModel.paintings().size(), 2);
}

TEST_F(CoverPictures, PaintIdeasFollowWhatTheConversationHolds)
{
    const QString rain = QStringLiteral("The two of you from behind, walking in the rain");
    const QString cafe = QStringLiteral("Two phones face down on a caf\u00E9 table");
    const QString boat = QStringLiteral("A paper boat on a pond, two people on the bank");
    EXPECT_EQ(CoverPaint::paintIdeas(model), QStringList({ rain, cafe, boat }));
    Insights insights = daysOf(QDate(2023, 1, 1), 3, 2);
    model.setInsights(insights);
    EXPECT_EQ(CoverPaint::paintIdeas(model), QStringList({ rain, cafe, boat }));
    insights.topEmoji = { QStringLiteral("\U0001F35C") };
    insights.latestNight = QStringLiteral("2:40 AM");
    model.setInsights(insights);
    EXPECT_EQ(CoverPaint::paintIdeas(model),
        QStringList({ QStringLiteral("A still life of \U0001F35C, lovingly painted"), rain, cafe,
            QStringLiteral("A window lit up at 2 a.m. in a dark street") }));
}

TEST_F(CoverPictures, TheNoticeSaysWhatIsSent)
{
    CoverStep step(&model);
    step.setTab(CoverStep::Tab::Paint);
    step.show();
    EXPECT_TRUE(TestSupport::findText(
        &step, QStringLiteral("Only the words you type are sent to paint it, never your messages.")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Paint from your photos")));
    step.toggleReference(photo("r.png"));
    EXPECT_TRUE(TestSupport::findText(&step,
        QStringLiteral(
            "The words and the photos you picked are sent to Google's image model to paint it, and not "
            "kept. Never your messages.")));
    EXPECT_TRUE(TestSupport::findText(&step, QStringLiteral("Painting from 1 of your photos")));
}
