#include "uitestsupport.h"
#include "wrapped/wrappedcardview.h"
#include "wrapped/wrappedexport.h"
#include "wrapped/wrappedsiteexport.h"
#include "wrappedfixture.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Format = WrappedSettings::Format;

WrappedSettings selecting(const QStringList &ids)
{
    WrappedSettings settings;
    settings.selection = ids;
    return settings;
}

QStringList names(const QStringList &paths)
{
    QStringList made;
    for (const QString &path : paths)
        made.append(QFileInfo(path).fileName());
    return made;
}

QStringList cards(const Wrapped &wrapped, const WrappedSettings &settings, const QList<Format> &formats,
    const QString &folder, const QString &prefix = u"ours"_s)
{
    return TestSupport::await(
        WrappedExport::cards(wrapped, settings, u"FRIEND-7Q2K"_s, formats, folder, prefix));
}

} // namespace

TEST(WrappedExport, WritesTheSelectionOncePerFormatInOrder)
{
    QTemporaryDir dir;
    Wrapped wrapped = sampleWrapped();
    wrapped.cards[3].id = u"first-love"_s;
    const QString folder = dir.filePath(u"new/cards"_s);
    const QStringList written = cards(wrapped, selecting({ u"busiest"_s, u"zz"_s, u"first-love"_s }),
        { Format::Story, Format::Post }, folder);
    EXPECT_EQ(names(written),
        (QStringList { u"ours-01-busiest-story.png"_s, u"ours-02-first-love-story.png"_s,
            u"ours-01-busiest-post.png"_s, u"ours-02-first-love-post.png"_s }));
    EXPECT_EQ(QImage(written[0]).size(), QSize(1080, 1920));
    EXPECT_EQ(QImage(written[3]).size(), QSize(1080, 1080));
    // The file is the card view's own drawing.
    WrappedSettings post = selecting({});
    post.format = Format::Post;
    EXPECT_EQ(QImage(written[2]).convertToFormat(QImage::Format_RGB32),
        WrappedCardView::render({ *wrapped.card(u"busiest"_s), wrapped, post, u"FRIEND-7Q2K"_s, {}, 1 })
            .convertToFormat(QImage::Format_RGB32));

    // The same names again replace the files.
    TestSupport::writeFile(written[0], "old");
    cards(wrapped, selecting({ u"busiest"_s }), { Format::Story }, folder);
    EXPECT_FALSE(QImage(written[0]).isNull());
    EXPECT_TRUE(cards(wrapped, selecting({ u"busiest"_s }), {}, dir.filePath(u"empty"_s)).isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath(u"empty"_s)).isDir());
}

TEST(WrappedExport, NamesCardsByLettersAndNumbersOnly)
{
    EXPECT_EQ(WrappedExport::fileNamePart(u"a b/c"_s), u"a-b-c"_s);
    EXPECT_EQ(WrappedExport::fileNamePart(u"moment-birthday-them|07-14"_s), u"moment-birthday-them-07-14"_s);
    EXPECT_EQ(WrappedExport::fileNamePart(u"Caf\u00E9\U0001F382x"_s), u"Caf\u00E9-x"_s);
    EXPECT_EQ(WrappedExport::fileNamePart(u"\u0661\u0662"_s), u"\u0661\u0662"_s);

    QTemporaryDir dir;
    Wrapped wrapped = sampleWrapped();
    const Wrapped::Card busiest = *wrapped.card(u"busiest"_s);
    QStringList ids;
    for (int i = 0; i < 10; ++i) {
        Wrapped::Card card = busiest;
        card.id = u"c%1"_s.arg(i);
        wrapped.cards.append(card);
        ids.append(card.id);
    }
    const QStringList written = cards(wrapped, selecting(ids), { Format::Post }, dir.path(), u"100%2 off"_s);
    ASSERT_EQ(written.size(), 10);
    EXPECT_EQ(QFileInfo(written.first()).fileName(), u"100%2 off-01-c0-post.png"_s);
    EXPECT_EQ(QFileInfo(written.last()).fileName(), u"100%2 off-10-c9-post.png"_s);
}

TEST(WrappedExport, StopsAtTheFirstFileItCannotWrite)
{
    QTemporaryDir dir;
    // A folder where the second card's file would go.
    QDir(dir.path()).mkpath(u"ours-02-love-story.png"_s);
    const std::optional<QString> failure = TestSupport::failureOf(
        WrappedExport::cards(sampleWrapped(), selecting({ u"busiest"_s, u"love"_s, u"words"_s }),
            std::nullopt, { Format::Story }, dir.path(), u"ours"_s));
    ASSERT_TRUE(failure);
    EXPECT_TRUE(
        failure->startsWith(u"The card couldn't be saved at "_s + dir.filePath(u"ours-02-love-story.png"_s)))
        << failure->toStdString();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"ours-01-busiest-story.png"_s)));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(u"ours-03-words-story.png"_s)));

    TestSupport::writeFile(dir.filePath(u"file"_s), "not a folder");
    EXPECT_EQ(TestSupport::failureOf(WrappedExport::cards(sampleWrapped(), selecting({ u"busiest"_s }),
                  std::nullopt, { Format::Story }, dir.filePath(u"file/cards"_s), u"ours"_s)),
        u"The folder "_s + dir.filePath(u"file/cards"_s) + u" can't be made."_s);
}

