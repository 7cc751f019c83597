#pragma once

#include "model/conversation.h"

#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QVBoxLayout;

// Nothing of a conversation is read until the user says so. This screen
// says what reading it means, asks which participant the user is (when the
// participants are known), asks them to confirm the other person is happy
// to be in a printed book, and offers the ways on. It stores only which
// participant is the user; what agreeing does belongs to the actions.
class ConsentView : public QWidget
{
    Q_OBJECT

public:
    struct Actions
    {
        // "Read Our Messages".
        std::function<void()> agree;
        // "See Our Wrapped"; without it the Wrapped row is not shown.
        std::function<void()> wrapped;
        // "Make It on" the website; without it that row is not shown.
        std::function<void()> web;
        // Stores the participant picked under "Which one is you?"; the
        // window's stores it in the library, whose names follow. Without
        // it the screen stores the choice itself.
        std::function<void(const QString &me)> choose;
    };

    ConsentView(
        const Conversation &conversation, const QString &name, Actions actions, QWidget *parent = nullptr);

    // The participant the user says they are; empty without a picker.
    QString me() const { return m_me; }
    // The other party's name in the heading and the sentences; what the
    // user typed or ticked stays.
    void setName(const QString &name);
    // Names the participants in the picker as the rest of the window does:
    // a number or an address as its contact. The choice stays.
    void setMemberNames(const std::function<QString(const QString &)> &memberName);

    QComboBox *picker() const { return m_picker; }
    QCheckBox *okToPrint() const { return m_okToPrint; }
    // The box's words, beside it.
    QLabel *okToPrintLabel() const { return m_okToPrintLabel; }
    QPushButton *readButton() const { return m_read; }

private:
    // The rows of the screen, built with the widgets they hold.
    QLayout *pickerRow();
    QLayout *okToPrintRow();
    QLayout *readRow();
    // The Wrapped's and the website's rows, where there are actions for them.
    void addOtherWays(QVBoxLayout *stack);

    void choose(const QString &me);
    void act(const std::function<void()> &action);

    Conversation m_conversation;
    Actions m_actions;
    QString m_me;
    // Each participant's messages, in the picker's order.
    QList<int> m_messages;
    QLabel *m_title;
    QLabel *m_reads;
    QComboBox *m_picker = nullptr;
    QCheckBox *m_okToPrint;
    QLabel *m_okToPrintLabel;
    QPushButton *m_read;
};
