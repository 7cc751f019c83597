#pragma once

#include "ui/sheet.h"

class QCheckBox;
class QPushButton;

// Asks a user who agreed to the Wrapped only for the consent a printed
// book needs. It records nothing: agreed() hands the decision to whoever
// presented it, which records it and closes the sheet.
class PrintConsentSheet : public Sheet
{
    Q_OBJECT

public:
    // name: the other participant, as the checkbox names them.
    PrintConsentSheet(const QString &name, QWidget *parent);

    QCheckBox *checkbox() const { return m_okToPrint; }
    QPushButton *makeButton() const { return m_make; }

signals:
    void agreed();

private:
    QCheckBox *m_okToPrint;
    QPushButton *m_make;
};
