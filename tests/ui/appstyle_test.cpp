// The app's one style: every control drawn by it in both appearances, no
// style sheets, thin scroll bars, drop-downs and fields of one family,
// popups that keep their edge in the dark, and alerts under the app's
// symbol.
#include "testsupport.h"
#include "ui/appstyle.h"
#include "ui/errors.h"
#include "ui/sheet.h"
#include "ui/style.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDirIterator>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleOption>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

using TestSupport::contrast;

int distance(const QColor &a, const QColor &b)
{
    return TestSupport::colorDistance(a, b);
}

// What a widget shows, after the layouts queued by showing it have run.
QImage shot(QWidget *widget)
{
    for (int round = 0; round < 4; ++round)
        QApplication::processEvents();
    return widget->grab().toImage();
}

// A window holding controls, as a screen would, at the top left of the
// screen so popups open where a picture finds them.
struct Window
{
    QWidget widget;
    QVBoxLayout *column = new QVBoxLayout(&widget);

    Window()
    {
        widget.setAutoFillBackground(true);
        widget.setGeometry(0, 0, 640, 420);
    }

    template<typename T> T *add(T *control)
    {
        column->addWidget(control, 0, Qt::AlignLeft);
        return control;
    }

    void show()
    {
        column->addStretch(1);
        widget.show();
        if (!QTest::qWaitForWindowExposed(&widget))
            ADD_FAILURE() << "the window never showed";
    }
};

QStyleOptionSlider barOption(QScrollBar &bar)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.pageStep = bar.pageStep();
    option.singleStep = bar.singleStep();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.upsideDown = false;
    return option;
}

QDateEdit *dateField()
{
    auto *date = new QDateEdit(QDate(2024, 3, 9));
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("MMM d, yyyy"));
    return date;
}

QRect arrowOf(QWidget *widget)
{
    if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.buttonSymbols = spin->buttonSymbols();
        option.subControls = QStyle::SC_All;
        option.frame = true;
        return spin->style()
            ->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin)
            .united(spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, spin));
    }
    QStyleOptionComboBox option;
    option.initFrom(widget);
    option.editable = qobject_cast<QDateEdit *>(widget) != nullptr;
    option.subControls = QStyle::SC_All;
    return widget->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, widget);
}

} // namespace

TEST(AppStyle, TheAppAndEveryWindowItOpensAreDrawnByItsStyleAloneWithoutASheet)
{
    ASSERT_NE(qobject_cast<AppStyle *>(QApplication::style()), nullptr);
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    Sheet sheet(nullptr, 400);
    QMenu menu;
    QMessageBox *alert
        = Errors::alert(nullptr, QStringLiteral("That didn't open"), QStringLiteral("No reader."));
    for (QWidget *window :
        { static_cast<QWidget *>(&sheet), static_cast<QWidget *>(&menu), static_cast<QWidget *>(alert) }) {
        EXPECT_EQ(window->style(), QApplication::style());
        EXPECT_TRUE(window->styleSheet().isEmpty());
    }
    alert->close();
}

TEST(AppStyle, NoWidgetUnderSrcSetsAStyleSheet)
{
    // A sheet on one widget overrides the style for it and every child, so
    // the look would be decided in two places again.
    const QString src = TestSupport::sourceDir() + QStringLiteral("/src");
    static const QRegularExpression sheet(QStringLiteral(R"(\bsetStyleSheet\s*\()"));
    QDirIterator it(
        src, { QStringLiteral("*.h"), QStringLiteral("*.cpp") }, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        EXPECT_FALSE(text.contains(sheet)) << QDir(src).relativeFilePath(file.fileName()).toStdString();
        ++files;
    }
    EXPECT_GT(files, 100);
}

TEST(AppStyle, ScrollBarsAreThinWithoutArrowButtons)
{
    for (const Qt::Orientation orientation : { Qt::Vertical, Qt::Horizontal }) {
        QScrollBar bar(orientation);
        bar.setRange(0, 900);
        bar.setPageStep(100);
        const int extent = bar.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &bar);
        EXPECT_LE(extent, 12);
        bar.resize(orientation == Qt::Vertical ? QSize(extent, 300) : QSize(300, extent));
        bar.show();

        QStyleOptionSlider option = barOption(bar);
        QStyle *style = bar.style();
        EXPECT_TRUE(style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, &bar)
                        .isEmpty());
        EXPECT_TRUE(style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine, &bar)
                        .isEmpty());
        // The handle runs the whole length: from the very start at the
        // top, to the very end at the bottom, a tenth of it long.
        QRect handle = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
        EXPECT_EQ(orientation == Qt::Vertical ? handle.top() : handle.left(), 0);
        EXPECT_EQ(orientation == Qt::Vertical ? handle.height() : handle.width(), 30);
        bar.setValue(900);
        option = barOption(bar);
        handle = style->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
        EXPECT_EQ(orientation == Qt::Vertical ? handle.bottom() : handle.right(), 299);

        // A click at the far end, where an arrow button used to be, turns
        // a page back rather than stepping a line.
        const QPoint start = orientation == Qt::Vertical ? QPoint(extent / 2, 2) : QPoint(2, extent / 2);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, start);
        EXPECT_EQ(bar.value(), 800);
    }
}

