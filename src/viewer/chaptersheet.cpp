#include "chaptersheet.h"

#include "messagesummary.h"
#include "model/text.h"
#include "project/project.h"
#include "ui/formsection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ChapterSheet::ChapterSheet(Project *project, const BookFile::Message &message, QWidget *parent)
    : Sheet(parent, 380)
    , m_project(project)
    , m_message(message)
    , m_title(FormSection::field(QStringLiteral("The night of the dumplings \U0001F95F")))
{
    setWindowTitle(QStringLiteral("Start a Chapter"));
    body()->addWidget(new MessageSummary(*project, message));

    auto *naming = new FormSection({},
        QStringLiteral(
            "Once you add a chapter, chapters no longer follow the months. Emoji work in titles."));
    naming->addRow(QStringLiteral("Title"), m_title);
    body()->addWidget(naming);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    m_start = addButton(QStringLiteral("Start Chapter"), Role::Confirm);
    setDefaultButton(m_start);
    m_start->setEnabled(false);

    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_start, &QPushButton::clicked, this, &ChapterSheet::start);
    // Line breaks are not blank: only spaces and tabs are.
    connect(m_title, &QLineEdit::textChanged, this,
        [this](const QString &title) { m_start->setEnabled(!Text::isBlank(title)); });
    m_title->setFocus();
}

void ChapterSheet::start()
{
    if (Text::isBlank(m_title->text()))
        return;
    // The title goes in as typed: spaces around it are the user's.
    if (m_project)
        m_project->startChapter(m_message, m_title->text());
    accept();
}
