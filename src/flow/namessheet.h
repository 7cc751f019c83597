#pragma once

#include "ui/sheet.h"

#include <memory>

class Project;
class QLineEdit;

// The two names the book prints: the user's own and the other side's.
// Filled from the book when it opens; written only by "Save".
class NamesSheet : public Sheet
{
    Q_OBJECT

public:
    NamesSheet(std::shared_ptr<Project> project, QWidget *parent);

    QLineEdit *me() const { return m_me; }
    QLineEdit *them() const { return m_them; }

private:
    void save();

    std::shared_ptr<Project> m_project;
    QLineEdit *m_me;
    QLineEdit *m_them;
};