TEST(AppStyle, ControlsOfARowShareOneHeight)
{
    Window window;
    auto *plain = window.add(new QPushButton(QStringLiteral("Cancel")));
    auto *prominent = window.add(new QPushButton(QStringLiteral("Continue")));
    Style::setProminent(prominent);
    auto *menu = window.add(new QPushButton(QStringLiteral("Save")));
    menu->setMenu(new QMenu(menu));
    auto *combo = window.add(new QComboBox);
    combo->addItems({ QStringLiteral("Watercolour"), QStringLiteral("Film photo") });
    auto *edit = window.add(new QLineEdit);
    auto *spin = window.add(new QSpinBox);
    auto *date = window.add(dateField());
    window.show();

    const int button = plain->sizeHint().height();
    EXPECT_GE(button, 26);
    for (QWidget *control :
        { static_cast<QWidget *>(prominent), static_cast<QWidget *>(menu), static_cast<QWidget *>(combo) })
        EXPECT_EQ(control->sizeHint().height(), button) << control->metaObject()->className();
    const int field = edit->sizeHint().height();
    EXPECT_GE(field, 24);
    EXPECT_EQ(spin->sizeHint().height(), field);
    EXPECT_EQ(date->sizeHint().height(), field);
}

TEST(AppStyle, ADropDownShowsItsLongestChoiceWhole)
{
    Window window;
    auto *combo = window.add(new QComboBox);
    combo->addItems(
        { QStringLiteral("EB Garamond"), QStringLiteral("Inter"), QStringLiteral("Libre Baskerville") });
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setCurrentIndex(2);
    window.show();
    combo->resize(combo->sizeHint());

    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.subControls = QStyle::SC_All;
    const QRect words
        = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    EXPECT_GE(words.width(), combo->fontMetrics().horizontalAdvance(QStringLiteral("Libre Baskerville")) + 2);

    combo->showPopup();
    auto *list = qobject_cast<QListView *>(combo->view());
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return list->isVisible(); }, 5000));
    // Every choice fits the menu, its check mark beside it.
    EXPECT_LE(list->sizeHintForColumn(0), list->viewport()->width());
    combo->hidePopup();

    // Narrower than its choice (a person's whole name), the box ends the
    // words in "…" where they were cut through a letter.
    const QString name = QStringLiteral("Maximiliane Theodora Wilhelmina von Rabenstein-Oberhausen");
    combo->addItem(name);
    combo->setCurrentIndex(3);
    combo->resize(200, combo->sizeHint().height());
    option.initFrom(combo);
    const int room = combo->style()
                         ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                         .width()
        - 2;
    const QImage cut = combo->grab().toImage();
    combo->setItemText(3, combo->fontMetrics().elidedText(name, Qt::ElideRight, room));
    EXPECT_TRUE(combo->currentText().endsWith(QChar(0x2026)));
    EXPECT_EQ(cut, combo->grab().toImage());
}

