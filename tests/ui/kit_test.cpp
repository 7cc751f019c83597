// What every screen stands on: the look, the symbols, sheets and their
// keys, error sentences, the toolbar and the shipped faces.
#include "model/helpers.h"
#include "ui/card.h"
#include "ui/checklabel.h"
#include "ui/contentunavailable.h"
#include "ui/errors.h"
#include "ui/icons.h"
#include "ui/question.h"
#include "ui/sheet.h"
#include "ui/sidescroll.h"
#include "ui/statusline.h"
#include "ui/style.h"
#include "ui/windowtoolbar.h"
#include "uitestsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

TEST(Style, AppearanceFollowsTheWindowColour)
{
    const QPalette before = QApplication::palette();
    QApplication::setPalette(Style::darkPalette());
    EXPECT_EQ(Style::appearance(), Color::Appearance::Dark);
    EXPECT_EQ(Style::brand(), Color::brand(Color::Appearance::Dark));
    QApplication::setPalette(Style::lightPalette());
    EXPECT_EQ(Style::appearance(), Color::Appearance::Light);
    EXPECT_EQ(Style::brand(), Color::brand(Color::Appearance::Light));
    QApplication::setPalette(before);
}

TEST(Style, OnlyTheExactWordDarkForcesTheDarkLook)
{
    const QPalette before = QApplication::palette();
    for (const auto &[value, dark] :
        { std::pair { "dark", true }, { "Dark", false }, { "", false }, { "light", false } }) {
        qputenv("QUORVEL_APPEARANCE", value);
        Style::apply();
        EXPECT_EQ(Style::appearance() == Color::Appearance::Dark, dark) << value;
    }
    qunsetenv("QUORVEL_APPEARANCE");
    QApplication::setPalette(before);
}

TEST(Style, ToneFadesTheTextColourAndTheScaleGrows)
{
    EXPECT_GT(Style::color(Style::Tone::Primary).alphaF(), Style::color(Style::Tone::Secondary).alphaF());
    EXPECT_GT(Style::color(Style::Tone::Secondary).alphaF(), Style::color(Style::Tone::Tertiary).alphaF());
    EXPECT_GT(Style::font(Style::Text::Title).pixelSize(), Style::font(Style::Text::Title2).pixelSize());
    EXPECT_GT(Style::font(Style::Text::Body).pixelSize(), Style::font(Style::Text::Caption).pixelSize());
    EXPECT_GT(Style::font(Style::Text::Headline).weight(), Style::font(Style::Text::Body).weight());
    EXPECT_EQ(Style::number(1234567), QStringLiteral("1,234,567"));
}

namespace {

// The pixels of a picture that have a colour of their own, not a grey.
int colouredPixels(const QImage &picture)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            count += pixel.alpha() > 128 && pixel.hsvSaturation() > 100 ? 1 : 0;
        }
    }
    return count;
}

QImage drawn(const QFont &font, const QString &text)
{
    QImage picture(80, 48, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(picture.rect(), Qt::AlignCenter, text);
    return picture;
}

} // namespace

// A face without emoji left them to the system's fallback, which draws
// this one in black from DejaVu Sans while the pages show it in colour.
TEST(Style, EmojiAreDrawnInColourInListsLabelsAndTheBooksFaces)
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    for (const auto &[name, font] : { std::pair { "body", Style::font(Style::Text::Body) },
             std::pair { "caption", Style::font(Style::Text::Caption, Style::Weight::Semibold) },
             std::pair { "book", Style::bookFont(QStringLiteral("EB Garamond"), 17) } })
        EXPECT_GT(colouredPixels(drawn(font, face)), 20) << name;

    // A list as the search results and the sidebar are, in the face every
    // widget takes from the application.
    QListWidget list;
    list.resize(240, 80);
    list.setSelectionMode(QAbstractItemView::NoSelection);
    list.addItem(face + QStringLiteral(" coffee at noon"));
    list.show();
    QApplication::processEvents();
    const QRect row = list.visualItemRect(list.item(0));
    EXPECT_GT(colouredPixels(list.viewport()->grab(row).toImage()), 20);
}

namespace {

struct SheetWithField
{
    Sheet sheet { nullptr, 400 };
    QLineEdit *field = new QLineEdit;
    QPushButton *cancel;
    QPushButton *confirm;
    int confirmed = 0;
    int cancelled = 0;

