#pragma once

#include <QWidget>

class HandoffSlot;
class QLabel;
class QPushButton;
class Spinner;
class UnopenedPage;

// The detail pane while a conversation is handed to the website: progress,
// then how it went, with "Back" once it has ended.
class HandoffView : public QWidget
{
    Q_OBJECT

public:
    HandoffView(HandoffSlot *slot, QWidget *parent = nullptr);

private:
    void refresh();

    HandoffSlot *m_slot;
    Spinner *m_spinner;
    QLabel *m_text;
    UnopenedPage *m_unopened;
    QPushButton *m_back;
};
