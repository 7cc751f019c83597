#pragma once

#include "model/bookfile.h"
#include "ui/sheet.h"

#include <QPointer>

class Project;
class QLineEdit;
class QPushButton;

// Starts a chapter of the book at one message, under a title the user
// types; closes itself when done or cancelled.
class ChapterSheet : public Sheet
{
    Q_OBJECT

public:
    ChapterSheet(Project *project, const BookFile::Message &message, QWidget *parent);

    QLineEdit *titleField() const { return m_title; }
    QPushButton *startButton() const { return m_start; }

private:
    void start();

    QPointer<Project> m_project;
    BookFile::Message m_message;
    QLineEdit *m_title;
    QPushButton *m_start;
};
