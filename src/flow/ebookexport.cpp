#include "ebookexport.h"

#include "project/project.h"
#include "ui/desktop.h"
#include "ui/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace EbookExport {

namespace {

// Application ids first, as another desktop may name them; then whatever
// opens EPUB files here.
QString readerFor(Destination destination)
{
    Desktop &desktop = Desktop::instance();
    if (destination == Destination::Kindle)
        return desktop.application(QStringLiteral("com.amazon.SendToKindle"));
    QString reader = desktop.application(QStringLiteral("com.apple.iBooksX"));
    if (reader.isEmpty())
        reader = desktop.applicationFor(QStringLiteral("application/epub+zip"));
    return reader;
}

QCoro::Task<void> saveCopy(std::shared_ptr<Project> project, QString epub, QPointer<QWidget> panelParent)
{
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::Save;
    panel.title = QStringLiteral("Save Ebook File");
    panel.suggestedName = QFileInfo(epub).fileName();
    panel.nameFilters = { QStringLiteral("EPUB ebook (*.epub)") };
    panel.defaultSuffix = QStringLiteral("epub");
    const QStringList chosen = co_await Desktop::instance().choose(panelParent.data(), panel);
    if (chosen.isEmpty())
        co_return;
    const QString target = chosen.first();
    QFile::remove(target);
    QFile source(epub);
    if (!source.copy(target))
        project->setError(
            QStringLiteral("The ebook can't be saved at %1: %2.").arg(target, source.errorString()));
}

} // namespace

QUrl kindlePage()
{
    return QUrl(QStringLiteral("https://www.amazon.com/sendtokindle"));
}

QString sentence(const Unopened &unopened, Address address)
{
    const QString where
        = address == Address::Offered ? QStringLiteral("this address") : unopened.page.toString();
    if (unopened.unshownEbook.isEmpty())
        return QStringLiteral(
            "Send to Kindle's page didn't open in your browser. Open %1 in a browser to send "
            "the ebook, which is shown in the file manager.")
            .arg(where);
    return QStringLiteral("Send to Kindle's page didn't open in your browser, nor the file manager. Open %1 "
                          "in a browser to send the ebook, which is at %2.")
        .arg(where, QDir::toNativeSeparators(unopened.unshownEbook));
}

QCoro::Task<std::optional<Unopened>> run(
    std::shared_ptr<Project> project, Destination destination, QPointer<QWidget> panelParent)
{
    QString epub;
    try {
        epub = co_await project->makeEbook();
    } catch (const std::exception &e) {
        project->setError(Errors::sentence(e));
        co_return std::nullopt;
    }
    Desktop &desktop = Desktop::instance();
    if (destination == Destination::File) {
        co_await saveCopy(project, epub, panelParent);
        co_return std::nullopt;
    }
    const QString reader = readerFor(destination);
    if (reader.isEmpty()) {
        // Not an error: the file is where the user can take it by hand, as
        // long as the file manager shows where that is.
        const bool shown = co_await desktop.reveal({ epub });
        if (destination == Destination::Kindle && !co_await desktop.openUrl(kindlePage()))
            co_return Unopened { kindlePage(), shown ? QString() : epub };
        if (!shown)
            project->setError(QStringLiteral("The file manager didn't open. The ebook is at %1.")
                                  .arg(QDir::toNativeSeparators(epub)));
        co_return std::nullopt;
    }
    if (!co_await desktop.openWith(reader, epub))
        project->setError(QStringLiteral("The ebook couldn't be opened with %1.")
                              .arg(QFileInfo(reader).completeBaseName()));
    co_return std::nullopt;
}

} // namespace EbookExport
