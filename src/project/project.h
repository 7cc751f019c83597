#pragma once

#include "clock.h"
#include "model/bookfile.h"
#include "model/conversation.h"
#include "model/layout.h"
#include "volumeplan.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <qcorotask.h>

// The one open book: the conversation it was made from, its folder, the
// book document in memory and the latest typesetting. Lives on the main
// thread. Every edit rewrites book.json and asks for typesetting 0.35 s
// later, so a burst of edits costs one typst run; runs may overlap, and
// only the newest one publishes. Each property has a change signal that
// fires only on a real change (the layout by its coarse equality; every
// write of the book notifies).
class Project : public QObject
{
    Q_OBJECT

public:
    // How a project runs typst; tests put runs they control in its place.
    struct Typesetter
    {
        std::function<QCoro::Task<void>(QString book, QString style, QString to)> compile;
        std::function<QCoro::Task<Layout>(QString book, QString style)> layout;

        // The real typst, through Helpers.
        static Typesetter typst();
    };

    // The key of an encrypted backup, by the source's id; nullopt when none
    // is stored.
    using KeyReader = std::function<QCoro::Task<std::optional<QString>>(QString account)>;

    // What the wizard decided, written into the book in one step.
    struct WizardChoices
    {
        QString from;
        QString to;
        Design design;
        Order order;
        QString title;
        QString colophon;
        QStringList dedication;
        QStringList words;
        std::optional<Edits::Pin> pin;
        // Whether the user wrote the colophon rather than took the years.
        bool colophonTyped = false;
    };

    using VolumePlan = ::VolumePlan;

    // The print files of one volume, in the book's "print" folder, and the
    // plan they were made from: covers set again later follow the same plan.
    struct PrintFile
    {
        QString interior;
        QString cover;
        // Of the finished interior.
        int pages = 0;
        VolumePlan plan;
        // Volume numbers count from 1.
        int volume = 1;
        int volumes = 1;
    };

    // How print files run typst (the arguments after the executable); tests
    // put runs they control in its place.
    using PrintRunner = std::function<QCoro::Task<void>(QStringList arguments)>;

    ~Project() override;

    // Opening. Finds or makes the book folder, has the message tool export
    // book.json the first time, and returns the project with its first
    // typesetting already asked for. Throws FileError, Helpers::Failure,
    // Helpers::LaunchError or JsonError.
    static QCoro::Task<std::unique_ptr<Project>> open(Conversation conversation, QString them);
    // Gives group members the names name() makes of their handles; saves
    // only when one changed.
    void nameMembers(const std::function<QString(const QString &)> &name);

    // Where book folders go: "Quorvel/Books" in the user's data folder.
    static QString booksFolder();
    // Tests point it elsewhere; an empty path restores the default.
    static void setBooksFolder(const QString &folder);
    // A conversation identifier as a folder name: every character that is
    // neither a letter nor a number becomes one "-". A name past the 255
    // bytes a file system allows is cut, and a hash of it added.
    static QString folderName(const QString &identifier);
    // Where opening reads the key of an encrypted backup: the keychain,
    // unless a test put something else there (an empty reader restores it).
    static void setKeyReader(KeyReader reader);

    Conversation conversation() const { return m_conversation; }
    QString folder() const { return m_folder; }

    const BookFile &book() const { return m_book; }
    // Screens that write the front matter straight into the book call
    // saveAndTypeset() after it.
    void setBook(const BookFile &book);
    // The template folder typesetting uses.
    QString style() const { return m_style; }
    void setStyle(const QString &style);
    // The PDF of the latest current typesetting; empty until there is one.
    QString pdf() const { return m_pdf; }
    Layout layout() const { return m_layout; }
    bool isTypesetting() const { return m_typesetting; }
    // The last failure to show the user; screens set it too.
    std::optional<QString> error() const { return m_error; }
    void setError(const std::optional<QString> &error);

    // Days of the first and last message; empty without messages.
    QString firstDay() const;
    QString lastDay() const;
    // The chosen range, the book's own ends where it is open.
    QString from() const;
    QString to() const;
    // Messages in the range that are not left out.
    int messagesInRange() const;
    bool needsWizard() const { return !m_book.design.has_value(); }

    // Copies the current PDF to destination, replacing a file there;
    // nothing without a PDF. Throws FileError.
    void exportPDF(const QString &destination) const;
    // Removes the book folder, then the conversation's consent. Throws
    // FileError, and then leaves the consent alone.
    void deleteEverything();

