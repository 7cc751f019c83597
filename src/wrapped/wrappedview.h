#pragma once

#include "model/wrapped.h"
#include "project/clock.h"
#include "service/rewards.h"
#include "wrappedsettings.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>
#include <qcorotask.h>
#include <vector>

class ClaimSheet;
class Project;
class QAction;
class QScrollArea;
class UnlockStrip;
class WrappedFilmstrip;
class WrappedInspector;
class WrappedPreview;

// The Wrapped of one open book: a large preview of one card over a strip
// of all of them, each with its box for the share; beside it the panel
// that changes the cards' look, narrows them to a year and saves them; the
// rewards strip on top. The card settings are the conversation's own and
// are saved on every change. When the environment asks for the site's
// export, the screen makes it once it shows and then ends the app.
class WrappedView : public QWidget
{
    Q_OBJECT

public:
    // What is being written while the save buttons wait.
    enum class Export { Cards, Video };
    // What the last failure interrupted, which decides where it is told:
    // after choosing a year the user looks at the year picker, after saving
    // at the save buttons.
    enum class Failed { YearChoice, Saving };

    WrappedView(std::shared_ptr<Project> project, Wrapped wrapped, std::optional<QString> focus,
        QWidget *parent = nullptr);
    ~WrappedView() override;

    std::shared_ptr<Project> project() const { return m_project; }
    const Wrapped &wrapped() const { return m_wrapped; }
    // The identifier the settings are kept under.
    QString conversation() const;

    const WrappedSettings &settings() const { return m_settings; }
    // Saved at once under the conversation's identifier.
    void setSettings(const WrappedSettings &settings);
    // The id of the card in the preview; "" when there is none.
    QString focused() const { return m_focused; }
    void setFocused(const QString &id);
    // Puts a card in the share (which then follows card order) or takes it out.
    void include(const QString &id, bool on);
    // A card as a screen reader says it.
    QString describe(const Wrapped::Card &card) const;

    // The year choice: the Wrapped counted again for one year, or for all
    // of it; the share and the shown card follow the new cards.
    void pickYear(std::optional<int> year);
    bool isLoadingYear() const { return m_loadingYear; }

    // Saving and sharing.
    QString filePrefix() const;
    QString caption() const;
    // Asks for a folder and writes the share's cards there in the chosen shape.
    QCoro::Task<void> saveCards();
    // Asks for a file and starts writing the video; returns once it is asked.
    QCoro::Task<void> saveVideo();
    void copyCaption();
    // The files of the last save: on the clipboard and in the file manager.
    void shareExported();
    void revealExported();
    std::optional<Export> exporting() const { return m_exporting; }
    // How much of the video is written, while it is.
    std::optional<double> videoProgress() const { return m_videoProgress; }
    QStringList exported() const { return m_exported; }
    std::optional<QString> error() const { return m_error; }
    Failed failed() const { return m_failed; }
    bool isCaptionCopied() const { return m_captionCopied; }

    // The claim sheet for a reward, opened over the screen.
    void claim(Rewards::Claim::Kind kind);
    ClaimSheet *claimSheet() const;

    // "Make It a Book", in the window's toolbar while the screen shows.
    QAction *bookAction() const { return m_bookAction; }

    UnlockStrip *strip() const { return m_strip; }
    WrappedPreview *preview() const { return m_preview; }
    WrappedFilmstrip *filmstrip() const { return m_filmstrip; }
    WrappedInspector *inspector() const { return m_inspector; }

signals:
    // The user wants the book made of this conversation.
    void bookRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void refresh();
    void fail(Failed what, const QString &sentence);
    // Waits for the file manager to show the saved files; when it doesn't,
    // says where they are.
    void whenShown(QCoro::Task<bool> shown, const QStringList &files);
    std::optional<QString> code() const;
    QCoro::Task<void> exportForSite(QString folder);
    QCoro::Task<void> countYear(std::optional<int> year);
    QCoro::Task<void> writeVideo(QString file);

    std::shared_ptr<Project> m_project;
    Wrapped m_wrapped;
    WrappedSettings m_settings;
    QString m_focused;
    bool m_loadingYear = false;
    std::optional<Export> m_exporting;
    std::optional<double> m_videoProgress;
    QStringList m_exported;
    std::optional<QString> m_error;
    Failed m_failed = Failed::Saving;
    // The failure the panel was last scrolled to.
    std::optional<QString> m_errorShown;
    bool m_captionCopied = false;
    std::vector<std::unique_ptr<Clock::Alarm>> m_copyResets;
    QPointer<ClaimSheet> m_claimSheet;
    bool m_appeared = false;

    UnlockStrip *m_strip;
    WrappedPreview *m_preview;
    WrappedFilmstrip *m_filmstrip;
    WrappedInspector *m_inspector;
    QScrollArea *m_panel;
    QAction *m_bookAction;
};
