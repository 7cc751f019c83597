// The book's pages in the window: the spreads, the settings panel, the
// search with a message's menu, the range popover and the sheets that act
// on one message or on every match.
#include "app/mainwindow.h"
#include "gallery.h"
#include "project/project.h"
#include "samplewindow.h"
#include "uitestsupport.h"
#include "viewer/bookpreview.h"
#include "viewer/bookview.h"
#include "viewer/chaptersheet.h"
#include "viewer/pinsheet.h"
#include "viewer/rangepopover.h"
#include "viewer/searchresults.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleOption>
#include <QTest>

using Gallery::atEverySize;

namespace {

const BookFile::Message *messageSaying(const Project &project, const QString &words)
{
    for (const BookFile::Message &message : project.book().messages) {
        if (message.text && message.text->contains(words, Qt::CaseInsensitive))
            return &message;
    }
    return nullptr;
}

} // namespace

TEST(ViewerScreens, ThePagesAndWhatActsOnThem)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        MainWindow *window = sample.window();
        BookView *pages = sample.pages();
        ASSERT_TRUE(pages);
        // The pages drawn, not their placeholders.
        Gallery::settle(1500);
        atEverySize(window, QStringLiteral("pages"), QStringLiteral("first-spread"));
        // A spread of messages, a fifth of the way in.
        pages->preview()->jump(pages->project()->layout().pageCount / 5);
        Gallery::settle(1500);
        atEverySize(window, QStringLiteral("pages"), QStringLiteral("messages"));

        pages->setInspectorShown(true);
        Gallery::settle(500);
        atEverySize(window, QStringLiteral("pages"), QStringLiteral("settings"));
        pages->setInspectorShown(false);

        atEverySize(
            window, QStringLiteral("pages"), QStringLiteral("range"), [&] { pages->showRange(); },
            Gallery::closePopups);

        // The range's first date field with its calendar open.
        atEverySize(
            window, QStringLiteral("pages"), QStringLiteral("range-calendar"),
            [&] {
                pages->showRange();
                Gallery::settle(0);
                QWidget *popover = QApplication::activePopupWidget();
                auto *from = popover ? popover->findChild<QDateEdit *>() : nullptr;
                if (!from)
                    return;
                QStyleOptionComboBox option;
                option.initFrom(from);
                option.editable = true;
                option.subControls = QStyle::SC_All;
                const QRect arrow = from->style()->subControlRect(
                    QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, from);
                QTest::mouseClick(from, Qt::LeftButton, {}, arrow.center());
            },
            Gallery::closePopups);

        pages->setQuery(QStringLiteral("coffee"));
        ASSERT_TRUE(TestSupport::waitUntil([&] { return pages->results()->count() > 0; }));
        Gallery::settle(800);
        atEverySize(window, QStringLiteral("pages"), QStringLiteral("search"));
        const BookFile::Message *coffee = messageSaying(*pages->project(), QStringLiteral("coffee"));
        ASSERT_TRUE(coffee);
        atEverySize(
            window, QStringLiteral("pages"), QStringLiteral("message-menu"),
            [&] {
                QListView *list = pages->results()->list();
                QMenu *menu = pages->results()->actions(*coffee, list);
                menu->popup(
                    list->viewport()->mapToGlobal(list->visualRect(list->model()->index(0, 0)).center()));
            },
            Gallery::closePopups);

        pages->results()->replace();
        QDialog *replace = nullptr;
        TestSupport::waitUntil([&] {
            for (QDialog *dialog : window->findChildren<QDialog *>())
                replace = dialog->isVisible() ? dialog : replace;
            return replace != nullptr;
        });
        ASSERT_TRUE(replace);
        atEverySize(window, QStringLiteral("replace-sheet"), QStringLiteral("first"));
        replace->reject();

        pages->startChapterAt(*coffee);
        ASSERT_TRUE(pages->chapterSheet());
        atEverySize(window, QStringLiteral("chapter-sheet"), QStringLiteral("first"));
        pages->chapterSheet()->reject();

        pages->pinMessage(*coffee);
        ASSERT_TRUE(pages->pinSheet());
        atEverySize(window, QStringLiteral("pin-sheet"), QStringLiteral("first"));
        PinSheet *pin = pages->pinSheet();
        pin->pageField()->setValue(pin->pageField()->value() + 89);
        pin->pageField()->selectAll();
        atEverySize(window, QStringLiteral("pin-sheet"), QStringLiteral("later-page"));
        pages->pinSheet()->reject();
    });
}
