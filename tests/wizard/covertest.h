#pragma once

// What the cover step's tests share: the sample conversation as a book on
// the cover step, pictures made to measure, and waiting for real renders.
#include "wizard/coverpaint.h"
#include "wizard/coverstep.h"
#include "wizardtest.h"

#include <QBuffer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace CoverTest {

inline BookFile sampleBook()
{
    return BookFile::fromJson(
        TestSupport::readFile(TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json")));
}

// A picture worth looking at: a sky over a hill, in the colours given.
inline QByteArray picture(
    const QColor &sky, const QColor &hill, int width = 800, int height = 600, const char *format = "JPEG")
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, sky.lighter(130));
    gradient.setColorAt(1, sky);
    painter.fillRect(image.rect(), gradient);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 240, 200));
    painter.drawEllipse(QPointF(width * 0.7, height * 0.35), width * 0.08, width * 0.08);
    painter.setBrush(hill);
    painter.drawEllipse(QPointF(width * 0.3, height * 1.1), width * 0.8, height * 0.5);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The book on the cover step, its model loaded against the service the
// test points at, with the cover and the gallery rendered by typst.
class Step
{
public:
    explicit Step(const BookFile &file)
        : book(file)
        , model(book.project, WizardModel::Resuming::No)
    {
        model.setStep(WizardModel::Step::Cover);
    }

    void load()
    {
        TestSupport::await(model.load());
        EXPECT_TRUE(TestSupport::waitUntil([&] { return settled(); }, 60000));
    }

    // No render under way, and the pictures there.
    bool settled() const
    {
        return !model.isRenderingCover() && !model.isRenderingGallery() && model.coverFront()
            && model.gallery().size() == 10;
    }

    // Waits for the cover to be drawn anew after a change.
    bool redrawn(const std::optional<QString> &before)
    {
        return TestSupport::waitUntil(
            [&] { return model.coverFront() != before && !model.isRenderingCover(); }, 60000);
    }

    WizardTest::Book book;
    WizardModel model;
};

} // namespace CoverTest
