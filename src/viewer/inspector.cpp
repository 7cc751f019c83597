#include "inspector.h"

#include "messagesummary.h"
#include "project/project.h"
#include "ui/clampedlabel.h"
#include "ui/formsection.h"
#include "ui/icons.h"
#include "ui/style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *removeButton()
{
    auto *button = new QToolButton;
    button->setIcon(Icons::icon(QStringLiteral("minus.circle")));
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    button->setAccessibleName(QStringLiteral("Remove"));
    button->setToolTip(QStringLiteral("Remove"));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// Keys made unique, for a list that may hold the same entry twice.
QStringList uniqueKeys(const QStringList &entries)
{
    QStringList keys;
    QHash<QString, int> seen;
    for (const QString &entry : entries) {
        const int n = seen[entry]++;
        keys.append(n == 0 ? entry : entry + QChar(0x1) + QString::number(n));
    }
    return keys;
}

// A text field is set from the book only while nobody types in it.
void showText(QLineEdit *field, const QString &text)
{
    if (!field->hasFocus() && field->text() != text)
        field->setText(text);
}

// What the chapters section says while the user started no chapter: the
// chapters the book's design makes.
QString chaptersNote(const BookFile &book)
{
    // A book without a look yet is set in months, as the typesetter does.
    const QString chapters = book.design ? book.design->chapters : QStringLiteral("month");
    QString made = QStringLiteral("One chapter per month.");
    if (chapters == QLatin1String("year"))
        made = QStringLiteral("One chapter per year.");
    else if (chapters == QLatin1String("none"))
        made = QStringLiteral("No chapters.");
    return made + QStringLiteral(" To start your own, search for a message and choose Start a Chapter Here.");
}

} // namespace

class Inspector::WordRow : public QWidget
{
public:
    WordRow(const QString &word, Project *project)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        QLabel *text = Style::label(word);
        text->setWordWrap(true);
        layout->addWidget(text, 1);
        QToolButton *remove = removeButton();
        layout->addWidget(remove);
        QPointer<Project> book(project);
        connect(remove, &QToolButton::clicked, this, [book, word] {
            if (book)
                book->removeWord(word);
        });
    }
};

class Inspector::ChapterRow : public QWidget
{
public:
    ChapterRow(const QString &start, Project *project)
        : title(FormSection::field(QStringLiteral("Title")))
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        title->setAccessibleName(QStringLiteral("Title"));
        layout->addWidget(title, 1);
        QToolButton *remove = removeButton();
        layout->addWidget(remove);
        QPointer<Project> book(project);
        // As typed, on every keystroke; the title may even become empty.
        connect(title, &QLineEdit::textEdited, this, [book, start](const QString &text) {
            if (book)
                book->renameChapter(start, text);
        });
        connect(remove, &QToolButton::clicked, this, [book, start] {
            if (book)
                book->removeChapter(start);
        });
    }

    QLineEdit *title;
};

class Inspector::PinRow : public QWidget
{
public:
    PinRow(const QString &id, Project *project, Inspector *inspector)
        : text(new ClampedLabel(2))
        , caption(new QLabel)
        , m_id(id)
        , m_inspector(inspector)
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(3);
        auto *top = new QHBoxLayout;
        top->addWidget(text, 1);
        QToolButton *remove = removeButton();
        top->addWidget(remove, 0, Qt::AlignTop);
        layout->addLayout(top);
        caption->setFont(Style::font(Style::Text::Caption));
        caption->setWordWrap(true);
        caption->setTextFormat(Qt::PlainText);
        layout->addWidget(caption);
        setCursor(Qt::PointingHandCursor);
        QPointer<Project> book(project);
        connect(remove, &QToolButton::clicked, this, [book, id] {
            if (book)
                book->unpin(id);
        });
    }

    ClampedLabel *text;
    QLabel *caption;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_inspector->jumpToPin(m_id);
    }

private:
    QString m_id;
    Inspector *m_inspector;
};

Inspector::Inspector(Project *project, QWidget *parent)
    : QScrollArea(parent)
    , m_project(project)
    , m_content(new QWidget)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Tab stops at the controls inside, and the column follows them.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(16, 16, 16, 20);
    layout->setSpacing(20);
    buildBook();
    buildWords();
    buildChapters();
    buildRest();
    for (FormSection *section :
        { m_bookSection, m_wordsSection, m_chaptersSection, m_pinsSection, m_leftOutSection })
        layout->addWidget(section);
    layout->addStretch(1);
    setWidget(m_content);

    connect(project, &Project::bookChanged, this, &Inspector::refresh);
    connect(project, &Project::layoutChanged, this, &Inspector::refresh);
    connect(project, &Project::pdfChanged, this, &Inspector::refresh);
    refresh();
}

