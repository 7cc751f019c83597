// The Wrapped screen as the user meets it: the tool's cards with the share
// it opens on, a card asked for by the found step, the look chosen in the
// panel and kept per conversation, the year choice, and what it tells the
// service when it opens.
#include "ui/windowtoolbar.h"
#include "wrapped/claimsheet.h"
#include "wrapped/unlockstrip.h"
#include "wrapped/wrappedfilmstrip.h"
#include "wrapped/wrappedinspector.h"
#include "wrapped/wrappedpreview.h"
#include "wrapped/wrappedshare.h"
#include "wrappedviewtest.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTemporaryDir>

TEST_F(WrappedViewTest, ShowsTheToolsCardsInOrderWithTheDefaultShare)
{
    show();
    const QStringList ids = cardIds();
    ASSERT_GE(ids.size(), 6);
    QStringList strip;
    for (const QString &id : ids) {
        ASSERT_TRUE(view->filmstrip()->thumbnail(id)) << id.toStdString();
        strip.append(id);
    }
    // The defaults, in card order, whatever order the document lists them.
    QStringList defaults;
    for (const QString &id : ids) {
        if (wrapped.defaultSelection.contains(id))
            defaults.append(id);
    }
    EXPECT_EQ(view->settings().selection, defaults);
    EXPECT_EQ(view->focused(), defaults.first());
    EXPECT_EQ(view->preview()->content()->card.id, defaults.first());
    EXPECT_EQ(view->preview()->accessibleName(), view->describe(*wrapped.card(defaults.first())));
    EXPECT_TRUE(shows(u"%1 of %2 cards in the share"_s.arg(defaults.size()).arg(ids.size())));
    // The year choice is there: the book spans 2022 to 2024.
    EXPECT_TRUE(shows(u"Which messages"_s));
    // Opening wrote nothing.
    EXPECT_FALSE(WrappedSettings::load(view->conversation()));

    // A thumbnail shows its card; a card out of the share is offered back.
    const QString other = ids.last();
    QTest::mouseClick(view->filmstrip()->thumbnail(other), Qt::LeftButton);
    EXPECT_EQ(view->focused(), other);
    EXPECT_EQ(view->preview()->content()->card.id, other);
    EXPECT_TRUE(view->filmstrip()->thumbnail(other)->isChecked());
    QAbstractButton *box = view->filmstrip()->shareBox(other);
    EXPECT_EQ(box->isChecked(), defaults.contains(other));
    EXPECT_EQ(box->toolTip(), defaults.contains(other) ? u"In the share"_s : u"Not in the share"_s);
}

TEST_F(WrappedViewTest, PuttingCardsInAndOutOfTheShareIsSavedInCardOrder)
{
    show();
    const QStringList ids = cardIds();
    const QString last = ids.last();
    const QString first = view->settings().selection.first();
    view->filmstrip()->shareBox(first)->click();
    EXPECT_FALSE(view->settings().selection.contains(first));
    if (view->settings().selection.contains(last))
        view->filmstrip()->shareBox(last)->click();
    view->filmstrip()->shareBox(last)->click();
    view->filmstrip()->shareBox(first)->click();
    const QStringList selection = view->settings().selection;
    EXPECT_EQ(selection.first(), first);
    EXPECT_EQ(selection.last(), last);
    EXPECT_EQ(WrappedSettings::load(view->conversation())->selection, selection);
    EXPECT_EQ(view->filmstrip()->shareBox(last)->toolTip(), u"In the share"_s);

    // Another screen on the same conversation opens on that share.
    show();
    EXPECT_EQ(view->settings().selection, selection);
}

TEST_F(WrappedViewTest, ACardAskedForByTheFoundStepOpensInFront)
{
    const QString asked = cardIds().last();
    WrappedSettings saved;
    saved.selection = { u"gone"_s, cardIds().first(), cardIds().first() };
    saved.save(project->conversation().id());
    show(asked);
    EXPECT_EQ(view->focused(), asked);
    EXPECT_EQ(view->preview()->content()->card.id, asked);
    EXPECT_EQ(view->settings().selection, (QStringList { asked, cardIds().first(), cardIds().first() }));

    // A card that doesn't exist changes nothing.
    show(u"moment-nothing"_s);
    EXPECT_EQ(view->focused(), cardIds().first());
    EXPECT_EQ(view->settings().selection, (QStringList { cardIds().first(), cardIds().first() }));
}