    // Editing. Each ends in saveAndTypeset() unless it changed nothing.
    void setNames(const QString &me, const QString &them);
    // A page of the user's own before the first printed message in the range
    // of that day or, failing one, of the nearest later day, else of the
    // range's last day that prints any. A range that prints nothing places
    // it by the whole book; a book that prints nothing takes no page.
    void addPage(const QString &beforeDay, const QString &text);
    void addWord(const QString &word);
    void removeWord(const QString &word);
    void showAllHidden();
    void toggleHidden(const BookFile::Message &message);
    void toggleBold(const BookFile::Message &message);
    void pin(const BookFile::Message &message, int page);
    void unpin(const QString &id);
    void startChapter(const BookFile::Message &message, const QString &title);
    void renameChapter(const QString &start, const QString &title);
    void removeChapter(const QString &start);
    // An end equal to the book's own first or last day is stored as open.
    void setRange(const std::optional<QString> &from, const std::optional<QString> &to);
    // Switches a print add-on, with the one it requires when switched on.
    void toggleAddon(const QString &id, const std::optional<QString> &required);
    void applyWizard(const WizardChoices &choices);
    // Writes book.json atomically and asks for typesetting in 0.35 s. A
    // failed write shows in error() until a later save succeeds.
    void saveAndTypeset();

    std::optional<Edits::Pin> pinFor(const BookFile::Message &message) const;
    // The typeset outcome of a message's pin, from the last layout.
    std::optional<Layout::PinResult> pinResult(const QString &id) const;
    std::optional<BookFile::Message> message(const QString &id) const;

    // The text the book prints for a message: its replacement where it has
    // one, else its own ("" for media alone).
    QString shownText(const BookFile::Message &message) const;
    // Messages whose text holds every word of query, in book order, hidden
    // and out-of-range ones too; at most limit of them when limit is above
    // 0. A message's text is the one shownText() gives.
    QList<BookFile::Message> search(const QString &query, int limit) const;
    // The printed page of a day in the last layout.
    std::optional<int> pageOf(const QString &day) const;
    // Replaces find, ignoring case, in every message in range as a
    // replacement text; returns how many messages' printed text changed.
    int replaceAll(const QString &find, const QString &replacement);

    // The book in volumes of at most limit pages, from the last layout.
    QList<VolumePlan> planVolumes(int limit) const;
    // Typesets every volume's interior and cover into a fresh "print"
    // folder, one after the other; progress(n, volumes) before volume n.
    // Throws Helpers::Failure, or FileError when the folder can't be made.
    QCoro::Task<QList<PrintFile>> preparePrintFiles(int limit, std::function<void(int, int)> progress);
    // Sets the covers again with the printer's spine widths and, where given,
    // wrap widths, entry i for records[i]. limit is not used: the records
    // carry the plans the interiors were made from.
    QCoro::Task<void> respineCovers(
        QList<PrintFile> records, QList<double> spines, QList<std::optional<double>> wraps, int limit);
    void setPrintRunner(PrintRunner runner);

    // Writes the ebook into the book's "ebook" folder, its cover cut from a
    // freshly rendered sheet when that works, and returns the EPUB's path.
    // Throws FileError or what making the ebook throws.
    QCoro::Task<QString> makeEbook();

    // Asks for typesetting after delay, replacing a request still waiting.
    void typesetSoon(std::chrono::milliseconds delay);
    void setTypesetter(Typesetter typesetter);

signals:
    void bookChanged();
    void styleChanged();
    void pdfChanged();
    void layoutChanged();
    void typesettingChanged();
    void errorChanged();
    // The newest typesetting request has ended: published (a cached answer
    // included, even one that changes nothing on screen) or failed, its
    // sentence in error(). Screens that wait for "this book, as it is now"
    // wait for this.
    void typesetEnded(bool published);

private:
    struct Run;

    Project(Conversation conversation, QString folder, BookFile book);

    QString bookPath() const;
    // Whether a message's day lies in first..last, the range's bounds.
    static bool inRange(const BookFile::Message &message, const QString &first, const QString &last);
    bool isHidden(const QString &id) const;
    // The message an added page for day goes before, among those from first
    // to last that print: the first on or after day, else the first of the
    // last day; none when none prints.
    const BookFile::Message *pageTarget(const QString &day, const QString &first, const QString &last) const;
    std::optional<BookFile::Message> firstMessageInRange() const;
    void refreshReceipt();

    QCoro::Task<void> typeset();
    // Looks the saved book up in the cache: a hit is published at once and
    // leaves nothing to run.
    std::optional<Run> prepareRun(qint64 generation);
    void finishRun(const Run &run, const std::optional<Layout> &layout, const QString &failure);
    void publish(const QString &pdf, const Layout &layout);
    void setPdf(const QString &pdf);
    void setLayout(const Layout &layout);
    void setTypesetting(bool typesetting);

    const Conversation m_conversation;
    const QString m_folder;
    BookFile m_book;
    QString m_style = QStringLiteral("novel");
    QString m_pdf;
    Layout m_layout;
    bool m_typesetting = false;
    std::optional<QString> m_error;
    // The last failed save, kept until a save succeeds so that typesetting
    // does not clear it.
    std::optional<QString> m_saveError;
    qint64 m_generation = 0;
    std::unique_ptr<Clock::Alarm> m_pending;
    Typesetter m_typesetter = Typesetter::typst();
    PrintRunner m_printRunner;
    bool m_deleted = false;
};
