// How the kit's self-drawn controls read to a screen reader: each says
// what it is, what it is called and which one is chosen, and acts when the
// screen reader presses it.
#include "accessibletree.h"
#include "ui/accessibility.h"
#include "ui/card.h"
#include "ui/colorwell.h"
#include "ui/formsection.h"
#include "ui/segmentedcontrol.h"
#include "uitestsupport.h"

#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using TestSupport::spoken;

namespace {

// A card as the wizard's steps build one: a title over a detail.
Card *titledCard(QWidget *parent, const QString &title, const QString &detail)
{
    auto *card = new Card(parent);
    card->content()->addWidget(new QLabel(title));
    card->content()->addWidget(new QLabel(detail));
    return card;
}

} // namespace

TEST(CardAccessibility, ACardIsOneRadioItemNamedByItsWordsAndCheckedWhenChosen)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    Card *paperback = titledCard(&window, QStringLiteral("Paperback"), QStringLiteral("Soft cover, $39"));
    Card *hardcover = titledCard(&window, QStringLiteral("Hardcover"), QStringLiteral("<b>Cloth</b>, $59"));
    column->addWidget(paperback);
    column->addWidget(hardcover);
    window.show();
    hardcover->setSelected(true);

    QAccessibleInterface *first = spoken(paperback);
    EXPECT_EQ(first->role(), QAccessible::RadioButton);
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("Paperback, Soft cover, $39"));
    EXPECT_TRUE(first->state().checkable);
    EXPECT_FALSE(first->state().checked);
    // Its words are heard once, as the card's name, not again as labels.
    EXPECT_EQ(first->childCount(), 0);
    // A part that ends its sentence needs no comma after it.
    Card *sentence
        = titledCard(&window, QStringLiteral("The whole story"), QStringLiteral("From the start."));
    sentence->content()->addWidget(new QLabel(QStringLiteral("about 79 pages")));
    EXPECT_EQ(spoken(sentence)->text(QAccessible::Name),
        QStringLiteral("The whole story, From the start. about 79 pages"));
    // Rich text reads as its words, not its marks.
    EXPECT_EQ(spoken(hardcover)->text(QAccessible::Name), QStringLiteral("Hardcover, Cloth, $59"));
    EXPECT_TRUE(spoken(hardcover)->state().checked);

    hardcover->setSelected(false);
    EXPECT_FALSE(spoken(hardcover)->state().checked);
    // A name given by the step wins over the words.
    paperback->setAccessibleName(QStringLiteral("Paperback binding"));
    EXPECT_EQ(first->text(QAccessible::Name), QStringLiteral("Paperback binding"));

    QSignalSpy clicked(paperback, &Card::clicked);
    TestSupport::pressElement(first);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(CardAccessibility, ACardThatTakesNoFocusIsAPanelWhoseControlsAreReached)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    Card *moment = titledCard(&window, QStringLiteral("First date"), QStringLiteral("March 5"));
    moment->setFocusPolicy(Qt::NoFocus);
    auto *share = new QToolButton;
    share->setAccessibleName(QStringLiteral("Share as a story card"));
    moment->content()->addWidget(share);
    column->addWidget(moment);
    window.show();

    QAccessibleInterface *panel = spoken(moment);
    EXPECT_EQ(panel->role(), QAccessible::Grouping);
    EXPECT_FALSE(panel->state().checkable);
    EXPECT_TRUE(
        TestSupport::spokenControls(&window).contains(QStringLiteral("Button: Share as a story card")))
        << TestSupport::spokenControls(&window).join('\n').toStdString();
}

TEST(CardAccessibility, ACardHoldingFieldsKeepsThemAndIsNamedByItsTitle)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    Card *own = titledCard(&window, QStringLiteral("Choose my own dates"), QString());
    auto *from = new QLabel(QStringLiteral("From"));
    auto *field = new QLineEdit;
    from->setBuddy(field);
    own->content()->addWidget(from);
    own->content()->addWidget(field);
    column->addWidget(own);
    window.show();

    QAccessibleInterface *card = spoken(own);
    EXPECT_EQ(card->role(), QAccessible::RadioButton);
    // The field's label names the field, not the card.
    EXPECT_EQ(card->text(QAccessible::Name), QStringLiteral("Choose my own dates"));
    EXPECT_TRUE(TestSupport::spokenControls(&window).contains(QStringLiteral("EditableText: From")))
        << TestSupport::spokenControls(&window).join('\n').toStdString();
}