TEST_F(WrappedViewTest, TheLookIsKeptPerConversationAndRedrawsTheCards)
{
    show();
    const QImage before = view->preview()->grab().toImage();
    const QString id = view->conversation();

    chooseSegment(u"Shape"_s, 1, 2);
    EXPECT_EQ(WrappedSettings::load(id)->format, WrappedSettings::Format::Post);
    const QRectF square = view->preview()->cardRect();
    EXPECT_NEAR(square.width(), square.height(), 1);
    // Thumbnails stay story cards.
    EXPECT_EQ(view->filmstrip()->thumbnail(view->focused())->size(), QSize(78, 134));

    chooseSegment(u"Names"_s, 1, 3);
    EXPECT_EQ(view->settings().names, WrappedSettings::Names::Full);
    chooseSegment(u"Names"_s, 2, 3);
    QLineEdit *sam = nullptr;
    for (QLineEdit *field : view->inspector()->findChildren<QLineEdit *>()) {
        if (field->isVisibleTo(view) && field->toolTip() == u"Sam Lee"_s)
            sam = field;
    }
    ASSERT_TRUE(sam);
    EXPECT_EQ(sam->placeholderText(), u"S.L."_s);
    sam->setFocus();
    QTest::keyClicks(sam, u"Sammy"_s);
    EXPECT_EQ(WrappedSettings::load(id)->custom.value(u"them"_s), u"Sammy"_s);
    sam->selectAll();
    QTest::keyClick(sam, Qt::Key_Backspace);
    // Cleared is kept as an empty name, not removed.
    EXPECT_TRUE(WrappedSettings::load(id)->custom.contains(u"them"_s));
    EXPECT_EQ(WrappedSettings::load(id)->custom.value(u"them"_s), QString());

    auto swatch = [&](const QString &name) {
        for (QAbstractButton *button : view->inspector()->findChildren<QAbstractButton *>()) {
            if (button->toolTip() == name)
                return button;
        }
        return static_cast<QAbstractButton *>(nullptr);
    };
    swatch(u"Paper"_s)->click();
    EXPECT_EQ(WrappedSettings::load(id)->theme, WrappedSettings::Theme::Paper);
    EXPECT_FALSE(shows(u"Background"_s));
    swatch(u"Custom"_s)->click();
    EXPECT_TRUE(shows(u"Background"_s) && shows(u"Text"_s) && shows(u"Accent"_s));
    QPushButton *accent = nullptr;
    for (QPushButton *well : view->inspector()->findChildren<QPushButton *>()) {
        if (well->accessibleName() == u"Accent"_s)
            accent = well;
    }
    ASSERT_TRUE(accent);
    accent->click();
    QColorDialog *panel = view->findChild<QColorDialog *>();
    ASSERT_TRUE(panel);
    panel->setCurrentColor(QColor(0x12, 0xab, 0xcd));
    panel->accept();
    EXPECT_EQ(WrappedSettings::load(id)->accent, u"#12ABCD"_s);
    swatch(u"Ink"_s)->click();
    EXPECT_FALSE(shows(u"Accent"_s));
    EXPECT_EQ(WrappedSettings::load(id)->accent, u"#12ABCD"_s);

    QComboBox *typeface = view->inspector()->typefacePicker();
    typeface->setCurrentIndex(1);
    emit typeface->activated(1);
    EXPECT_EQ(WrappedSettings::load(id)->typeface, WrappedSettings::Typeface::Garamond);
    qobject_cast<QCheckBox *>(TestSupport::findText(view, u"Put #ad on the cards and video"_s))->click();
    EXPECT_TRUE(WrappedSettings::load(id)->disclose);
    EXPECT_TRUE(view->preview()->content()->settings.disclose);
    EXPECT_NE(view->preview()->grab().toImage(), before);

    // Another conversation keeps its own look.
    project = openBook(twoYearsOfUs(), u"other"_s);
    show();
    EXPECT_EQ(view->settings().theme, WrappedSettings::Theme::Oxblood);
    EXPECT_EQ(view->settings().format, WrappedSettings::Format::Story);
}

