// The window worked with the keys: where the focus shows on a card, a
// theme swatch, a conversation row and the add bar, in both appearances.
#include "app/contentview.h"
#include "app/conversationlist.h"
#include "app/mainwindow.h"
#include "gallery.h"
#include "samplewindow.h"
#include "ui/card.h"
#include "uitestsupport.h"
#include "wizard/wizardmodel.h"
#include "wizard/wizardview.h"
#include "wrapped/themeswatch.h"
#include "wrapped/wrappedinspector.h"
#include "wrapped/wrappedview.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeView>

using Gallery::atEverySize;

namespace {

// The window as a keyboard user has it: active, its focus moved by keys.
void byKeys(QWidget *window)
{
    QApplication::setActiveWindow(window);
    window->setAttribute(Qt::WA_KeyboardFocusChange);
}

void focusByTab(QWidget *widget)
{
    for (QWidget *up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(up)) {
            area->ensureWidgetVisible(widget);
            break;
        }
    }
    widget->setFocus(Qt::TabFocusReason);
    Gallery::settle();
}

} // namespace

TEST(KeysScreens, TheFocusOnACardARowAndTheAddBar)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        WizardView *wizard = sample.wizard();
        ASSERT_TRUE(wizard);
        MainWindow *window = sample.window();
        byKeys(window);
        wizard->model()->setStep(WizardModel::Step::Typeface);
        TestSupport::waitUntil(
            [&] { return !wizard->findChild<QWidget *>(QStringLiteral("stepTransition")); });
        const QList<Card *> cards = wizard->stepView()->findChildren<Card *>();
        ASSERT_GE(cards.size(), 2);
        Card *other = nullptr;
        Card *chosen = nullptr;
        for (Card *card : cards)
            (card->isSelected() ? chosen : other) = card;
        ASSERT_TRUE(other && chosen);
        atEverySize(window, QStringLiteral("keys-wizard-typeface"), QStringLiteral("focus-on-another-card"),
            [&] { focusByTab(other); });
        atEverySize(window, QStringLiteral("keys-wizard-typeface"),
            QStringLiteral("focus-on-the-chosen-card"), [&] { focusByTab(chosen); });

        ConversationList *list = sample.content()->conversationList();
        atEverySize(window, QStringLiteral("keys-sidebar"), QStringLiteral("focus-on-a-row"), [&] {
            QTreeView *rows = list->view();
            rows->setFocus(Qt::TabFocusReason);
            rows->selectionModel()->setCurrentIndex(
                rows->model()->index(0, 0, rows->model()->index(0, 0)), QItemSelectionModel::NoUpdate);
            rows->selectionModel()->clearSelection();
            Gallery::settle();
        });
        atEverySize(window, QStringLiteral("keys-sidebar"), QStringLiteral("focus-on-add-messages"),
            [&] { focusByTab(list->addButton()); });
    });
}

TEST(KeysScreens, TheFocusOnAThemeSwatch)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample;
        WrappedView *view = sample.wrapped();
        ASSERT_TRUE(view);
        byKeys(sample.window());
        QList<ThemeSwatch *> swatches = view->inspector()->findChildren<ThemeSwatch *>();
        ASSERT_GE(swatches.size(), 2);
        ThemeSwatch *target = swatches[1]->theme() == view->settings().theme ? swatches[2] : swatches[1];
        atEverySize(sample.window(), QStringLiteral("keys-wrapped"), QStringLiteral("focus-on-a-swatch"),
            [&] { focusByTab(target); });
        atEverySize(
            sample.window(), QStringLiteral("keys-wrapped"), QStringLiteral("focus-on-save-cards"), [&] {
                focusByTab(
                    qobject_cast<QWidget *>(TestSupport::findText(view, QStringLiteral("Save Cards…"))));
            });
    });
}
