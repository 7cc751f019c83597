// Saving and sharing from the Wrapped screen: the share's cards as
// pictures, the video, what the service hears of it, failures that keep
// the last files, the caption, and the files handed on.
#include "wrapped/wrappedexport.h"
#include "wrapped/wrappedinspector.h"
#include "wrapped/wrappedshare.h"
#include "wrappedviewtest.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProgressBar>

namespace {

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

TEST_F(WrappedViewTest, SavingCardsWritesTheShareInItsShapeAndRevealsThem)
{
    show();
    QTemporaryDir folder;
    TestSupport::desktop().answers.append({ folder.path() });
    button(u"Save Cards…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->exported().isEmpty(); }));
    const Desktop::Panel panel = TestSupport::desktop().panels.first();
    EXPECT_EQ(panel.mode, Desktop::Panel::Mode::OpenFolder);
    EXPECT_EQ(panel.prompt, u"Save Here"_s);
    EXPECT_EQ(panel.message, u"Choose where to save the cards."_s);

    // One story picture per card of the share, in its order.
    const QStringList selection = view->settings().selection;
    QStringList expected;
    for (int i = 0; i < selection.size(); ++i)
        expected.append(folder.filePath(u"p-s-l-wrapped-%1-%2-story.png"_s.arg(i + 1, 2, 10, QLatin1Char('0'))
                                            .arg(WrappedExport::fileNamePart(selection[i]))));
    EXPECT_EQ(view->filePrefix(), u"p-s-l-wrapped"_s);
    EXPECT_EQ(view->exported(), expected);
    EXPECT_EQ(QImage(expected.first()).size(), QSize(1080, 1920));
    EXPECT_EQ(TestSupport::desktop().of(u"reveal"_s), QList<QStringList> { expected });
    EXPECT_TRUE(sentEvent(u"card_exported"_s));
    EXPECT_TRUE(shows(u"Show in File Manager"_s));

    // The share menu copies the files as a list and shows them; the link shows them.
    QMenu *menu = view->inspector()->shareButton()->menu();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), u"Copy Files"_s);
    menu->actions().first()->trigger();
    EXPECT_EQ(TestSupport::desktop().of(u"share"_s), QList<QStringList> { expected });
    button(u"Show in File Manager"_s)->click();
    EXPECT_EQ(TestSupport::desktop().of(u"reveal"_s).size(), 2);

    // A file manager that doesn't come says where the files are.
    TestSupport::desktop().reveals = false;
    button(u"Show in File Manager"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->error().has_value(); }));
    EXPECT_EQ(*view->error(),
        u"The file manager didn't open. The files are in %1."_s.arg(QDir::toNativeSeparators(folder.path())));
    TestSupport::desktop().reveals = true;

    // The post shape alone, when that is the shape chosen.
    chooseSegment(u"Shape"_s, 1, 2);
    QTemporaryDir posts;
    TestSupport::desktop().answers.append({ posts.path() });
    button(u"Save Cards…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->exported().value(0).startsWith(posts.path()); }));
    for (const QString &file : filesIn(posts.path()))
        EXPECT_TRUE(file.endsWith(u"-post.png"_s)) << file.toStdString();
    EXPECT_EQ(QImage(view->exported().first()).size(), QSize(1080, 1080));
}

