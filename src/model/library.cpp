#include "library.h"

#include "backups.h"
#include "bookfile.h"
#include "chatfiles.h"
#include "consent.h"
#include "contacts.h"
#include "defaults.h"
#include "helpers.h"
#include "phonenumbers.h"
#include "text.h"

#include <QFile>
#include <QPointer>
#include <QProcessEnvironment>
#include <QtConcurrent>
#include <qcorofuture.h>
#include <vector>

namespace {

std::optional<QString> variable(const QProcessEnvironment &environment, const QString &name)
{
    if (!environment.contains(name))
        return std::nullopt;
    return environment.value(name);
}

QList<Source> withoutId(const QList<Source> &sources, const QString &id)
{
    QList<Source> kept;
    for (const Source &source : sources) {
        if (source.id != id)
            kept.append(source);
    }
    return kept;
}

// The demo book at path as a conversation of the computer's own source.
std::optional<Conversation> demoConversation(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    BookFile book;
    try {
        book = BookFile::fromJson(file.readAll());
    } catch (const std::exception &) {
        return std::nullopt;
    }
    QString them = QStringLiteral("Them");
    for (const BookFile::Person &person : book.people) {
        if (!person.me) {
            them = person.name;
            break;
        }
    }
    Conversation conversation;
    conversation.key = QStringLiteral("demo:") + them.toLower();
    conversation.group = book.people.size() > 2;
    conversation.name = them;
    conversation.services = { QStringLiteral("iMessage") };
    conversation.messages = int(book.messages.size());
    if (!book.messages.isEmpty()) {
        conversation.first = book.messages.first().at.left(10);
        conversation.last = book.messages.last().at.left(10);
    }
    conversation.source = Source::mac();
    return conversation;
}

// The names table of the address book, built off the main thread.
std::optional<QHash<QString, QString>> readNames(const QString &folder)
{
    const std::optional<QList<Contacts::Card>> cards = Contacts::read(folder);
    if (!cards)
        return std::nullopt;
    QHash<QString, QString> names;
    for (const Contacts::Card &card : *cards) {
        const QString name = card.name();
        if (name.isEmpty())
            continue;
        // A number without digits (or an empty address) has the empty key,
        // which would name every conversation whose key has none either.
        for (const QStringList &handles : { card.phones, card.emails }) {
            for (const QString &handle : handles) {
                const QString key = Library::contactKey(handle);
                if (!key.isEmpty())
                    names.insert(key, name);
            }
        }
    }
    return names;
}

} // namespace

const Library::Environment &Library::Environment::process()
{
    static const Environment environment = [] {
        const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
        Environment read;
        read.demoBooks = Helpers::demoBooks();
        read.backup = variable(system, QStringLiteral("QUORVEL_BACKUP"));
        read.backupPassword = variable(system, QStringLiteral("QUORVEL_BACKUP_PASSWORD"));
        read.file = variable(system, QStringLiteral("QUORVEL_FILE"));
        read.contacts = Contacts::folder();
        return read;
    }();
    return environment;
}

Library::Library(QObject *parent)
    : Library(Environment::process(), parent)
{ }

Library::Library(const Environment &environment, QObject *parent)
    : QObject(parent)
    , m_environment(environment)
    , m_runner([](QStringList arguments, Source source) { return Helpers::core(arguments, source); })
    , m_added(Backups::saved())
{ }

void Library::setRunner(Runner runner)
{
    m_runner = std::move(runner);
}

QList<Source> Library::sources() const
{
    if (!m_environment.demoBooks.isEmpty())
        return { Source::mac() };
    QList<Source> sources;
    if (m_access == Access::Granted)
        sources.append(Source::mac());
    return sources + m_added;
}

QList<Conversation> Library::conversations() const
{
    QList<Conversation> all;
    for (const Source &source : sources())
        all += m_lists.value(source.id);
    return all;
}

QCoro::Task<void> Library::load()
{
    if (!m_environment.demoBooks.isEmpty()) {
        loadDemo();
        co_return;
    }
    QPointer<Library> self(this);
    co_await addDevelopmentBackup();
    if (!self)
        co_return;
    co_await addDevelopmentFile();
    if (!self)
        co_return;
    checkAccess();
    if (m_access != Access::Granted && m_added.isEmpty())
        co_return;

    // Tasks start at once: the names and every source run side by side.
    QCoro::Task<void> names = loadNames();
    std::vector<QCoro::Task<void>> loads;
    for (const Source &source : sources())
        loads.push_back(load(source));
    for (QCoro::Task<void> &task : loads)
        co_await std::move(task);
    co_await std::move(names);
}

