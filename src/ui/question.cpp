#include "question.h"

#include "style.h"

#include <QMessageBox>
#include <QPushButton>

namespace Question {

QMessageBox *askFirst(QWidget *parent, const Words &words, std::function<void()> act)
{
    auto *box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->setWindowTitle(words.title);
    box->setText(words.question);
    box->setInformativeText(words.sentence);
    // Accepting, not destructive: desktops that set a destructive button
    // apart put it on the other side of Cancel from every sheet's
    // confirming button, which would give the app two orders.
    QPushButton *action = box->addButton(words.action, QMessageBox::AcceptRole);
    Style::setDestructive(action);
    QPushButton *cancel = box->addButton(QMessageBox::Cancel);
    Style::setAlertLook(box);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    QObject::connect(action, &QPushButton::clicked, box, std::move(act));
    box->open();
    return box;
}

} // namespace Question
