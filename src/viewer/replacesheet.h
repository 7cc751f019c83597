#pragma once

#include "ui/sheet.h"

class QLineEdit;
class QPushButton;

// Asks what to put in place of the searched words in every message of the
// book; "Replace All" confirms.
class ReplaceSheet : public Sheet
{
    Q_OBJECT

public:
    ReplaceSheet(const QString &query, const QString &replacement, QWidget *parent);

    QLineEdit *withField() const { return m_with; }
    QPushButton *replaceButton() const { return m_replace; }

private:
    QLineEdit *m_with;
    QPushButton *m_replace;
};
