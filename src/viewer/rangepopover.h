#pragma once

#include <QFrame>
#include <QPointer>

class Project;
class QDateEdit;
class QLabel;
class QPushButton;

// The stretch of the conversation the book covers: a first and a last day,
// the messages that holds, and a way back to the whole conversation. Each
// pick goes straight to the book; the popover keeps nothing itself.
class RangePopover : public QFrame
{
    Q_OBJECT

public:
    explicit RangePopover(Project *project, QWidget *parent = nullptr);

    // Opens below the anchor, centred on it, inside its screen.
    void popup(QWidget *anchor);
    void refresh();

    QDateEdit *fromField() const { return m_from; }
    QDateEdit *toField() const { return m_to; }
    QPushButton *wholeButton() const { return m_whole; }
    QString countText() const;

private:
    enum class End { From, To };
    void commit(End end, const QDate &date);

    QPointer<Project> m_project;
    QDateEdit *m_from;
    QDateEdit *m_to;
    QLabel *m_count;
    QPushButton *m_whole;
};
