#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QMenu;
class QToolButton;
class WizardModel;

// The top of the cover step: the book's title, in the book's display face,
// with a menu of title ideas from the conversation, and the line printed
// under it. Both write into the model on every keystroke; the model's
// changes come back into a field only when they differ from what it
// holds, so typing is never disturbed.
class CoverTitleFields : public QWidget
{
    Q_OBJECT

public:
    explicit CoverTitleFields(WizardModel *model, QWidget *parent = nullptr);

    // Up to four titles made of the conversation: the two names, the latest
    // night (2:14 AM when there is none, or before the insights are read),
    // the emoji used most, the line under the title.
    static QStringList titleIdeas(const WizardModel &model);

    QLineEdit *titleField() const { return m_title; }
    QLineEdit *colophonField() const { return m_colophon; }
    QToolButton *ideasButton() const { return m_ideas; }

private:
    void refresh();
    void fillIdeas();

    QPointer<WizardModel> m_model;
    QLineEdit *m_title;
    QLineEdit *m_colophon;
    QToolButton *m_ideas;
    QMenu *m_ideasMenu;
};
