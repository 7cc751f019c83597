#pragma once

#include "model/backupinfo.h"
#include "ui/sheet.h"

#include <QList>
#include <QPointer>
#include <optional>
#include <qcorotask.h>

class ErrorRow;
class Library;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// Adding an iPhone backup: the backups the message tool finds on this
// computer, or a backup folder dropped on the sheet or picked in a panel;
// the password of an encrypted one; then the backup read (or unlocked) by
// the tool, added to the library, and the sheet closed. A wrong password
// keeps the sheet on the backup with the tool's own sentence.
class BackupSheet : public Sheet
{
    Q_OBJECT

public:
    BackupSheet(Library *library, QWidget *parent);

    // Whether reading a backup can find anything in it.
    static bool hasContent(const BackupInfo &backup);

    std::optional<QList<BackupInfo>> found() const { return m_found; }
    bool hasLooked() const { return m_looked; }
    std::optional<BackupInfo> chosen() const { return m_chosen; }
    bool isWorking() const { return m_working; }
    QString error() const { return m_errorText; }

    // What the user can do on the sheet, as its buttons and zone do it.
    void choose(const BackupInfo &backup);
    void lookAt(const QString &folder);
    void chooseFolder();
    void back();

    QLineEdit *passwordField() const { return m_password; }
    QPushButton *primaryButton() const { return m_primary; }
    QPushButton *backButton() const { return m_back; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    enum class View { Loading, List, Steps, Chosen };

    QCoro::Task<void> listBackups();
    QCoro::Task<void> look(QString folder);
    QCoro::Task<void> chooseFolderTask();
    QCoro::Task<void> read(BackupInfo backup);
    void setError(const QString &error);
    void refresh();
    View view() const;
    void rebuild(View view);
    QWidget *chooseView(View view);
    QWidget *unlockView(const BackupInfo &backup);

    QPointer<Library> m_library;
    std::optional<QList<BackupInfo>> m_found;
    bool m_looked = false;
    bool m_listing = false;
    std::optional<BackupInfo> m_chosen;
    bool m_working = false;
    QString m_errorText;

    QVBoxLayout *m_content;
    QWidget *m_view = nullptr;
    std::optional<View> m_shown;
    ErrorRow *m_error;
    QLineEdit *m_password = nullptr;
    QWidget *m_workingRow = nullptr;
    QPushButton *m_back;
    QPushButton *m_primary;
};