    explicit SheetWithField(Sheet::Escape escape = Sheet::Escape::Closes)
        : sheet(nullptr, 400, escape)
    {
        sheet.body()->addWidget(field);
        // A button inside the content, as screens add them.
        sheet.body()->addWidget(new QPushButton(QStringLiteral("Inner")));
        cancel = sheet.addButton(QStringLiteral("Cancel"), Sheet::Role::Cancel);
        confirm = sheet.addButton(QStringLiteral("Add"), Sheet::Role::Confirm);
        QObject::connect(confirm, &QPushButton::clicked, [this] { ++confirmed; });
        QObject::connect(cancel, &QPushButton::clicked, [this] { ++cancelled; });
        sheet.show();
        field->setFocus();
    }
};

} // namespace

TEST(Sheet, ReturnInAFieldPressesNothingWithoutADefaultButton)
{
    SheetWithField s;
    QTest::keyClick(s.field, Qt::Key_Return);
    QTest::keyClick(s.field, Qt::Key_Enter);
    EXPECT_EQ(s.confirmed, 0);
    EXPECT_EQ(s.cancelled, 0);
    EXPECT_TRUE(s.sheet.isVisible());
}

TEST(Sheet, ReturnPressesTheDefaultButtonOnlyWhileItIsEnabled)
{
    SheetWithField s;
    s.sheet.setDefaultButton(s.confirm);
    s.confirm->setEnabled(false);
    QTest::keyClick(s.field, Qt::Key_Return);
    EXPECT_EQ(s.confirmed, 0);
    s.confirm->setEnabled(true);
    QTest::keyClick(s.field, Qt::Key_Return);
    EXPECT_EQ(s.confirmed, 1);
    // Focus on another button presses that one, and doesn't make it the
    // default.
    auto *inner = qobject_cast<QPushButton *>(TestSupport::findText(&s.sheet, QStringLiteral("Inner")));
    ASSERT_NE(inner, nullptr);
    int pressed = 0;
    QObject::connect(inner, &QPushButton::clicked, [&] { ++pressed; });
    inner->setFocus();
    QTest::keyClick(inner, Qt::Key_Return);
    EXPECT_EQ(pressed, 1);
    EXPECT_EQ(s.confirmed, 1);
    s.field->setFocus();
    QTest::keyClick(s.field, Qt::Key_Return);
    EXPECT_EQ(s.confirmed, 2);
    EXPECT_EQ(pressed, 1);
}

// Return on a focused Cancel pressed the default button instead: the
// sheet did the one thing the user had just turned away from.
TEST(Sheet, ReturnOnAFocusedButtonPressesThatButton)
{
    SheetWithField s;
    s.sheet.setDefaultButton(s.confirm);
    s.cancel->setFocus();
    QTest::keyClick(s.cancel, Qt::Key_Return);
    EXPECT_EQ(s.cancelled, 1);
    EXPECT_EQ(s.confirmed, 0);
    // Without a default button too, and never when disabled.
    SheetWithField bare;
    bare.confirm->setFocus();
    QTest::keyClick(bare.confirm, Qt::Key_Enter);
    EXPECT_EQ(bare.confirmed, 1);
    bare.confirm->setEnabled(false);
    QTest::keyClick(bare.confirm, Qt::Key_Return);
    EXPECT_EQ(bare.confirmed, 1);
}

namespace {

// Whether the button that does a dialog's work comes before Cancel.
bool actionFirst(QWidget *action, QWidget *cancel)
{
    return action->mapToGlobal(QPoint()).x() < cancel->mapToGlobal(QPoint()).x();
}

} // namespace

