#pragma once

#include "ui/sheet.h"

#include <QDate>
#include <memory>

class Project;
class QDateEdit;
class QPlainTextEdit;
class QPushButton;

// A page of the user's own, set before the messages of a day they pick
// within the book's range.
class AddPageSheet : public Sheet
{
    Q_OBJECT

public:
    AddPageSheet(std::shared_ptr<Project> project, QWidget *parent);

    QPlainTextEdit *editor() const { return m_text; }
    QDateEdit *day() const { return m_day; }
    QPushButton *addButton() const { return m_add; }

    // The days the picker offers: the book's range; an end that isn't a day
    // is today.
    static std::pair<QDate, QDate> bounds(const Project &project);

private:
    void add();

    std::shared_ptr<Project> m_project;
    QPlainTextEdit *m_text;
    QDateEdit *m_day;
    QPushButton *m_add;
};
