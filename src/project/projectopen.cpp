// Opening a conversation into a book: the folder, the first export of
// book.json, decoding it and the default range; then names of the people.
#include "fileerror.h"
#include "model/bookdates.h"
#include "model/colophon.h"
#include "model/consent.h"
#include "model/day.h"
#include "model/helpers.h"
#include "model/json.h"
#include "model/keychain.h"
#include "model/text.h"
#include "ownnames.h"
#include "project.h"
#include "unfinishedbooks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <exception>
#include <qcorofuture.h>

namespace {

Project::KeyReader &keyReader()
{
    static Project::KeyReader reader = &Keychain::get;
    return reader;
}

// The export is written here and becomes book.json only once the tool has
// succeeded, so a failed or interrupted export leaves nothing to trust.
QString partPath(const QString &folder)
{
    return folder + QStringLiteral("/book.json.part");
}

void adopt(const QString &part, const QString &book)
{
    QFile::remove(book);
    if (!QFile::rename(part, book)) {
        QFile::remove(part);
        throw FileError(QStringLiteral("The book couldn't be put in place at %1.").arg(book));
    }
}

QString demoKey(const Helpers::DemoTitle &title)
{
    QString name = QStringLiteral("them");
    for (const Helpers::DemoTitle::Person &person : title.people) {
        if (!person.me) {
            name = person.name;
            break;
        }
    }
    return QStringLiteral("demo:") + name.toLower();
}

// Copies the demo book made for this conversation, when one is; false when
// none matches.
bool copyDemo(const Conversation &conversation, const QString &folder)
{
    for (const QString &demo : Helpers::demoBooks()) {
        QFile file(demo);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<Helpers::DemoTitle> title = Helpers::DemoTitle::fromJson(file.readAll());
        if (!title || demoKey(*title) != conversation.key)
            continue;
        const QString part = partPath(folder);
        QFile::remove(part);
        if (!file.copy(part))
            throw FileError(
                QStringLiteral("The demo book %1 couldn't be copied: %2.").arg(demo, file.errorString()));
        adopt(part, folder + QStringLiteral("/book.json"));
        return true;
    }
    return false;
}

QString firstWordOfFullName()
{
    const QStringList words = Consent::fullName().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return words.isEmpty() ? QStringLiteral("Me") : words.first();
}

QCoro::Task<void> exportBook(Conversation conversation, QString them, QString folder)
{
    QString me = firstWordOfFullName();
    QString other = them;
    QStringList extra = conversation.source.exportArguments();
    // Where the people are known, the tool is told who the user is: the
    // stored choice, else the one the export or the guess names. Without
    // it a chat export would get the account's name for the user and the
    // list of everyone, the user too, for the other side. A chat only the
    // other person wrote has no user among its people.
    const QString user = Consent::user(conversation);
    if (!user.isEmpty()) {
        extra << QStringLiteral("--me-is") << user;
        me = user;
        for (const Conversation::LogPerson &person : *conversation.people) {
            if (person.name != user) {
                other = person.name;
                break;
            }
        }
    }
    const QString part = partPath(folder);
    QStringList arguments { QStringLiteral("export"), QStringLiteral("--conversation"), conversation.key,
        QStringLiteral("--out"), part, QStringLiteral("--title"), QStringLiteral("You & ") + other,
        QStringLiteral("--them"), other, QStringLiteral("--me"), me };
    arguments += extra;

    std::optional<QString> key;
    if (conversation.source.encrypted)
        key = co_await keyReader()(conversation.source.id);
    QFile::remove(part);
    try {
        co_await Helpers::core(arguments, conversation.source, key);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    adopt(part, folder + QStringLiteral("/book.json"));
}

struct Decoded
{
    std::optional<BookFile> book;
    std::exception_ptr error;
    // The other side got the name opening gave it, not yet saved unless
    // ranged.
    bool renamed = false;
    // The fresh book's default range is already in the book and on disk.
    bool ranged = false;
    // The line under the title was the years of the whole conversation in a
    // book of fewer of them, and now says the range's; not yet saved
    // unless ranged.
    bool colophonMended = false;
    // The book now writes dates as the user's locale does.
    bool datesMended = false;
};

// Who is who in the conversation a book is opened from: the name the
// window shows the other side by, and, where a chat file lists them, its
// key, its people and the one of them who is the user.
struct WhoIsWho
{
    QString them;
    bool group = false;
    // The book's folder, where the names the user gave are kept.
    QString folder;
    QString key;
    QStringList people;
    QString user;
};

Decoded decode(const QString &path)
{
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw FileError(
                QStringLiteral("The book at %1 can't be read: %2.").arg(path, file.errorString()));
        return { BookFile::fromJson(file.readAll()), nullptr, false, false };
    } catch (...) {
        return { std::nullopt, std::current_exception(), false, false };
    }
}

// A chat file's book exported before the user was known: the account's
// name for the user, who wrote nothing, and the chat's two people as
// members of a group. Its people become the user and the other party, each
// with their own messages, as a book exported now has them; false when the
// book is not such a book, or the user named its people.
bool mendMembers(BookFile &book, const WhoIsWho &who)
{
    if (who.group || who.user.isEmpty() || who.people.size() != 2 || who.people.first() == who.people.last())
        return false;
    QList<BookFile::Person> users;
    QList<BookFile::Person> members;
    for (const BookFile::Person &person : std::as_const(book.people))
        (person.me ? users : members).append(person);
    if (users.size() != 1 || members.size() != 2)
        return false;
    QStringList names;
    for (const BookFile::Person &member : std::as_const(members)) {
        if (!member.id.startsWith(QLatin1Char('p')))
            return false;
        names.append(member.name);
    }
    QStringList people = who.people;
    names.sort();
    people.sort();
    if (names != people || !OwnNames::read(who.folder).isEmpty())
        return false;

    const BookFile::Person &user = members.at(members.at(0).name == who.user ? 0 : 1);
    const BookFile::Person &other = members.at(members.at(0).name == who.user ? 1 : 0);
    const BookFile::Person mine { users.first().id, user.name, true };
    const BookFile::Person theirs { QStringLiteral("them"), other.name, false };
    const auto side = [&](const QString &id) {
        return id == user.id ? mine.id : id == other.id ? theirs.id : id;
    };
    for (BookFile::Message &message : book.messages) {
        message.from = side(message.from);
        if (message.who)
            message.who = side(*message.who);
    }
    // The title was made of the name the chat was shown by then: its key,
    // everyone in it.
    if (book.front.title == QStringLiteral("You & ") + who.key)
        book.front.title = QStringLiteral("You & ") + theirs.name;
    book.people = { mine, theirs };
    return true;
}

// Brings the other side's name in step with the name the conversation is
// shown by, and a title made of the old name with it; false when nothing
// changed. A number is written as the window writes it, but never takes
// the place of a name: the contacts may not have been read yet. A group's
// name names the whole group, not its first member: members keep their own
// names (nameMembers gives them their contact names). A name the user
// chose in the names sheet stays.
bool renameOther(BookFile &book, const WhoIsWho &who)
{
    if (who.group)
        return false;
    auto other = std::find_if(
        book.people.begin(), book.people.end(), [](const BookFile::Person &person) { return !person.me; });
    if (other == book.people.end() || other->name == who.them || who.them.isEmpty())
        return false;
    // Never the user's own name: the other side would be the user too.
    if (!who.user.isEmpty() && who.them == who.user)
        return false;
    if (!Text::hasLetter(who.them) && Text::hasLetter(other->name))
        return false;
    if (OwnNames::read(who.folder).them == other->name)
        return false;
    const QString old = other->name;
    other->name = who.them;
    if (book.front.title == QStringLiteral("You & ") + old)
        book.front.title = QStringLiteral("You & ") + who.them;
    return true;
}

// Three calendar months before the last day, when the book reaches
// further back than that.
std::optional<QString> defaultStart(const QString &firstDay, const QString &lastDay)
{
    const std::optional<QDateTime> last = Day::date(lastDay);
    if (!last)
        return std::nullopt;
    const QDateTime shifted = last->addMonths(-3);
    if (!shifted.isValid())
        return std::nullopt;
    const QString cutoff = Day::iso(shifted);
    if (firstDay < cutoff)
        return cutoff;
    return std::nullopt;
}

// Decodes a book, renames its other side, brings a line under the title
// that follows the range to the range's years (a book saved before the
// line followed it may still say the whole conversation's) and its dates
// to the user's locale (a book made under another, or before the app
// wrote them, writes them otherwise); when it is
// fresh and has no design yet, gives it its default range and saves it,
// all off the main
// thread: saving a long book there would hold the window up while the
// user goes from one conversation to the next. Without a design there is
// no receipt to refresh, so this is all that setting the range would do.
// The renaming comes first, so that the pages typeset from the saved book
// name the other side as the window does.
Decoded decodeFresh(const QString &path, bool fresh, const WhoIsWho &who)
{
    Decoded decoded = decode(path);
    if (decoded.book) {
        const bool mended = mendMembers(*decoded.book, who);
        decoded.renamed = renameOther(*decoded.book, who) || mended;
        decoded.colophonMended = Colophon::mend(*decoded.book);
        decoded.datesMended = BookDates::mend(*decoded.book);
    }
    if (!fresh || !decoded.book || decoded.book->design || decoded.book->messages.isEmpty())
        return decoded;
    BookFile &book = *decoded.book;
    const QString first = book.messages.first().at.left(10);
    const std::optional<QString> start = defaultStart(first, book.messages.last().at.left(10));
    if (!start)
        return decoded;
    BookFile ranged = book;
    const bool followed = Colophon::followsRange(ranged);
    ranged.edits.range = Edits::DayRange { *start, std::nullopt };
    if (followed)
        ranged.front.colophon = Colophon::ofRange(ranged);
    QSaveFile file(path);
    // A failed save is left to the main thread, which says so.
    if (!file.open(QIODevice::WriteOnly) || file.write(ranged.toJsonBytes()) < 0 || !file.commit())
        return decoded;
    book = std::move(ranged);
    decoded.ranged = true;
    return decoded;
}

} // namespace

