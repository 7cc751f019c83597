// The typeset book against the wizard's page estimate, on books of every
// common shape at a third and a tenth of the size people print: the wizard
// prices and plans volumes on the estimate, so a template that drifts from
// it shows here. The bench measures the full-size books in every face.
#include "bookshapes.h"
#include "model/helpers.h"
#include "model/layout.h"
#include "testsupport.h"

#include <QPdfDocument>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QStringList faces { QStringLiteral("pagella"), QStringLiteral("garamond"),
    QStringLiteral("libertinus") };

// How far one book and all of them on average may stray from the estimate.
struct Tolerance
{
    double shape = 0;
    double mean = 0;
    // The least a book may stray, in pages, however short it is.
    int pages = 0;
};

struct Typeset
{
    QString book;
    QString pdf;
    std::optional<QString> failure;
};

QCoro::Task<void> typeset(Typeset *run)
{
    try {
        co_await Helpers::typeset(run->book, QStringLiteral("novel"), run->pdf);
    } catch (const std::exception &e) {
        run->failure = QString::fromUtf8(e.what());
    }
}

QCoro::Task<void> typesetAll(std::vector<Typeset> *runs)
{
    std::vector<QCoro::Task<void>> started;
    for (Typeset &run : *runs)
        started.push_back(typeset(&run));
    for (QCoro::Task<void> &task : started)
        co_await task;
}

int pageCount(const QString &pdf)
{
    QPdfDocument document;
    return document.load(pdf) == QPdfDocument::Error::None ? document.pageCount() : 0;
}

// Each shape of that size in one of the faces in turn, starting with the
// given one, all typeset side by side.
void expectCloseToTheEstimate(Bench::ShapeSize size, qsizetype firstFace, Tolerance tolerance)
{
    QTemporaryDir dir;
    const QList<Bench::BookShape> shapes = Bench::bookShapes(size);
    std::vector<Typeset> runs;
    QList<int> estimates;
    QStringList what;
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        BookFile book = shapes[i].book;
        book.design->font = faces[(firstFace + i) % faces.size()];
        const QString stem = dir.filePath(QString::number(i));
        TestSupport::writeFile(stem + QStringLiteral(".json"), book.toJsonBytes());
        runs.push_back({ stem + QStringLiteral(".json"), stem + QStringLiteral(".pdf"), std::nullopt });
        estimates.append(Bench::estimatedPages(book));
        what.append(shapes[i].name + QStringLiteral(" in ") + book.design->font);
    }
    TestSupport::await(typesetAll(&runs));

    double deviations = 0;
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        ASSERT_FALSE(runs[i].failure) << what[i].toStdString() << ": " << runs[i].failure->toStdString();
        const int pages = pageCount(runs[i].pdf);
        ASSERT_GT(estimates[i], 0) << what[i].toStdString();
        EXPECT_NEAR(pages, estimates[i], std::max(double(tolerance.pages), tolerance.shape * estimates[i]))
            << what[i].toStdString() << ": " << pages << " pages typeset, " << estimates[i] << " estimated";
        deviations += std::abs(double(pages) / estimates[i] - 1.0);
    }
    EXPECT_LE(deviations / double(shapes.size()), tolerance.mean);
}

// Sparse chats, a message a day and middling messages used to print far
// more pages than the estimate said (a heading line a day and the name and
// time on the message's line went uncounted), and books with a chapter a
// year far fewer. At a third of the size people print, those misses come
// to between a seventh and a third of the book, well past a tenth.
TEST(BookPagesTest, EveryShapeAtAThirdTypesetsWithinATenthOfItsEstimate)
{
    expectCloseToTheEstimate(Bench::ShapeSize::Third, 1, { 0.10, 0.05, 1 });
}

// Small books carry the front matter and the last page as a larger share:
// a page more or less in a book of ten is already 10%.
TEST(BookPagesTest, SmallBooksOfEveryShapeTypesetCloseToTheirEstimate)
{
    expectCloseToTheEstimate(Bench::ShapeSize::Tenth, 0, { 0.15, 0.06, 1 });
}

// A book in two chapters of the user's own was estimated as if it had a
// chapter a month: the sample in two chapters of its own was estimated at
// 81 pages and typeset to 76.
TEST(BookPagesTest, ABookInChaptersOfTheUsersOwnTypesetsCloseToItsEstimate)
{
    QTemporaryDir dir;
    const Bench::BookShape shape = Bench::ownChapters(Bench::bookShapes(Bench::ShapeSize::Third).first());
    const int estimate = Bench::estimatedPages(shape.book);
    const QString path = dir.filePath(QStringLiteral("own.json"));
    TestSupport::writeFile(path, shape.book.toJsonBytes());
    std::vector<Typeset> runs { { path, dir.filePath(QStringLiteral("own.pdf")), std::nullopt } };
    TestSupport::await(typesetAll(&runs));
    ASSERT_FALSE(runs[0].failure) << runs[0].failure->toStdString();
    const int pages = pageCount(runs[0].pdf);
    EXPECT_NEAR(pages, estimate, std::max(1.0, 0.05 * estimate))
        << pages << " pages typeset, " << estimate << " estimated";
}

// A pin puts blank pages before its message until it starts the page
// asked for. The estimate used to leave them out: one message pinned 30
// pages after where it falls took a book of 97 pages to 126 while the
// estimate still said 98. A pin to a page before the message's own adds
// nothing, and the page the estimate says the message lands on is where
// the typeset book says it falls without its pin.
TEST(BookPagesTest, APinnedBookTypesetsCloseToItsEstimate)
{
    QTemporaryDir dir;
    const Bench::BookShape shape = Bench::bookShapes(Bench::ShapeSize::Third).first();
    BookFile book = Bench::pinnedLater(shape, 30).book;
    ASSERT_TRUE(book.edits.pins);
    const int natural = book.edits.pins->first().page - 30;
    book.edits.pins->append({ book.messages.last().id, 2 });
    const int unpinned = Bench::estimatedPages(shape.book);
    const int estimate = Bench::estimatedPages(book);
    EXPECT_GE(estimate, unpinned + 28);

    const QString path = dir.filePath(QStringLiteral("pinned.json"));
    TestSupport::writeFile(path, book.toJsonBytes());
    std::vector<Typeset> runs { { path, dir.filePath(QStringLiteral("pinned.pdf")), std::nullopt } };
    TestSupport::await(typesetAll(&runs));
    ASSERT_FALSE(runs[0].failure) << runs[0].failure->toStdString();
    const int pages = pageCount(runs[0].pdf);
    EXPECT_NEAR(pages, estimate, 0.1 * estimate) << pages << " pages typeset, " << estimate << " estimated";

    const Layout layout = TestSupport::await(Helpers::layout(path, QStringLiteral("novel")));
    ASSERT_EQ(layout.pins.size(), 2);
    EXPECT_TRUE(layout.pins[0].ok);
    EXPECT_EQ(layout.pins[0].page, natural + 30);
    EXPECT_NEAR(layout.pins[0].natural, natural, 2);
    EXPECT_FALSE(layout.pins[1].ok);
}

} // namespace
