// The making screen hands over only once the book as set up now is typeset.
#include "flow/makingview.h"
#include "flowtest.h"
#include "ui/errors.h"

#include <QDirIterator>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace TestSupport;
using namespace std::chrono_literals;

namespace {

class MakingViewTest : public FlowTest
{
};

QStringList previews(const QString &folder)
{
    return QDir(folder).entryList({ QStringLiteral("cover-*.png") }, QDir::Files);
}

} // namespace

// A book opened again already has its PDF; the screen must not take it for
// the new one, and must hand over only after the new one and its cover.
TEST_F(MakingViewTest, HandsOverOnlyAfterAPdfTypesetAfterItAppeared)
{
    BookFile book = designedBook();
    book.design->font = QStringLiteral("garamond");
    std::shared_ptr<Project> project = open(book);
    ASSERT_TRUE(typeset(*project));
    const QString before = project->pdf();

    MakingView view(project);
    view.resize(900, 600);
    view.show();
    QSignalSpy done(&view, &MakingView::done);
    EXPECT_FALSE(view.isReady());
    EXPECT_TRUE(findText(&view, QStringLiteral("Making your book")));
    EXPECT_TRUE(findText(&view, QStringLiteral("Setting 6 messages in Garamond")));
    EXPECT_TRUE(findText(&view, QStringLiteral("Numbering the pages")));

    ASSERT_TRUE(waitUntil([&] { return view.isReady(); }));
    // The cache gave the same PDF back, and that still counts as typeset now.
    EXPECT_EQ(project->pdf(), before);
    ASSERT_TRUE(waitUntil([&] { return view.isFinished(); }));
    EXPECT_TRUE(findText(&view, QStringLiteral("Your book is ready")));
    EXPECT_TRUE(findText(&view, QStringLiteral("Numbering %1 pages").arg(project->layout().pageCount)));
    ASSERT_TRUE(view.cover());
    // A thin book's cover is drawn for 40 pages: the sheet is
    // (40 / 444 + 0.06 + 10.25) inches wide at 72 pixels an inch.
    EXPECT_NEAR(QImage(*view.cover()).width(), (40.0 / 444 + 0.06 + 10.25) * 72, 1);
    EXPECT_TRUE(done.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return !done.isEmpty(); }));
    QTest::qWait(800);
    EXPECT_EQ(done.size(), 1);
}

TEST_F(MakingViewTest, AFailingTypesettingShowsItsSentenceAndAWayBack)
{
    FakeTypst typst;
    std::shared_ptr<Project> project = open(designedBook());
    fakeTypesetting(*project, typst);
    ASSERT_TRUE(typeset(*project));
    typst.layoutFailure = QStringLiteral("error: unknown font family: nowhere");
    // What the wizard does: the book changes, so no cached pages answer.
    project->addWord(QStringLiteral("day"));

    MakingView view(project);
    view.resize(900, 600);
    view.show();
    QSignalSpy setup(&view, &MakingView::setupRequested);
    ASSERT_TRUE(waitUntil([&] {
        return findText(&view, QStringLiteral("typst failed (1): error: unknown font family: nowhere"));
    }));
    EXPECT_FALSE(view.isReady());
    EXPECT_FALSE(findText(&view, QStringLiteral("Binding the cover")));
    auto *back = qobject_cast<QPushButton *>(findText(&view, QStringLiteral("Change Setup")));
    ASSERT_TRUE(back);
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(setup.size(), 1);
}

TEST_F(MakingViewTest, ACoverThatDoesNotComeOutStillHandsOver)
{
    FakeTypst typst;
    typst.pdf = blankPdf(12);
    BookFile book = designedBook(1234);
    // The cover's picture is gone: typst can't draw it.
    book.design->cover.style = QStringLiteral("photo");
    book.design->cover.image = QStringLiteral("/nowhere/gone.jpg");
    std::shared_ptr<Project> project = open(book);
    fakeTypesetting(*project, typst);

    MakingView view(project);
    view.show();
    EXPECT_TRUE(findText(&view, QStringLiteral("Setting 1,234 messages in Palatino")));
    QSignalSpy done(&view, &MakingView::done);
    ASSERT_TRUE(waitUntil([&] { return !done.isEmpty(); }));
    EXPECT_TRUE(view.isFinished());
    EXPECT_FALSE(view.cover());
    EXPECT_TRUE(findText(&view, QStringLiteral("Numbering 12 pages")));
    EXPECT_TRUE(previews(project->folder()).isEmpty());
}

