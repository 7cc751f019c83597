// The sRGB colour spaces of a typst PDF said as the device's: the same
// pixels from poppler, other profiles kept, anything else left alone.
#include "model/helpers.h"
#include "model/pdfcolourspaces.h"
#include "testsupport.h"

#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PdfColourSpacesTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A page of a photo under text in colour, set by the real typst.
    QByteArray typeset(const QImage &photo)
    {
        EXPECT_TRUE(photo.save(path("photo.jpg"), "JPEG", 90));
        QFile source(path("page.typ"));
        EXPECT_TRUE(source.open(QIODevice::WriteOnly));
        source.write("#set page(width: 2in, height: 1.5in, margin: 0pt)\n"
                     "#place(image(\"photo.jpg\", width: 100%, height: 100%))\n"
                     "#text(size: 30pt, fill: rgb(\"#8a3324\"))[Sam & Alex]\n");
        source.close();
        TestSupport::await(Helpers::run(
            Helpers::typst(), { "compile", "--root", m_dir.path(), path("page.typ"), path("page.pdf") }));
        QFile pdf(path("page.pdf"));
        EXPECT_TRUE(pdf.open(QIODevice::ReadOnly));
        return pdf.readAll();
    }

    QImage drawn(const QByteArray &pdf)
    {
        QFile file(path("drawn.pdf"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
        file.close();
        QProcess poppler;
        poppler.start("pdftoppm", { "-q", "-r", "150", "-singlefile", path("drawn.pdf"), path("drawn") });
        EXPECT_TRUE(poppler.waitForFinished(30000));
        EXPECT_EQ(poppler.exitCode(), 0);
        return QImage(path("drawn.ppm")).convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir m_dir;
};

QImage photo()
{
    QImage image(600, 450, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 600, 450);
    sky.setColorAt(0, QColor(20, 90, 200));
    sky.setColorAt(0.5, QColor(250, 200, 30));
    sky.setColorAt(1, QColor(200, 30, 90));
    painter.fillRect(image.rect(), sky);
    painter.end();
    return image;
}

TEST_F(PdfColourSpacesTest, AnSRgbPhotoAndTextAreSaidAsTheDevicesAndDrawnToTheSamePixels)
{
    const QByteArray written = typeset(photo());
    ASSERT_TRUE(written.contains("/ICCBased"));
    const QByteArray device = PdfColourSpaces::sRgbAsDevice(written);
    EXPECT_EQ(device.size(), written.size());
    EXPECT_TRUE(device.contains("/DeviceRGB"));
    const QImage before = drawn(written);
    const QImage after = drawn(device);
    ASSERT_FALSE(before.isNull());
    EXPECT_TRUE(before == after);
}

// typst draws every picture in its own sRGB, but a profile written
// otherwise (here plainly, not deflated) is judged by what it says it is.
TEST_F(PdfColourSpacesTest, OnlyProfilesOfSRgbAreSaidAsTheDevices)
{
    const auto space = [](int number, const QColorSpace &colours) {
        const QByteArray profile = colours.iccProfile();
        return QByteArray::number(number) + " 0 obj\n[/ICCBased " + QByteArray::number(number + 1)
            + " 0 R]\nendobj\n\n" + QByteArray::number(number + 1) + " 0 obj\n<<\n  /Length "
            + QByteArray::number(profile.size()) + "\n  /N 3\n>>\nstream\n" + profile
            + "\nendstream\nendobj\n\n";
    };
    const QByteArray pdf = "%PDF-1.7\n" + space(3, QColorSpace(QColorSpace::DisplayP3))
        + space(5, QColorSpace(QColorSpace::SRgb)) + "trailer\n";
    const QByteArray device = PdfColourSpaces::sRgbAsDevice(pdf);
    EXPECT_EQ(device.size(), pdf.size());
    EXPECT_TRUE(device.contains("\n3 0 obj\n[/ICCBased 4 0 R]\nendobj"));
    EXPECT_TRUE(device.contains("\n5 0 obj\n/DeviceRGB       \nendobj"));
}

TEST_F(PdfColourSpacesTest, WhatIsntATypstPdfComesBackUnchanged)
{
    const QByteArray written = typeset(photo());
    const qsizetype space = written.indexOf("[/ICCBased");
    ASSERT_GT(space, 0);
    // Cut inside the profile's stream, cut before it, and not a PDF at all.
    const qsizetype stream = written.indexOf("stream\n", space);
    for (const QByteArray &bytes : { written.left(stream + 20), written.left(space + 30),
             QByteArray("\n3 0 obj\n[/ICCBased 4 0 R]\nendobj\n4 0 obj\n<< /Length 999999 >>\nstream\n"),
             QByteArray() })
        EXPECT_EQ(PdfColourSpaces::sRgbAsDevice(bytes), bytes);
}

} // namespace
