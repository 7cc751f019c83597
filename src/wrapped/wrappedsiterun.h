#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <qcorotask.h>

class Library;
class WrappedView;

// The app started only for the site's export (QUORVEL_WRAPPED_EXPORT): no
// window, but the demo book the environment names (QUORVEL_OPEN, else the
// first) opened, its Wrapped counted and shown on the Wrapped screen, whose
// export ends the run. Demo books only: nobody's own messages leave for a
// web site unattended.
class WrappedSiteRun : public QObject
{
    Q_OBJECT

public:
    explicit WrappedSiteRun(Library *library, QObject *parent = nullptr);
    ~WrappedSiteRun() override;

    // Begins once the event loop runs; finished() tells the end.
    void start();
    // The screen doing the export, once it shows.
    WrappedView *view() const;

signals:
    // failure is the sentence of what went wrong; empty when every file
    // was written.
    void finished(const QString &failure);

private:
    QCoro::Task<void> run();

    Library *m_library;
    QPointer<WrappedView> m_view;
};