void Library::loadDemo()
{
    setAccess(Access::Granted);
    QList<Conversation> demos;
    for (const QString &path : m_environment.demoBooks) {
        if (const std::optional<Conversation> conversation = demoConversation(path))
            demos.append(*conversation);
    }
    const QHash<QString, QList<Conversation>> lists { { Source::mac().id, demos } };
    if (lists == m_lists)
        return;
    changing([&] {
        m_lists = lists;
        emit listsChanged();
    });
}

QCoro::Task<void> Library::load(Source source)
{
    QPointer<Library> self(this);
    Pending &pending = m_pending[source.id];
    const quint64 ticket = ++pending.newest;
    ++pending.running;
    setLoading(source.id, true);

    // The runner is copied: the task may outlive a runner replaced meanwhile.
    const Runner runner = m_runner;
    std::optional<QList<Conversation>> list;
    QString error;
    try {
        const QByteArray answer = co_await runner(
            { QStringLiteral("chats"), QStringLiteral("--limit"), QStringLiteral("300") }, source);
        list = Conversation::listFromJson(answer);
        for (Conversation &conversation : *list)
            conversation.source = source;
    } catch (const std::exception &failure) {
        error = QString::fromUtf8(failure.what());
    }
    if (!self)
        co_return;

    Pending &now = m_pending[source.id];
    --now.running;
    // Only the newest load of a source decides it; a forget counts as newer.
    if (now.newest == ticket) {
        if (list) {
            setList(source.id, list);
            setError(source.id, std::nullopt);
        } else {
            setError(source.id, error);
        }
    }
    if (now.newest == ticket || now.running == 0)
        setLoading(source.id, false);
}

QCoro::Task<void> Library::add(Source source)
{
    co_await keep(source);
    // Someone who started with nothing to read had no contacts read yet:
    // the first chat they add brings them in, before it is listed, so that
    // a number in it is named as their contact from the first screen to
    // the printed page.
    if (m_newestNames == 0) {
        QPointer<Library> self(this);
        co_await loadNames();
        if (!self)
            co_return;
    }
    co_await load(source);
}

QCoro::Task<void> Library::keep(Source source)
{
    const QList<Source> before = m_added;
    const bool replacing = before.size() != withoutId(before, source.id).size();
    setAdded(withoutId(before, source.id) + QList<Source> { source });
    // A source the saved list doesn't name would leave its files (for a
    // backup, its messages unlocked) behind at the next start, named
    // nowhere and never deleted. One added before names the same folder.
    if (Backups::keep(source) || replacing)
        co_return;
    setAdded(before);
    Backups::drop(source.id);
    co_await Backups::forget(source);
    throw Helpers::Failure(Helpers::appName(), 0,
        QStringLiteral("Quorvel couldn't write %1, where it keeps what you add, so this wasn't added.")
            .arg(Defaults::standard().fileName()));
}

QCoro::Task<void> Library::forget(Source source)
{
    QPointer<Library> self(this);
    co_await Backups::forget(source);
    if (!self)
        co_return;
    // A load of this source still running must not bring its list back.
    ++m_pending[source.id].newest;
    setAdded(withoutId(m_added, source.id));
    setList(source.id, std::nullopt);
    Backups::drop(source.id);
}

void Library::checkAccess()
{
    QFile database(Helpers::database());
    setAccess(database.open(QIODevice::ReadOnly) ? Access::Granted : Access::Denied);
}

QCoro::Task<void> Library::addDevelopmentBackup()
{
    const std::optional<QString> path = m_environment.backup;
    if (!path)
        co_return;
    for (const Source &source : std::as_const(m_added)) {
        if (source.backup == *path)
            co_return;
    }
    const std::optional<QString> password = m_environment.backupPassword;
    QPointer<Library> self(this);
    try {
        const BackupInfo info = co_await Backups::info(*path);
        const Source source = co_await Backups::unlock(info, password);
        if (!self) {
            // Nothing would name what unlocking wrote.
            co_await Backups::forget(source);
            co_return;
        }
        co_await keep(source);
    } catch (const std::exception &) {
        // Development sources fail silently.
    }
}

