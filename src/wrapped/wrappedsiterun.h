#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <qcorotask.h>

class Library;
class WrappedView;

// The site's export where no window can show (no display): the demo book
// the environment names (QUORVEL_OPEN, else the first) opened, its Wrapped
// counted and shown on a Wrapped screen of its own, off screen, whose export
// ends the run. Demo books only: nobody's own messages leave for a web site
// without the window, where the conversation is opened and agreed to.
class WrappedSiteRun : public QObject
{
    Q_OBJECT

public:
    explicit WrappedSiteRun(Library *library, QObject *parent = nullptr);
    ~WrappedSiteRun() override;

    // Begins once the event loop runs; the app ends with the export, or
    // with the sentence of why there is none.
    void start();
    // The screen doing the export, once it shows.
    WrappedView *view() const;

private:
    QCoro::Task<void> run();

    Library *m_library;
    QPointer<WrappedView> m_view;
};
