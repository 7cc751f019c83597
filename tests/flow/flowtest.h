#pragma once

// What the tests of one open book's screens share: a fresh defaults file
// and books folder, the stand-in service with the client pointed at it, and
// books opened from a document with the real typst.
#include "model/scopeddefaults.h"
#include "project/projecttest.h"
#include "service/standin.h"
#include "uitestsupport.h"

#include <memory>

// The sample couple's book with a look chosen, days of one message each.
inline BookFile designedBook(int days = 6)
{
    QStringList texts;
    for (int i = 0; i < days; ++i)
        texts << QStringLiteral("Message number %1, about the day.").arg(i + 1);
    BookFile book = bookOf(texts);
    book.design = Design();
    return book;
}

class FlowTest : public StandInTest
{
protected:
    std::shared_ptr<Project> open(const BookFile &book, const QString &key = QStringLiteral("k"))
    {
        return std::shared_ptr<Project>(openExisting(book, key));
    }

    // typst runs the test controls in place of the real ones. Opening may
    // have typeset the book already, or be at it: the book changes, so
    // neither the cache nor the run in flight answers for it.
    static void fakeTypesetting(Project &project, FakeTypst &typst)
    {
        project.setTypesetter(typst.typesetter());
        project.addWord(QStringLiteral("fake"));
        project.typesetSoon(std::chrono::milliseconds(0));
    }

    // The first typesetting, which opening asked for, has published.
    static bool typeset(const Project &project)
    {
        return TestSupport::waitUntil(
            [&] { return !project.pdf().isEmpty() && !project.isTypesetting(); }, 60000);
    }

    ScopedDefaults m_defaults;
    BooksFolder m_books;
};