QCoro::Task<void> Library::addDevelopmentFile()
{
    const std::optional<QString> path = m_environment.file;
    if (!path)
        co_return;
    const QString name = ChatFiles::nameFor(*path);
    for (const Source &source : std::as_const(m_added)) {
        if (source.name == name)
            co_return;
    }
    QPointer<Library> self(this);
    try {
        const Source source = co_await ChatFiles::add(*path);
        if (!self)
            co_return;
        co_await keep(source);
    } catch (const std::exception &) {
        // Development sources fail silently.
    }
}

QCoro::Task<void> Library::loadNames()
{
    QPointer<Library> self(this);
    const quint64 ticket = ++m_newestNames;
    const std::optional<QHash<QString, QString>> names
        = co_await QtConcurrent::run(QThreadPool::globalInstance(), readNames, m_environment.contacts);
    // No readable address book leaves the names as they were.
    if (!self || !names || ticket != m_newestNames || *names == m_names)
        co_return;
    m_names = *names;
    emit namesChanged();
}

QString Library::contactKey(const QString &handle)
{
    if (handle.contains(u'@'))
        return handle.toLower();
    const QStringList digits = PhoneNumbers::numerics(handle);
    return digits.mid(std::max<qsizetype>(0, digits.size() - 10)).join(QString());
}

QString Library::prettyHandle(const QString &handle)
{
    return PhoneNumbers::pretty(handle);
}

QString Library::memberName(const QString &handle) const
{
    return memberNames()(handle);
}

std::function<QString(const QString &)> Library::memberNames() const
{
    return [names = m_names](const QString &handle) {
        if (!handle.contains(u'@') && PhoneNumbers::numerics(handle).isEmpty())
            return handle;
        return names.value(contactKey(handle), prettyHandle(handle));
    };
}

QString Library::displayName(const Conversation &conversation) const
{
    // A chat the other person exported is named after the user: shown by
    // its own name, the user would be on both sides of it.
    if (Consent::isNamedAfterUser(conversation)) {
        if (const std::optional<QString> other = Consent::otherParty(conversation))
            return memberName(*other);
    }
    if (conversation.name && !conversation.name->isEmpty())
        return Text::hasLetter(*conversation.name) ? *conversation.name : memberName(*conversation.name);
    if (conversation.group)
        return QStringLiteral("Group chat");
    if (conversation.source.log) {
        // A chat export lists its people but keys a chat without a name by
        // all of them, the user too: it is shown by the person the user
        // talks to, a number or an address as the contact it is.
        if (const std::optional<QString> other = Consent::otherParty(conversation))
            return memberName(*other);
        return conversation.key;
    }
    return m_names.value(contactKey(conversation.key), prettyHandle(conversation.key));
}

void Library::setMe(const Conversation &conversation, const QString &name)
{
    if (Consent::me(conversation) == name)
        return;
    Consent::setMe(conversation, name);
    emit namesChanged();
}

void Library::changing(const std::function<void()> &change)
{
    const QList<Source> sourcesBefore = sources();
    const QList<Conversation> conversationsBefore = conversations();
    change();
    if (sources() != sourcesBefore)
        emit sourcesChanged();
    if (conversations() != conversationsBefore)
        emit conversationsChanged();
}

void Library::setAccess(Access access)
{
    if (m_access == access)
        return;
    changing([&] {
        m_access = access;
        emit accessChanged();
    });
}

void Library::setAdded(const QList<Source> &added)
{
    if (m_added == added)
        return;
    changing([&] {
        m_added = added;
        emit addedChanged();
    });
}

void Library::setList(const QString &id, const std::optional<QList<Conversation>> &list)
{
    const bool same = list ? m_lists.contains(id) && m_lists.value(id) == *list : !m_lists.contains(id);
    if (same)
        return;
    changing([&] {
        if (list)
            m_lists.insert(id, *list);
        else
            m_lists.remove(id);
        emit listsChanged();
    });
}

void Library::setError(const QString &id, const std::optional<QString> &error)
{
    const bool same = error ? m_errors.contains(id) && m_errors.value(id) == *error : !m_errors.contains(id);
    if (same)
        return;
    if (error)
        m_errors.insert(id, *error);
    else
        m_errors.remove(id);
    emit errorsChanged();
}

void Library::setLoading(const QString &id, bool loading)
{
    if (m_loadingSources.contains(id) == loading)
        return;
    if (loading)
        m_loadingSources.insert(id);
    else
        m_loadingSources.remove(id);
    emit loadingSourcesChanged();
}
