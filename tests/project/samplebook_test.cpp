// The shipped sample book, which `make run` opens: written as the message
// tool writes the book of a one-to-one conversation, so that the wizard's
// figures and the Wrapped's, both counted by who wrote each message, tell
// the same story of it.
//
// Fault mended: the sample named Maya by a phone number where the tool
// writes "them", so the wizard counted none of her messages ("You start
// the day 100% of the time", "9 you, 0 Maya" sorrys) while the Wrapped
// had her start 53% of the days.
#include "insights/insights.h"
#include "model/backups.h"
#include "model/chatfiles.h"
#include "model/library.h"
#include "model/scopeddefaults.h"
#include "model/wrapped.h"
#include "projecttest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace {

QByteArray sampleBytes()
{
    return TestSupport::readFile(TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json"));
}

// The keys of every object in a JSON array, all of them together.
QSet<QString> keysOf(const QJsonArray &objects)
{
    QSet<QString> keys;
    for (const QJsonValue &object : objects) {
        const QStringList own = object.toObject().keys();
        keys.unite(QSet<QString>(own.begin(), own.end()));
    }
    return keys;
}

// The book the message tool exports from a short two-person chat file.
QJsonObject toolsBook()
{
    QTemporaryDir files;
    const QString chat = files.filePath(QStringLiteral("WhatsApp Chat with Maya.txt"));
    TestSupport::writeFile(chat,
        "3/5/24, 9:14 PM - Maya: sorry, running late\n"
        "3/5/24, 9:20 PM - Sam: no rush\n"
        "3/6/24, 8:02 AM - Maya: <Media omitted>\n");
    const Source source = TestSupport::await(ChatFiles::add(chat));
    Backups::save({ source });
    Library library { Library::Environment {} };
    TestSupport::await(library.load());
    const QList<Conversation> listed = library.lists().value(source.id);
    EXPECT_EQ(listed.size(), 1);
    const std::unique_ptr<Project> project
        = TestSupport::await(Project::open(listed.value(0), QStringLiteral("Maya")));
    return QJsonDocument::fromJson(project->book().toJsonBytes()).object();
}

QString receiptLine(const Insights &insights, const QString &label)
{
    for (const QStringList &line : insights.receiptLines) {
        if (line.value(0) == label)
            return line.value(1);
    }
    return {};
}

const Insights::Moment *moment(const Insights &insights, const QString &id)
{
    for (const Insights::Moment &moment : insights.moments) {
        if (moment.id == id)
            return &moment;
    }
    return nullptr;
}

class SampleBook : public ::testing::Test
{
protected:
    BooksFolder books;
    ScopedDefaults defaults;
};

} // namespace

TEST_F(SampleBook, IsWrittenAsTheMessageToolWritesABook)
{
    const QJsonObject sample = QJsonDocument::fromJson(sampleBytes()).object();
    const QJsonObject tool = toolsBook();
    ASSERT_FALSE(tool.isEmpty());

    const auto ids = [](const QJsonObject &book) {
        QStringList made;
        for (const QJsonValue &person : book.value(QStringLiteral("people")).toArray())
            made << person.toObject().value(QStringLiteral("id")).toString();
        return made;
    };
    EXPECT_EQ(ids(sample).join(u' ').toStdString(), ids(tool).join(u' ').toStdString());
    const QJsonArray messages = sample.value(QStringLiteral("messages")).toArray();
    // Nothing the tool never writes, and every message names its writer twice.
    EXPECT_TRUE(keysOf(tool.value(QStringLiteral("messages")).toArray()).contains(keysOf(messages)))
        << QStringList(keysOf(messages).values()).join(u' ').toStdString();
    const QStringList written = ids(sample);
    const QSet<QString> people(written.begin(), written.end());
    for (const QJsonValue &value : messages) {
        const QJsonObject message = value.toObject();
        ASSERT_TRUE(people.contains(message.value(QStringLiteral("from")).toString()))
            << message.value(QStringLiteral("id")).toString().toStdString();
        ASSERT_EQ(message.value(QStringLiteral("who")).toString().toStdString(),
            message.value(QStringLiteral("from")).toString().toStdString());
    }
    // The stats name days, as the tool's do.
    const QRegularExpression day(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    for (const QJsonObject &book : { sample, tool }) {
        const QJsonObject stats = book.value(QStringLiteral("stats")).toObject();
        EXPECT_TRUE(day.match(stats.value(QStringLiteral("first")).toString()).hasMatch());
        EXPECT_TRUE(day.match(stats.value(QStringLiteral("last")).toString()).hasMatch());
    }
    EXPECT_EQ(sample.value(QStringLiteral("stats")).toObject().value(QStringLiteral("messages")).toInt(),
        messages.size());
}

TEST_F(SampleBook, ItsWizardAndItsWrappedTellTheSameStory)
{
    const BookFile book = BookFile::fromJson(sampleBytes());
    const Insights insights = Insights::read(book);
    ASSERT_EQ(insights.them, QStringLiteral("Maya"));
    EXPECT_EQ(insights.mine + insights.theirs, insights.total);
    EXPECT_GT(insights.theirs, insights.total / 3);

    const Wrapped wrapped = TestSupport::await(Wrapped::make(book));
    // Who starts the day: the same person, the same share of the days.
    const Wrapped::Card *starter = wrapped.card(QStringLiteral("starter"));
    const Insights::Moment *starts = moment(insights, QStringLiteral("starter"));
    ASSERT_TRUE(starter && starts);
    ASSERT_FALSE(starter->rows.isEmpty());
    const QString first = starter->rows.first().who;
    ASSERT_TRUE(wrapped.person(first));
    const QString starterName = first == QLatin1String("me")
        ? QStringLiteral("You start the day")
        : wrapped.person(first)->name + QStringLiteral(" starts the day");
    EXPECT_EQ(starts->title.toStdString(), starterName.toStdString());
    EXPECT_EQ(starts->detail.toStdString(),
        (QStringLiteral("First message of the day ") + starter->detail).toStdString());

    // Who writes how much: the Wrapped's people and the wizard's sides.
    for (const Wrapped::Person &person : wrapped.people)
        EXPECT_EQ(person.messages, person.id == QLatin1String("me") ? insights.mine : insights.theirs)
            << person.name.toStdString();

    // Both say sorry, and every sorry of the book is one of theirs.
    const QRegularExpression sorrys(QStringLiteral("^(\\d+) you, (\\d+) Maya$"));
    const QRegularExpressionMatch counted = sorrys.match(receiptLine(insights, QStringLiteral("Sorrys")));
    ASSERT_TRUE(counted.hasMatch()) << receiptLine(insights, QStringLiteral("Sorrys")).toStdString();
    EXPECT_GT(counted.captured(1).toInt(), 0);
    EXPECT_GT(counted.captured(2).toInt(), 0);
    int said = 0;
    for (const BookFile::Message &message : book.messages)
        said += message.text.value_or(QString()).contains(QLatin1String("sorry"), Qt::CaseInsensitive);
    EXPECT_EQ(counted.captured(1).toInt() + counted.captured(2).toInt(), said);
}
