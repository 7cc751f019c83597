// The ebook command of the staged executable, checked by epubcheck.
#include "testsupport.h"
#include "toolrunner.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <zip.h>

namespace {

// Entries of a zip archive, by name, in the archive's order.
struct Archive
{
    QStringList names;
    QHash<QString, QByteArray> entries;
    QHash<QString, zip_uint16_t> methods;
};

Archive readArchive(const QString &path)
{
    Archive archive;
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return archive;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(zip, zip_uint64_t(i), 0, &stat);
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t *file = zip_fopen_index(zip, zip_uint64_t(i), 0);
        zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        const QString name = QString::fromUtf8(stat.name);
        archive.names.append(name);
        archive.entries.insert(name, bytes);
        archive.methods.insert(name, stat.comp_method);
    }
    zip_close(zip);
    return archive;
}

// The idrefs of the package's spine, in reading order.
QStringList spineOf(const Archive &archive)
{
    QStringList idrefs;
    const QString opf = QString::fromUtf8(archive.entries.value(QStringLiteral("OEBPS/package.opf")));
    QRegularExpressionMatchIterator it
        = QRegularExpression(QStringLiteral("<itemref idref=\"([^\"]+)\"")).globalMatch(opf);
    while (it.hasNext())
        idrefs.append(it.next().captured(1));
    return idrefs;
}

// The side of the page a speaker's messages keep to in a chapter of the
// ebook, by the margins that the style sheet gives the element of the
// message through the rules whose classes it carries: "left", "right", or
// "flush right" where its lines would end at the right edge and start
// wherever they fall.
QString sideOf(const Archive &archive, const QString &chapter, const QString &name)
{
    const QString html = QString::fromUtf8(archive.entries.value(QStringLiteral("OEBPS/") + chapter));
    const QRegularExpressionMatch message = QRegularExpression(
        QStringLiteral("<div class=\"(message[^\"]*)\">(?:<[^>]*>)*<span class=\"who\">%1<")
            .arg(QRegularExpression::escape(name)))
                                                .match(html);
    if (!message.hasMatch())
        return QStringLiteral("no message of %1").arg(name);
    const QStringList classes = message.captured(1).split(QLatin1Char(' '));
    QString side = QStringLiteral("left");
    const QString css = QString::fromUtf8(archive.entries.value(QStringLiteral("OEBPS/book.css")));
    QRegularExpressionMatchIterator rules
        = QRegularExpression(QStringLiteral("([^{}]+)\\{([^}]*)\\}")).globalMatch(css);
    while (rules.hasNext()) {
        const QRegularExpressionMatch rule = rules.next();
        const QString selector = rule.captured(1).trimmed();
        if (!selector.startsWith(QLatin1Char('.')) || selector.contains(QLatin1Char(' ')))
            continue;
        const QStringList needed = selector.mid(1).split(QLatin1Char('.'));
        if (!std::all_of(
                needed.cbegin(), needed.cend(), [&](const QString &c) { return classes.contains(c); }))
            continue;
        // The side is where the message stands: the margin it leaves on
        // the other side; its lines start at one edge, ragged right.
        const QRegularExpressionMatch margin
            = QRegularExpression(QStringLiteral("margin:\\s*(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+([^;\\s]+)"))
                  .match(rule.captured(2));
        const auto amount = [&](int i) {
            return margin.captured(i).remove(QRegularExpression(QStringLiteral("[^0-9.]"))).toDouble();
        };
        if (margin.hasMatch())
            side = amount(4) > amount(2) ? QStringLiteral("right") : QStringLiteral("left");
        if (QRegularExpression(QStringLiteral("text-align:\\s*right")).match(rule.captured(2)).hasMatch())
            side = QStringLiteral("flush right");
    }
    return side;
}

QByteArray png()
{
    QImage image(50, 80, QImage::Format_RGB32);
    image.fill(QColor(0x6b, 0x1f, 0x24));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const char *const resolvedBook = R"({
  "title": "You & Sam <3",
  "colophon": "March – April 2024",
  "dedication": ["For Sam", ""],
  "language": "en",
  "author": "Pat",
  "chapters": [
    { "title": "March", "days": [
      { "day": "2024-03-01", "label": "Friday, March 1, 2024", "messages": [
        { "name": "Sam", "me": false, "time": "9:41", "text": "Hi! \u0001Are you up? \ud83d\ude00" },
        { "name": "Pat", "me": true, "text": [ { "text": "Yes, " }, { "text": "always", "bold": true } ],
          "media": ["photo"] },
        { "page": "An epigraph\nof our own" }
      ] } ] },
    { "days": [
      { "day": "2024-04-02", "messages": [ { "name": "Sam", "text": null, "media": ["voice memo"] } ] } ] }
  ]
})";

class EbookTest : public ::testing::Test
{
protected:
    EbookTest()
    {
        writeFile(resolved(), resolvedBook);
        writeFile(cover(), png());
    }

