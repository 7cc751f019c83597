#pragma once

#include <QWidget>

class Library;
class QPushButton;
class SourceAdder;

// What the window shows while nothing can be read: the computer has no
// Messages database where Quorvel looks, and no source was added. It says
// where the database is read from and offers the other ways in (an iPhone
// backup, a chat file, a pasted chat); checking again, by hand or whenever
// the app comes back to the front, reloads the library, and the window
// moves on by itself once something can be read.
class AccessView : public QWidget
{
    Q_OBJECT

public:
    AccessView(Library *library, SourceAdder *adder, QWidget *parent = nullptr);

private:
    Library *m_library;
    SourceAdder *m_adder;
};