TEST(SegmentedControlAccessibility, EachSegmentIsARadioItemAndTheChosenOneIsChecked)
{
    QWidget window;
    auto *control = new SegmentedControl(&window);
    control->setLabels({ QStringLiteral("Front"), QStringLiteral("Spine and Back") });
    control->setCurrentIndex(0);
    control->resize(control->sizeHint());
    window.show();

    QAccessibleInterface *group = spoken(control);
    ASSERT_EQ(group->childCount(), 2);
    QAccessibleInterface *front = group->child(0);
    QAccessibleInterface *back = group->child(1);
    EXPECT_EQ(front->role(), QAccessible::RadioButton);
    EXPECT_EQ(front->text(QAccessible::Name), QStringLiteral("Front"));
    EXPECT_EQ(back->text(QAccessible::Name), QStringLiteral("Spine and Back"));
    EXPECT_TRUE(front->state().checked);
    EXPECT_FALSE(back->state().checked);
    EXPECT_EQ(front->parent(), group);
    EXPECT_EQ(group->indexOfChild(back), 1);
    // The same item each time it is asked for, as the bus keeps its id.
    EXPECT_EQ(group->child(1), back);
    // Each lies where it is drawn, side by side.
    EXPECT_LT(front->rect().right(), back->rect().left() + 1);
    EXPECT_EQ(group->childAt(back->rect().center().x(), back->rect().center().y()), back);

    QSignalSpy activated(control, &SegmentedControl::activated);
    TestSupport::pressElement(back);
    EXPECT_EQ(control->currentIndex(), 1);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.first().first().toInt(), 1);
    EXPECT_TRUE(back->state().checked);
    EXPECT_FALSE(front->state().checked);

    // Fewer labels: the segment that went is no longer an item.
    control->setLabels({ QStringLiteral("Only") });
    EXPECT_EQ(group->childCount(), 1);
    EXPECT_FALSE(back->isValid());
    EXPECT_EQ(group->indexOfChild(back), -1);
}

TEST(ButtonAccessibility, AChoiceIsARadioItemAndAButtonThatShowsIsSelected)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *design = new QPushButton;
    Accessibility::setKind(design, Accessibility::Kind::Choice);
    design->setText(QStringLiteral("Cloth"));
    design->setCheckable(true);
    auto *thumbnail = new QPushButton;
    Accessibility::setKind(thumbnail, Accessibility::Kind::Shows);
    thumbnail->setAccessibleName(QStringLiteral("Your top emoji"));
    thumbnail->setCheckable(true);
    column->addWidget(design);
    column->addWidget(thumbnail);
    window.show();

    QAccessibleInterface *choice = spoken(design);
    EXPECT_EQ(choice->role(), QAccessible::RadioButton);
    EXPECT_EQ(choice->text(QAccessible::Name), QStringLiteral("Cloth"));
    EXPECT_FALSE(choice->state().checked);
    design->setChecked(true);
    EXPECT_TRUE(choice->state().checked);

    QAccessibleInterface *shows = spoken(thumbnail);
    EXPECT_EQ(shows->role(), QAccessible::Button);
    EXPECT_TRUE(shows->state().selectable);
    EXPECT_FALSE(shows->state().selected);
    thumbnail->setChecked(true);
    EXPECT_TRUE(shows->state().selected);
    // Selected, not ticked: it is no check box.
    EXPECT_FALSE(shows->state().checked);
}

TEST(ColorWellAccessibility, AWellSaysItsColour)
{
    ColorWell well(QStringLiteral("Background"), [](const QColor &) {});
    well.setColour(QColor(0x1e, 0x3a, 0x5f));
    well.show();
    QAccessibleInterface *element = spoken(&well);
    EXPECT_EQ(element->text(QAccessible::Name), QStringLiteral("Background"));
    EXPECT_EQ(element->text(QAccessible::Description), QStringLiteral("#1E3A5F"));
    well.setColour(Qt::white);
    EXPECT_EQ(element->text(QAccessible::Description), QStringLiteral("#FFFFFF"));
}

TEST(FormSectionAccessibility, ARowsNameNamesItsField)
{
    FormSection section;
    section.setWindowTitle(QStringLiteral("Book"));
    auto *title = new QLineEdit;
    section.addRow(QStringLiteral("Title"), title);
    section.show();
    EXPECT_EQ(spoken(title)->text(QAccessible::Name), QStringLiteral("Title"));
    EXPECT_TRUE(TestSupport::everyElementNamed(&section));
}

TEST(AccessibleTree, FindsControlsWithoutNamesFieldsWithOnlyAPlaceholderAndUntitledWindows)
{
    QDialog window;
    auto *column = new QVBoxLayout(&window);
    auto *icon = new QToolButton;
    auto *email = new QLineEdit;
    email->setPlaceholderText(QStringLiteral("Your email"));
    auto *hidden = new QPushButton;
    column->addWidget(icon);
    column->addWidget(email);
    column->addWidget(hidden);
    window.show();
    hidden->hide();

    const QStringList unnamed = TestSupport::unnamedElements(&window);
    ASSERT_EQ(unnamed.size(), 3) << unnamed.join('\n').toStdString();
    EXPECT_TRUE(unnamed[0].startsWith(QStringLiteral("sheet without a title"))) << unnamed[0].toStdString();
    EXPECT_TRUE(unnamed[1].startsWith(QStringLiteral("no name: Button"))) << unnamed[1].toStdString();
    EXPECT_TRUE(unnamed[2].startsWith(QStringLiteral("no name: EditableText (Your email)")))
        << unnamed[2].toStdString();

    window.setWindowTitle(QStringLiteral("Order"));
    icon->setAccessibleName(QStringLiteral("Share"));
    email->setAccessibleName(QStringLiteral("Your email"));
    EXPECT_TRUE(TestSupport::unnamedElements(&window).isEmpty());
}
