#include "heicwriter.h"
#include "model/bookfile.h"
#include "model/defaults.h"
#include "service/coverart.h"
#include "standin.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QThread>
#include <gtest/gtest.h>
#include <thread>

namespace {

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A one-pixel GIF: Qt reads GIF but doesn't write it.
const QByteArray gifBytes(
    "GIF89a\x01\0\x01\0\x80\0\0\xff\xff\xff\0\0\0!\xf9\x04\x01\0\0\0\0,\0\0\0\0\x01\0\x01\0\0\x02\x02"
    "D\x01\0;",
    43);

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

class CoverArtTest : public StandInTest
{
protected:
    QString book() const { return m_book.path(); }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_files.filePath(name);
        TestSupport::writeFile(path, bytes);
        return path;
    }

    QString generate(QStringList references = {})
    {
        return TestSupport::await(CoverArt::generate(
            QStringLiteral("Two cups on a sill"), QStringLiteral("watercolour"), references, book()));
    }

    std::optional<QString> failureOfGenerate()
    {
        return TestSupport::failureOf(
            CoverArt::generate(QStringLiteral("Two cups"), QStringLiteral("watercolour"), {}, book()));
    }

    QStringList art() const { return QDir(book()).entryList({ QStringLiteral("cover-art-*") }, QDir::Files); }

private:
    QTemporaryDir m_book;
    QTemporaryDir m_files;
};

const QString paint = QStringLiteral("/api/covers/generate$");

} // namespace

TEST(CoverArtInstall, IsMadeOnceAndThenReadAsStored)
{
    Defaults::standard().remove(QStringLiteral("install"));
    const QString made = CoverArt::install();
    EXPECT_EQ(made.size(), 36);
    EXPECT_EQ(made, made.toUpper());
    EXPECT_EQ(CoverArt::install(), made);
    EXPECT_EQ(Defaults::standard().string(QStringLiteral("install")), made);

    Defaults::standard().setString(QStringLiteral("install"), QStringLiteral("not-a-uuid"));
    EXPECT_EQ(CoverArt::install(), QStringLiteral("not-a-uuid"));
}

// Two first readers at once used to make two identifiers, and the one
// stored last won: requests already sent named an install that vanished.
TEST(CoverArtInstall, TwoThreadsAskingFirstGetTheSameIdentifier)
{
    for (int round = 0; round < 20; ++round) {
        Defaults::standard().remove(QStringLiteral("install"));
        QList<QString> seen(8);
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&seen, i] { seen[i] = CoverArt::install(); });
        for (std::thread &thread : threads)
            thread.join();
        for (const QString &value : seen)
            ASSERT_EQ(value, Defaults::standard().string(QStringLiteral("install")));
    }
}

TEST_F(CoverArtTest, AskToPaintWithKeysInOrderAndOnlyUsableReferences)
{
    const QString photo = file(QStringLiteral("photo.png"), encoded(picture(40, 20), "PNG"));
    const QString notes = file(QStringLiteral("notes.png"), "not a picture");
    generate({ notes, photo });
    const QJsonObject sent = service.requests(paint).first();
    EXPECT_EQ(StandIn::header(sent, QStringLiteral("content-type")), QStringLiteral("application/json"));
    const QByteArray body = StandIn::body(sent);
    const QByteArray image = CoverArt::downsized(photo, 1024)->toBase64().replace("/", "\\/");
    EXPECT_EQ(body,
        R"({"prompt":"Two cups on a sill","style":"watercolour","install":")" + CoverArt::install().toUtf8()
            + R"(","images":[")" + image + R"("]})");
}

TEST_F(CoverArtTest, APaintingIsStoredUnderItsRealFormat)
{
    const QString painted = generate();
    EXPECT_TRUE(painted.startsWith(book() + QStringLiteral("/cover-art-")));
    EXPECT_TRUE(painted.endsWith(QLatin1String(".png")));
    EXPECT_EQ(QImageReader(painted).format(), QByteArray("png"));

    // The header said PNG, the bytes are a JPEG: the bytes decide.
    service.answer(paint, 200, encoded(picture(30, 30), "JPEG"), QStringLiteral("image/png"));
    EXPECT_TRUE(generate().endsWith(QLatin1String(".jpg")));
    service.reset();
    service.answer(paint, 200, encoded(picture(30, 30), "PNG"), QStringLiteral("image/png; charset=binary"));
    EXPECT_TRUE(generate().endsWith(QLatin1String(".png")));
}

