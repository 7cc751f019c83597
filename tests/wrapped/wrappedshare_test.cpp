// The Wrapped screen's rules without its widgets: the share it opens with
// and after a year change, the card shown, putting cards in and out, how a
// card reads aloud, the saved files' prefix and the caption.
#include "wrapped/wrappedshare.h"
#include "wrappedfixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Cards a, b, c, d in that order; b and d are the defaults, named the
// other way round.
Wrapped abcd()
{
    Wrapped wrapped;
    for (const QString &id : { u"a"_s, u"b"_s, u"c"_s, u"d"_s }) {
        Wrapped::Card card;
        card.id = id;
        wrapped.cards.append(card);
    }
    wrapped.defaultSelection = { u"d"_s, u"b"_s };
    return wrapped;
}

} // namespace

TEST(WrappedShare, OpensOnTheSavedShareFittedToTheCards)
{
    Wrapped wrapped = abcd();
    // Repeats stay, names of no card go.
    EXPECT_EQ(WrappedShare::opening(wrapped, { u"a"_s, u"zz"_s, u"a"_s }, std::nullopt),
        (QStringList { u"a"_s, u"a"_s }));
    // Nothing left: the defaults, in card order.
    EXPECT_EQ(WrappedShare::opening(wrapped, { u"zz"_s }, std::nullopt), (QStringList { u"b"_s, u"d"_s }));
    EXPECT_EQ(WrappedShare::opening(wrapped, {}, std::nullopt), (QStringList { u"b"_s, u"d"_s }));
    // A focus from the found step goes in front, once.
    EXPECT_EQ(WrappedShare::opening(wrapped, { u"a"_s }, u"b"_s), (QStringList { u"b"_s, u"a"_s }));
    EXPECT_EQ(WrappedShare::opening(wrapped, { u"a"_s, u"b"_s }, u"b"_s), (QStringList { u"a"_s, u"b"_s }));
    EXPECT_EQ(WrappedShare::opening(wrapped, { u"a"_s }, u"nope"_s), (QStringList { u"a"_s }));

    wrapped.defaultSelection.clear();
    EXPECT_TRUE(WrappedShare::opening(wrapped, { u"zz"_s }, std::nullopt).isEmpty());
}

TEST(WrappedShare, ShowsTheFocusElseTheShareElseTheFirstCard)
{
    const Wrapped wrapped = abcd();
    EXPECT_EQ(WrappedShare::shown(wrapped, { u"a"_s }, u"b"_s), u"b"_s);
    EXPECT_EQ(WrappedShare::shown(wrapped, { u"c"_s, u"a"_s }, u"nope"_s), u"c"_s);
    EXPECT_EQ(WrappedShare::shown(wrapped, {}, QString()), u"a"_s);
    EXPECT_EQ(WrappedShare::shown(Wrapped(), {}, u"a"_s), QString());
}

TEST(WrappedShare, APutInCardFollowsCardOrderATakenOutOneGoesEverywhere)
{
    const Wrapped wrapped = abcd();
    EXPECT_EQ(WrappedShare::included(wrapped, { u"d"_s, u"a"_s }, u"c"_s, true),
        (QStringList { u"a"_s, u"c"_s, u"d"_s }));
    EXPECT_EQ(
        WrappedShare::included(wrapped, { u"zz"_s, u"b"_s }, u"a"_s, true), (QStringList { u"a"_s, u"b"_s }));
    EXPECT_EQ(
        WrappedShare::included(wrapped, { u"a"_s, u"c"_s, u"a"_s }, u"a"_s, false), (QStringList { u"c"_s }));
}

TEST(WrappedShare, AYearsCardsKeepWhatTheyHoldOfTheShare)
{
    Wrapped next = abcd();
    EXPECT_EQ(WrappedShare::kept(next, { u"c"_s, u"a"_s, u"c"_s }), (QStringList { u"c"_s, u"a"_s, u"c"_s }));
    EXPECT_EQ(WrappedShare::kept(next, { u"x"_s, u"y"_s }), (QStringList { u"b"_s, u"d"_s }));
    // Nothing survives and no default: an empty share, the first card shown.
    next.defaultSelection = { u"gone"_s };
    const QStringList share = WrappedShare::kept(next, { u"x"_s });
    EXPECT_TRUE(share.isEmpty());
    EXPECT_EQ(WrappedShare::shown(next, share, u"x"_s), u"a"_s);
}

