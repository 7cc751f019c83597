// The parts of the book's page: the cover with its shadow.
#include "flow/bookhomeparts.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

TEST(CoverPicture, ItsShadowFadesOutWithinTheWidget)
{
    TestSupport::inBothAppearances([](const QString &name) {
        QWidget window;
        window.setAutoFillBackground(true);
        auto *cover = new CoverPicture(&window);
        QImage front(500, 800, QImage::Format_RGB32);
        front.fill(QColor(120, 20, 30));
        cover->setPicture(front);
        cover->move(20, 20);
        window.resize(cover->sizeHint() + QSize(40, 40));
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab(cover->geometry()).toImage();
        const QColor ground = QApplication::palette().color(QPalette::Window);

        // The widget's own edge is the window's colour all round: a shadow
        // cut off by the widget would end there in a hard line.
        int edge = 0;
        for (int x = 0; x < image.width(); ++x)
            edge = std::max({ edge, TestSupport::colorDistance(image.pixelColor(x, 0), ground),
                TestSupport::colorDistance(image.pixelColor(x, image.height() - 1), ground) });
        for (int y = 0; y < image.height(); ++y)
            edge = std::max({ edge, TestSupport::colorDistance(image.pixelColor(0, y), ground),
                TestSupport::colorDistance(image.pixelColor(image.width() - 1, y), ground) });
        EXPECT_LE(edge, 3) << name.toStdString();

        // And there is a shadow: just under the picture it darkens the
        // window.
        const int below = CoverPicture::pictureTop + int(std::round(CoverPicture::width / (5.0 / 8.0))) + 4;
        const QColor under = image.pixelColor(image.width() / 2, below);
        EXPECT_LT(under.lightness() + 4, ground.lightness()) << name.toStdString();
    });
}