// A status-200 reply that is no picture was stored as a cover and then
// showed nothing: it is refused, and no file is left.
TEST_F(CoverArtTest, OnlyAPictureThatDecodesCounts)
{
    const QString didNotComeOut = QStringLiteral("The picture didn't come out. Try again in a moment.");
    service.answer(paint, 200, "<html>busy</html>", QStringLiteral("image/png"));
    EXPECT_EQ(failureOfGenerate(), didNotComeOut);
    service.reset();
    service.answer(paint, 201, encoded(picture(30, 30), "PNG"), QStringLiteral("image/png"));
    EXPECT_EQ(failureOfGenerate(), didNotComeOut);
    service.reset();
    service.answer(paint, 429, R"({"error":"Too many paintings today."})");
    EXPECT_EQ(failureOfGenerate(), QStringLiteral("Too many paintings today."));
    EXPECT_TRUE(art().isEmpty());
}

TEST_F(CoverArtTest, SmallerVersionsNeverGrow)
{
    const auto sizeOf = [](const QByteArray &jpeg) { return QImage::fromData(jpeg, "JPEG").size(); };
    EXPECT_EQ(sizeOf(*CoverArt::downsized(
                  file(QStringLiteral("small.png"), encoded(picture(500, 300), "PNG")), 1024)),
        QSize(500, 300));
    EXPECT_EQ(sizeOf(*CoverArt::downsized(
                  file(QStringLiteral("big.png"), encoded(picture(4000, 3000), "PNG")), 1024)),
        QSize(1024, 768));
    EXPECT_FALSE(CoverArt::downsized(file(QStringLiteral("text.png"), "hello"), 1024));
}

TEST_F(CoverArtTest, BringingATextFileFailsAndWritesNothing)
{
    EXPECT_EQ(TestSupport::failureOf([&]() -> QCoro::Task<void> {
        CoverArt::bring(file(QStringLiteral("notes.txt"), "hello"), book());
        co_return;
    }()),
        QStringLiteral("That file isn't a picture Quorvel can use. Try a JPEG, PNG or HEIC."));
    EXPECT_TRUE(QDir(book()).entryList(QDir::Files).isEmpty());
    const QString copy
        = CoverArt::bring(file(QStringLiteral("photo.png"), encoded(picture(20, 20), "PNG")), book());
    EXPECT_TRUE(QFileInfo(copy).fileName().startsWith(QLatin1String("cover-photo-")));
    EXPECT_EQ(QImageReader(copy).format(), QByteArray("jpeg"));
}

TEST_F(CoverArtTest, OffersOwnPicturesThenTheLatest60BookPhotos)
{
    const QString mine = CoverArt::mine(book());
    TestSupport::writeFile(mine + QStringLiteral("/old.gif"), gifBytes);
    QThread::msleep(20);
    TestSupport::writeFile(mine + QStringLiteral("/.new.jpg"), encoded(picture(4, 4), "JPEG"));
    QTemporaryDir source;
    BookFile book;
    for (int i = 0; i < 100; ++i) {
        const QString jpeg = source.filePath(QStringLiteral("%1.JPG").arg(i));
        const QString gif = source.filePath(QStringLiteral("%1.gif").arg(i));
        TestSupport::writeFile(jpeg, encoded(picture(4, 4), "JPEG"));
        TestSupport::writeFile(gif, gifBytes);
        BookFile::Message message;
        message.photos = QStringList { jpeg, gif };
        book.messages.append(message);
    }
    const QStringList offered = CoverArt::photos(book, this->book());
    ASSERT_EQ(offered.size(), 62);
    EXPECT_EQ(offered.at(0), mine + QStringLiteral("/.new.jpg"));
    EXPECT_EQ(offered.at(1), mine + QStringLiteral("/old.gif"));
    EXPECT_EQ(offered.at(2), source.filePath(QStringLiteral("99.JPG")));
    EXPECT_EQ(offered.last(), source.filePath(QStringLiteral("40.JPG")));
}

// The strip offered whatever lay in "my-photos" and every photo the
// conversation named: folders and notes as empty squares, and photos of a
// forgotten source that were gone. A phone's HEIC photos are offered.
TEST_F(CoverArtTest, OffersOnlyPicturesThatCanBeShownAndPlaced)
{
    const QString mine = CoverArt::mine(book());
    QDir().mkpath(mine + QStringLiteral("/folder.jpg"));
    TestSupport::writeFile(mine + QStringLiteral("/notes.txt"), "not a picture");
    TestSupport::writeFile(mine + QStringLiteral("/half.jpg"), "\xff\xd8");
    const QString own = mine + QStringLiteral("/kept.heic");
    ASSERT_TRUE(TestSupport::writeHeic(own, picture(8, 8)));
    const QString kept = file(QStringLiteral("kept.png"), encoded(picture(4, 4), "PNG"));
    const QString heic = file(QStringLiteral("IMG_0001.HEIC"), QByteArray());
    ASSERT_TRUE(TestSupport::writeHeic(heic, picture(8, 8)));
    BookFile book;
    BookFile::Message message;
    message.photos = QStringList { kept, heic, QStringLiteral("/gone/IMG_0002.jpg") };
    book.messages.append(message);
    EXPECT_EQ(CoverArt::photos(book, this->book()), QStringList({ own, kept, heic }));
}