void Inspector::buildBook()
{
    m_bookSection = new FormSection(QStringLiteral("Book"));
    m_title = FormSection::field();
    m_colophon = FormSection::field(QStringLiteral("Optional"));
    m_bookSection->addRow(QStringLiteral("Title"), m_title);
    m_bookSection->addRow(QStringLiteral("Under the title"), m_colophon);

    auto *dedication = new QWidget;
    auto *stack = new QVBoxLayout(dedication);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4);
    QLabel *heading
        = Style::label(QStringLiteral("Dedication"), Style::Text::Callout, Style::Tone::Secondary);
    stack->addWidget(heading);
    m_dedication = new QPlainTextEdit;
    // The word above names the field for a screen reader.
    heading->setBuddy(m_dedication);
    m_dedication->setFrameShape(QFrame::NoFrame);
    m_dedication->setMinimumHeight(70);
    m_dedication->setMaximumHeight(84);
    m_dedication->setFont(Style::font(Style::Text::Body));
    m_dedication->viewport()->setAutoFillBackground(false);
    m_dedication->document()->setDocumentMargin(0);
    m_dedication->setTabChangesFocus(true);
    stack->addWidget(m_dedication);
    m_bookSection->addRow(dedication);

    connect(m_title, &QLineEdit::textEdited, this, &Inspector::writeTitle);
    connect(m_colophon, &QLineEdit::textEdited, this, &Inspector::writeColophon);
    connect(m_dedication, &QPlainTextEdit::textChanged, this, &Inspector::writeDedication);
}

void Inspector::buildWords()
{
    m_wordsSection = new FormSection(QStringLiteral("Bold Everywhere"),
        QStringLiteral("Every time these words come up in a message, they're set in bold."));
    m_newWord = FormSection::field(QStringLiteral("Add a word or phrase"));
    m_newWord->setAccessibleName(QStringLiteral("Add"));
    m_wordsSection->addRow(m_newWord);
    // The book decides what counts: blanks and words it has are left out.
    connect(m_newWord, &QLineEdit::returnPressed, this, [this] {
        if (m_project)
            m_project->addWord(m_newWord->text());
        m_newWord->clear();
    });
}

void Inspector::buildChapters()
{
    m_chaptersSection = new FormSection(QStringLiteral("Chapters"));
    m_chaptersNote = Style::label(QString(), Style::Text::Callout, Style::Tone::Secondary);
    m_chaptersNoteRow = m_chaptersSection->addRow(m_chaptersNote);
}

void Inspector::buildRest()
{
    m_pinsSection = new FormSection(QStringLiteral("Pinned to a Page"));
    m_leftOutSection = new FormSection(QStringLiteral("Left Out"));
    m_hiddenCount = Style::label(QString(), Style::Text::Body, Style::Tone::Secondary);
    m_hiddenCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_leftOutSection->addRow(QStringLiteral("Messages"), m_hiddenCount);
    auto *back = new QPushButton(QStringLiteral("Put Them All Back"));
    Style::setLink(back);
    m_leftOutSection->addRow(back);
    connect(back, &QPushButton::clicked, this, [this] {
        if (m_project)
            m_project->showAllHidden();
    });
}

void Inspector::writeTitle()
{
    if (!m_project)
        return;
    BookFile book = m_project->book();
    book.front.title = m_title->text();
    m_project->setBook(book);
    m_project->saveAndTypeset();
}

void Inspector::writeColophon()
{
    if (!m_project)
        return;
    BookFile book = m_project->book();
    book.front.colophon = m_colophon->text();
    // The user's line from now on: the range no longer moves it.
    book.front.colophonTyped = true;
    m_project->setBook(book);
    m_project->saveAndTypeset();
}

void Inspector::writeDedication()
{
    if (m_syncing || !m_project)
        return;
    const QString text = m_dedication->toPlainText();
    BookFile book = m_project->book();
    // An empty editor is no dedication, not one empty line.
    book.front.dedication = text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    m_project->setBook(book);
    m_project->saveAndTypeset();
}

