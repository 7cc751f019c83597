// The sidebar: what each source's section lists, and adding, dropping and
// forgetting sources through it.
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "app/sourceadder.h"
#include "shelltest.h"
#include "ui/desktop.h"
#include "ui/style.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>

using namespace Shell;
using Kind = ConversationListModel::Kind;

namespace {

class ConversationListTest : public ShellTest
{
protected:
    // Each section as its title, then its rows as "kind: text | detail".
    QStringList rows(const ConversationListModel &model)
    {
        QStringList lines;
        for (int s = 0; s < model.rowCount(); ++s) {
            const QModelIndex section = model.index(s, 0);
            if (ConversationListModel::kind(section) != Kind::Section)
                continue;
            lines << section.data().toString();
            for (int r = 0; r < model.rowCount(section); ++r) {
                const QModelIndex row = model.index(r, 0, section);
                QString line = QStringLiteral("  ") + row.data().toString();
                if (ConversationListModel::kind(row) == Kind::Loading)
                    line = QStringLiteral("  (spinner)");
                const QString detail = row.data(ConversationListModel::DetailRole).toString();
                if (!detail.isEmpty())
                    line += QStringLiteral(" | ") + detail;
                lines << line;
            }
        }
        return lines;
    }

    Source backup(const QString &id, const std::optional<QString> &date)
    {
        Source source;
        source.id = id;
        source.name = QStringLiteral("Robin's iPhone");
        source.date = date;
        source.backup = m_dir.filePath(id);
        source.database = m_dir.filePath(id + ".db");
        TestSupport::writeFile(source.database, "x");
        return source;
    }

    // The sidebar over lib in a window of its own, shown.
    struct Shown
    {
        explicit Shown(Library *library)
            : adder(library)
            , list(new ConversationList(library, &adder, &window))
        {
            window.resize(280, 500);
            window.show();
        }
        SourceAdder adder;
        QWidget window;
        ConversationList *list;
    };

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ConversationListTest, SectionsListOneToOneConversationsOrSayWhyNot)
{
    setDatabase(true);
    Listed group { "family" };
    group.group = true;
    Listed one { "+15555550100", 1 };
    one.first = QStringLiteral("2024-03-05");
    Listed odd { "kim@example.com", 1234 };
    odd.first = QStringLiteral("soon");
    tool.answers.insert(QStringLiteral("mac"), chats({ group, one, odd }));
    tool.answers.insert(QStringLiteral("groups"), chats({ group }));
    const Source groups = backup(QStringLiteral("groups"), QStringLiteral("2024-05-31T10:20:30Z"));
    const Source failing = backup(QStringLiteral("failing"), QStringLiteral("2024-05-31"));
    Backups::save({ groups, failing });

    const auto lib = library();
    ConversationListModel model(lib.get());
    TestSupport::await(lib->load());
    EXPECT_EQ(rows(model),
        (QStringList { "This Computer", "  (555) 555-0100 | 1 messages since Mar 2024",
            "  kim@example.com | 1,234 messages since soon", "Robin's iPhone, May 31, 2024",
            "  No one-to-one conversations", "Robin's iPhone",
            "  brimlow-core failed (1): Error: That source can't be read." }));
    // The computer's own conversations go by key, the others by source and key.
    EXPECT_TRUE(model.indexOf("kim@example.com").isValid());
    EXPECT_FALSE(model.indexOf("family").isValid());

    // While loading, a section with nothing yet shows a spinner; one with
    // conversations keeps them, and an error only shows without them.
    tool.holding = true;
    const auto reload = lib->load();
    EXPECT_EQ(rows(model).mid(3),
        (QStringList { "Robin's iPhone, May 31, 2024", "  (spinner)", "Robin's iPhone", "  (spinner)" }));
    EXPECT_EQ(rows(model).size(), 7);
    tool.release();
    TestSupport::waitUntil([&] { return lib->loadingSources().isEmpty(); });
    EXPECT_EQ(rows(model).last(), "  brimlow-core failed (1): Error: That source can't be read.");
    EXPECT_EQ(rows(model).at(1), "  (555) 555-0100 | 1 messages since Mar 2024");
}

TEST_F(ConversationListTest, ALoadingSectionShowsASpinnerUntilItsListArrives)
{
    QTemporaryDir dir;
    const Source file = savedChatFile(dir);
    tool.answers.insert(file.id, chats({ { "Sam", 2 } }));
    tool.holding = true;
    const auto lib = library();
    SourceAdder adder(lib.get());
    ConversationList list(lib.get(), &adder);
    list.resize(280, 500);
    list.show();
    lib->load();
    EXPECT_EQ(rows(*list.model()), (QStringList { "chat", "  (spinner)" }));
    // The computer's own database can't be read: the list says where it's read from.
    const QModelIndex last = list.model()->index(list.model()->rowCount() - 1, 0);
    EXPECT_EQ(ConversationListModel::kind(last), Kind::ReadFromMac);
    EXPECT_EQ(last.data().toString(), "Read Messages from a Mac…");

    QTest::mouseClick(list.view()->viewport(), Qt::LeftButton, {}, list.view()->visualRect(last).center());
    ASSERT_EQ(TestSupport::desktop().of("openUrl").size(), 1);
    EXPECT_EQ(TestSupport::desktop().of("openUrl").first().first(),
        QUrl::fromLocalFile(QFileInfo(database()).absolutePath()).toString());
    EXPECT_TRUE(QFileInfo(QFileInfo(database()).absolutePath()).isDir());

    tool.release();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return lib->loadingSources().isEmpty(); }));
    EXPECT_EQ(rows(*list.model()), (QStringList { "chat", "  Sam | 2 messages since Mar 2024" }));
}

