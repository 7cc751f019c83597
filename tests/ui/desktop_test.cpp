// The desktop's own file panel, as the app opens it for a chat export.
#include "ui/desktop.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(Desktop, APanelsLongMessageWrapsAboveItAndThePanelFitsTheScreen)
{
    QWidget window;
    window.resize(1280, 820);
    window.show();
    Desktop real;
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::OpenFileOrFolder;
    panel.title = QStringLiteral("Add a Chat");
    panel.prompt = QStringLiteral("Add Chat");
    panel.message = QStringLiteral(
        "Choose a chat export, or the folder or zip it came in: WhatsApp, Telegram, Signal, Instagram, "
        "Messenger, Discord, Slack, Google Chat, Snapchat, LINE, KakaoTalk, Skype, an email archive, IRC "
        "logs, or an Android SMS backup.");
    panel.directory = QDir::homePath();
    QCoro::Task<QStringList> chosen = real.choose(&window, panel);
    auto *dialog = window.findChild<QFileDialog *>();
    ASSERT_TRUE(dialog);
    QApplication::processEvents();
    ASSERT_TRUE(dialog->isVisible());

    // As wide as a panel, not as the sentence: Add and Cancel stay on a
    // 1,600 pixel screen.
    EXPECT_LE(dialog->width(), 1000);
    auto *message = dialog->findChild<QLabel *>(QStringLiteral("panelMessage"));
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->isVisible());
    EXPECT_EQ(message->text(), panel.message);
    EXPECT_LE(message->mapTo(dialog, QPoint(message->width(), 0)).x(), dialog->width());
    EXPECT_GE(message->height(), 2 * message->fontMetrics().lineSpacing());
    for (const QString &text : { QStringLiteral("Add Chat"), QStringLiteral("Cancel") }) {
        QPushButton *button = nullptr;
        for (QPushButton *candidate : dialog->findChildren<QPushButton *>()) {
            if (candidate->text() == text)
                button = candidate;
        }
        ASSERT_TRUE(button) << text.toStdString();
        EXPECT_TRUE(dialog->rect().contains(QRect(button->mapTo(dialog, QPoint(0, 0)), button->size())))
            << text.toStdString();
    }

    dialog->reject();
    EXPECT_TRUE(TestSupport::await(std::move(chosen)).isEmpty());
}
