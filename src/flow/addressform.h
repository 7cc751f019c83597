#pragma once

#include "service/ordering.h"

#include <QWidget>

class QLineEdit;

// The postal address a gift card's order goes to, typed into seven fields
// named by their placeholders. What is typed is kept exactly as typed; the
// country is not asked and stays what it was.
class AddressForm : public QWidget
{
    Q_OBJECT

public:
    explicit AddressForm(QWidget *parent = nullptr);

    Ordering::Address address() const { return m_address; }
    // Fills the fields, leaving alone one that already holds its text.
    void setAddress(const Ordering::Address &address);

signals:
    // On every keystroke.
    void addressEdited(const Ordering::Address &address);

private:
    QLineEdit *field(const QString &placeholder, QString Ordering::Address::*member);

    Ordering::Address m_address;
    QList<std::pair<QLineEdit *, QString Ordering::Address::*>> m_fields;
};