TEST_F(ConversationListTest, DroppedFilesAreAddedEachOnItsOwnAndFailuresSayWhy)
{
    setDatabase(true);
    tool.answers.insert(QStringLiteral("mac"), chats({}));
    const auto lib = library();
    lib->setRunner({ [](QStringList arguments, Source source) { return Helpers::core(arguments, source); } });
    TestSupport::await(lib->load());
    Shown shown(lib.get());
    ConversationList *list = shown.list;
    SourceAdder &adder = shown.adder;
    QSignalSpy failures(&adder, &SourceAdder::fileFailed);

    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("WhatsApp Chat with Sam.txt"),
        "1/31/25, 9:41 PM - Sam: hey\n1/31/25, 9:42 PM - Robin: hi\n");
    QDir().mkpath(dir.filePath("empty"));
    // Drag and drop events don't own their data.
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(dir.filePath("empty")),
        QUrl::fromLocalFile(dir.filePath("WhatsApp Chat with Sam.txt")),
        QUrl::fromLocalFile(dir.filePath("gone.txt")) });
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->view()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(list->view()->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());

    ASSERT_TRUE(TestSupport::waitUntil([&] { return failures.size() == 2 && lib->added().size() == 1; }));
    QStringList said { failures[0][0].toString(), failures[1][0].toString() };
    const QString latest = said.last();
    said.sort();
    EXPECT_EQ(said[0],
        "Quorvel failed (0): There's no chat in that. Choose the file or folder the app exported (or its "
        ".zip): a "
        ".txt, .json, .html, .csv, .xml, .mbox or .eml file, or a WhatsApp database.");
    // A file that can't be copied: the file system's own words.
    EXPECT_TRUE(said[1].startsWith(
        "filesystem error: cannot copy file: No such file or directory [" + dir.filePath("gone.txt") + "]"))
        << said[1].toStdString();
    // One alert, with the latest failure.
    ASSERT_NE(adder.fileAlert(), nullptr);
    EXPECT_EQ(adder.fileAlert()->text(), "That didn't open");
    EXPECT_EQ(adder.fileAlert()->informativeText(), latest);
    EXPECT_EQ(shown.window.findChildren<QMessageBox *>().size(), 1);
    EXPECT_EQ(lib->added().first().name, "WhatsApp Chat with Sam");
    ASSERT_TRUE(TestSupport::waitUntil([&] { return lib->loadingSources().isEmpty(); }));
    EXPECT_EQ(list->selection(), std::nullopt);
}

