#include "project.h"

#include "fileerror.h"
#include "model/defaults.h"
#include "model/helpers.h"
#include "model/namelimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTextBoundaryFinder>
#include <QUuid>

namespace {

QString &booksFolderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

Project::Typesetter Project::Typesetter::typst()
{
    return { &Helpers::typeset, &Helpers::layout };
}

Project::Project(Conversation conversation, QString folder, BookFile book)
    : m_conversation(std::move(conversation))
    , m_folder(std::move(folder))
    , m_book(std::move(book))
{ }

Project::~Project() = default;

QString Project::booksFolder()
{
    if (!booksFolderOverride().isEmpty())
        return booksFolderOverride();
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    // A fixed name, not the app's name: books stay where they are if the
    // app is renamed.
    return data + QStringLiteral("/Quorvel/Books");
}

void Project::setBooksFolder(const QString &folder)
{
    booksFolderOverride() = folder;
}

QString Project::folderName(const QString &identifier)
{
    QString name;
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, identifier);
    qsizetype start = 0;
    while (clusters.toNextBoundary() != -1) {
        const qsizetype end = clusters.position();
        const QStringView cluster = QStringView(identifier).mid(start, end - start);
        // A cluster is what its first code point is: "é" spelt with a
        // combining accent is still a letter.
        const char32_t first = cluster.toUcs4().value(0);
        if (QChar::isLetter(first) || QChar::isNumber(first))
            name += cluster;
        else
            name += QLatin1Char('-');
        start = end;
    }
    // A group keyed by all its members can name more than a file system
    // takes; names within the limit are left as they are, so every folder
    // made before still opens.
    return NameLimit::cut(name);
}

void Project::setBook(const BookFile &book)
{
    m_book = book;
    emit bookChanged();
}

void Project::setStyle(const QString &style)
{
    if (m_style == style)
        return;
    m_style = style;
    emit styleChanged();
}

void Project::setError(const std::optional<QString> &error)
{
    if (m_error == error)
        return;
    m_error = error;
    emit errorChanged();
}

void Project::setPdf(const QString &pdf)
{
    if (m_pdf == pdf)
        return;
    m_pdf = pdf;
    emit pdfChanged();
}

void Project::setLayout(const Layout &layout)
{
    // Stored either way; observers hear of it only when it differs coarsely.
    const bool changed = !(m_layout == layout);
    m_layout = layout;
    if (changed)
        emit layoutChanged();
}

void Project::setTypesetting(bool typesetting)
{
    if (m_typesetting == typesetting)
        return;
    m_typesetting = typesetting;
    emit typesettingChanged();
}

QString Project::bookPath() const
{
    return m_folder + QStringLiteral("/book.json");
}

QString Project::firstDay() const
{
    return m_book.messages.isEmpty() ? QString() : m_book.messages.first().day();
}

QString Project::lastDay() const
{
    return m_book.messages.isEmpty() ? QString() : m_book.messages.last().day();
}

QString Project::from() const
{
    if (m_book.edits.range && m_book.edits.range->from)
        return *m_book.edits.range->from;
    return firstDay();
}

QString Project::to() const
{
    if (m_book.edits.range && m_book.edits.range->to)
        return *m_book.edits.range->to;
    return lastDay();
}

bool Project::isHidden(const QString &id) const
{
    return m_book.edits.hidden && m_book.edits.hidden->contains(id);
}

bool Project::inRange(const BookFile::Message &message, const QString &first, const QString &last)
{
    const QString day = message.day();
    return first <= day && day <= last;
}

int Project::messagesInRange() const
{
    const QString first = from();
    const QString last = to();
    const QStringList hiddenList = m_book.edits.hidden.value_or(QStringList());
    const QSet<QString> hidden(hiddenList.cbegin(), hiddenList.cend());
    int count = 0;
    for (const BookFile::Message &message : m_book.messages) {
        if (inRange(message, first, last) && !hidden.contains(message.id))
            ++count;
    }
    return count;
}

void Project::exportPDF(const QString &destination) const
{
    if (m_pdf.isEmpty())
        return;
    if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()) {
        QFile existing(destination);
        if (!existing.remove())
            throw FileError(QStringLiteral("The file at %1 couldn't be replaced: %2.")
                                .arg(destination, existing.errorString()));
    }
    QFile pdf(m_pdf);
    if (!pdf.copy(destination))
        throw FileError(
            QStringLiteral("The PDF couldn't be saved at %1: %2.").arg(destination, pdf.errorString()));
}

void Project::deleteEverything()
{
    // typst runs and cover drafts still under way write into the folder by
    // its path, and a file they add while it is emptied keeps it from going.
    // Moved aside in one step first, the folder is gone for them at once:
    // what they write fails instead.
    const QFileInfo place(m_folder);
    const QString aside = place.absolutePath() + QStringLiteral("/.removing-") + place.fileName()
        + QLatin1Char('-') + QUuid::createUuid().toString(QUuid::Id128).left(8);
    const QString removing = QDir().rename(m_folder, aside) ? aside : m_folder;
    if (!QDir(removing).removeRecursively()) {
        // What is left opens again when the conversation is chosen.
        if (removing != m_folder)
            QDir().rename(removing, m_folder);
        throw FileError(QStringLiteral("The book at %1 couldn't be removed completely.").arg(m_folder));
    }
    // Nothing scheduled or still running may bring the folder back.
    m_pending.reset();
    m_deleted = true;
    Defaults::standard().remove(QStringLiteral("consent:") + m_conversation.id());
}
