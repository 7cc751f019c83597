#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <qcorotask.h>

class Library;

class QWidget;

// The ways of adding messages that the sidebar and the access screen share:
// the iPhone backup sheet, a chat file or folder (from the file panel or a
// drop), the paste sheet, and the folder the Messages database is read from.
class SourceAdder : public QObject
{
    Q_OBJECT

public:
    SourceAdder(Library *library, QObject *parent = nullptr);

    // Each opens its sheet or panel over the window of over.
    void addBackup(QWidget *over);
    void paste(QWidget *over);
    void chooseFile(QWidget *over);
    // Starts adding one chat file, folder or zip. A failure shows "That
    // didn't open" over over's window; the library stays as it was.
    void add(const QString &path, QWidget *over);

    // The alert of the last chat file that didn't open, while it shows.
    QMessageBox *fileAlert() const { return m_fileAlert; }

    // Where the Messages database copied from a Mac is read: made when
    // missing, and shown in the file manager; when that doesn't open, an
    // alert over over's window says where the folder is.
    static QCoro::Task<void> openMessagesFolder(QPointer<QWidget> over);

signals:
    // A chat file didn't open; the sentence the alert shows.
    void fileFailed(const QString &sentence);

private:
    QCoro::Task<void> chooseFileTask(QPointer<QWidget> over);
    QCoro::Task<void> addTask(QString path, QPointer<QWidget> over);
    void showFileError(const QString &sentence, QWidget *over);

    QPointer<Library> m_library;
    QPointer<QMessageBox> m_fileAlert;
};