// An empty file and a PDF named .txt, added as chats, can't be read: each
// section says why in the tool's whole sentence, every line of it drawn.
TEST_F(ConversationListTest, ABrokenChatFileSaysAllOfWhy)
{
    QTemporaryDir dir;
    TestSupport::writeFile(dir.filePath("empty.txt"), "");
    TestSupport::writeFile(dir.filePath("scan.txt"),
        QByteArray("%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj <</Type /Catalog>> endobj\nstream\n\x00\x01\xff"));
    QList<Source> files;
    for (const char *name : { "empty", "scan" }) {
        Source file;
        file.id = QStringLiteral("file-%1").arg(QLatin1StringView(name));
        file.name = QString::fromLatin1(name);
        file.log = dir.filePath(file.name + QStringLiteral(".txt"));
        files.append(file);
    }
    Backups::save(files);
    const auto lib = library();
    lib->setRunner({ [](QStringList arguments, Source source) { return Helpers::core(arguments, source); } });
    TestSupport::await(lib->load());
    Shown shown(lib.get());
    QTreeView *view = shown.list->view();
    const QFontMetrics metrics(Style::font(Style::Text::Subheadline));

    for (const Source &file : files) {
        const QModelIndex status
            = shown.list->model()->index(0, 0, shown.list->model()->sectionIndex(file.id));
        ASSERT_EQ(ConversationListModel::kind(status), Kind::Error) << file.name.toStdString();
        const QString sentence = status.data().toString();
        EXPECT_EQ(sentence, lib->errors().value(file.id));
        EXPECT_TRUE(sentence.endsWith(u"like \u201C1/31/25, 9:41 PM - Sam: hey\u201D."))
            << sentence.toStdString();

        // The sentence takes more than three lines here, and its row holds
        // all of them, as wrapped at the list's width.
        const QRect row = view->visualRect(status);
        const int width = view->viewport()->width() - 2 * 18;
        const int needed
            = metrics.boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, sentence).height();
        ASSERT_GT(needed, 3 * metrics.lineSpacing());
        EXPECT_GE(row.height(), needed);
        EXPECT_LT(row.height(), needed + metrics.lineSpacing() + 12);
        // Ink on its last line.
        const QImage drawn = view->viewport()->grab(row).toImage();
        const QColor background = drawn.pixelColor(drawn.width() - 1, 0);
        bool inked = false;
        for (int y = drawn.height() - 6 - metrics.lineSpacing(); y < drawn.height() - 6 && !inked; ++y)
            for (int x = 0; x < drawn.width() && !inked; ++x)
                inked = drawn.pixelColor(x, y) != background;
        EXPECT_TRUE(inked) << file.name.toStdString();
    }
}

// A backup cut short lists the people of its whole messages, and its
// section ends with what the tool said: that the file ends early.
TEST_F(ConversationListTest, AChatFileCutShortListsWhatItGaveAndSaysItEndsEarly)
{
    QTemporaryDir dir;
    const QByteArray record = "  <sms protocol=\"0\" address=\"+15550100\" date=\"%1\" type=\"1\" "
                              "body=\"hey\" contact_name=\"Sam\" />\n";
    TestSupport::writeFile(dir.filePath("sms.xml"),
        "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<smses count=\"3\">\n"
            + QByteArray(record).replace("%1", "1709673240000")
            + QByteArray(record).replace("%1", "1709673300000")
            + QByteArray(record).replace("%1", "1709673360000").left(40));
    Source file;
    file.id = QStringLiteral("file-cut");
    file.name = QStringLiteral("sms");
    file.log = dir.filePath("sms.xml");
    Backups::save({ file });
    const auto lib = library();
    lib->setRunner({ [](QStringList arguments, Source source) { return Helpers::core(arguments, source); } });
    TestSupport::await(lib->load());
    Shown shown(lib.get());

    const QModelIndex section = shown.list->model()->sectionIndex(file.id);
    ASSERT_EQ(shown.list->model()->rowCount(section), 2);
    const QModelIndex sam = shown.list->model()->index(0, 0, section);
    EXPECT_EQ(ConversationListModel::kind(sam), Kind::Conversation);
    EXPECT_TRUE(sam.data(ConversationListModel::DetailRole).toString().startsWith("2 messages"))
        << sam.data(ConversationListModel::DetailRole).toString().toStdString();
    const QModelIndex notice = shown.list->model()->index(1, 0, section);
    EXPECT_EQ(ConversationListModel::kind(notice), Kind::Notice);
    EXPECT_EQ(notice.data().toString(), "This file ends early: 2 messages were read.");
    EXPECT_FALSE(lib->errors().contains(file.id));
    // Drawn as a status line is, every word of it on its row.
    EXPECT_GT(shown.list->view()->visualRect(notice).height(), 0);
}