    QString resolved() const { return m_dir.filePath(QStringLiteral("Book.resolved.json")); }
    QString cover() const { return m_dir.filePath(QStringLiteral("cover.png")); }
    QString out() const { return m_dir.filePath(QStringLiteral("You & Sam.epub")); }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    ToolRun make(const QStringList &extra = {})
    {
        return runTool(
            QStringList { "ebook", "--resolved", resolved(), "--id", "mac:+15550100", "--out", out() }
            + extra);
    }

    QTemporaryDir m_dir;
};

TEST_F(EbookTest, WithACoverTheEbookPassesEpubcheckAndOpensOnTheCover)
{
    const ToolRun run = make({ "--cover", cover() });
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(TestSupport::epubcheckErrors(out()), QString());

    const Archive archive = readArchive(out());
    ASSERT_FALSE(archive.names.isEmpty());
    EXPECT_EQ(archive.names.first(), "mimetype");
    EXPECT_EQ(archive.methods.value("mimetype"), ZIP_CM_STORE);
    EXPECT_EQ(archive.entries.value("mimetype"), "application/epub+zip");
    EXPECT_EQ(archive.entries.value("OEBPS/cover.png"), png());
    EXPECT_EQ(spineOf(archive), (QStringList { "cover", "title", "chapter-1", "chapter-2" }));
    EXPECT_TRUE(archive.entries.value("OEBPS/package.opf").contains("properties=\"cover-image\""));
    const QByteArray march = archive.entries.value("OEBPS/chapter-1.xhtml");
    EXPECT_TRUE(march.contains("<b>always</b>"));
    EXPECT_TRUE(march.contains("An epigraph<br/>of our own"));
    EXPECT_FALSE(march.contains('\x01'));
    EXPECT_FALSE(QFile::exists(out() + ".part"));
}

// The ebook put the user's messages on the right, where the printed book
// has the other side's.
TEST_F(EbookTest, TheUsersMessagesKeepToTheLeftAndTheOthersToTheRightAsInPrint)
{
    const ToolRun run = make();
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    const Archive archive = readArchive(out());
    EXPECT_EQ(sideOf(archive, QStringLiteral("chapter-1.xhtml"), QStringLiteral("Pat")), "left");
    EXPECT_EQ(sideOf(archive, QStringLiteral("chapter-1.xhtml"), QStringLiteral("Sam")), "right");
    EXPECT_EQ(sideOf(archive, QStringLiteral("chapter-2.xhtml"), QStringLiteral("Sam")), "right");
}

TEST_F(EbookTest, WithoutACoverTheEbookOpensOnTheTitlePage)
{
    const ToolRun run = make();
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(TestSupport::epubcheckErrors(out()), QString());
    const Archive archive = readArchive(out());
    EXPECT_EQ(spineOf(archive), (QStringList { "title", "chapter-1", "chapter-2" }));
    EXPECT_FALSE(archive.entries.contains("OEBPS/cover.png"));
    EXPECT_FALSE(archive.entries.value("OEBPS/package.opf").contains("cover"));
}

TEST_F(EbookTest, ABookWithoutChaptersIsStillAValidEbook)
{
    writeFile(resolved(), R"({"title": "", "chapters": []})");
    const ToolRun run = make();
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(TestSupport::epubcheckErrors(out()), QString());
}

TEST_F(EbookTest, WhatCantBeReadFailsWithASentenceAndLeavesNoFile)
{
    struct Case
    {
        QByteArray resolved;
        QStringList extra;
        QString line;
    };
    writeFile(m_dir.filePath("cover.jpg"), "\xff\xd8\xff\xe0 not a png");
    const QList<Case> cases {
        { "[]", {}, "Error: The resolved book can't be read: the top level is not an object." },
        { R"({"title": "T"})", {},
            "Error: The resolved book can't be read: the book has no list of chapters." },
        { R"({"title": "T", "chapters": [{"days": [{"messages": []}]}]})", {},
            "Error: The resolved book can't be read: day 1 of chapter 1 has no text “day”." },
        { R"({"title": "T", "chapters": []})", { "--cover", m_dir.filePath("cover.jpg") },
            QStringLiteral("Error: The cover picture %1 is not a PNG picture.")
                .arg(m_dir.filePath("cover.jpg")) },
    };
    for (const Case &c : cases) {
        writeFile(resolved(), c.resolved);
        const ToolRun run = make(c.extra);
        EXPECT_EQ(run.exitCode, 1) << c.resolved.constData();
        EXPECT_EQ(run.lastErrorLine(), c.line);
        EXPECT_FALSE(QFile::exists(out()));
    }
    const ToolRun missing = runTool({ "ebook", "--resolved", resolved(), "--out", out() });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.lastErrorLine(), "Error: ebook needs --resolved, --id and --out.");
}

} // namespace
