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

        // A message pinned a few pages on, and a page for the coffee that
        // would push it off its page.
        Project *project = pages->project();
        const std::optional<int> coffeePage = project->pageOf(coffee->day());
        ASSERT_TRUE(coffeePage);
        const BookFile::Message *pinned = nullptr;
        for (const BookFile::Message &message : project->book().messages) {
            const std::optional<int> page = project->pageOf(message.day());
            if (message.text && message.at > coffee->at && page && *page >= *coffeePage + 5) {
                pinned = &message;
                break;
            }
        }
        ASSERT_TRUE(pinned);
        const QString pinnedId = pinned->id;
        project->pin(*pinned, *project->pageOf(pinned->day()) + 2);
        TestSupport::waitUntil([&] { return project->isTypesetting(); }, 5000);
        ASSERT_TRUE(TestSupport::waitUntil(
            [&] { return !project->isTypesetting() && project->pinResult(pinnedId).has_value(); }, 120000));
        pages->pinMessage(*coffee);
        ASSERT_TRUE(pages->pinSheet());
        pin = pages->pinSheet();
        pin->pageField()->setValue(pin->pageField()->value() + 40);
        ASSERT_FALSE(pin->movesText().isEmpty());
        atEverySize(window, QStringLiteral("pin-sheet"), QStringLiteral("moves-another"));
        pages->pinSheet()->reject();

        // A long message whose words come past the row's fourth line.
        BookFile book = project->book();
        QMap<QString, QString> texts = book.edits.text.value_or(QMap<QString, QString>());
        texts.insert(coffee->id,
            QStringLiteral("so I was thinking about the whole week and how it went, the rain on Tuesday and "
                           "the train that never came, the long walk home along the river and the dog "
                           "that followed us for a mile, and then on Sunday morning you got up early and "
                           "made us pancakes with blueberries and we ate them on the balcony in the sun"));
        book.edits.text = texts;
        project->setBook(book);
        pages->setQuery(QStringLiteral("pancakes"));
        ASSERT_TRUE(TestSupport::waitUntil([&] { return pages->results()->count() > 0; }));
        Gallery::settle(800);
        atEverySize(window, QStringLiteral("pages"), QStringLiteral("search-long-message"));
    });
}
