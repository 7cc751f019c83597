#include "namessheet.h"

#include "project/project.h"
#include "ui/formsection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString firstName(const BookFile &book, bool me)
{
    for (const BookFile::Person &person : book.people) {
        if (person.me == me)
            return person.name;
    }
    return {};
}

} // namespace

NamesSheet::NamesSheet(std::shared_ptr<Project> project, QWidget *parent)
    : Sheet(parent, 400)
    , m_project(std::move(project))
    , m_me(new QLineEdit(this))
    , m_them(new QLineEdit(this))
{
    // The words of the row that opens it, for the window list and a
    // screen reader.
    setWindowTitle(QStringLiteral("Names in the book"));
    auto *group = new FormSection;
    group->addRow(QStringLiteral("You"), m_me);
    group->addRow(QStringLiteral("Them"), m_them);
    group->setFooter(QStringLiteral("These go on the receipt and anywhere the book names you. The messages "
                                    "themselves don't print names."));
    body()->addWidget(group);

    QPushButton *cancel = addButton(QStringLiteral("Cancel"), Role::Cancel);
    QPushButton *save = addButton(QStringLiteral("Save"), Role::Confirm);
    setDefaultButton(save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(save, &QPushButton::clicked, this, &NamesSheet::save);

    m_me->setText(firstName(m_project->book(), true));
    m_them->setText(firstName(m_project->book(), false));
}

void NamesSheet::save()
{
    // As typed: the project trims, and keeps a name left blank.
    m_project->setNames(m_me->text(), m_them->text());
    accept();
}
