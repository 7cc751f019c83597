// Debounced, cached typesetting: a request waits out its delay, a run
// looks the saved book up in the cache, and on a miss runs typst twice side
// by side (the PDF and the layout). Only the newest run publishes.
#include "project.h"
#include "typesetcache.h"

#include <QFile>
#include <QPdfDocument>
#include <QPointer>

// What one run works on, fixed when it starts.
struct Project::Run
{
    qint64 generation = 0;
    QString folder;
    QString style;
    // The document both typst runs read.
    QString input;
    // A copy of the saved book made for this run, removed after it.
    QString snapshot;
    QString out;
    std::optional<QString> key;
};

namespace {

struct Outcome
{
    std::optional<Layout> layout;
    QString failure;
};

QString describe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Typesetting failed.");
    }
}

// Compile and layout side by side. A failed compile still waits for the
// layout's process, which can't be stopped, before it reports.
QCoro::Task<Outcome> compileAndLayout(
    Project::Typesetter typesetter, QString input, QString style, QString out)
{
    QCoro::Task<void> compile = typesetter.compile(input, style, out);
    QCoro::Task<Layout> layout = typesetter.layout(input, style);
    std::exception_ptr compileError;
    try {
        co_await std::move(compile);
    } catch (...) {
        compileError = std::current_exception();
    }
    if (compileError) {
        try {
            co_await std::move(layout);
        } catch (...) { }
        co_return Outcome { std::nullopt, describe(compileError) };
    }
    std::exception_ptr layoutError;
    try {
        co_return Outcome { co_await std::move(layout), {} };
    } catch (...) {
        layoutError = std::current_exception();
    }
    co_return Outcome { std::nullopt, describe(layoutError) };
}

int pageCountOf(const QString &pdf)
{
    QPdfDocument document;
    if (document.load(pdf) != QPdfDocument::Error::None)
        return 0;
    return document.pageCount();
}

} // namespace

void Project::setTypesetter(Typesetter typesetter)
{
    m_typesetter = std::move(typesetter);
}

void Project::typesetSoon(std::chrono::milliseconds delay)
{
    // Replacing the alarm cancels the request still waiting; a run already
    // under way goes on and is outdated by the next one.
    m_pending = Clock::current().after(delay, [this] { typeset(); });
}

std::optional<Project::Run> Project::prepareRun(qint64 generation)
{
    Run run { generation, m_folder, m_style, bookPath(), {}, {}, std::nullopt };
    QFile saved(bookPath());
    if (!saved.open(QIODevice::ReadOnly))
        return run;
    const QByteArray bytes = saved.readAll();
    const QString key = TypesetCache::keyOf(bytes, m_style);
    if (std::optional<TypesetCache::Entry> hit = TypesetCache::load(key, m_folder)) {
        publish(hit->pdf, hit->layout);
        return std::nullopt;
    }
    // Both typst runs read exactly the bytes the key was made from, so an
    // edit saved meanwhile can't be stored under this key.
    const QString snapshot = m_folder + QStringLiteral("/book-%1.json").arg(generation);
    QFile copy(snapshot);
    if (copy.open(QIODevice::WriteOnly | QIODevice::Truncate) && copy.write(bytes) == bytes.size()) {
        run.input = snapshot;
        run.snapshot = snapshot;
        run.key = key;
    } else {
        QFile::remove(snapshot);
    }
    return run;
}

QCoro::Task<void> Project::typeset()
{
    const qint64 generation = ++m_generation;
    std::optional<Run> run = prepareRun(generation);
    if (!run)
        co_return;
    run->out = run->folder + QStringLiteral("/book-%1.pdf").arg(generation);
    setTypesetting(true);

    QPointer<Project> self(this);
    const Outcome outcome = co_await compileAndLayout(m_typesetter, run->input, run->style, run->out);
    if (!run->snapshot.isEmpty())
        QFile::remove(run->snapshot);
    if (!self) {
        // The book was closed meanwhile: nothing will show this PDF.
        QFile::remove(run->out);
        co_return;
    }
    finishRun(*run, outcome.layout, outcome.failure);
}

void Project::finishRun(const Run &run, const std::optional<Layout> &layout, const QString &failure)
{
    const bool newest = m_generation == run.generation;
    // A deleted book shows nothing any more.
    const bool current = newest && !m_deleted;
    if (!layout) {
        // A failed run leaves no PDF behind, whatever it got to write.
        QFile::remove(run.out);
        if (current) {
            setError(failure);
            setTypesetting(false);
            emit typesetEnded(false);
            return;
        }
    } else if (!current) {
        QFile::remove(run.out);
    } else {
        Layout counted = *layout;
        // The layout query never knows the page count; the PDF does.
        counted.pageCount = pageCountOf(run.out);
        std::optional<QString> cached;
        if (run.key)
            cached = TypesetCache::store(*run.key, run.out, counted, run.folder);
        publish(cached.value_or(run.out), counted);
    }
    if (newest)
        setTypesetting(false);
}

void Project::publish(const QString &pdf, const Layout &layout)
{
    setPdf(pdf);
    setLayout(layout);
    // Typesetting does not clear a failed save: the book on disk is older
    // than the one on screen until a save succeeds.
    setError(m_saveError);
    setTypesetting(false);
    emit typesetEnded(true);
}
