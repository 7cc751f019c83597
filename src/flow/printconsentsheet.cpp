#include "printconsentsheet.h"

#include "ui/checklabel.h"
#include "ui/style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PrintConsentSheet::PrintConsentSheet(const QString &name, QWidget *parent)
    // Neither button has a key of its own, Escape included: the consent is
    // given or withheld by a click.
    : Sheet(parent, 440, Sheet::Escape::Ignored)
{
    body()->setSpacing(16);
    QLabel *title
        = Style::label(QStringLiteral("Make it a book"), Style::Text::Title2, Style::Tone::Primary, this);
    // The heading is the sheet's title too, for the window list and a
    // screen reader.
    setWindowTitle(title->text());
    title->setFont(Style::font(Style::Text::Title2, Style::Weight::Semibold));
    body()->addWidget(title);
    body()->addWidget(
        Style::label(QStringLiteral("A book prints these messages, word for word. Nothing is "
                                    "sent anywhere until you order, and then only the finished book."),
            Style::Text::Body, Style::Tone::Secondary, this));

    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    m_okToPrint = new QCheckBox(this);
    m_okToPrint->setAccessibleName(
        QStringLiteral("I'm in this conversation, and %1 is happy to be in a printed book.").arg(name));
    row->addWidget(m_okToPrint, 0, Qt::AlignTop);
    row->addWidget(new CheckLabel(m_okToPrint->accessibleName(), m_okToPrint, this), 1);
    body()->addLayout(row);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_make = addButton(QStringLiteral("Make the Book"), Role::Confirm);
    m_make->setEnabled(false);

    connect(m_okToPrint, &QCheckBox::toggled, m_make, &QPushButton::setEnabled);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_make, &QPushButton::clicked, this, &PrintConsentSheet::agreed);
}