// The panel is the desktop's own: its long prompt wraps above the files, so
// the panel stays a panel's width and Add and Cancel stay on the screen.
TEST_F(ConversationListTest, TheChatFilePanelWrapsItsPromptAndFitsTheScreen)
{
    const auto lib = library();
    SourceAdder adder(lib.get());
    QWidget window;
    window.resize(1280, 820);
    auto *list = new ConversationList(lib.get(), &adder, &window);
    window.show();
    Desktop::setInstance(nullptr);
    list->addButton()->menu()->actions()[1]->trigger();
    auto *panel = window.findChild<QFileDialog *>();
    Desktop::setInstance(&TestSupport::desktop());
    ASSERT_TRUE(panel);
    QApplication::processEvents();
    ASSERT_TRUE(panel->isVisible());

    EXPECT_LE(panel->width(), 1000);
    auto *prompt = panel->findChild<QLabel *>(QStringLiteral("panelMessage"));
    ASSERT_TRUE(prompt);
    EXPECT_TRUE(prompt->isVisible());
    EXPECT_TRUE(prompt->text().startsWith("Choose a chat export, or the folder or zip it came in: WhatsApp"));
    EXPECT_LE(prompt->mapTo(panel, QPoint(prompt->width(), 0)).x(), panel->width());
    EXPECT_GE(prompt->height(), 2 * prompt->fontMetrics().lineSpacing());
    for (const QString &text : { QStringLiteral("Add Chat"), QStringLiteral("Cancel") }) {
        QPushButton *button = nullptr;
        for (QPushButton *candidate : panel->findChildren<QPushButton *>()) {
            if (candidate->text() == text)
                button = candidate;
        }
        ASSERT_TRUE(button) << text.toStdString();
        EXPECT_TRUE(panel->rect().contains(QRect(button->mapTo(panel, QPoint(0, 0)), button->size())))
            << text.toStdString();
    }
    panel->reject();
    QTest::qWait(10);
    EXPECT_TRUE(lib->added().isEmpty());
}

TEST_F(ConversationListTest, TheKeysGoFromConversationToConversationOverTheHeaders)
{
    setDatabase(true);
    QTemporaryDir dir;
    const Source file = savedChatFile(dir);
    tool.answers.insert(QStringLiteral("mac"), chats({ { "a" }, { "b" } }));
    tool.answers.insert(file.id, chats({ { "Sam" } }));
    const auto lib = library();
    TestSupport::await(lib->load());
    Shown shown(lib.get());
    QSignalSpy picked(shown.list, &ConversationList::selectionChanged);
    QTreeView *view = shown.list->view();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Down);
    QStringList ids;
    for (const QList<QVariant> &arguments : picked)
        ids << arguments.first().value<std::optional<QString>>().value_or(QString());
    EXPECT_EQ(ids, (QStringList { "a", "b", "file-0000aaaa:Sam" }));
    EXPECT_EQ(shown.list->selection(), "file-0000aaaa:Sam");
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(shown.list->selection(), "b");
}

TEST_F(ConversationListTest, TheAddMenuOffersEveryKindOfSource)
{
    const auto lib = library();
    SourceAdder adder(lib.get());
    QWidget window;
    auto *list = new ConversationList(lib.get(), &adder, &window);
    window.show();
    QPushButton *add = list->addButton();
    EXPECT_EQ(add->text(), "Add Messages");
    EXPECT_EQ(add->toolTip(),
        "Add an iPhone backup, a chat exported from WhatsApp, Telegram, Instagram or "
        "Discord, an Android SMS backup, or paste one in");
    QStringList items;
    for (QAction *action : add->menu()->actions())
        items << action->text();
    EXPECT_EQ(items, (QStringList { "iPhone Backup…", "Chat File…", "Paste a Chat…" }));

    // A cancelled panel adds nothing.
    add->menu()->actions()[1]->trigger();
    ASSERT_EQ(TestSupport::desktop().panels.size(), 1);
    const Desktop::Panel panel = TestSupport::desktop().panels.first();
    EXPECT_EQ(panel.mode, Desktop::Panel::Mode::OpenFileOrFolder);
    EXPECT_EQ(panel.prompt, "Add Chat");
    EXPECT_TRUE(panel.message.startsWith("Choose a chat export, or the folder or zip it came in: WhatsApp"));
    EXPECT_TRUE(panel.nameFilters.first().contains("*.txt"));
    QTest::qWait(10);
    EXPECT_TRUE(lib->added().isEmpty());
}