// What an iPhone takes: a HEIC, stored sideways with the turn to make in
// the file. Its copy is a JPEG typst can place, upright as it was taken.
TEST_F(CoverArtTest, AHeicIsBroughtInAsAnUprightJpeg)
{
    QImage taken(64, 32, QImage::Format_RGB32);
    taken.fill(QColor(20, 90, 200));
    const QString heic = file(QStringLiteral("IMG_0003.HEIC"), QByteArray());
    ASSERT_TRUE(TestSupport::writeHeic(heic, taken, heif_orientation_rotate_90_cw));

    const QString copy = CoverArt::bring(heic, CoverArt::mine(book()));
    EXPECT_TRUE(copy.endsWith(QStringLiteral(".jpg")));
    QImageReader reader(copy);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    const QImage brought = reader.read();
    EXPECT_EQ(brought.size(), QSize(32, 64));
    const QColor middle = brought.pixelColor(16, 32);
    EXPECT_NEAR(middle.blue(), 200, 24);
    EXPECT_NEAR(middle.red(), 20, 24);

    const std::optional<QByteArray> small = CoverArt::downsized(heic, 16);
    ASSERT_TRUE(small);
    EXPECT_EQ(QImage::fromData(*small, "JPEG").size(), QSize(8, 16));

    // A HEIC given a JPEG's name on its way off the phone is read as what
    // it is.
    const QString named = file(QStringLiteral("IMG_0004.jpg"), QByteArray());
    ASSERT_TRUE(TestSupport::writeHeic(named, taken));
    EXPECT_EQ(QImage(CoverArt::bring(named, CoverArt::mine(book()))).size(), QSize(64, 32));
}

TEST_F(CoverArtTest, ABrokenHeicIsRefusedAndNothingIsWritten)
{
    const auto refusal = [&](const QString &path) {
        return TestSupport::failureOf([&]() -> QCoro::Task<void> {
            CoverArt::bring(path, book());
            co_return;
        }());
    };
    const QString expected
        = QStringLiteral("That file isn't a picture Quorvel can use. Try a JPEG, PNG or HEIC.");
    EXPECT_EQ(refusal(file(QStringLiteral("IMG_1.heic"), "whatever")), expected);
    // The first box of a HEIC, and then nothing of a picture.
    EXPECT_EQ(refusal(file(QStringLiteral("IMG_2.HEIC"),
                  QByteArray("\0\0\0\x18"
                             "ftypheic"
                             "\0\0\0\0mif1heic",
                      24))),
        expected);
    // Half of a real one, as a copy cut short leaves it.
    const QString whole = file(QStringLiteral("IMG_3.heic"), QByteArray());
    ASSERT_TRUE(TestSupport::writeHeic(whole, picture(64, 64)));
    const QByteArray bytes = TestSupport::readFile(whole);
    EXPECT_EQ(refusal(file(QStringLiteral("IMG_4.heic"), bytes.left(bytes.size() / 2))), expected);
    EXPECT_FALSE(CoverArt::downsized(file(QStringLiteral("IMG_5.heic"), bytes.left(bytes.size() / 2)), 64));
    EXPECT_TRUE(QDir(book()).entryList(QDir::Files).isEmpty());
}

// Painting from photos sends them along: only where nobody can read them
// on the way, as orders go.
TEST(CoverArtSecurity, PhotosAreSentOnlyToASecureAddress)
{
    QTemporaryDir folder;
    const QString photo = folder.filePath(QStringLiteral("photo.png"));
    TestSupport::writeFile(photo, encoded(picture(40, 20), "PNG"));
    // Nothing listens there: a refusal must come before any connection.
    Pricing::setEndpoint(QUrl(QStringLiteral("http://books.example.invalid/api/pricing")));
    EXPECT_EQ(TestSupport::failureOf(CoverArt::generate(
                  QStringLiteral("Two cups"), QStringLiteral("watercolour"), { photo }, folder.path())),
        QStringLiteral("Your photos weren't sent: the service's address isn't secure."));
    EXPECT_TRUE(QDir(folder.path()).entryList({ QStringLiteral("cover-art-*") }, QDir::Files).isEmpty());
}

TEST_F(CoverArtTest, PhotosGoToTheStandInOnThisComputer)
{
    const QString photo = file(QStringLiteral("photo.png"), encoded(picture(40, 20), "PNG"));
    EXPECT_TRUE(QFileInfo::exists(generate({ photo })));
    EXPECT_EQ(service.requests(paint).size(), 1);
}
