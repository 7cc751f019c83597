// The typeset book against the wizard's page estimate, on small books of
// every common shape: the wizard prices and plans volumes on the estimate,
// so a template that drifts from it shows here. The bench measures the
// full-size books to a closer tolerance.
#include "bookshapes.h"
#include "model/helpers.h"
#include "testsupport.h"

#include <QPdfDocument>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

// Small books carry the front matter and the last page as a larger share
// than the full-size ones the bench holds to 10% each and 5% on average: a
// page more or less in a book of ten is already 10%.
constexpr double tolerance = 0.15;
constexpr double meanTolerance = 0.06;
const QStringList faces { QStringLiteral("pagella"), QStringLiteral("garamond"),
    QStringLiteral("libertinus") };

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

// Each shape in one of the faces in turn, all typeset side by side. Sparse
// chats, a message a day and middling messages used to print far more
// pages than the estimate said (a heading line a day and the name and time
// on the message's line went uncounted), and books with a chapter a year
// far fewer.
TEST(BookPagesTest, EveryShapeTypesetsCloseToItsEstimateInEachFace)
{
    QTemporaryDir dir;
    const QList<Bench::BookShape> shapes = Bench::bookShapes(Bench::ShapeSize::Small);
    std::vector<Typeset> runs;
    QList<int> estimates;
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        BookFile book = shapes[i].book;
        book.design->font = faces[i % faces.size()];
        const QString stem = dir.filePath(QString::number(i));
        TestSupport::writeFile(stem + QStringLiteral(".json"), book.toJsonBytes());
        runs.push_back({ stem + QStringLiteral(".json"), stem + QStringLiteral(".pdf"), std::nullopt });
        estimates.append(Bench::estimatedPages(book));
    }
    TestSupport::await(typesetAll(&runs));

    double deviations = 0;
    for (qsizetype i = 0; i < shapes.size(); ++i) {
        const QString what = shapes[i].name + QStringLiteral(" in ") + faces[i % faces.size()];
        ASSERT_FALSE(runs[i].failure) << what.toStdString() << ": " << runs[i].failure->toStdString();
        const int pages = pageCount(runs[i].pdf);
        ASSERT_GT(estimates[i], 0) << what.toStdString();
        EXPECT_NEAR(double(pages) / estimates[i], 1.0, tolerance)
            << what.toStdString() << ": " << pages << " pages typeset, " << estimates[i] << " estimated";
        deviations += std::abs(double(pages) / estimates[i] - 1.0);
    }
    EXPECT_LE(deviations / double(shapes.size()), meanTolerance);
}

} // namespace