TEST_F(WrappedViewTest, AFailedSaveShowsItsSentenceAndKeepsTheLastFiles)
{
    show();
    QTemporaryDir folder;
    TestSupport::desktop().answers.append({ folder.path() });
    button(u"Save Cards…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->exported().isEmpty(); }));
    const QStringList saved = view->exported();
    ASSERT_TRUE(sentEvent(u"card_exported"_s));

    // A file where the folder should be.
    const QString blocked = folder.filePath(u"taken"_s);
    TestSupport::writeFile(blocked, "a file");
    TestSupport::desktop().answers.append({ blocked + u"/cards"_s });
    button(u"Save Cards…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->error().has_value(); }));
    EXPECT_EQ(*view->error(), u"The folder %1/cards can't be made."_s.arg(blocked));
    EXPECT_TRUE(shows(*view->error()));
    EXPECT_EQ(view->exported(), saved);
    EXPECT_TRUE(shows(u"Show in File Manager"_s));
    EXPECT_EQ(eventsSent(u"card_exported"_s), 1);

    // Cancelling the panel is no failure; the next save clears the sentence.
    button(u"Save Cards…"_s)->click();
    QTest::qWait(50);
    EXPECT_TRUE(view->error());
    TestSupport::desktop().answers.append({ folder.path() });
    button(u"Save Cards…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->error() && !view->exporting(); }));
}

TEST_F(WrappedViewTest, SavingTheVideoShowsItsProgressAndKeepsTheScreenAtHand)
{
    show();
    // Two cards play: a shorter film.
    WrappedSettings two = view->settings();
    two.selection = two.selection.mid(0, 2);
    view->setSettings(two);

    QTemporaryDir folder;
    const QString film = folder.filePath(u"ours.mp4"_s);
    TestSupport::desktop().answers.append({ film });
    ManualClock clock;
    button(u"Save Video…"_s)->click();
    const Desktop::Panel panel = TestSupport::desktop().panels.first();
    EXPECT_EQ(panel.mode, Desktop::Panel::Mode::Save);
    EXPECT_EQ(panel.suggestedName, view->filePrefix() + u".mp4"_s);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->videoProgress().value_or(0) > 0.1; }));
    EXPECT_EQ(view->exporting(), WrappedView::Export::Video);
    EXPECT_FALSE(button(u"Save Cards…"_s)->isEnabled());
    EXPECT_FALSE(button(u"Save Video…"_s)->isEnabled());
    EXPECT_TRUE(shows(u"Making the video"_s));
    EXPECT_GT(view->inspector()->findChild<QProgressBar *>()->value(), 100);
    // The caption can still be copied meanwhile.
    button(u"Copy Caption"_s)->click();
    EXPECT_EQ(TestSupport::desktop().of(u"copyText"_s), QList<QStringList> { { view->caption() } });

    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->exporting(); }, 120000));
    EXPECT_FALSE(view->error()) << view->error()->toStdString();
    EXPECT_EQ(view->exported(), QStringList { film });
    EXPECT_GT(QFileInfo(film).size(), 10000);
    EXPECT_FALSE(shows(u"Making the video"_s));
    EXPECT_TRUE(button(u"Save Video…"_s)->isEnabled());
    EXPECT_EQ(TestSupport::desktop().of(u"reveal"_s), QList<QStringList> { { film } });
    EXPECT_TRUE(sentEvent(u"video_exported"_s));

    // A video that can't be written: its sentence, and the film stays on offer.
    TestSupport::desktop().answers.append({ folder.filePath(u"missing/ours.mp4"_s) });
    button(u"Save Video…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->error().has_value() && !view->exporting(); }));
    EXPECT_TRUE(shows(*view->error()));
    EXPECT_EQ(view->exported(), QStringList { film });
    EXPECT_EQ(eventsSent(u"video_exported"_s), 1);
}

TEST_F(WrappedViewTest, WithNothingInTheShareNothingCanBeSaved)
{
    show();
    const QStringList shared = view->settings().selection;
    for (const QString &id : shared)
        view->include(id, false);
    EXPECT_TRUE(view->settings().selection.isEmpty());
    EXPECT_TRUE(shows(u"0 of %1 cards in the share"_s.arg(wrapped.cards.size())));
    EXPECT_FALSE(button(u"Save Cards…"_s)->isEnabled());
    EXPECT_FALSE(button(u"Save Video…"_s)->isEnabled());
    EXPECT_TRUE(button(u"Copy Caption"_s)->isEnabled());
}

TEST_F(WrappedViewTest, CopyingTheCaptionSaysCopiedForTwoSecondsEach)
{
    show();
    ManualClock clock;
    WrappedSettings disclosed = view->settings();
    disclosed.disclose = true;
    view->setSettings(disclosed);
    QPushButton *copy = button(u"Copy Caption"_s);
    EXPECT_EQ(copy->toolTip(), view->caption());
    EXPECT_TRUE(view->caption().startsWith(u"#ad Our texts, in numbers. Made with Quorvel: "_s));
    expectCopiedForTwoSecondsEach(copy, clock, u"Copy Caption"_s);
    EXPECT_EQ(TestSupport::desktop().of(u"copyText"_s).size(), 2);
}