void Project::setKeyReader(KeyReader reader)
{
    keyReader() = reader ? std::move(reader) : KeyReader(&Keychain::get);
}

QCoro::Task<std::unique_ptr<Project>> Project::open(Conversation conversation, QString them)
{
    const QString folder = booksFolder() + QLatin1Char('/') + folderName(conversation.id());
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("The book folder %1 couldn't be made.").arg(folder));
    const QString book = folder + QStringLiteral("/book.json");
    bool existed = QFileInfo::exists(book);
    if (!existed) {
        // Claimed while the book is on its way, so that the next start's
        // sweep removes what a killed export left and never what another
        // window is writing. An export of the same conversation under way
        // (the user came back to it, or opened it in another window) is
        // waited for, and its book read.
        FolderLock claim = co_await UnfinishedBooks::claim(folder);
        const auto letGo = qScopeGuard([&] { claim.releaseAndUnlink(); });
        existed = QFileInfo::exists(book);
        if (!existed && !copyDemo(conversation, folder))
            co_await exportBook(conversation, them, folder);
    }

    WhoIsWho who { them, conversation.group, folder, conversation.key, {}, {} };
    if (conversation.source.log && conversation.people) {
        for (const Conversation::LogPerson &person : *conversation.people)
            who.people.append(person.name);
        who.user = Consent::user(conversation);
    }
    const Decoded decoded = co_await QtConcurrent::run(decodeFresh, book, !existed, who);
    if (decoded.error)
        std::rethrow_exception(decoded.error);

    std::unique_ptr<Project> project(new Project(std::move(conversation), folder, *decoded.book));
    bool saved = decoded.ranged;
    if (!existed && !decoded.ranged) {
        if (const std::optional<QString> start = defaultStart(project->firstDay(), project->lastDay())) {
            project->setRange(*start, std::nullopt);
            saved = true;
        }
    }
    // The first pages are typeset from the saved book: a name mended here
    // (a book first opened under a list of everyone in the chat) is saved
    // before them, with the receipt that names it.
    if ((decoded.renamed || decoded.colophonMended) && !saved) {
        project->refreshReceipt();
        project->saveAndTypeset();
    } else if (decoded.datesMended && !saved) {
        project->saveAndTypeset();
    }
    project->typesetSoon(std::chrono::milliseconds(0));
    co_return project;
}

void Project::nameMembers(const std::function<QString(const QString &)> &name)
{
    bool changed = false;
    for (BookFile::Person &person : m_book.people) {
        if (!person.id.startsWith(QLatin1Char('p')))
            continue;
        const QString named = name(person.name);
        if (named != person.name) {
            person.name = named;
            changed = true;
        }
    }
    if (changed) {
        emit bookChanged();
        saveAndTypeset();
    }
}
