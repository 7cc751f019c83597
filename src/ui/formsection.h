#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QVBoxLayout;

// One section of a grouped form: a header, rows on a rounded card divided
// by hairlines, and a footer, as the viewer's panel and sheets lay out
// their fields.
class FormSection : public QWidget
{
    Q_OBJECT

public:
    explicit FormSection(const QString &header = {}, const QString &footer = {}, QWidget *parent = nullptr);

    // Puts content in a row of its own at the end (or at index) and returns
    // the row; deleting the row takes it out again.
    QWidget *addRow(QWidget *content);
    QWidget *insertRow(int index, QWidget *content);
    // A row with a label at the leading edge and the value after it.
    QWidget *addRow(const QString &label, QWidget *value);
    // Rows in order, for moving them about without rebuilding them.
    void moveRow(QWidget *row, int index);
    int rowCount() const;

    // A text field for a row, framed as the window's fields are.
    static QLineEdit *field(const QString &placeholder = {});

    void setFooter(const QString &footer);
    QString header() const;

private:
    class Card;

    QLabel *m_header;
    QLabel *m_footer;
    Card *m_card;
    QVBoxLayout *m_rows;
};