// Each desktop orders a dialog's buttons its own way; a sheet's and a
// question's follow it, so the app has one order.
TEST(Sheet, CancelAndConfirmGoWhereTheDesktopPutsThemAsInAQuestion)
{
    using Layout = QDialogButtonBox::ButtonLayout;
    for (const auto &[name, layout] : { std::pair { "windows", Layout::WinLayout },
             { "mac", Layout::MacLayout }, { "kde", Layout::KdeLayout }, { "gnome", Layout::GnomeLayout } }) {
        TestSupport::DialogButtonLayout desktop(layout);
        QDialogButtonBox own(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        own.show();
        const bool okFirst
            = actionFirst(own.button(QDialogButtonBox::Ok), own.button(QDialogButtonBox::Cancel));

        SheetWithField s;
        EXPECT_EQ(actionFirst(s.confirm, s.cancel), okFirst) << name;

        QWidget window;
        window.show();
        bool deleted = false;
        QMessageBox *question = Question::askFirst(&window,
            { QStringLiteral("Delete"), QStringLiteral("Delete “Us”?"), QStringLiteral("It goes."),
                QStringLiteral("Delete") },
            [&] { deleted = true; });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(question));
        auto *remove = qobject_cast<QPushButton *>(TestSupport::findText(question, QStringLiteral("Delete")));
        ASSERT_TRUE(remove);
        EXPECT_EQ(actionFirst(remove, question->button(QMessageBox::Cancel)), okFirst) << name;
        // Return keeps the book; only the red button deletes.
        EXPECT_EQ(question->defaultButton(), question->button(QMessageBox::Cancel));
        EXPECT_TRUE(Style::isDestructive(remove));
        remove->click();
        EXPECT_TRUE(deleted);
    }
}

TEST(Sheet, EscapeClosesOnlyWhereAllowed)
{
    {
        SheetWithField s;
        QTest::keyClick(s.field, Qt::Key_Escape);
        EXPECT_FALSE(s.sheet.isVisible());
    }
    {
        SheetWithField s(Sheet::Escape::Ignored);
        QTest::keyClick(s.field, Qt::Key_Escape);
        EXPECT_TRUE(s.sheet.isVisible());
    }
}

TEST(Errors, ToolFailuresShowTheirLastLineWithoutTheWordError)
{
    const Helpers::Failure failure(
        QStringLiteral("brimlow-core"), 1, QStringLiteral("warning: x\nError: That password is wrong.\n\n"));
    EXPECT_EQ(Errors::toolLine(failure), QStringLiteral("That password is wrong."));
    EXPECT_EQ(Errors::lastLine(failure), QStringLiteral("Error: That password is wrong."));
    EXPECT_EQ(Errors::sentence(failure),
        QStringLiteral("brimlow-core failed (1): warning: x\nError: That password is wrong.\n\n"));
    const std::runtime_error other("The order didn't go through (500). Nothing was charged.");
    EXPECT_EQ(
        Errors::toolLine(other), QStringLiteral("The order didn't go through (500). Nothing was charged."));
}

TEST(Errors, TheLabelShowsOnlyWhileThereIsASentence)
{
    QWidget host;
    auto *label = new ErrorLabel(&host);
    host.show();
    EXPECT_FALSE(label->isVisible());
    label->setError(std::runtime_error("That didn't work."));
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), QStringLiteral("That didn't work."));
    label->clear();
    EXPECT_FALSE(label->isVisible());
}

// The cover's failure was once drawn in the body's colour: a label laid on
// a field-coloured panel draws with the field's text role, not the window's.
TEST(Errors, TheSentenceIsInTheErrorColourOnAnyBackground)
{
    for (const QPalette::ColorRole ground : { QPalette::Window, QPalette::Base, QPalette::Button }) {
        QWidget host;
        host.setBackgroundRole(ground);
        auto *label = new ErrorLabel;
        auto *column = new QVBoxLayout(&host);
        column->addWidget(label);
        label->setError(QStringLiteral("The cover didn't come out."));
        host.show();
        EXPECT_EQ(label->palette().color(label->foregroundRole()), Style::error()) << int(ground);
    }
}

