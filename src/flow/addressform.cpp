#include "addressform.h"

#include <QGridLayout>
#include <QLineEdit>

AddressForm::AddressForm(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    grid->addWidget(field(QStringLiteral("Name"), &Ordering::Address::name), 0, 0, 1, 2);
    grid->addWidget(field(QStringLiteral("Address"), &Ordering::Address::line1), 1, 0, 1, 2);
    grid->addWidget(
        field(QStringLiteral("Apartment, suite (optional)"), &Ordering::Address::line2), 2, 0, 1, 2);
    grid->addWidget(field(QStringLiteral("City"), &Ordering::Address::city), 3, 0);
    grid->addWidget(field(QStringLiteral("State"), &Ordering::Address::state), 3, 1);
    grid->addWidget(field(QStringLiteral("ZIP code"), &Ordering::Address::postal_code), 4, 0);
    grid->addWidget(field(QStringLiteral("Phone, for the courier"), &Ordering::Address::phone), 4, 1);
}

QLineEdit *AddressForm::field(const QString &placeholder, QString Ordering::Address::*member)
{
    auto *edit = new QLineEdit(this);
    edit->setPlaceholderText(placeholder);
    // A placeholder goes once the field is typed in; the name stays.
    edit->setAccessibleName(placeholder);
    connect(edit, &QLineEdit::textEdited, this, [this, member](const QString &text) {
        m_address.*member = text;
        emit addressEdited(m_address);
    });
    m_fields.append({ edit, member });
    return edit;
}

void AddressForm::setAddress(const Ordering::Address &address)
{
    m_address = address;
    for (const auto &[edit, member] : m_fields) {
        if (edit->text() != address.*member)
            edit->setText(address.*member);
    }
}
