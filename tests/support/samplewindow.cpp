#include "samplewindow.h"

#include "app/contentview.h"
#include "app/conversationlist.h"
#include "app/conversationlistmodel.h"
#include "app/mainwindow.h"
#include "app/updater.h"
#include "flow/bookflow.h"
#include "flow/bookhomeview.h"
#include "flow/consentview.h"
#include "model/backups.h"
#include "model/consent.h"
#include "model/library.h"
#include "uitestsupport.h"
#include "viewer/bookview.h"
#include "wizard/wizardview.h"
#include "wrapped/wrappedview.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace {

constexpr int Long = 180000;

} // namespace

BookFile SampleWindow::sampleBook()
{
    return BookFile::fromJson(
        TestSupport::readFile(TestSupport::sourceDir() + QStringLiteral("/samples/sample-book.json")));
}

Source SampleWindow::chat(const BookFile &sample, const QString &folder)
{
    QHash<QString, QString> names;
    for (const BookFile::Person &person : sample.people)
        names.insert(person.id, person.name);
    QString chat;
    for (const BookFile::Message &message : sample.messages) {
        if (!message.text)
            continue;
        const QDateTime at = QDateTime::fromString(message.at, Qt::ISODate);
        chat += at.toString(QStringLiteral("M/d/yy, h:mm AP")) + QStringLiteral(" - ")
            + names.value(message.from) + QStringLiteral(": ") + *message.text + QLatin1Char('\n');
    }
    QString them;
    for (const BookFile::Person &person : sample.people)
        them = person.me ? them : person.name;
    const QString path = folder + QStringLiteral("/WhatsApp Chat with %1.txt").arg(them);
    TestSupport::writeFile(path, chat.toUtf8());
    Source file;
    file.id = QStringLiteral("file-0000bbbb");
    file.name = QStringLiteral("WhatsApp Chat with %1").arg(them);
    file.log = path;
    return file;
}

SampleWindow::SampleWindow(Consent consent, QSize size, const BookFile &book)
{
    m_service.pointClientHere();
    qputenv("QUORVEL_HANDOFF_ORIGIN", m_service.origin().toUtf8());
    TestSupport::desktop().reset();
    const Source chat = SampleWindow::chat(book, m_books.path());
    // The tool names a chat's conversation after the other person.
    m_conversation = chat.id + QLatin1Char(':') + chat.name.mid(QStringLiteral("WhatsApp Chat with ").size());
    Backups::save({ chat });
    if (consent == Consent::Book)
        ::Consent::record(conversation());
    else if (consent == Consent::WrappedOnly)
        ::Consent::recordWrapped(conversation());
    m_library = std::make_unique<Library>(Library::Environment {});
    m_updater = std::make_unique<Updater>(QString());
    m_window = std::make_unique<MainWindow>(m_library.get(), m_updater.get());
    m_window->resize(size);
    m_window->show();
}

SampleWindow::~SampleWindow()
{
    m_window.reset();
    qunsetenv("QUORVEL_HANDOFF_ORIGIN");
}

ContentView *SampleWindow::content() const
{
    return m_window->content();
}

bool SampleWindow::pick()
{
    ConversationList *list = content()->conversationList();
    if (!TestSupport::waitUntil([&] { return list->model()->indexOf(conversation()).isValid(); }, Long))
        return false;
    QTreeView *tree = list->view();
    const QModelIndex index = list->model()->indexOf(conversation());
    tree->scrollTo(index);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    return content()->selection() == conversation();
}

BookFlow *SampleWindow::open()
{
    if (!pick())
        return nullptr;
    TestSupport::waitUntil([&] { return content()->detail() == ContentView::Detail::Book; }, Long);
    return flow();
}

BookFlow *SampleWindow::flow() const
{
    return qobject_cast<BookFlow *>(content()->detailWidget());
}

WizardView *SampleWindow::wizard()
{
    BookFlow *book = flow() ? flow() : open();
    if (!book || book->mode() != BookFlow::Mode::Wizard)
        return nullptr;
    WizardModel *model = book->wizard();
    if (!TestSupport::waitUntil([&] { return model->isFoundReady(); }, Long))
        return nullptr;
    return qobject_cast<WizardView *>(book->screen());
}

BookHomeView *SampleWindow::home()
{
    BookFlow *book = flow() ? flow() : open();
    if (!book)
        return nullptr;
    if (book->mode() == BookFlow::Mode::Wizard) {
        QWidget *makeItForMe = nullptr;
        TestSupport::waitUntil(
            [&] {
                makeItForMe = TestSupport::findText(book->screen(), QStringLiteral("Make It for Me"));
                return makeItForMe && makeItForMe->isEnabled();
            },
            Long);
        if (!makeItForMe)
            return nullptr;
        QTest::mouseClick(makeItForMe, Qt::LeftButton);
    } else if (book->mode() != BookFlow::Mode::Home) {
        book->makeBook();
    }
    TestSupport::waitUntil([&] { return book->mode() == BookFlow::Mode::Home; }, Long);
    auto *page = qobject_cast<BookHomeView *>(book->screen());
    if (page)
        TestSupport::waitUntil([&] { return page->pricesAsked() && page->hasCover(); }, Long);
    return page;
}

BookView *SampleWindow::pages()
{
    BookFlow *book = flow();
    if (!book || book->mode() != BookFlow::Mode::Pages) {
        BookHomeView *page = home();
        if (!page)
            return nullptr;
        page->pagesAction()->trigger();
        book = flow();
    }
    return book && book->mode() == BookFlow::Mode::Pages ? qobject_cast<BookView *>(book->screen()) : nullptr;
}

WrappedView *SampleWindow::wrapped()
{
    BookFlow *book = flow() ? flow() : open();
    if (!book)
        return nullptr;
    if (book->mode() != BookFlow::Mode::Wrapped)
        book->openWrapped(std::nullopt);
    TestSupport::waitUntil([&] { return qobject_cast<WrappedView *>(book->screen()) != nullptr; }, Long);
    return qobject_cast<WrappedView *>(book->screen());
}