// Fault mended: a refused code was grey beside a grey mark that read as a
// missing symbol, and good news was in the brand's dark red, the colour of
// failures. A failure looks like every other failure of the app; good news
// is green, far from any red, and readable on the window and on a field.
TEST(StatusLine, AFailureAndGoodNewsEachHaveTheirOwnLook)
{
    TestSupport::inBothAppearances([](const QString &name) {
        QWidget host;
        auto *column = new QVBoxLayout(&host);
        auto *failure = new StatusLine;
        auto *success = new StatusLine;
        auto *error = new ErrorRow;
        column->addWidget(failure);
        column->addWidget(success);
        column->addWidget(error);
        failure->setStatus(StatusLine::Status::failure(QStringLiteral("That code doesn't work.")));
        success->setStatus(StatusLine::Status::success(
            QStringLiteral("gift.fill"), QStringLiteral("The gift card covers it.")));
        error->setError(QStringLiteral("That code doesn't work."));
        host.show();

        EXPECT_LT(TestSupport::colorDistance(TestSupport::inkOf(failure), Style::error()), 30)
            << name.toStdString();
        EXPECT_LT(TestSupport::colorDistance(TestSupport::inkOf(success), Style::success()), 30)
            << name.toStdString();
        // A green, not any of the reds of failures and of the brand.
        EXPECT_NEAR(Style::success().hslHue(), 130, 30) << name.toStdString();
        const QPalette palette = QApplication::palette();
        for (const QPalette::ColorRole ground : { QPalette::Window, QPalette::Base })
            EXPECT_GE(TestSupport::contrast(Style::success(), palette.color(ground)), 4.5)
                << name.toStdString();
        // The sheets' error rows and the code lines are one look.
        EXPECT_EQ(error->grab().toImage(), failure->grab().toImage()) << name.toStdString();
        error->clear();
        EXPECT_FALSE(error->isVisible());
    });
}

// A row wider than its place fades at the edge beyond which it goes on,
// into what it sits on; an ordinary wheel turns it, and one with nothing to
// turn is left to the page.
TEST(SideScroll, FadesWhereMoreLiesAndTurnsUnderTheWheel)
{
    QWidget page;
    page.setAutoFillBackground(true);
    page.setBackgroundRole(QPalette::Base);
    page.resize(300, 60);
    auto *scroll = new SideScroll(&page);
    scroll->setGeometry(0, 0, 200, 40);
    auto *row = new QWidget;
    row->setFixedSize(600, 40);
    row->setAutoFillBackground(true);
    QPalette red = row->palette();
    red.setColor(QPalette::Base, Qt::red);
    row->setPalette(red);
    scroll->setWidget(row);
    page.show();
    QApplication::processEvents();
    const QColor base = page.palette().color(QPalette::Base);
    EXPECT_EQ(scroll->backdrop(), base);
    EXPECT_TRUE(scroll->hasMoreAfter());
    EXPECT_FALSE(scroll->hasMoreBefore());
    EXPECT_LE(TestSupport::columnDistance(scroll, 199, base), 6);
    EXPECT_EQ(TestSupport::columnDistance(scroll, 0, Qt::red), 0);

    QWheelEvent down(QPointF(20, 20), scroll->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -240),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroll->viewport(), &down);
    EXPECT_GT(scroll->horizontalScrollBar()->value(), 0);
    scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
    EXPECT_FALSE(scroll->hasMoreAfter());
    EXPECT_LE(TestSupport::columnDistance(scroll, 0, base), 6);
    EXPECT_EQ(TestSupport::columnDistance(scroll, 199, Qt::red), 0);

    row->setFixedSize(150, 40);
    QApplication::processEvents();
    EXPECT_FALSE(scroll->hasMoreBefore() || scroll->hasMoreAfter());
    QWheelEvent idle(QPointF(20, 20), scroll->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -240),
        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(scroll->viewport(), &idle);
    EXPECT_FALSE(idle.isAccepted());
}

TEST(WindowToolbar, ItemsLeaveWithTheScreenThatPutThemThere)
{
    QMainWindow window;
    auto *toolbar = new WindowToolbar(&window);
    window.addToolBar(toolbar);
    auto *screen = new QWidget;
    window.setCentralWidget(screen);
    ASSERT_EQ(WindowToolbar::of(screen), toolbar);

    auto *pages = new QAction(QStringLiteral("Look Through the Pages"), screen);
    toolbar->setItems(screen, {}, { pages });
    toolbar->setSearchVisible(screen, true, QStringLiteral("Search"));
    EXPECT_TRUE(toolbar->actions().contains(pages));

    auto *other = new QWidget(&window);
    toolbar->clearItems(other); // not the owner: nothing changes
    EXPECT_TRUE(toolbar->actions().contains(pages));

    delete screen;
    EXPECT_EQ(toolbar->owner(), nullptr);
    auto *next = new QAction(QStringLiteral("Wrapped"), other);
    toolbar->setItems(other, { next }, {});
    EXPECT_TRUE(toolbar->actions().contains(next));
    toolbar->clearItems(other);
    EXPECT_FALSE(toolbar->actions().contains(next));
}

