#pragma once

// What the open-book tests share: a clock advanced by hand, typst runs the
// test holds and releases, tiny PDFs, and books opened from a document.
#include "heldgates.h"
#include "model/helpers.h"
#include "project/clock.h"
#include "project/project.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <qcorosignal.h>

// Installs itself as the current clock for the life of a test.
class ManualClock : public Clock
{
public:
    ManualClock() { Clock::setCurrent(this); }
    ~ManualClock() override { Clock::setCurrent(nullptr); }

    QDateTime now() const override { return m_now; }

    std::unique_ptr<Alarm> after(std::chrono::milliseconds delay, std::function<void()> fire) override
    {
        auto entry = std::make_shared<Entry>(Entry { m_elapsed + delay, std::move(fire) });
        m_entries.push_back(entry);
        return std::make_unique<Handle>(entry);
    }

    // Fires, in order, the alarms due by then that were set before the call.
    void advance(std::chrono::milliseconds by)
    {
        m_elapsed += by;
        m_now = m_now.addMSecs(by.count());
        auto due = m_entries;
        std::stable_sort(due.begin(), due.end(), [](auto &a, auto &b) { return a->due < b->due; });
        for (auto &entry : due) {
            if (!entry->cancelled && !entry->fired && entry->due <= m_elapsed) {
                entry->fired = true;
                entry->fire();
            }
        }
    }

    int waiting() const
    {
        return int(std::count_if(
            m_entries.begin(), m_entries.end(), [](auto &e) { return !e->cancelled && !e->fired; }));
    }

private:
    struct Entry
    {
        std::chrono::milliseconds due;
        std::function<void()> fire;
        bool cancelled = false;
        bool fired = false;
    };
    struct Handle : Alarm
    {
        explicit Handle(std::shared_ptr<Entry> entry)
            : entry(std::move(entry))
        { }
        ~Handle() override { entry->cancelled = true; }
        std::shared_ptr<Entry> entry;
    };

    std::chrono::milliseconds m_elapsed { 0 };
    QDateTime m_now = QDateTime(QDate(2024, 6, 1), QTime(12, 0));
    std::vector<std::shared_ptr<Entry>> m_entries;
};

// A PDF of the given number of blank pages.
inline QByteArray blankPdf(int pages)
{
    QList<QByteArray> objects { "<< /Type /Catalog /Pages 2 0 R >>" };
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(3 + i) + " 0 R ";
    objects << "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>";
    for (int i = 0; i < pages; ++i)
        objects << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 360 576] >>";
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

// typst runs that record what they read and, while held, wait for the test.
struct FakeTypst
{
    struct Compile
    {
        QString input;
        QByteArray bytes;
        QString out;
    };

    QList<Compile> compiles;
    int compilesDone = 0;
    int layouts = 0;
    int layoutsDone = 0;
    bool hold = false;
    std::optional<QString> compileFailure;
    std::optional<QString> layoutFailure;
    QByteArray pdf = blankPdf(3);

    // Lets a held run go on: its compile, its layout, or both. Runs are
    // counted from 0 in the order they started.
    enum class Part { Compile, Layout, Both };
    void release(int run, Part part = Part::Both)
    {
        if (part != Part::Layout)
            gates.release(2 * run);
        if (part != Part::Compile)
            gates.release(2 * run + 1);
    }

    QCoro::Task<void> gate()
    {
        if (hold)
            co_await gates.wait();
    }

    QCoro::Task<void> compile(QString input, QString, QString out)
    {
        const qsizetype index = compiles.size();
        compiles.append({ input, {}, out });
        const QByteArray bytes = pdf;
        co_await gate();
        // Read late, as a slow typst would: after whatever was saved meanwhile.
        compiles[index].bytes = TestSupport::readFile(input);
        TestSupport::writeFile(out, bytes);
        ++compilesDone;
        if (compileFailure)
            throw Helpers::Failure(QStringLiteral("typst"), 1, *compileFailure);
    }

    QCoro::Task<Layout> layout(QString, QString)
    {
        ++layouts;
        co_await gate();
        ++layoutsDone;
        if (layoutFailure)
            throw Helpers::Failure(QStringLiteral("typst"), 1, *layoutFailure);
        Layout layout;
        layout.days.insert(QStringLiteral("2024-03-05"), { 1, 2 });
        co_return layout;
    }

    Project::Typesetter typesetter()
    {
        return { [this](QString input, QString style, QString out) { return compile(input, style, out); },
            [this](QString input, QString style) { return layout(input, style); } };
    }

    HeldGates gates;
};

inline bool waitFor(const std::function<bool()> &condition)
{
    return QTest::qWaitFor(condition, 120000);
}

// A fresh books folder per test.
class BooksFolder
{
public:
    BooksFolder() { Project::setBooksFolder(m_dir.path()); }
    ~BooksFolder() { Project::setBooksFolder({}); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

inline Conversation conversationWithKey(const QString &key)
{
    Conversation conversation;
    conversation.key = key;
    conversation.source = Source::mac();
    return conversation;
}

// Opens a book whose book.json is already there, so no export runs.
inline std::unique_ptr<Project> openExisting(const BookFile &book, const QString &key = QStringLiteral("k"))
{
    const QString folder = Project::booksFolder() + QLatin1Char('/') + Project::folderName(key);
    QDir().mkpath(folder);
    TestSupport::writeFile(folder + QStringLiteral("/book.json"), book.toJsonBytes());
    return TestSupport::await(Project::open(conversationWithKey(key), book.people.value(1).name));
}

inline BookFile::Message textMessage(const QString &id, const QString &at, const QString &text)
{
    BookFile::Message message;
    message.id = id;
    message.at = at;
    message.from = QStringLiteral("them");
    message.text = text;
    return message;
}

// Sam and the user, one message a day from 2024-03-01, texts as given.
inline BookFile bookOf(const QStringList &texts)
{
    BookFile book;
    book.format = 1;
    book.style = QStringLiteral("novel");
    book.front.title = QStringLiteral("You & Sam");
    book.people = { { QStringLiteral("me"), QStringLiteral("Pat"), true },
        { QStringLiteral("them"), QStringLiteral("Sam"), false } };
    for (int i = 0; i < texts.size(); ++i) {
        const QString day = QDate(2024, 3, 1).addDays(i).toString(Qt::ISODate);
        book.messages.append(
            textMessage(QStringLiteral("m%1").arg(i), day + QStringLiteral("T12:00:00"), texts[i]));
    }
    return book;
}