TEST(WrappedSiteExport, ReadsItsFolderAndPrefix)
{
    QProcessEnvironment environment;
    EXPECT_FALSE(WrappedSiteExport::folder(environment));
    environment.insert(u"QUORVEL_WRAPPED_EXPORT"_s, u"/tmp/site"_s);
    EXPECT_EQ(WrappedSiteExport::folder(environment), u"/tmp/site"_s);
    EXPECT_EQ(WrappedSiteExport::prefix(u"demo:Sam and Maya"_s), u"Sam-and-Maya"_s);
    EXPECT_EQ(WrappedSiteExport::prefix(u"+15550100"_s), u"+15550100"_s);
    EXPECT_EQ(WrappedSiteExport::prefix(u"x demo:y"_s), u"x-y"_s);
    EXPECT_EQ(WrappedSiteExport::demoCode().size(), 6);
}

// A name with "/" named a folder that wasn't there, and a group keyed by
// all its members a file name longer than a file system takes: the export
// wrote nothing.
TEST(WrappedSiteExport, AKeyNoFileCouldBeNamedAfterStillNamesEveryFile)
{
    EXPECT_EQ(WrappedSiteExport::prefix(u"file-3f2a9c1d:Us 2023/2024"_s), u"file-3f2a9c1d:Us-2023-2024"_s);
    QString members;
    for (int i = 0; members.toUtf8().size() < 400; ++i)
        members += u"Zoë Member %1, "_s.arg(i);
    const QString key = u"file-3f2a9c1d:"_s + members + u"& Sam"_s;
    const QString prefix = WrappedSiteExport::prefix(key);
    EXPECT_TRUE(prefix.startsWith(u"file-3f2a9c1d:Zoë-Member-0,-Zoë-Member-1,"_s)) << prefix.toStdString();
    EXPECT_EQ(WrappedSiteExport::prefix(key), prefix);
    EXPECT_NE(WrappedSiteExport::prefix(key + u"a"_s), prefix);

    QTemporaryDir dir;
    Wrapped wrapped = sampleWrapped();
    wrapped.cards = wrapped.cards.mid(0, 1);
    for (const QString &name : { u"Us 2023/2024"_s, key }) {
        const std::optional<QString> failure
            = TestSupport::await(WrappedSiteExport::run(wrapped, selecting({}), name, dir.path(), {}));
        EXPECT_EQ(failure, std::nullopt) << name.toStdString();
    }
    QStringList written = QDir(dir.path()).entryList(QDir::Files);
    QStringList expected { prefix + u"-01-cover-post.png"_s, prefix + u"-01-cover-story.png"_s,
        prefix + u".mp4"_s, u"Us-2023-2024-01-cover-post.png"_s, u"Us-2023-2024-01-cover-story.png"_s,
        u"Us-2023-2024.mp4"_s };
    written.sort();
    expected.sort();
    EXPECT_EQ(written, expected);
}

TEST(WrappedSiteExport, WritesEveryCardWithFullNamesAndTheFilm)
{
    QTemporaryDir dir;
    Wrapped wrapped = sampleWrapped();
    wrapped.cards = wrapped.cards.mid(0, 2);
    WrappedSettings settings = selecting({ u"busiest"_s });
    settings.theme = WrappedSettings::Theme::Ink;
    int asked = 0;
    TestSupport::await(WrappedSiteExport::run(wrapped, settings, u"demo:Sam and Maya"_s, dir.path(), [&] {
        ++asked;
        return std::optional<QString>();
    }));
    EXPECT_EQ(asked, 2);
    QStringList files = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files,
        (QStringList { u"Sam-and-Maya-01-cover-post.png"_s, u"Sam-and-Maya-01-cover-story.png"_s,
            u"Sam-and-Maya-02-talks-post.png"_s, u"Sam-and-Maya-02-talks-story.png"_s,
            u"Sam-and-Maya.mp4"_s }));
    EXPECT_GT(QFileInfo(dir.filePath(u"Sam-and-Maya.mp4"_s)).size(), 10000);

    // Full names and the demo code, in the user's theme: the card view's
    // drawing of exactly that.
    WrappedSettings full = settings;
    full.names = WrappedSettings::Names::Full;
    const QImage expected
        = WrappedCardView::render({ wrapped.cards[1], wrapped, full, WrappedSiteExport::demoCode(), {}, 1 });
    EXPECT_EQ(
        QImage(dir.filePath(u"Sam-and-Maya-02-talks-story.png"_s)).convertToFormat(QImage::Format_RGB32),
        expected.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(expected,
        WrappedCardView::render(
            { wrapped.cards[1], wrapped, settings, WrappedSiteExport::demoCode(), {}, 1 }));

    // A folder that can't be made: nothing is written, nothing thrown.
    TestSupport::writeFile(dir.filePath(u"file"_s), "not a folder");
    TestSupport::await(WrappedSiteExport::run(wrapped, settings, u"x"_s, dir.filePath(u"file"_s), {}));
}
