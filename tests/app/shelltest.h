#pragma once

// What the window's tests share: a private defaults file and books folder
// per test, the computer's Messages database switched on and off, a
// library whose message tool answers from a table (or is held until the
// test lets it go), and opens of books that the test holds back.
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "model/backups.h"
#include "model/conversation.h"
#include "model/helpers.h"
#include "model/library.h"
#include "model/scopeddefaults.h"
#include "project/projecttest.h"
#include "uitestsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <memory>
#include <qcorosignal.h>

namespace Shell {

// One conversation as the message tool lists it.
struct Listed
{
    Listed(QString key, int messages = 10)
        : key(std::move(key))
        , messages(messages)
    { }

    QString key;
    int messages;
    QString first = QStringLiteral("2024-03-01");
    bool group = false;
    std::optional<QString> name;
    std::optional<QList<Conversation::LogPerson>> people;
};

inline QByteArray chats(const QList<Listed> &listed)
{
    QJsonArray array;
    for (const Listed &one : listed) {
        QJsonObject object { { "key", one.key }, { "group", one.group }, { "chat_ids", QJsonArray { 1 } },
            { "services", QJsonArray { "iMessage" } }, { "messages", one.messages }, { "first", one.first },
            { "last", QStringLiteral("2024-06-01") } };
        if (one.name)
            object.insert("name", *one.name);
        if (one.people) {
            QJsonArray people;
            for (const Conversation::LogPerson &person : *one.people)
                people.append(QJsonObject { { "name", person.name }, { "messages", person.messages } });
            object.insert("people", people);
        }
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// The message tool as a table of answers by source id; a source without an
// answer fails as the tool does. While holding, runs wait for release().
struct Tool
{
    QHash<QString, QByteArray> answers;
    bool holding = false;
    QStringList runs;
    std::vector<std::shared_ptr<QTimer>> gates;

    void release()
    {
        for (const std::shared_ptr<QTimer> &gate : gates)
            gate->start(0);
    }

    Library::Runner runner()
    {
        return [this](QStringList, Source source) -> QCoro::Task<QByteArray> {
            runs.append(source.id);
            const std::optional<QByteArray> answer
                = answers.contains(source.id) ? std::optional(answers.value(source.id)) : std::nullopt;
            if (holding) {
                auto gate = std::make_shared<QTimer>();
                gate->setSingleShot(true);
                gates.push_back(gate);
                co_await qCoro(gate.get(), &QTimer::timeout);
            }
            if (!answer)
                throw Helpers::Failure(
                    QStringLiteral("brimlow-core"), 1, QStringLiteral("Error: That source can't be read."));
            co_return *answer;
        };
    }
};

// Opens that wait until the test lets each one end, in any order.
struct HeldOpens
{
    struct Open
    {
        Conversation conversation;
        QString them;
        std::shared_ptr<QTimer> gate;
        std::optional<QString> failure;
        bool finished = false;
        // The book this open made, once it ended well.
        Project *made = nullptr;
        // Set as the open ends either way; whoever awaits it has had its
        // answer by the time a test sees this.
        bool ended = false;
    };
    std::vector<std::shared_ptr<Open>> opens;
    BookFile book = bookOf({ "hello", "hi there" });

    HeldOpens() = default;
    HeldOpens(const HeldOpens &) = delete;
    HeldOpens &operator=(const HeldOpens &) = delete;
    // Opens still held end with a failure once the test is over, so that no
    // coroutine stays suspended for good (the sanitized build would count
    // its frame as leaked).
    ~HeldOpens()
    {
        for (std::size_t n = 0; n < opens.size(); ++n) {
            if (!opens[n]->finished)
                finish(int(n), QStringLiteral("The test ended."));
        }
    }

    // Lets open n (counting from 0) end, with a book or with a failure.
    void finish(int n, std::optional<QString> failure = std::nullopt)
    {
        opens.at(n)->failure = std::move(failure);
        opens.at(n)->finished = true;
        opens.at(n)->gate->start(0);
    }

    std::function<QCoro::Task<std::unique_ptr<Project>>(Conversation, QString)> opener()
    {
        return [this](Conversation conversation, QString them) -> QCoro::Task<std::unique_ptr<Project>> {
            auto open = std::make_shared<Open>(Open { conversation, them, std::make_shared<QTimer>(), {} });
            open->gate->setSingleShot(true);
            opens.push_back(open);
            co_await qCoro(open->gate.get(), &QTimer::timeout);
            if (open->failure) {
                open->ended = true;
                throw Helpers::Failure(QStringLiteral("brimlow-core"), 1, *open->failure);
            }
            BookFile named = book;
            named.front.title = QStringLiteral("Book of ") + conversation.key;
            const QString folder
                = Project::booksFolder() + QLatin1Char('/') + Project::folderName(conversation.id());
            QDir().mkpath(folder);
            TestSupport::writeFile(folder + QStringLiteral("/book.json"), named.toJsonBytes());
            std::unique_ptr<Project> project = co_await Project::open(conversation, them);
            open->made = project.get();
            open->ended = true;
            co_return project;
        };
    }
};

// Clicks the row of a conversation in the sidebar, as the user picks it.
inline void pick(ConversationList *list, const QString &id)
{
    const QModelIndex index = list->model()->indexOf(id);
    ASSERT_TRUE(index.isValid()) << id.toStdString();
    list->view()->scrollTo(index);
    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {}, list->view()->visualRect(index).center());
}

// The computer's own Messages database, where the app looks for it.
inline QString database()
{
    return Helpers::database();
}

inline void setDatabase(bool present)
{
    if (present) {
        QDir().mkpath(QFileInfo(database()).absolutePath());
        TestSupport::writeFile(database(), "not read here");
    } else {
        QFile::remove(database());
    }
}

// A chat file the user added before this start, saved as the app saves it.
inline Source savedChatFile(const QTemporaryDir &dir, const QString &id = QStringLiteral("file-0000aaaa"))
{
    TestSupport::writeFile(dir.filePath("chat.txt"), "1/31/25, 9:41 PM - Sam: hey\n");
    Source file;
    file.id = id;
    file.name = QStringLiteral("chat");
    file.log = dir.filePath("chat.txt");
    Backups::save({ file });
    return file;
}

// Each test starts with no consent, no saved sources, no books, no
// Messages database and nothing asked of the desktop.
class ShellTest : public ::testing::Test
{
protected:
    ShellTest()
    {
        setDatabase(false);
        TestSupport::desktop().reset();
        qunsetenv("QUORVEL_OPEN");
    }
    ~ShellTest() override
    {
        setDatabase(false);
        qunsetenv("QUORVEL_OPEN");
    }

    // A library over the table tool, with the development sources off.
    std::unique_ptr<Library> library()
    {
        auto made = std::make_unique<Library>(Library::Environment {});
        made->setRunner(tool.runner());
        return made;
    }

    ScopedDefaults defaults;
    BooksFolder books;
    Tool tool;
};

} // namespace Shell