TEST(AppStyle, ArrowsAreChevronsInTheWordsColourNotGreyBlocks)
{
    TestSupport::inBothAppearances([](const QString &name) {
        Window window;
        auto *combo = window.add(new QComboBox);
        combo->addItems({ QStringLiteral("Watercolour"), QStringLiteral("Film photo") });
        auto *spin = window.add(new QSpinBox);
        spin->setValue(40);
        auto *date = window.add(dateField());
        window.show();
        const QColor words = QApplication::palette().color(QPalette::ButtonText);
        for (QWidget *control :
            { static_cast<QWidget *>(combo), static_cast<QWidget *>(spin), static_cast<QWidget *>(date) }) {
            const QImage image = shot(control);
            const QRect arrow = arrowOf(control);
            ASSERT_FALSE(arrow.isEmpty());
            // The face beside the arrow, inside the control's edge.
            const QColor face = image.pixelColor(arrow.left() - 3, 4);
            int ink = 0;
            int other = 0;
            for (int y = arrow.top() + 2; y < arrow.bottom() - 1; ++y) {
                for (int x = arrow.left() + 1; x < arrow.right() - 1; ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (distance(pixel, face) <= 12)
                        continue;
                    (distance(pixel, words) < distance(face, words) ? ink : other)++;
                }
            }
            const int area = (arrow.width() - 3) * (arrow.height() - 3);
            const std::string what = control->metaObject()->className() + (" " + name.toStdString());
            EXPECT_GT(ink, 4) << what;
            // A chevron's strokes, not a block of another colour.
            EXPECT_LT(ink + other, area / 3) << what;
            EXPECT_LT(other, area / 10) << what;
        }
    });
}

TEST(AppStyle, PopupsKeepAnEdgeOnTheWindowInBothAppearances)
{
    TestSupport::inBothAppearances([](const QString &name) {
        Window window;
        auto *combo = window.add(new QComboBox);
        combo->addItems({ QStringLiteral("Cloth"), QStringLiteral("Paper"), QStringLiteral("Monogram") });
        auto *date = window.add(dateField());
        window.show();
        const QColor ground = QApplication::palette().color(QPalette::Window);

        QMenu menu;
        menu.addAction(QStringLiteral("PDF…"));
        menu.addAction(QStringLiteral("Ebook for Apple Books…"));
        menu.addSeparator();
        menu.addAction(QStringLiteral("Save Ebook File…"))->setEnabled(false);
        menu.popup(QPoint(200, 60));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        const QImage picture = shot(&menu);
        const QColor edge = picture.pixelColor(0, picture.height() / 2);
        const QColor inside = picture.pixelColor(picture.width() / 2, 2);
        // The outline stands off the window the menu lies over, and off
        // the menu's own fill.
        EXPECT_GT(contrast(edge, ground), 1.25) << name.toStdString();
        EXPECT_GT(contrast(edge, inside), 1.25) << name.toStdString();
        menu.hide();

        combo->showPopup();
        QWidget *list = combo->view()->window();
        ASSERT_TRUE(TestSupport::waitUntil([&] { return list->isVisible(); }, 5000));
        const QImage open = shot(list);
        EXPECT_GT(contrast(open.pixelColor(0, open.height() / 2), ground), 1.25) << name.toStdString();
        combo->hidePopup();

        QTest::mouseClick(date, Qt::LeftButton, {}, arrowOf(date).center());
        QWidget *calendar = QApplication::activePopupWidget();
        ASSERT_NE(calendar, nullptr);
        const QImage month = shot(calendar);
        EXPECT_GT(contrast(month.pixelColor(0, month.height() / 2), ground), 1.25) << name.toStdString();
        // Weekends in the words' colour, not red; the month's heading on
        // the calendar's own ground, not a bar of the selection colour.
        auto *days = calendar->findChild<QCalendarWidget *>();
        ASSERT_NE(days, nullptr);
        EXPECT_FALSE(days->weekdayTextFormat(Qt::Sunday).foreground().color() == Qt::red);
        const QColor heading = month.pixelColor(month.width() / 2, 4);
        EXPECT_GT(distance(heading, QApplication::palette().color(QPalette::Highlight)), 60);
        calendar->hide();

        QToolTip::showText(
            QPoint(220, 40), QStringLiteral("Title ideas from your conversation"), &window.widget);
        EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase),
            QApplication::palette().color(QPalette::ToolTipBase));
        QToolTip::hideText();
    });
}

TEST(AppStyle, AlertsCarryTheAppsSymbolAndNoStockIcons)
{
    TestSupport::inBothAppearances([](const QString &name) {
        QMessageBox box(
            QMessageBox::Critical, QStringLiteral("Delete"), QStringLiteral("Delete “You & Maya”?"));
        box.setInformativeText(QStringLiteral("This removes the book and Quorvel's copy of these messages "
                                              "from this computer. Your Messages app "
                                              "isn't touched."));
        QPushButton *remove = box.addButton(QStringLiteral("Delete"), QMessageBox::DestructiveRole);
        Style::setDestructive(remove);
        box.addButton(QMessageBox::Cancel);
        // Even a box asked for with Qt's red cross shows the app's symbol.
        const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        EXPECT_EQ(box.iconPixmap().toImage(), Style::appSymbol().pixmap(side, side).toImage());
        EXPECT_TRUE(box.button(QMessageBox::Cancel)->icon().isNull());
        Style::setAlertLook(&box);
        box.move(60, 40);
        box.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
    });
}

