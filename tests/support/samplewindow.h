#pragma once

// The window as a person has it over one conversation, by default the
// sample year with Maya, added as a chat export: the real library, message
// tool, typst and stand-in service, with a defaults file and books folder
// of its own; and the way a person goes to each of the book's screens.
#include "model/scopeddefaults.h"
#include "project/projecttest.h"
#include "service/standin.h"

#include <QSize>
#include <memory>

class BookFlow;
class BookHomeView;
class BookView;
class ContentView;
class Library;
class MainWindow;
class Updater;
class WizardView;
class WrappedView;

class SampleWindow
{
public:
    // What the user agreed to read before this start.
    enum class Consent { None, Book, WrappedOnly };

    // The sample conversation shipped with the sources.
    static BookFile sampleBook();
    // The messages of book as the chat export a person adds, written into
    // folder the way WhatsApp writes them, one line per message.
    static Source chat(const BookFile &book, const QString &folder);

    // The conversation of book, exported as WhatsApp writes a chat, in the
    // window at size.
    explicit SampleWindow(
        Consent consent = Consent::Book, QSize size = QSize(1280, 820), const BookFile &book = sampleBook());

    // The conversation's identifier in the sidebar.
    QString conversation() const { return m_conversation; }
    ~SampleWindow();
    SampleWindow(const SampleWindow &) = delete;
    SampleWindow &operator=(const SampleWindow &) = delete;

    MainWindow *window() const { return m_window.get(); }
    ContentView *content() const;
    Library *library() const { return m_library.get(); }
    StandIn &service() { return m_service; }

    // Picks the conversation in the sidebar, as the user does, once the
    // sidebar lists it.
    bool pick();
    // Picks it and waits until its book's flow shows; nullptr when the
    // book didn't open.
    BookFlow *open();
    // The flow of the open book, when one shows.
    BookFlow *flow() const;

    // The wizard of a book without a look, once its first step has what it
    // found.
    WizardView *wizard();
    // Goes through the wizard with "Make It for Me" and the making screen
    // to the book's page, and waits for its prices and cover.
    BookHomeView *home();
    // The book's pages, from its page.
    BookView *pages();
    // The book's Wrapped, counted by the real message tool.
    WrappedView *wrapped();

private:
    QString m_conversation;
    ScopedDefaults m_defaults;
    BooksFolder m_books;
    StandIn m_service;
    std::unique_ptr<Library> m_library;
    std::unique_ptr<Updater> m_updater;
    std::unique_ptr<MainWindow> m_window;
};
