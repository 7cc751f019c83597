#pragma once

#include "insights/pinpages.h"
#include "model/bookfile.h"
#include "ui/sheet.h"

#include <QPointer>
#include <optional>

class Project;
class QLabel;
class QPushButton;
class QSpinBox;

// Pins one message to a page number: blank pages go in before it so it
// lands there. A message can only move later in the book, so the pin can't
// go below the page the message lands on by itself.
class PinSheet : public Sheet
{
    Q_OBJECT

public:
    PinSheet(Project *project, const BookFile::Message &message, QWidget *parent);

    // The printed page the message lands on by itself in the last layout:
    // a pinned one where its pin found it, before the blank pages.
    static std::optional<int> landing(const Project &project, const BookFile::Message &message);

    QSpinBox *pageField() const { return m_page; }
    QPushButton *pinButton() const { return m_pin; }
    // What the page typed costs, empty when it costs nothing.
    QString costText() const;
    // That the page typed pushes another pin off its page; empty when none.
    QString movesText() const;

private:
    // The pins of the messages after message, in book order, by the last
    // layout: the blank pages a pin adds move every one of them.
    static QList<PinPages::Placed> laterPins(const Project &project, const BookFile::Message &message);

    void pin();
    void refresh();

    QPointer<Project> m_project;
    BookFile::Message m_message;
    std::optional<int> m_natural;
    // Where the message starts now, its pin's blank pages included.
    int m_now = 0;
    QList<PinPages::Placed> m_later;
    QSpinBox *m_page;
    QLabel *m_cost;
    QLabel *m_moves;
    QPushButton *m_pin;
};
