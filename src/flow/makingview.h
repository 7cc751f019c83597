#pragma once

#include <QWidget>
#include <memory>
#include <optional>
#include <qcorotask.h>

class ErrorLabel;
class Project;
class QLabel;
class QPushButton;
class QStackedWidget;

// The screen between the wizard and the book's own page: four lines tick
// off while the book with the choices just applied is typeset and its cover
// drawn, then the book is handed over. Only a typesetting that ends after
// the screen appeared counts, so the pages of the book as it was before
// the wizard never stand in for the new ones; a typesetting that fails
// shows its sentence and a way back to the setup.
class MakingView : public QWidget
{
    Q_OBJECT

public:
    MakingView(std::shared_ptr<Project> project, QWidget *parent = nullptr);
    ~MakingView() override;

    // The new pages are typeset and nothing is being typeset.
    bool isReady() const;
    // The cover was tried and the title says the book is ready.
    bool isFinished() const { return m_finished; }
    // The cover preview drawn, when it came out.
    std::optional<QString> cover() const { return m_cover; }

signals:
    // Once, 0.7 s after the book is ready.
    void done();
    // The typesetting failed and the user goes back to the choices.
    void setupRequested();

private:
    struct Line
    {
        QStackedWidget *slot;
        QLabel *text;
    };

    Line addLine(class QVBoxLayout *lines);
    void setLine(const Line &line, const QString &text, bool done, bool failed = false);
    void refresh();
    void typesetEnded(bool published);
    QCoro::Task<void> finish();

    std::shared_ptr<Project> m_project;
    QLabel *m_title;
    QList<Line> m_lines;
    ErrorLabel *m_error;
    QPushButton *m_setup;

    // A typesetting that began after the screen appeared has published.
    bool m_fresh = false;
    std::optional<QString> m_failure;
    bool m_finishing = false;
    bool m_finished = false;
    std::optional<QString> m_cover;
};
