#pragma once

#include "model/bookfile.h"
#include "ui/sheet.h"

#include <QPointer>
#include <optional>

class Project;
class QPushButton;
class QSpinBox;

// Pins one message to a page number: blank pages go in before it so it
// lands there. A message can only move later in the book, so the pin can't
// go below the page the message lands on by itself.
class PinSheet : public Sheet
{
    Q_OBJECT

public:
    // Pages a pin may go past the end of the book: room for a message to
    // end the book after blank pages, not thousands of them from a typo.
    static constexpr int pagesPastTheEnd = 50;

    PinSheet(Project *project, const BookFile::Message &message, QWidget *parent);

    // The highest page a pin may ask for in a book of pageCount pages.
    static int highestPage(int pageCount, std::optional<int> natural);

    QSpinBox *pageField() const { return m_page; }
    QPushButton *pinButton() const { return m_pin; }

private:
    void pin();
    void refreshButton();

    QPointer<Project> m_project;
    BookFile::Message m_message;
    std::optional<int> m_natural;
    QSpinBox *m_page;
    QPushButton *m_pin;
};
