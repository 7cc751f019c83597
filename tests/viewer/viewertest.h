#pragma once

// What the viewer's tests share: books opened as the app opens them, a
// window with the real toolbar to show the view in, the page text of a
// typeset PDF, and waits for real typesetting.
#include "project/projecttest.h"
#include "ui/clampedlabel.h"
#include "ui/windowtoolbar.h"
#include "uitestsupport.h"
#include "viewer/bookview.h"

#include <QMainWindow>
#include <QProcess>

inline void PrintTo(const Edits::DayRange &range, std::ostream *out)
{
    *out << "{" << range.from.value_or("open").toStdString() << ", "
         << range.to.value_or("open").toStdString() << "}";
}

namespace ViewerTest {

// Texts of the viewer's own clamped labels under root.
inline QStringList clampedTexts(QWidget *root)
{
    QStringList texts;
    for (const ClampedLabel *label : root->findChildren<ClampedLabel *>())
        texts << label->text();
    return texts;
}

// The sample conversation shipped with the sources: 2,004 messages.
inline BookFile sampleBook()
{
    return BookFile::fromJson(TestSupport::readFile(TestSupport::sourceDir() + "/samples/sample-book.json"));
}

inline std::shared_ptr<Project> open(const BookFile &book, const QString &key = QStringLiteral("k"))
{
    return std::shared_ptr<Project>(openExisting(book, key));
}

// Waits for the typesetting in flight (or about to start) to publish.
inline bool typeset(Project &project, int timeoutMs = 120000)
{
    const QString before = project.pdf();
    return TestSupport::waitUntil(
        [&] { return !project.isTypesetting() && project.pdf() != before && !project.pdf().isEmpty(); },
        timeoutMs);
}

// Waits until a run asked for now has come and gone.
inline bool settled(Project &project, int timeoutMs = 120000)
{
    if (!TestSupport::waitUntil([&] { return project.isTypesetting(); }, 5000))
        return !project.isTypesetting();
    return TestSupport::waitUntil([&] { return !project.isTypesetting(); }, timeoutMs);
}

// The text of one page of a PDF, by its index from 0.
inline QString pageText(const QString &pdf, int index)
{
    QProcess tool;
    const QString page = QString::number(index + 1);
    tool.start(QStringLiteral("pdftotext"), { "-f", page, "-l", page, "-layout", pdf, "-" });
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput()).simplified();
}

inline QString allText(const QString &pdf)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), { pdf, "-" });
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput()).simplified();
}

// The page number a page of a PDF shows at the outer corner of its head:
// the last word of its first line on a right-hand page, the first on a
// left-hand one. The index counts from 0, so even indices are right-hand.
inline QString folioOf(const QString &pdf, int index)
{
    QProcess tool;
    const QString page = QString::number(index + 1);
    tool.start(QStringLiteral("pdftotext"), { "-f", page, "-l", page, "-layout", pdf, "-" });
    tool.waitForFinished(60000);
    const QString text = QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    const QStringList head
        = text.section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (head.isEmpty())
        return {};
    return index % 2 == 0 ? head.last() : head.first();
}

inline QCoro::Task<Layout> answer(const Layout *layout)
{
    co_return *layout;
}

// typst runs that compile as the fake does and answer the layout query
// with the layout the test holds.
inline Project::Typesetter scripted(FakeTypst &typst, const Layout &layout)
{
    return { [&typst](QString input, QString style, QString out) { return typst.compile(input, style, out); },
        [&layout](QString, QString) { return answer(&layout); } };
}

// A book opened as the app opens it, typeset by runs the test drives with
// its clock.
class BookTest : public ::testing::Test
{
protected:
    void openBook(const BookFile &book)
    {
        project = open(book);
        project->setTypesetter(typst.typesetter());
    }
    const BookFile::Message &message(int i) const { return project->book().messages.at(i); }
    // The book as saved.
    BookFile saved() const
    {
        return BookFile::fromJson(TestSupport::readFile(project->folder() + QStringLiteral("/book.json")));
    }

    BooksFolder books;
    ManualClock clock;
    FakeTypst typst;
    std::shared_ptr<Project> project;
};

// A window as the app has it: the toolbar above, the view below.
struct Window
{
    QMainWindow window;
    WindowToolbar *toolbar = new WindowToolbar(&window);
    BookView *view;

    explicit Window(std::shared_ptr<Project> project, QSize size = QSize(1280, 820))
        : view(new BookView(std::move(project)))
    {
        window.addToolBar(toolbar);
        window.setCentralWidget(view);
        window.resize(size);
        window.show();
        QTest::qWait(1);
    }

    QAction *toolbarAction(const QString &text) const
    {
        for (QAction *action : toolbar->actions()) {
            if (action->text() == text && action->isVisible())
                return action;
        }
        return nullptr;
    }
};

} // namespace ViewerTest
