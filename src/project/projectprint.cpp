// Print files: the book cut into volumes at day boundaries, each volume's
// interior and cover typeset into the "print" folder, and the covers set
// again once the printer has named its spine and wrap widths.
#include "bookhome.h"
#include "fileerror.h"
#include "model/helpers.h"
#include "project.h"

#include <QDir>
#include <QPdfDocument>
#include <algorithm>
#include <cmath>

namespace {

// Printers bind sheets of two pages, and nothing thinner than this.
constexpr int leastPages = 32;
// A spine within this of the one the cover was drawn with needs no new cover.
constexpr double spineTolerance = 0.001;

// What every run of one book's print files shares, fixed when they start.
struct PrintJob
{
    QString book;
    QString style;
    QString folder;
    QString coverTemplate;
    Project::PrintRunner run;
};

PrintJob printJob(const Project &project, Project::PrintRunner runner)
{
    if (!runner)
        runner = [](QStringList arguments) -> QCoro::Task<void> {
            co_await Helpers::run(Helpers::typst(), arguments);
        };
    return { project.folder() + QStringLiteral("/book.json"), project.style(),
        project.folder() + QStringLiteral("/print"),
        Helpers::resources() + QStringLiteral("/templates/") + project.style() + QStringLiteral("/cover.typ"),
        std::move(runner) };
}

QStringList input(const QString &key, const QString &value)
{
    return { QStringLiteral("--input"), key + QLatin1Char('=') + value };
}

QStringList volumeInputs(const Project::PrintFile &file)
{
    return input(QStringLiteral("volume"), QString::number(file.volume))
        + input(QStringLiteral("volumes"), QString::number(file.volumes))
        + input(QStringLiteral("first-chapter"), QString::number(file.plan.firstChapter))
        + input(QStringLiteral("from"), file.plan.from) + input(QStringLiteral("to"), file.plan.to);
}

QString width(double inches)
{
    return QString::number(inches, 'f', 4);
}

// Pages of a PDF; 0 when it can't be read.
int pageCountOf(const QString &pdf)
{
    QPdfDocument document;
    if (document.load(pdf) != QPdfDocument::Error::None)
        return 0;
    return document.pageCount();
}

int paddedPageCount(int pages)
{
    return std::max(leastPages, pages + pages % 2);
}

QCoro::Task<void> typesetInterior(PrintJob job, Project::PrintFile file, int pad)
{
    QStringList arguments { QStringLiteral("compile") };
    arguments += Helpers::typstArguments(job.book, job.style);
    arguments += volumeInputs(file);
    if (pad > 0)
        arguments += input(QStringLiteral("pad"), QString::number(pad));
    arguments << Helpers::templateFile(job.style) << file.interior;
    co_await job.run(arguments);
}

int interiorPages(const Project::PrintFile &file)
{
    const int pages = pageCountOf(file.interior);
    // A printer can't be sent an interior we can't count: it would go out
    // unpadded, with a cover drawn for no pages.
    if (pages < 1)
        throw Helpers::Failure(Helpers::appName(), 0,
            QStringLiteral("The pages of volume %1 can't be read from %2.")
                .arg(file.volume)
                .arg(file.interior));
    return pages;
}

QCoro::Task<Project::PrintFile> makeVolume(PrintJob job, Project::PrintFile file)
{
    co_await typesetInterior(job, file, 0);
    int pages = interiorPages(file);
    const int pad = paddedPageCount(pages) - pages;
    if (pad > 0) {
        co_await typesetInterior(job, file, pad);
        pages = interiorPages(file);
    }
    file.pages = pages;

    QStringList arguments { QStringLiteral("compile") };
    arguments += Helpers::typstArguments(job.book, job.style);
    arguments += volumeInputs(file);
    if (pad > 0)
        arguments += input(QStringLiteral("pad"), QString::number(pad));
    arguments += input(QStringLiteral("pages"), QString::number(pages));
    arguments << job.coverTemplate << file.cover;
    co_await job.run(arguments);
    co_return file;
}

QCoro::Task<QList<Project::PrintFile>> makeVolumes(
    PrintJob job, QList<VolumePlan> plans, std::function<void(int, int)> progress)
{
    QList<Project::PrintFile> files;
    const int volumes = int(plans.size());
    for (int n = 1; n <= volumes; ++n) {
        if (progress)
            progress(n, volumes);
        Project::PrintFile file;
        file.interior = job.folder + QStringLiteral("/interior-%1.pdf").arg(n);
        file.cover = job.folder + QStringLiteral("/cover-%1.pdf").arg(n);
        file.plan = plans[n - 1];
        file.volume = n;
        file.volumes = volumes;
        files.append(co_await makeVolume(job, file));
    }
    co_return files;
}

QCoro::Task<void> respine(
    PrintJob job, QList<Project::PrintFile> records, QList<double> spines, QList<std::optional<double>> wraps)
{
    const qsizetype count = std::min(records.size(), spines.size());
    for (qsizetype i = 0; i < count; ++i) {
        const Project::PrintFile &file = records[i];
        const double spine = spines[i];
        const std::optional<double> wrap = wraps.value(i);
        if (std::abs(spine - BookHome::spineWidth(file.pages)) <= spineTolerance && !wrap)
            continue;
        QStringList arguments { QStringLiteral("compile") };
        arguments += Helpers::typstArguments(job.book, job.style);
        arguments += volumeInputs(file);
        arguments += input(QStringLiteral("pages"), QString::number(file.pages));
        arguments += input(QStringLiteral("spine"), width(spine));
        if (wrap)
            arguments += input(QStringLiteral("wrap"), width(*wrap));
        arguments << job.coverTemplate << file.cover;
        co_await job.run(arguments);
    }
}

} // namespace

void Project::setPrintRunner(PrintRunner runner)
{
    m_printRunner = std::move(runner);
}

QList<VolumePlan> Project::planVolumes(int limit) const
{
    QMap<QString, int> pinned;
    for (const Layout::PinResult &pin : m_layout.pins) {
        if (!pin.ok)
            continue;
        if (const std::optional<BookFile::Message> found = message(pin.id)) {
            int &page = pinned[found->day()];
            page = std::max(page, pin.page);
        }
    }
    return VolumePlan::plan(m_layout, from(), to(), limit, pinned);
}

QCoro::Task<QList<Project::PrintFile>> Project::preparePrintFiles(
    int limit, std::function<void(int, int)> progress)
{
    const QList<VolumePlan> plans = planVolumes(limit);
    PrintJob job = printJob(*this, m_printRunner);
    QDir(job.folder).removeRecursively();
    if (!QDir().mkpath(job.folder))
        throw FileError(QStringLiteral("The folder %1 can't be made.").arg(job.folder));
    // Nothing below touches the project: it may close while typst works.
    co_return co_await makeVolumes(std::move(job), plans, std::move(progress));
}

QCoro::Task<void> Project::respineCovers(
    QList<PrintFile> records, QList<double> spines, QList<std::optional<double>> wraps, int limit)
{
    Q_UNUSED(limit)
    PrintJob job = printJob(*this, m_printRunner);
    co_await respine(std::move(job), std::move(records), std::move(spines), std::move(wraps));
}