TEST_F(WrappedViewTest, AYearCountsItsOwnCardsAndAllOfItComesBack)
{
    show();
    QComboBox *years = view->inspector()->yearPicker();
    QStringList items;
    for (int i = 0; i < years->count(); ++i)
        items.append(years->itemText(i));
    ASSERT_EQ(wrapped.years.size(), 3);
    EXPECT_EQ(items,
        (QStringList { u"All of it"_s, u"2024 (%1)"_s.arg(Style::number(wrapped.years[2].count)),
            u"2023 (%1)"_s.arg(Style::number(wrapped.years[1].count)),
            u"2022 (%1)"_s.arg(Style::number(wrapped.years[0].count)) }));
    const QString shownBefore = view->focused();
    // The quiet days of July 2023 make a card of the whole history only.
    ASSERT_TRUE(wrapped.card(u"silence"_s));
    view->include(u"silence"_s, true);

    years->setCurrentIndex(1);
    emit years->activated(1);
    EXPECT_TRUE(view->isLoadingYear());
    EXPECT_FALSE(years->isEnabled());
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    EXPECT_EQ(view->wrapped().year, 2024);
    EXPECT_FALSE(view->wrapped().card(u"silence"_s));
    EXPECT_TRUE(years->isEnabled());
    EXPECT_EQ(years->currentText(), items[1]);
    EXPECT_EQ(years->count(), 4);
    EXPECT_FALSE(view->error());
    // The share holds only cards of the year; the card shown stays when it's there.
    EXPECT_FALSE(view->settings().selection.contains(u"silence"_s));
    for (const QString &id : view->settings().selection)
        EXPECT_TRUE(view->wrapped().card(id)) << id.toStdString();
    if (view->wrapped().card(shownBefore))
        EXPECT_EQ(view->focused(), shownBefore);
    ASSERT_TRUE(WrappedSettings::load(view->conversation()));
    EXPECT_EQ(WrappedSettings::load(view->conversation())->selection, view->settings().selection);
    EXPECT_TRUE(view->caption().contains(u" from 2024, in numbers."_s));

    years->setCurrentIndex(0);
    emit years->activated(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    EXPECT_FALSE(view->wrapped().year);
    EXPECT_EQ(view->wrapped().cards.size(), wrapped.cards.size());
    EXPECT_EQ(years->currentText(), u"All of it"_s);
}

TEST_F(WrappedViewTest, AFailedYearShowsTheToolsLineAndKeepsTheCards)
{
    show();
    const QString shown = view->focused();
    const QStringList selection = view->settings().selection;
    // A year without messages: the picker never offers one, the tool refuses it.
    view->pickYear(2019);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    EXPECT_EQ(view->error(), u"brimlow-core failed (1): Error: There are no messages from 2019."_s);
    EXPECT_TRUE(shows(*view->error()));
    EXPECT_FALSE(view->wrapped().year);
    EXPECT_EQ(view->wrapped().cards, wrapped.cards);
    EXPECT_EQ(view->focused(), shown);
    EXPECT_EQ(view->settings().selection, selection);
    EXPECT_TRUE(view->inspector()->yearPicker()->isEnabled());
}

// Fault mended: the failed year's sentence stayed under the year picker
// after another year had loaded, as if the cards shown had failed too.
TEST_F(WrappedViewTest, AFailedYearsSentenceGoesWhenALaterYearLoads)
{
    show();
    QComboBox *years = view->inspector()->yearPicker();
    view->pickYear(2019);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    ASSERT_TRUE(view->error());
    const QString failed = *view->error();
    ASSERT_TRUE(shows(failed));

    years->setCurrentIndex(1);
    emit years->activated(1);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    EXPECT_EQ(view->wrapped().year, 2024);
    EXPECT_FALSE(view->error());
    EXPECT_FALSE(shows(failed));

    // A save that failed still stands when a year loads: the year changes
    // nothing of what the save met.
    QTemporaryDir folder;
    const QString blocked = folder.filePath(u"taken"_s);
    TestSupport::writeFile(blocked, "a file");
    TestSupport::desktop().answers.append({ blocked + u"/cards"_s });
    button(u"Save Cards…"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return view->error().has_value() && !view->exporting(); }));
    const QString unsaved = *view->error();
    years->setCurrentIndex(0);
    emit years->activated(0);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
    EXPECT_FALSE(view->wrapped().year);
    EXPECT_EQ(view->error(), unsaved);
    EXPECT_TRUE(shows(unsaved));
}

