#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <qcorotask.h>

class QWidget;

// Everything the screens ask of the desktop around the app: the browser,
// other applications, the file manager, the clipboard and file panels. One
// instance serves the process; tests put a recording one in its place, so
// no screen ever calls QDesktopServices, QFileDialog or QClipboard itself.
class Desktop
{
public:
    // What a file panel asks for.
    struct Panel
    {
        enum class Mode { OpenFiles, OpenFileOrFolder, OpenFolder, Save };
        Mode mode = Mode::OpenFiles;
        QString title;
        // The confirming button's text ("Add Chat", "Use Backup", "Save").
        QString prompt;
        // A line above the files, when there is something to explain.
        QString message;
        // Where it opens; empty = documentsFolder().
        QString directory;
        // Save panels: the file name offered.
        QString suggestedName;
        // "PDF (*.pdf)" and the like; empty = every file.
        QStringList nameFilters;
        // Save panels: appended when the name typed has no extension.
        QString defaultSuffix;
    };

    virtual ~Desktop();

    // The one in use: the real desktop unless a test replaced it.
    static Desktop &instance();
    // Replaces the instance (not owned); nullptr restores the real one.
    static void setInstance(Desktop *desktop);

    // Opens a web page or a file with its default application, and says
    // whether the desktop did: false when no browser or application is set
    // for it, or the desktop has no opener at all.
    virtual QCoro::Task<bool> openUrl(QUrl url);
    // The desktop entry of an application, by its id ("com.apple.iBooksX"
    // looks for "com.apple.iBooksX.desktop" where desktop entries live);
    // empty when there is none.
    virtual QString application(const QString &id);
    // The desktop entry of the application that opens files of a MIME type
    // ("application/epub+zip"): the user's default, else one that says it
    // handles them; empty when none does.
    virtual QString applicationFor(const QString &mimeType);
    // Opens file with the application of a desktop entry; false when it
    // can't be started.
    virtual QCoro::Task<bool> openWith(QString application, QString file);
    // Shows the files selected in the file manager, else opens their
    // folder; false when neither happened.
    virtual QCoro::Task<bool> reveal(QStringList files);
    virtual void copyText(const QString &text);
    // Puts the files on the clipboard as a file list (and as their paths).
    virtual void copyFiles(const QStringList &files);
    // Sharing on Linux: the files go on the clipboard and show in the file
    // manager, ready to be dropped into whatever they are shared with; false
    // when the file manager didn't show them.
    virtual QCoro::Task<bool> share(QStringList files);
    // A window-modal file panel over parent; the chosen paths, or an empty
    // list when it was cancelled.
    virtual QCoro::Task<QStringList> choose(QWidget *parent, Panel panel);

    // Where a panel opens unless told otherwise: the user's documents
    // folder, else home; never wherever the app happened to be started.
    static QString documentsFolder();
};
