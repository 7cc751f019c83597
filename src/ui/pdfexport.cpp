#include "pdfexport.h"

#include "desktop.h"
#include "errors.h"
#include "model/namelimit.h"
#include "project/project.h"

#include <QWidget>

namespace PdfExport {

QString suggestedName(const QString &title)
{
    static const QString suffix = QStringLiteral(".pdf");
    QString name = QString(title).replace(QLatin1Char('/'), QLatin1Char('-')).trimmed();
    while (name.startsWith(QLatin1Char('.')))
        name = name.mid(1).trimmed();
    if (name.isEmpty())
        name = QStringLiteral("Book");
    // A title may run longer than a file name can: the name is cut as a
    // book's folder is, leaving room for the suffix.
    return NameLimit::cut(name, NameLimit::bytes - suffix.size()) + suffix;
}

QCoro::Task<void> run(std::shared_ptr<Project> project, QPointer<QWidget> parent, Wording wording)
{
    if (project->pdf().isEmpty())
        co_return;
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::Save;
    panel.title = wording == Wording::Export ? QStringLiteral("Export PDF") : QStringLiteral("Save PDF");
    panel.prompt = wording == Wording::Export ? QStringLiteral("Export") : QStringLiteral("Save");
    panel.directory = Desktop::documentsFolder();
    panel.suggestedName = suggestedName(project->book().front.title);
    panel.nameFilters = { QStringLiteral("PDF document (*.pdf)") };
    panel.defaultSuffix = QStringLiteral("pdf");
    const QStringList chosen = co_await Desktop::instance().choose(parent.data(), panel);
    if (chosen.isEmpty())
        co_return;
    try {
        project->exportPDF(chosen.first());
    } catch (const std::exception &e) {
        project->setError(Errors::sentence(e));
    }
}

} // namespace PdfExport