TEST_F(WrappedViewTest, OpeningTellsTheServiceAndReadsTheRewardsStanding)
{
    show();
    EXPECT_TRUE(sentEvent(u"wrapped_opened"_s));
    ASSERT_TRUE(TestSupport::waitUntil([] { return Rewards::shared().status().has_value(); }));
    const QString code = Rewards::shared().status()->code;
    EXPECT_TRUE(shows(u"Friends of Friends: code "_s + code));
    EXPECT_EQ(view->preview()->content()->code, code);
    EXPECT_EQ(view->caption(),
        u"Our texts, in numbers. Made with Quorvel: "_s + service.origin() + u"/r/"_s + code);

    QSignalSpy book(view, &WrappedView::bookRequested);
    view->bookAction()->trigger();
    EXPECT_EQ(book.size(), 1);
    EXPECT_EQ(view->bookAction()->text(), u"Make It a Book"_s);

    // "Claim…" opens the claim sheet for that reward, once.
    qobject_cast<QPushButton *>(TestSupport::findText(view->strip(), u"Claim…"_s))->click();
    ASSERT_TRUE(view->claimSheet());
    EXPECT_EQ(view->claimSheet()->kind(), Rewards::Claim::Kind::Share);
    view->claim(Rewards::Claim::Kind::Viral);
    EXPECT_EQ(view->claimSheet()->kind(), Rewards::Claim::Kind::Share);
    view->claimSheet()->reject();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !view->claimSheet(); }));
}

// The claim sheet names the free book's thresholds in its own words; the
// strip takes them from the service, whose figures are the same.
TEST_F(WrappedViewTest, TheStripAndTheFreeBookClaimNameTheSameThresholds)
{
    show();
    ASSERT_TRUE(TestSupport::waitUntil([] { return Rewards::shared().status().has_value(); }));
    EXPECT_TRUE(shows(u"Go big: 10,000 views or 1,000 likes"_s));
    view->claim(Rewards::Claim::Kind::Viral);
    ASSERT_TRUE(view->claimSheet());
    EXPECT_TRUE(TestSupport::findText(view->claimSheet(),
        u"When a post of your Wrapped reaches 10,000 views or 1,000 likes, send the link and a screenshot "
        "showing the numbers. A person checks it, and a gift card worth a paperback comes back."_s));
    view->claimSheet()->reject();
}

TEST_F(WrappedViewTest, OneYearOffersNoYearChoice)
{
    wrapped.years = wrapped.years.mid(0, 1);
    show();
    EXPECT_FALSE(shows(u"Which messages"_s));
    wrapped.years.clear();
    show();
    EXPECT_FALSE(shows(u"Which messages"_s));
}

TEST_F(WrappedViewTest, InTheWindowMakeItABookIsOnTheToolbar)
{
    QMainWindow window;
    auto *toolbar = new WindowToolbar(&window);
    window.addToolBar(toolbar);
    view = new WrappedView(project, wrapped, std::nullopt);
    window.setCentralWidget(view);
    window.resize(1000, 800);
    window.show();
    EXPECT_TRUE(toolbar->actions().contains(view->bookAction()));
    EXPECT_TRUE(toolbar->isVisible());
    window.setCentralWidget(new QWidget);
    view = nullptr;
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !toolbar->isVisible(); }));
}