namespace {

// How much of the brand colour shows across a card's left edge, in pixels
// of solid brand: a two-pixel ring of it is 2.
double ringWeight(Card *card)
{
    const QImage image = card->grab().toImage();
    const QColor brand = Style::brand();
    const QColor fill = image.pixelColor(image.width() / 2, image.height() / 2);
    const auto distance = TestSupport::colorDistance;
    double weight = 0;
    for (int x = 0; x < 8; ++x) {
        const QColor pixel = image.pixelColor(x, image.height() / 2);
        weight += std::clamp(1.0 - double(distance(pixel, brand)) / distance(fill, brand), 0.0, 1.0);
    }
    return weight;
}

// How much of the brand colour shows in the few pixels left of a card, in
// the window around it: where the keyboard's halo lies.
double haloWeight(QWidget *window, Card *card)
{
    const QImage image = window->grab().toImage();
    const int y = card->geometry().center().y();
    const QColor ground = image.pixelColor(card->x() - 8, y);
    const QColor brand = Style::brand();
    const auto distance = TestSupport::colorDistance;
    double weight = 0;
    for (int x = card->x() - 5; x < card->x(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        weight += std::clamp(1.0 - double(distance(pixel, brand)) / distance(ground, brand), 0.0, 1.0);
    }
    return weight;
}

} // namespace

// The keyboard's ring on a card was a thin copy of the chosen card's ring:
// a user moving with Tab couldn't tell the card they were on from the card
// chosen.
TEST(Card, OnlyTheChosenCardWearsTheThickRing)
{
    TestSupport::inBothAppearances([](const QString &name) {
        QWidget window;
        auto *column = new QVBoxLayout(&window);
        auto *chosen = new Card;
        auto *other = new Card;
        for (Card *card : { chosen, other }) {
            card->content()->addWidget(new QLabel(QStringLiteral("Choose my own dates")));
            column->addWidget(card);
        }
        chosen->setSelected(true);
        window.show();
        EXPECT_TRUE(TestSupport::activate(&window));

        // Focus that came with a click, or moved there when the fields of
        // another card were hidden, shows nothing.
        other->setFocus(Qt::MouseFocusReason);
        const double chosenRing = ringWeight(chosen);
        EXPECT_GT(chosenRing, 1.5) << name.toStdString();
        EXPECT_LT(ringWeight(other), 0.4) << name.toStdString();

        EXPECT_LT(haloWeight(&window, other), 0.3) << name.toStdString();

        // The keyboard's focus is a halo around the card, outside it; the
        // card's own edge stays as an unchosen card's, and a chosen card
        // keeps its ring inside the halo.
        window.setAttribute(Qt::WA_KeyboardFocusChange);
        other->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_LT(ringWeight(other), 0.4) << name.toStdString();
        EXPECT_GT(haloWeight(&window, other), 1.0) << name.toStdString();
        chosen->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        EXPECT_LT(haloWeight(&window, other), 0.3) << name.toStdString();
        EXPECT_GT(haloWeight(&window, chosen), 1.0) << name.toStdString();
        EXPECT_NEAR(ringWeight(chosen), chosenRing, 0.3) << name.toStdString();
    });
}

// A check box's own words never wrap: a sentence with a long name ran past
// the window.
TEST(CheckLabel, TheBoxsWordsWrapBesideItAndPressingThemTicksIt)
{
    QWidget window;
    auto *row = new QHBoxLayout(&window);
    auto *box = new QCheckBox;
    const QString sentence = QStringLiteral("I'm in this conversation, and Tom & Maximiliane Theodora von "
                                            "Rabenstein is happy to be in a printed book.");
    auto *words = new CheckLabel(sentence, box);
    row->addWidget(box, 0, Qt::AlignTop);
    row->addWidget(words, 1);
    window.resize(300, 200);
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_LT(window.minimumSizeHint().width(), 300);
    EXPECT_GT(words->heightForWidth(words->width()), 2 * words->fontMetrics().height());
    EXPECT_EQ(words->text(), sentence);
    QTest::mouseClick(words, Qt::LeftButton);
    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(words, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
    box->setEnabled(false);
    QTest::mouseClick(words, Qt::LeftButton);
    EXPECT_FALSE(box->isChecked());
}
