#pragma once

#include "conversation.h"
#include "source.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <qcorotask.h>

// What can be read: the message sources, each source's conversations as
// the message tool lists them, whether the computer's own Messages
// database may be read, per-source loading and error state, and the names
// of the user's contacts. One instance lives on the main thread for the
// whole process; every change signal fires only when the value really
// changed.
class Library : public QObject
{
    Q_OBJECT

public:
    enum class Access { Unknown, Granted, Denied };
    Q_ENUM(Access)

    // Development aids and places the environment names, read once.
    struct Environment
    {
        // "QUORVEL_DEMO": in demo mode these books are all there is.
        QStringList demoBooks;
        // "QUORVEL_BACKUP" and "QUORVEL_BACKUP_PASSWORD": a backup added at load.
        std::optional<QString> backup;
        std::optional<QString> backupPassword;
        // "QUORVEL_FILE": a chat file added at load.
        std::optional<QString> file;
        // The address book's folder.
        QString contacts;

        static const Environment &process();
    };

    // Runs the message tool for a source; tests give controlled answers.
    // The returned task must not need the function object to stay alive.
    using Runner = std::function<QCoro::Task<QByteArray>(QStringList arguments, Source source)>;

    // Starts with the saved sources (Backups::saved()).
    explicit Library(QObject *parent = nullptr);
    explicit Library(const Environment &environment, QObject *parent = nullptr);

    Access access() const { return m_access; }
    // The sources the user added, in the order they were added.
    QList<Source> added() const { return m_added; }
    // Each loaded source's conversations by source id, in the tool's order.
    QHash<QString, QList<Conversation>> lists() const { return m_lists; }
    QSet<QString> loadingSources() const { return m_loadingSources; }
    // The last failure of reading a source's conversations, by source id.
    QHash<QString, QString> errors() const { return m_errors; }

    // In demo mode only the computer's own source; otherwise that source
    // when access is granted, then the added ones.
    QList<Source> sources() const;
    // The lists of sources(), in that order.
    QList<Conversation> conversations() const;

    // Demo mode, or: the development sources, the access probe, then every
    // source's conversations side by side with the contact names. Never
    // fails. When loads overlap, the newest one decides each source.
    QCoro::Task<void> load();
    // One source's conversations into lists(), or its failure into errors().
    QCoro::Task<void> load(Source source);
    // Adds (or moves to the end) a source, saves the list and loads it;
    // with the contact names when none were read yet. Throws a
    // Helpers::Failure, and forgets the source's files and key, when the
    // list can't be saved with a new source in it.
    QCoro::Task<void> add(Source source);
    // Removes a source with its files, keychain item and conversations.
    QCoro::Task<void> forget(Source source);
    // Whether the Messages database opens for reading.
    void checkAccess();

    // An e-mail address in lower case, else the last ten numeric
    // characters of a phone number.
    static QString contactKey(const QString &handle);
    // A handle as it is shown without a contact (PhoneNumbers::pretty): a
    // phone number as its owner writes it, anything else as it is.
    static QString prettyHandle(const QString &handle);
    // The name a conversation is shown under.
    QString displayName(const Conversation &conversation) const;
    // Stores which participant of a conversation is the user (Consent::me),
    // by which a chat export's conversation is shown.
    void setMe(const Conversation &conversation, const QString &name);
    // The name of one participant, from the handle or name the tool gave.
    QString memberName(const QString &handle) const;
    // memberName() over a copy of today's names, for use on any thread.
    std::function<QString(const QString &)> memberNames() const;

    void setRunner(Runner runner);

signals:
    void accessChanged();
    void addedChanged();
    void listsChanged();
    void loadingSourcesChanged();
    void errorsChanged();
    // The names conversations are shown by may differ: the contacts were
    // read again, or the user said which participant they are.
    void namesChanged();
    // The derived properties, when their value changed.
    void sourcesChanged();
    void conversationsChanged();

private:
    // Which load of a source is the newest, and how many run.
    struct Pending
    {
        quint64 newest = 0;
        int running = 0;
    };

    void loadDemo();
    // Adds a source to added() and saves the list; see add().
    QCoro::Task<void> keep(Source source);
    QCoro::Task<void> addDevelopmentBackup();
    QCoro::Task<void> addDevelopmentFile();
    QCoro::Task<void> loadNames();

    // Runs change, then signals the derived properties that it changed.
    void changing(const std::function<void()> &change);
    void setAccess(Access access);
    void setAdded(const QList<Source> &added);
    void setList(const QString &id, const std::optional<QList<Conversation>> &list);
    void setError(const QString &id, const std::optional<QString> &error);
    void setLoading(const QString &id, bool loading);

    Environment m_environment;
    Runner m_runner;
    Access m_access = Access::Unknown;
    QList<Source> m_added;
    QHash<QString, QList<Conversation>> m_lists;
    QSet<QString> m_loadingSources;
    QHash<QString, QString> m_errors;
    QHash<QString, QString> m_names;
    QHash<QString, Pending> m_pending;
    quint64 m_newestNames = 0;
};
