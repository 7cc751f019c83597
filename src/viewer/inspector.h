#pragma once

#include "keyedrows.h"

#include <QPointer>
#include <QScrollArea>

class FormSection;
class Project;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The book's settings beside its pages: the front matter, the words set
// bold everywhere, the chapters the user started, the pinned messages and
// the count of those left out. Every field writes through to the book on
// each keystroke; the panel keeps no copy of it, and a field being typed in
// is never rewritten while the book re-typesets under it.
class Inspector : public QScrollArea
{
    Q_OBJECT

public:
    explicit Inspector(Project *project, QWidget *parent = nullptr);

    // Re-reads the book and its layout.
    void refresh();

    QLineEdit *titleField() const { return m_title; }
    QLineEdit *colophonField() const { return m_colophon; }
    QPlainTextEdit *dedicationField() const { return m_dedication; }
    QLineEdit *newWordField() const { return m_newWord; }
    // A chapter's title field, by the message it starts at.
    QLineEdit *chapterField(const QString &start) const;
    // A pin's row, by message id; clicking it jumps to the pin's page.
    QWidget *pinRow(const QString &id) const;

    // The page index to show for a pinned message: where the typesetter put
    // it, or its day's first page when the pin could not be honoured.
    static std::optional<int> pinnedIndex(const Project &project, const QString &id);

signals:
    void jumpRequested(int page);

private:
    class WordRow;
    class ChapterRow;
    class PinRow;

    void buildBook();
    void buildWords();
    void buildChapters();
    void buildRest();
    void jumpToPin(const QString &id);
    void writeTitle();
    void writeColophon();
    void writeDedication();
    void refreshBook();
    void refreshWords();
    void refreshChapters();
    void refreshPins();

    QPointer<Project> m_project;
    QWidget *m_content;
    FormSection *m_bookSection;
    FormSection *m_wordsSection;
    FormSection *m_chaptersSection;
    FormSection *m_pinsSection;
    FormSection *m_leftOutSection;
    QLineEdit *m_title;
    QLineEdit *m_colophon;
    QPlainTextEdit *m_dedication;
    QLineEdit *m_newWord;
    // What the book does for chapters while the user started none.
    QLabel *m_chaptersNote;
    QWidget *m_chaptersNoteRow;
    QLabel *m_hiddenCount;
    bool m_syncing = false;
    KeyedRows<WordRow> m_words;
    KeyedRows<ChapterRow> m_chapters;
    KeyedRows<PinRow> m_pins;
};
