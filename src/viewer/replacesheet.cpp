#include "replacesheet.h"

#include "ui/formsection.h"
#include "ui/style.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReplaceSheet::ReplaceSheet(const QString &query, const QString &replacement, QWidget *parent)
    : Sheet(parent, 400)
    , m_with(FormSection::field())
{
    setWindowTitle(QStringLiteral("Replace"));
    QLabel *title
        = Style::label(QStringLiteral("Replace \u201C") + query + QStringLiteral("\u201D in every message?"),
            Style::Text::Headline);
    body()->addWidget(title);
    body()->addWidget(Style::label(
        QStringLiteral("Only the book changes. Your messages in the Messages app stay as they were."),
        Style::Text::Callout, Style::Tone::Secondary));
    auto *with = new FormSection;
    m_with->setText(replacement);
    m_with->setAccessibleName(QStringLiteral("With"));
    with->addRow(QStringLiteral("With"), m_with);
    body()->addWidget(with);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_replace = addButton(QStringLiteral("Replace All"), Role::Confirm);
    setDefaultButton(m_replace);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_replace, &QPushButton::clicked, this, &QDialog::accept);
    m_with->setFocus();
    m_with->selectAll();
}
