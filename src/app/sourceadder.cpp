#include "sourceadder.h"

#include "backupsheet.h"
#include "model/chatfiles.h"
#include "model/helpers.h"
#include "model/library.h"
#include "pastesheet.h"
#include "ui/desktop.h"
#include "ui/errors.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

SourceAdder::SourceAdder(Library *library, QObject *parent)
    : QObject(parent)
    , m_library(library)
{ }

void SourceAdder::addBackup(QWidget *over)
{
    (new BackupSheet(m_library, over->window()))->present();
}

void SourceAdder::paste(QWidget *over)
{
    (new PasteSheet(m_library, over->window()))->present();
}

void SourceAdder::chooseFile(QWidget *over)
{
    chooseFileTask(over);
}

void SourceAdder::add(const QString &path, QWidget *over)
{
    addTask(path, over);
}

QCoro::Task<void> SourceAdder::chooseFileTask(QPointer<QWidget> over)
{
    QPointer<SourceAdder> self(this);
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::OpenFileOrFolder;
    panel.title = QStringLiteral("Add a Chat");
    panel.prompt = QStringLiteral("Add Chat");
    panel.message = QStringLiteral(
        "Choose a chat export, or the folder or zip it came in: WhatsApp, Telegram, Signal, Instagram, "
        "Messenger, Discord, Slack, Google Chat, Snapchat, LINE, KakaoTalk, Skype, an email archive, IRC "
        "logs, or an Android SMS backup.");
    panel.directory = QDir::homePath();
    panel.nameFilters = { QStringLiteral("Chat exports (%1)").arg(ChatFiles::panelTypes().join(u' ')) };
    const QStringList chosen = co_await Desktop::instance().choose(over ? over->window() : nullptr, panel);
    if (!self || chosen.isEmpty())
        co_return;
    add(chosen.first(), over);
}

QCoro::Task<void> SourceAdder::addTask(QString path, QPointer<QWidget> over)
{
    QPointer<SourceAdder> self(this);
    QPointer<Library> library = m_library;
    try {
        const Source source = co_await ChatFiles::add(path);
        if (!library)
            co_return;
        co_await library->add(source);
    } catch (...) {
        if (self)
            showFileError(Errors::sentence(std::current_exception()), over);
    }
}

void SourceAdder::showFileError(const QString &sentence, QWidget *over)
{
    emit fileFailed(sentence);
    // One alert at a time: a later failure replaces the sentence it shows.
    if (m_fileAlert) {
        m_fileAlert->setInformativeText(sentence);
        return;
    }
    m_fileAlert
        = Errors::alert(over ? over->window() : nullptr, QStringLiteral("That didn't open"), sentence);
}

QCoro::Task<void> SourceAdder::openMessagesFolder(QPointer<QWidget> over)
{
    const QString folder = QFileInfo(Helpers::database()).absolutePath();
    QDir().mkpath(folder);
    if (co_await Desktop::instance().openUrl(QUrl::fromLocalFile(folder)))
        co_return;
    Errors::alert(over ? over->window() : nullptr, QStringLiteral("That didn't open"),
        QStringLiteral("The file manager didn't open the Messages folder. It's at %1.").arg(folder));
}
