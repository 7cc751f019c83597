// The Wrapped screen as a screen reader meets it: every control named;
// each thumbnail a button named by its card, selected while its card is
// shown; each share box by the card it shares; the themes as one choice.
#include "accessibletree.h"
#include "wrapped/claimsheet.h"
#include "wrapped/themeswatch.h"
#include "wrapped/wrappedfilmstrip.h"
#include "wrapped/wrappedinspector.h"
#include "wrapped/wrappedpreview.h"
#include "wrappedviewtest.h"

#include <QAbstractButton>
#include <QSet>

using namespace TestSupport;

namespace {

class WrappedAccessibility : public WrappedViewTest
{
};

} // namespace

TEST_F(WrappedAccessibility, EveryControlHasANameWhateverTheTheme)
{
    show();
    EXPECT_TRUE(everyElementNamed(view));

    // The user's own colours bring their wells, which say their colours.
    // ("Custom" names a way of naming people too: the swatch is pressed.)
    for (ThemeSwatch *swatch : view->inspector()->findChildren<ThemeSwatch *>()) {
        if (swatch->theme() == WrappedSettings::Theme::Custom)
            pressElement(spoken(swatch));
    }
    ASSERT_EQ(view->settings().theme, WrappedSettings::Theme::Custom);
    EXPECT_TRUE(everyElementNamed(view));
    QAccessibleInterface *background = elementNamed(view->inspector(), u"Background"_s);
    ASSERT_TRUE(background);
    EXPECT_EQ(background->text(QAccessible::Description), view->settings().background);
}

TEST_F(WrappedAccessibility, AThumbnailIsAButtonNamedByItsCardAndSelectedWhileItsCardIsShown)
{
    show();
    const QStringList ids = cardIds();
    ASSERT_GE(ids.size(), 2);
    QSet<QString> boxNames;
    for (const Wrapped::Card &card : wrapped.cards) {
        QAccessibleInterface *thumbnail = spoken(view->filmstrip()->thumbnail(card.id));
        EXPECT_EQ(thumbnail->role(), QAccessible::Button);
        EXPECT_EQ(thumbnail->text(QAccessible::Name), view->describe(card));
        EXPECT_EQ(thumbnail->state().selected, card.id == view->focused()) << card.id.toStdString();
        EXPECT_FALSE(thumbnail->state().checked);
        // Each box says which card it puts in the share.
        QAccessibleInterface *box = spoken(view->filmstrip()->shareBox(card.id));
        EXPECT_EQ(box->text(QAccessible::Name), u"In the share: "_s + view->describe(card));
        boxNames.insert(box->text(QAccessible::Name));
    }
    EXPECT_EQ(boxNames.size(), ids.size());

    // Pressed by the screen reader, another card is shown and selected.
    const QString other = ids.first() == view->focused() ? ids[1] : ids.first();
    const QString before = view->focused();
    pressElement(spoken(view->filmstrip()->thumbnail(other)));
    EXPECT_EQ(view->focused(), other);
    EXPECT_TRUE(spoken(view->filmstrip()->thumbnail(other))->state().selected);
    EXPECT_FALSE(spoken(view->filmstrip()->thumbnail(before))->state().selected);
    EXPECT_EQ(
        spoken(view->preview())->text(QAccessible::Name), view->describe(wrapped.cards[ids.indexOf(other)]));
}

TEST_F(WrappedAccessibility, TheThemesAreOneChoiceAndTheOneInUseIsChecked)
{
    show();
    EXPECT_EQ(chosenItems(view->inspector()).filter(u"Oxblood"_s), QStringList { u"Oxblood"_s });
    QAccessibleInterface *paper = elementNamed(view->inspector(), u"Paper"_s);
    ASSERT_TRUE(paper);
    EXPECT_EQ(paper->role(), QAccessible::RadioButton);
    EXPECT_FALSE(paper->state().checked);
    pressElement(paper);
    EXPECT_EQ(view->settings().theme, WrappedSettings::Theme::Paper);
    EXPECT_TRUE(paper->state().checked);
    EXPECT_FALSE(elementNamed(view->inspector(), u"Oxblood"_s)->state().checked);
}

TEST(ClaimSheetAccessibility, BothSheetsAreTitledAndEveryFieldNamed)
{
    QWidget window;
    window.show();
    for (const Rewards::Claim::Kind kind : { Rewards::Claim::Kind::Share, Rewards::Claim::Kind::Viral }) {
        auto *sheet = new ClaimSheet(kind, &window);
        sheet->present();
        EXPECT_TRUE(everyElementNamed(sheet));
        delete sheet;
    }
}

TEST_F(WrappedAccessibility, TheTypefaceMenuIsLabelledByTheWordBesideIt)
{
    show();
    // On Linux a drop-down menu is named by its choice: its label comes
    // through the tie to it.
    const auto labels = spoken(view->inspector()->typefacePicker())->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.first().first->text(QAccessible::Name), u"Typeface"_s);
}

TEST_F(WrappedAccessibility, PressingTheCardShownAgainKeepsItRinged)
{
    show();
    QAbstractButton *shown = view->filmstrip()->thumbnail(view->focused());
    ASSERT_TRUE(shown->isChecked());
    shown->click();
    // The ring (and the selected state) is the card shown, not a toggle.
    EXPECT_TRUE(shown->isChecked());
    EXPECT_TRUE(spoken(shown)->state().selected);
}
