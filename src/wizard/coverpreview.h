#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class WizardModel;

// The cover step's place in the wizard while it shows only what the
// chosen design looks like: the latest rendered spread of the cover.
class CoverPreview : public QWidget
{
    Q_OBJECT

public:
    explicit CoverPreview(WizardModel *model, QWidget *parent = nullptr);

private:
    void refresh();

    QPointer<WizardModel> m_model;
    QLabel *m_picture;
    QLabel *m_waiting;
    QString m_shown;
};
