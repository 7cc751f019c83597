// The Wrapped screen's saving and sharing: the cards as pictures into a
// folder, the video into a file, the caption on the clipboard, and the
// saved files handed on.
#include "service/funnel.h"
#include "ui/desktop.h"
#include "ui/errors.h"
#include "wrappedexport.h"
#include "wrappedinspector.h"
#include "wrappedshare.h"
#include "wrappedvideo.h"
#include "wrappedview.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>

using namespace std::chrono_literals;

QString WrappedView::filePrefix() const
{
    return WrappedShare::filePrefix(m_wrapped, m_settings);
}

QString WrappedView::caption() const
{
    return WrappedShare::caption(m_wrapped, m_settings, Rewards::shared().inviteURL());
}

QCoro::Task<void> WrappedView::saveCards()
{
    if (m_exporting || m_settings.selection.isEmpty())
        co_return;
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::OpenFolder;
    panel.title = QStringLiteral("Save Cards");
    panel.prompt = QStringLiteral("Save Here");
    panel.message = QStringLiteral("Choose where to save the cards.");
    QPointer<WrappedView> self(this);
    const QStringList chosen = co_await Desktop::instance().choose(this, panel);
    if (!self || chosen.isEmpty())
        co_return;
    m_error.reset();
    // The pictures are compressed off the window's thread; the buttons wait.
    m_exporting = Export::Cards;
    refresh();
    QStringList files;
    std::optional<QString> failure;
    try {
        files = co_await WrappedExport::cards(
            m_wrapped, m_settings, code(), { m_settings.format }, chosen.first(), filePrefix());
    } catch (...) {
        failure = Errors::sentence(std::current_exception());
    }
    if (!self)
        co_return;
    m_exporting.reset();
    if (failure) {
        // The files of the last save that worked stay on offer.
        fail(Failed::Saving, *failure);
    } else {
        m_exported = files;
        Funnel::count(Funnel::Step::CardExported);
        whenShown(Desktop::instance().reveal(files), files);
    }
    refresh();
}

QCoro::Task<void> WrappedView::saveVideo()
{
    if (m_exporting || m_settings.selection.isEmpty())
        co_return;
    Desktop::Panel panel;
    panel.mode = Desktop::Panel::Mode::Save;
    panel.title = QStringLiteral("Save Video");
    panel.prompt = QStringLiteral("Save");
    panel.suggestedName = filePrefix() + QStringLiteral(".mp4");
    panel.nameFilters = { QStringLiteral("MPEG-4 movie (*.mp4)") };
    panel.defaultSuffix = QStringLiteral("mp4");
    QPointer<WrappedView> self(this);
    const QStringList chosen = co_await Desktop::instance().choose(this, panel);
    if (!self || chosen.isEmpty())
        co_return;
    m_exporting = Export::Video;
    m_videoProgress = 0;
    m_error.reset();
    refresh();
    writeVideo(chosen.first());
}

QCoro::Task<void> WrappedView::writeVideo(QString file)
{
    QPointer<WrappedView> self(this);
    std::optional<QString> failure;
    try {
        co_await WrappedVideo::exportVideo(m_wrapped, m_settings, code(), file, [self](double progress) {
            if (!self)
                return;
            self->m_videoProgress = progress;
            self->m_inspector->refresh();
        });
    } catch (...) {
        failure = Errors::sentence(std::current_exception());
    }
    if (!self)
        co_return;
    if (failure) {
        fail(Failed::Saving, *failure);
    } else {
        m_exported = { file };
        Funnel::count(Funnel::Step::VideoExported);
        whenShown(Desktop::instance().reveal(m_exported), m_exported);
    }
    m_exporting.reset();
    m_videoProgress.reset();
    refresh();
}

void WrappedView::copyCaption()
{
    Desktop::instance().copyText(caption());
    m_captionCopied = true;
    // Every copy keeps "Copied" for its own two seconds; the first to end
    // puts the label back.
    QPointer<WrappedView> self(this);
    m_copyResets.push_back(Clock::current().after(2s, [self] {
        if (!self)
            return;
        self->m_captionCopied = false;
        self->m_inspector->refresh();
    }));
    m_inspector->refresh();
}

void WrappedView::shareExported()
{
    if (!m_exported.isEmpty())
        whenShown(Desktop::instance().share(m_exported), m_exported);
}

void WrappedView::revealExported()
{
    if (!m_exported.isEmpty())
        whenShown(Desktop::instance().reveal(m_exported), m_exported);
}

void WrappedView::whenShown(QCoro::Task<bool> shown, const QStringList &files)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(files.first()).absolutePath());
    // Called only while the view is there.
    QCoro::connect(std::move(shown), this, [this, folder](bool done) {
        if (done)
            return;
        fail(
            Failed::Saving, QStringLiteral("The file manager didn't open. The files are in %1.").arg(folder));
        refresh();
    });
}
