#pragma once

#include "wizardmodel.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class ProgressDots;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

// The screen that leads through the ten steps of making a book: the step's
// header and view in a scrolling column, and a footer with the progress
// strip and the way on. It keeps no state of its own: the step and every
// choice live in the model. finished() follows Make My Book and Make It
// for Me once the choices are in the book; cancelled() applies nothing.
class WizardView : public QWidget
{
    Q_OBJECT

public:
    enum class CanCancel { No, Yes };

    WizardView(WizardModel *model, CanCancel canCancel, QWidget *parent = nullptr);
    ~WizardView() override;

    // The heading and subheading of the current step; none when the step
    // has no subheading line at all.
    QString heading() const;
    std::optional<QString> subheading() const;
    // Moves by a signed number of steps; a move out of the ten is ignored.
    void go(int delta);

    WizardModel *model() const { return m_model; }
    // The view of the current step.
    QWidget *stepView() const { return m_stepView; }

signals:
    void finished();
    void cancelled();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QWidget *makeHeader();
    QWidget *makeStepView(WizardModel::Step step);
    QWidget *makeFooter();
    // Builds the current step's header and view afresh, so a step shown
    // again starts from its first state.
    void showStep();
    void refresh();
    void refreshHeader();
    void readStepBeforeFooter();
    // The button Return presses on this step.
    QPushButton *defaultButton() const;

    QPointer<WizardModel> m_model;
    const CanCancel m_canCancel;
    WizardModel::Step m_shown;
    bool m_loadStarted = false;

    QScrollArea *m_scroll;
    QVBoxLayout *m_column;
    QWidget *m_header = nullptr;
    QLabel *m_heading = nullptr;
    QLabel *m_subheading = nullptr;
    QWidget *m_stepView = nullptr;

    ProgressDots *m_dots;
    QPushButton *m_cancel;
    QPushButton *m_back;
    QPushButton *m_letMeChoose;
    QPushButton *m_makeItForMe;
    QPushButton *m_continue;
};
