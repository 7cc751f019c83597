// The whole road with the real tools: a conversation exported from a
// Messages database, edited, and typeset by typst.
#include "messagesfixture.h"
#include "model/consent.h"
#include "projecttest.h"

#include <QPdfDocument>

using namespace std::chrono_literals;

namespace {

// The text of one physical page (from 0), blanks collapsed.
QString pageText(const QString &pdf, int index)
{
    QProcess pdftotext;
    const QString page = QString::number(index + 1);
    pdftotext.start(QStringLiteral("pdftotext"), { "-f", page, "-l", page, pdf, "-" });
    pdftotext.waitForFinished(60000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
}

// The text of the whole PDF, blanks collapsed.
QString documentText(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), { pdf, "-" });
    pdftotext.waitForFinished(60000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).simplified();
}

class BookTest : public ::testing::Test
{
protected:
    BookTest()
    {
        Consent::setFullNameSource([] { return QStringLiteral("Pat Doe"); });
        QList<StoreMessage> messages;
        for (int i = 0; i < 40; ++i) {
            messages.append({ QDate(2024, 3, 1).addDays(i / 2), i % 2 == 0,
                QStringLiteral("note%1 about the garden and the weather today")
                    .arg(i, 2, 10, QLatin1Char('0')) });
        }
        messages[5].text = QStringLiteral("leave this quietword out");
        messages[7].text = QStringLiteral("we met at the oldplace again");
        writeStore(m_books.path() + "/chat.db", messages);
    }
    ~BookTest() override { Consent::setFullNameSource({}); }

    // Runs what is scheduled and waits for typst.
    void typeset(std::chrono::milliseconds delay)
    {
        m_clock.advance(delay);
        ASSERT_TRUE(waitFor([&] { return !m_project->isTypesetting(); }));
        ASSERT_FALSE(m_project->error()) << m_project->error()->toStdString();
    }

    // The physical page of a printed page number, from any day's page.
    int indexOfPrinted(int printed) const
    {
        const Layout::Day any = m_project->layout().days.first();
        return printed + any.index - any.printed;
    }

    BooksFolder m_books;
    ManualClock m_clock;
    std::unique_ptr<Project> m_project;
};

TEST_F(BookTest, EditsReachThePrintedPages)
{
    m_project = TestSupport::await(Project::open(samIn(m_books.path() + "/chat.db"), QStringLiteral("Sam")));
    m_project->toggleHidden(m_project->search(QStringLiteral("quietword"), 0).value(0));
    EXPECT_EQ(m_project->replaceAll(QStringLiteral("OLDPLACE"), QStringLiteral("newplace")), 1);
    m_project->addPage(QStringLiteral("2024-03-08"), QStringLiteral("An epigraph of our own"));
    typeset(350ms);

    const QList<BookFile::Message> pinned = m_project->search(QStringLiteral("note30"), 0);
    ASSERT_EQ(pinned.size(), 1);
    const int natural = *m_project->pageOf(pinned[0].at.left(10));
    m_project->pin(pinned[0], natural + 2);
    typeset(350ms);

    const QString pdf = m_project->pdf();
    QPdfDocument document;
    ASSERT_EQ(document.load(pdf), QPdfDocument::Error::None);
    EXPECT_EQ(document.pageCount(), m_project->layout().pageCount);
    QString all;
    int epigraph = -1;
    for (int i = 0; i < document.pageCount(); ++i) {
        const QString text = pageText(pdf, i);
        all += text + QLatin1Char('\n');
        if (text.contains(QLatin1String("An epigraph of our own")))
            epigraph = i;
    }
    EXPECT_FALSE(all.contains(QLatin1String("quietword")));
    EXPECT_TRUE(all.contains(QLatin1String("newplace")));
    EXPECT_FALSE(all.contains(QLatin1String("oldplace")));
    ASSERT_GE(epigraph, 0);
    EXPECT_FALSE(pageText(pdf, epigraph).contains(QLatin1String("garden")));

    const std::optional<Layout::PinResult> result = m_project->pinResult(pinned[0].id);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->ok);
    EXPECT_EQ(result->page, natural + 2);
    EXPECT_TRUE(pageText(pdf, indexOfPrinted(natural + 2)).contains(QLatin1String("note30")));
}

// The sheet offers every day of the range; the range's last day may have
// nothing left to print.
TEST_F(BookTest, APageAddedAfterTheLastPrintedDayIsPrinted)
{
    m_project = TestSupport::await(Project::open(samIn(m_books.path() + "/chat.db"), QStringLiteral("Sam")));
    m_project->setRange(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-10"));
    const QList<BookFile::Message> messages = m_project->book().messages;
    for (const BookFile::Message &message : messages) {
        if (message.at.startsWith(QLatin1String("2024-03-10")))
            m_project->toggleHidden(message);
    }
    m_project->addPage(QStringLiteral("2024-03-10"), QStringLiteral("Written for the last evening"));
    typeset(350ms);

    const QString text = documentText(m_project->pdf());
    EXPECT_TRUE(text.contains(QLatin1String("Written for the last evening")));
    EXPECT_TRUE(text.contains(QLatin1String("note17")));
    EXPECT_FALSE(text.contains(QLatin1String("note18")));
}

} // namespace