void Inspector::refresh()
{
    if (!m_project)
        return;
    refreshBook();
    refreshWords();
    refreshChapters();
    refreshPins();
    const QStringList hidden = m_project->book().edits.hidden.value_or(QStringList());
    m_leftOutSection->setVisible(!hidden.isEmpty());
    m_hiddenCount->setText(Style::number(hidden.size()));
}

void Inspector::refreshBook()
{
    const BookFile::Front &front = m_project->book().front;
    showText(m_title, front.title);
    showText(m_colophon, front.colophon);
    const QString dedication = front.dedication.join(QLatin1Char('\n'));
    if (!m_dedication->hasFocus() && m_dedication->toPlainText() != dedication) {
        m_syncing = true;
        m_dedication->setPlainText(dedication);
        m_syncing = false;
    }
}

void Inspector::refreshWords()
{
    const QStringList words = m_project->book().edits.words.value_or(QStringList());
    const QStringList keys = uniqueKeys(words);
    m_words.sync(
        m_wordsSection, keys, 0,
        [this, &words, &keys](
            const QString &key) { return new WordRow(words.at(keys.indexOf(key)), m_project); },
        [](WordRow *, const QString &) {});
}

void Inspector::refreshChapters()
{
    const std::optional<QList<Edits::ChapterBreak>> &chapters = m_project->book().edits.chapters;
    m_chaptersNoteRow->setVisible(!chapters);
    m_chaptersNote->setText(chaptersNote(m_project->book()));
    QStringList starts;
    QHash<QString, QString> titles;
    for (const Edits::ChapterBreak &chapter : chapters.value_or(QList<Edits::ChapterBreak>())) {
        if (!titles.contains(chapter.start)) {
            starts.append(chapter.start);
            titles.insert(chapter.start, chapter.title);
        }
    }
    m_chapters.sync(
        m_chaptersSection, starts, 1,
        [this](const QString &start) { return new ChapterRow(start, m_project); },
        [&titles](ChapterRow *row, const QString &start) { showText(row->title, titles.value(start)); });
}

void Inspector::refreshPins()
{
    const QList<Edits::Pin> pins = m_project->book().edits.pins.value_or(QList<Edits::Pin>());
    m_pinsSection->setVisible(!pins.isEmpty());
    QStringList ids;
    for (const Edits::Pin &pin : pins) {
        if (!ids.contains(pin.id))
            ids.append(pin.id);
    }
    m_pins.sync(
        m_pinsSection, ids, 0, [this](const QString &id) { return new PinRow(id, m_project, this); },
        [this, &pins](PinRow *row, const QString &id) {
            const auto pin
                = std::find_if(pins.cbegin(), pins.cend(), [&](const Edits::Pin &p) { return p.id == id; });
            const std::optional<BookFile::Message> message = m_project->message(id);
            row->text->setText(
                message ? MessageSummary::textOf(*m_project, *message) : QStringLiteral("Attachment"));
            const std::optional<Layout::PinResult> result = m_project->pinResult(id);
            QPalette palette = row->caption->palette();
            if (!result || result->ok) {
                row->caption->setText(QStringLiteral("Page %1").arg(pin->page));
                palette.setColor(QPalette::WindowText, Style::color(Style::Tone::Secondary));
            } else {
                row->caption->setText(
                    QStringLiteral("Page %1 comes before where it falls (page %2), so it stays put.")
                        .arg(pin->page)
                        .arg(result->natural));
                palette.setColor(QPalette::WindowText, Style::warning());
            }
            row->caption->setPalette(palette);
        });
}

void Inspector::jumpToPin(const QString &id)
{
    if (!m_project)
        return;
    if (const std::optional<int> index = pinnedIndex(*m_project, id))
        emit jumpRequested(*index);
}

QLineEdit *Inspector::chapterField(const QString &start) const
{
    ChapterRow *row = m_chapters.row(start);
    return row ? row->title : nullptr;
}

QWidget *Inspector::pinRow(const QString &id) const
{
    return m_pins.row(id);
}

std::optional<int> Inspector::pinnedIndex(const Project &project, const QString &id)
{
    const std::optional<BookFile::Message> message = project.message(id);
    if (!message)
        return std::nullopt;
    const auto day = project.layout().days.constFind(message->at.left(10));
    if (day == project.layout().days.cend())
        return std::nullopt;
    // Printed numbers and positions in the PDF run in step after the front
    // matter, so the pin's printed page finds its position from its day's.
    const std::optional<Layout::PinResult> result = project.pinResult(id);
    if (result && result->ok && result->page >= day->printed)
        return day->index + (result->page - day->printed);
    return day->index;
}
