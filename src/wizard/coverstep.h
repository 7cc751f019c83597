#pragma once

#include "model/design.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <qcorotask.h>

class CoverDesigns;
class CoverOwn;
class CoverPaint;
class CoverPhoto;
class CoverPreview;
class CoverTitleFields;
class ErrorRow;
class SegmentedControl;
class WizardModel;

// The wizard's cover step: a live picture of the cover on the left; on the
// right the title fields, a switcher between four ways of making the cover
// and the chosen way's panel. Everything picked goes straight into the
// model, and the step asks it to draw the cover again when the cover, the
// title or the line under it changes. Besides its tabs it holds what they
// share: the last error, the reference photos of a painting, and the ways
// a picture comes into the book and onto the cover.
class CoverStep : public QWidget
{
    Q_OBJECT

public:
    enum class Tab { Designs, Own, Photo, Paint };
    static constexpr int tabCount = 4;
    // As the switcher shows it: "Designs", "Your Own", "A Photo", "Painted
    // for You".
    static QString tabName(Tab tab);
    // The tab a cover opens on: the own design, else a cover with a
    // picture on the photo tab, else the designs.
    static Tab firstTab(const Design::Cover &cover);
    // The tab QUORVEL_COVER_TAB names (0 to 3, sign allowed), a testing aid;
    // none for anything else.
    static std::optional<Tab> tabFromEnvironment();

    explicit CoverStep(WizardModel *model, QWidget *parent = nullptr);
    ~CoverStep() override;

    WizardModel *model() const { return m_model; }
    Tab tab() const { return m_tab; }
    void setTab(Tab tab);
    // The sentence under the panels; none hides it.
    std::optional<QString> error() const { return m_error; }
    void setError(const std::optional<QString> &error);

    // Photos sent along with a painting's words, at most three.
    QStringList references() const { return m_references; }
    void setReferences(const QStringList &references);
    // Adds a photo to the references, or takes it out when it is one; a
    // fourth is not taken.
    void toggleReference(const QString &path);

    // Puts a picture that is already the book's on the cover.
    void useArt(const QString &path);
    // Copies a picture file into the book's "my-photos", then puts the copy
    // on the cover; a file that isn't a picture sets error() instead.
    QCoro::Task<void> use(QString file);
    // A picture the strip offers: the book's own go on as they are, the
    // conversation's photos are copied in first, so forgetting a source
    // never takes the cover's picture away.
    void pick(const QString &path);
    // The open panel: the chosen pictures are copied into the book; on the
    // painting tab they join the references, elsewhere the first goes on
    // the cover.
    QCoro::Task<void> choosePicture();

signals:
    // The pictures of the book's "my-photos" changed.
    void photosChanged();
    void tabChanged();
    void errorChanged();
    void referencesChanged();

private:
    QWidget *buildRight();
    void start();
    void showTab();
    void watchModel();
    // Copies files into "my-photos" off the window's thread; the copies,
    // and the sentence of the last that failed.
    QCoro::Task<std::pair<QStringList, std::optional<QString>>> bring(QStringList files);

    QPointer<WizardModel> m_model;
    Tab m_tab = Tab::Designs;
    std::optional<QString> m_error;
    QStringList m_references;
    Design::Cover m_cover;

    CoverPreview *m_preview;
    CoverTitleFields *m_titleFields = nullptr;
    SegmentedControl *m_tabs = nullptr;
    CoverDesigns *m_designs = nullptr;
    CoverOwn *m_own = nullptr;
    CoverPhoto *m_photo = nullptr;
    CoverPaint *m_paint = nullptr;
    ErrorRow *m_errorRow = nullptr;
};