TEST(AppStyle, EveryButtonsWordsReadOnItsFill)
{
    TestSupport::inBothAppearances([](const QString &name) {
        Window window;
        auto *plain = window.add(new QPushButton(QStringLiteral("Cancel")));
        auto *prominent = window.add(new QPushButton(QStringLiteral("Continue")));
        Style::setProminent(prominent);
        auto *destructive = window.add(new QPushButton(QStringLiteral("Delete")));
        Style::setDestructive(destructive);
        auto *link = window.add(new QPushButton(QStringLiteral("See It as a Wrapped")));
        Style::setLink(link);
        window.show();
        for (QPushButton *button : { plain, prominent, destructive, link }) {
            const QImage image = shot(button);
            // The fill where no word is, and the word's ink: the pixel of
            // the middle row furthest from it.
            const QColor fill = image.pixelColor(image.width() - 4, image.height() / 2);
            QColor ink = fill;
            for (int x = 0; x < image.width(); ++x) {
                for (int y = image.height() / 2 - 3; y <= image.height() / 2 + 3; ++y) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (contrast(pixel, fill) > contrast(ink, fill))
                        ink = pixel;
                }
            }
            EXPECT_GT(contrast(ink, fill), 4.5) << button->text().toStdString() << name.toStdString();
        }
        // A link is words alone: no bezel at its corners, no room for one.
        const QImage words = shot(link);
        EXPECT_LT(distance(words.pixelColor(0, 0), QApplication::palette().color(QPalette::Window)), 6);
        EXPECT_LE(link->sizeHint().height(), link->fontMetrics().height() + 4);
    });
}

TEST(AppStyle, ATextEditorHasOneFrame)
{
    TestSupport::inBothAppearances([](const QString &name) {
        Window window;
        auto *editor = window.add(new QPlainTextEdit(QStringLiteral("1/31/25, 9:41 PM - Sam: hey")));
        editor->setFixedSize(300, 120);
        window.show();
        EXPECT_FALSE(editor->viewport()->autoFillBackground());
        const QImage image = shot(editor);
        // From just inside the edge to the words, one fill: no second edge
        // where the text area begins.
        const int row = image.height() - 10;
        const QColor fill = image.pixelColor(2, row);
        for (int x = 2; x < 12; ++x)
            EXPECT_LT(distance(image.pixelColor(x, row), fill), 6) << x << name.toStdString();
        EXPECT_GT(distance(image.pixelColor(0, row), fill), 10) << name.toStdString();
    });
}

TEST(AppStyle, ALookAskedForAfterTheButtonWasMeasuredResizesIt)
{
    QPushButton button(QStringLiteral("See It as a Wrapped"));
    const QSize bezel = button.sizeHint();
    Style::setLink(&button);
    EXPECT_LT(button.sizeHint().height(), bezel.height());
    EXPECT_LT(button.sizeHint().width(), bezel.width());
}

TEST(AppStyle, ALongToolTipWrapsIntoAFewLinesAndAShortOneStaysAsItIs)
{
    Window window;
    auto *button = window.add(new QPushButton(QStringLiteral("Add Messages")));
    const QString sentence = QStringLiteral("Add an iPhone backup, a chat exported from WhatsApp, Telegram, "
                                            "Instagram or Discord, an Android SMS backup, or paste one in");
    button->setToolTip(sentence);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window.widget));

    auto ask = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(button, &help);
    };
    auto tipLabel = [] {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->inherits("QTipLabel") && top->isVisible())
                return top;
        return static_cast<QWidget *>(nullptr);
    };

    ask();
    QWidget *tip = tipLabel();
    ASSERT_NE(tip, nullptr);
    // Every word is there, and the tip is a few lines, not one line as
    // wide as the sentence.
    EXPECT_EQ(QString(QToolTip::text()).replace(QLatin1Char('\n'), QLatin1Char(' ')), sentence);
    const int oneLine = button->fontMetrics().horizontalAdvance(sentence);
    EXPECT_LT(tip->width(), oneLine * 3 / 4);
    EXPECT_GE(tip->height(), 2 * button->fontMetrics().lineSpacing());
    QToolTip::hideText();

    button->setToolTip(QStringLiteral("Encrypted & kept"));
    ask();
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Encrypted & kept"));
    QToolTip::hideText();
}
