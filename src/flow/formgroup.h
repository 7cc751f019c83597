#pragma once

#include <QFrame>

class QFormLayout;
class QLabel;
class QVBoxLayout;

// One section of a sheet's form: an optional heading above a rounded box
// of rows, and an optional footer below it, as grouped forms are drawn.
class FormGroup : public QWidget
{
    Q_OBJECT

public:
    explicit FormGroup(const QString &heading = QString(), QWidget *parent = nullptr);

    // The rows inside the box.
    QFormLayout *rows() const { return m_rows; }
    void setFooter(const QString &footer);

private:
    QFrame *m_box;
    QFormLayout *m_rows;
    QLabel *m_footer;
};