TEST(WrappedShare, DescribesACardInSentences)
{
    const Wrapped wrapped = sampleWrapped();
    WrappedSettings settings;
    settings.names = WrappedSettings::Names::Full;

    Wrapped::Card said;
    said.eyebrow = u"WHAT I SAID FIRST"_s;
    said.big = u"{me}"_s;
    EXPECT_EQ(WrappedShare::describe(said, wrapped, settings), u"What I said first: Sam Lee."_s);

    Wrapped::Card empty;
    empty.eyebrow = u"SUPERLATIVES"_s;
    EXPECT_EQ(WrappedShare::describe(empty, wrapped, settings), u"Superlatives: ."_s);

    Wrapped::Card busiest = *wrapped.card(u"busiest"_s);
    busiest.detail = u"What a day!"_s;
    busiest.rows.append({ u"nobody"_s, u"2"_s, 0.1 });
    settings.names = WrappedSettings::Names::Initials;
    EXPECT_EQ(WrappedShare::describe(busiest, wrapped, settings),
        u"Busiest day: 31 messages in one day. What a day! S.L. 16, M.O. 15,  2."_s);

    // The quotes of the love card's eyebrow don't hide the lone I.
    EXPECT_EQ(WrappedShare::describe(*wrapped.card(u"love"_s), wrapped, settings),
        u"The first \u201CI love you\u201D: S.L. said it first. February 14, 2024, M.O. said it back 2 hours later."_s);
}

TEST(WrappedShare, NamesFilesAfterTheTitleAsTheCardsNamePeople)
{
    Wrapped wrapped = sampleWrapped();
    WrappedSettings settings;
    settings.names = WrappedSettings::Names::Full;
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"sam-lee-maya-ortiz-wrapped"_s);
    settings.names = WrappedSettings::Names::Initials;
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"s-l-m-o-wrapped"_s);

    wrapped.title = u"Book Club 2024!"_s;
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"book-club-2024-wrapped"_s);
    wrapped.title = u"Café Ωmega — 日本"_s;
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"café-ωmega-日本-wrapped"_s);
    wrapped.title = u" !? — "_s;
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"wrapped-wrapped"_s);
}

// With the default initials, the Wrapped of a chat with someone known only
// by a number printed all of it on the cover card, in card titles and in
// the saved files' names.
TEST(WrappedShare, SomeoneKnownByANumberIsNamedByItsLastFourDigitsUnlessNamedInFull)
{
    Wrapped wrapped = sampleWrapped();
    wrapped.people[1].name = u"+44 7700 900123"_s;
    WrappedSettings settings;
    EXPECT_EQ(settings.named(wrapped.title, wrapped.people), u"S.L. & 0123"_s);
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"s-l-0123-wrapped"_s);
    for (const Wrapped::Card &card : wrapped.cards) {
        const QString read = WrappedShare::describe(card, wrapped, settings);
        EXPECT_FALSE(read.contains(u"7700"_s)) << read.toStdString();
    }
    EXPECT_TRUE(WrappedShare::describe(*wrapped.card(u"cover"_s), wrapped, settings).contains(u"0123 994"_s));
    EXPECT_TRUE(
        WrappedShare::describe(*wrapped.card(u"love"_s), wrapped, settings).contains(u"0123 said it back"_s));

    settings.names = WrappedSettings::Names::Full;
    EXPECT_EQ(settings.named(wrapped.title, wrapped.people), u"Sam Lee & +44 7700 900123"_s);
    EXPECT_EQ(WrappedShare::filePrefix(wrapped, settings), u"sam-lee-44-7700-900123-wrapped"_s);
}

TEST(WrappedShare, ATitleLongerThanAFileNameStillNamesFilesThatSave)
{
    Wrapped wrapped = sampleWrapped();
    WrappedSettings settings;
    QTemporaryDir folder;
    for (const QString &title : { QString(400, u'a'), QString(300, u'é'), u"日本"_s.repeated(120) }) {
        wrapped.title = title;
        const QString prefix = WrappedShare::filePrefix(wrapped, settings);
        EXPECT_TRUE(prefix.endsWith(u"-wrapped"_s));
        QFile card(folder.filePath(prefix + u"-12-busiest-story.png"_s));
        EXPECT_TRUE(card.open(QIODevice::WriteOnly)) << card.errorString().toStdString();
        QFile video(folder.filePath(prefix + u".mp4"_s));
        EXPECT_TRUE(video.open(QIODevice::WriteOnly)) << video.errorString().toStdString();
    }
    // Titles that differ only past the cut keep files apart.
    wrapped.title = QString(400, u'a') + u'b';
    const QString one = WrappedShare::filePrefix(wrapped, settings);
    wrapped.title = QString(400, u'a') + u'c';
    EXPECT_NE(WrappedShare::filePrefix(wrapped, settings), one);
}

TEST(WrappedShare, CaptionSaysWhatAndEndsWithTheLink)
{
    Wrapped wrapped = sampleWrapped();
    WrappedSettings settings;
    EXPECT_EQ(WrappedShare::caption(wrapped, settings, std::nullopt),
        u"Our texts, in numbers. Made with Quorvel: quorvel.app"_s);
    wrapped.group = true;
    wrapped.year = 2024;
    settings.disclose = true;
    EXPECT_EQ(WrappedShare::caption(wrapped, settings, QUrl(u"http://127.0.0.1:8787/r/FRIEND-ABC"_s)),
        u"#ad Our group chat from 2024, in numbers. Made with Quorvel: http://127.0.0.1:8787/r/FRIEND-ABC"_s);
}
