#pragma once

// What the wizard's tests share: books made to measure, opened as real
// projects in a private books folder, and cover renders that count and
// hold instead of running typst.
#include "heldgates.h"
#include "project/projecttest.h"
#include "uitestsupport.h"
#include "wizard/wizardmodel.h"
#include "wizard/wizardview.h"

#include <QDate>
#include <QTimer>
#include <memory>

namespace WizardTest {

inline BookFile::Person person(const QString &id, const QString &name, bool me)
{
    return { id, name, me };
}

inline BookFile::Message message(
    const QString &id, const QString &at, const QString &from, const QString &text)
{
    BookFile::Message m;
    m.id = id;
    m.at = at;
    m.from = from;
    m.text = text;
    return m;
}

// Pat (the user) and Sam, perDay messages a day for days days from first,
// taking turns, each of words words; ids "d<day>-<n>".
inline BookFile spreadBook(const QDate &first, int days, int perDay = 2, int words = 6)
{
    BookFile book;
    book.format = 1;
    book.style = QStringLiteral("novel");
    book.front.title = QStringLiteral("You & Sam");
    book.people = { person(QStringLiteral("me"), QStringLiteral("Pat"), true),
        person(QStringLiteral("them"), QStringLiteral("Sam"), false) };
    const QStringList vocabulary { QStringLiteral("coffee"), QStringLiteral("tonight"),
        QStringLiteral("garden"), QStringLiteral("train"), QStringLiteral("really"),
        QStringLiteral("weekend") };
    for (int d = 0; d < days; ++d) {
        const QString day = first.addDays(d).toString(Qt::ISODate);
        for (int n = 0; n < perDay; ++n) {
            QStringList text;
            for (int w = 0; w < words; ++w)
                text << vocabulary[(d + n + w) % vocabulary.size()];
            const QString at = day + QStringLiteral("T%1:00:00").arg(9 + n % 12, 2, 10, QLatin1Char('0'));
            book.messages.append(message(QStringLiteral("d%1-%2").arg(d).arg(n), at,
                n % 2 ? QStringLiteral("them") : QStringLiteral("me"), text.join(QLatin1Char(' '))));
        }
    }
    return book;
}

// Hand-made insights: one entry per day of lines printed lines.
inline Insights daysOf(const QDate &first, int days, int lines, int count = 10)
{
    Insights insights;
    insights.them = QStringLiteral("Sam");
    for (int d = 0; d < days; ++d)
        insights.days.append({ first.addDays(d).toString(Qt::ISODate), count, lines });
    for (const Insights::DayCount &day : insights.days)
        insights.total += day.count;
    return insights;
}

// Cover renders that write nothing: each is counted, and while hold is set
// waits until released (renders counted from 0 in start order, a cover's
// two pictures being one render).
struct FakeRenders
{
    int fronts = 0;
    int previews = 0;
    int galleries = 0;
    bool hold = false;
    bool fail = false;

    void release(int render) { gates.release(render); }

    QCoro::Task<void> gate()
    {
        if (hold)
            co_await gates.wait();
    }

    WizardModel::Renderer renderer()
    {
        WizardModel::Renderer r;
        // One render draws both pictures; each kind is counted.
        r.cover = [this](BookFile book, int pages, int ppi, QString) -> QCoro::Task<Helpers::CoverPictures> {
            const int n = previews++;
            ++fronts;
            co_await gate();
            if (fail)
                throw Helpers::Failure(QStringLiteral("typst"), 1, QStringLiteral("no"));
            co_return Helpers::CoverPictures {
                QStringLiteral("preview-%1-%2.png").arg(n).arg(book.front.title),
                QStringLiteral("front-%1-%2-%3.png").arg(n).arg(pages).arg(ppi)
            };
        };
        r.gallery = [this](BookFile book, QString) -> QCoro::Task<QMap<QString, QString>> {
            const int n = galleries++;
            co_await gate();
            co_return QMap<QString, QString> { { QStringLiteral("cloth"),
                QStringLiteral("cloth-%1-%2.png").arg(n).arg(book.front.title) } };
        };
        return r;
    }

    HeldGates gates;
};

// A real project over a book, in a books folder of its own, with
// typesetting held back by a clock that never moves unless told.
class Book
{
public:
    // Typesetting, should the clock reach it, runs a stand-in of typst.
    explicit Book(const BookFile &book)
        : project(openExisting(book))
    {
        project->setTypesetter(typst.typesetter());
    }

    ManualClock clock;
    BooksFolder folder;
    FakeTypst typst;
    std::shared_ptr<Project> project;

    BookFile saved() const
    {
        return BookFile::fromJson(TestSupport::readFile(project->folder() + QStringLiteral("/book.json")));
    }
};

// Points the price list at a port nothing listens on: prices fail at once.
inline void noService()
{
    Pricing::setEndpoint(QUrl(QStringLiteral("http://127.0.0.1:9/api/pricing")));
}

// The wizard on screen over a real book: open() shows it and waits for
// the insights its loading reads.
class Screen
{
public:
    explicit Screen(const BookFile &file, WizardView::CanCancel canCancel = WizardView::CanCancel::No)
        : book(file)
        , model(book.project, WizardModel::Resuming::No)
        , view(&model, canCancel)
    {
        view.resize(980, 780);
    }

    void open()
    {
        view.show();
        EXPECT_TRUE(TestSupport::waitUntil([&] { return model.insights().has_value(); }));
        QCoreApplication::processEvents();
    }

    // Runs the found step's reveal to its end.
    void reveal()
    {
        for (int i = 0; i < 1000 && !model.isFoundReady(); ++i) {
            book.clock.advance(std::chrono::milliseconds(30));
            QCoreApplication::processEvents();
        }
    }

    // Lets a step change's slide end.
    void settle()
    {
        EXPECT_TRUE(TestSupport::waitUntil(
            [&] { return !view.findChild<QWidget *>(QStringLiteral("stepTransition")); }));
        QCoreApplication::processEvents();
    }

    template<typename T> T *find(const QString &text) const
    {
        return qobject_cast<T *>(TestSupport::findText(view.stepView(), text));
    }

    Book book;
    WizardModel model;
    WizardView view;
};

} // namespace WizardTest
