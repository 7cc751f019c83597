#pragma once

#include "insights/celebration.h"
#include "insights/insights.h"
#include "insights/pinpages.h"
#include "model/bookfile.h"
#include "model/coverrender.h"
#include "model/design.h"
#include "model/order.h"
#include "project/clock.h"
#include "service/pricing.h"

#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <qcorotask.h>

class Project;

// Every choice of the guided making of one book while the wizard is on
// screen: the step shown, the range, the look, the print order, the front
// matter, the bold words and the "love you" pin, with the conversation's
// insights and the price list it reads them against. Nothing reaches the
// book before finish() (or makeItForMe()). Lives on the main thread; each
// property has a change signal that fires only on a real change, and
// changed() follows any of them.
class WizardModel : public QObject
{
    Q_OBJECT

public:
    enum class Step { Found, What, Fit, Typeface, Chapters, Cover, Touches, Binding, Shipping, Review };
    static constexpr int stepCount = 10;
    // The step with that number (0 to 9), or none.
    static std::optional<Step> stepAt(int number);
    // The symbol shown beside a step.
    static QString symbol(Step step);

    // Whether the wizard reopens a book that already has a design.
    enum class Resuming { No, Yes };

    // A suggested range as a book, before it is chosen.
    struct Estimate
    {
        int pages = 0;
        int volumes = 1;
        // Of the binding chosen now; none without prices.
        std::optional<int> price;
    };

    // How covers are rendered; tests put renders they count or hold in its
    // place.
    struct Renderer
    {
        // The whole sheet and the front at frontPpi, drawn together.
        std::function<QCoro::Task<Helpers::CoverPictures>(
            BookFile book, int pages, int frontPpi, QString folder)>
            cover;
        std::function<QCoro::Task<QMap<QString, QString>>(BookFile book, QString folder)> gallery;

        // The real renders, through typst.
        static Renderer typst();
    };

    WizardModel(std::shared_ptr<Project> project, Resuming resuming, QObject *parent = nullptr);
    ~WizardModel() override;

    const std::shared_ptr<Project> &project() const { return m_project; }
    void setRenderer(Renderer renderer);

    // Opens the Wrapped screen, on a card when an id is given; set by the
    // screen that shows the wizard, and empty when there is none.
    using WrappedOpener = std::function<void(std::optional<QString> card)>;
    const WrappedOpener &onWrapped() const { return m_onWrapped; }
    void setOnWrapped(WrappedOpener opener);

    const std::optional<Insights> &insights() const { return m_insights; }
    void setInsights(std::optional<Insights> insights);
    const std::optional<Pricing> &pricing() const { return m_pricing; }
    void setPricing(const std::optional<Pricing> &pricing);

    Step step() const { return m_step; }
    void setStep(Step step);
    // The id of the range suggestion last chosen; "custom" once the range
    // came from anywhere else.
    QString suggestion() const { return m_suggestion; }
    void setSuggestion(const QString &suggestion);
    QString from() const { return m_from; }
    void setFrom(const QString &from);
    QString to() const { return m_to; }
    void setTo(const QString &to);
    // Cut the range to what one volume holds.
    bool isOneBook() const { return m_oneBook; }
    void setOneBook(bool oneBook);
    const Design &design() const { return m_design; }
    void setDesign(const Design &design);
    const Order &order() const { return m_order; }
    void setOrder(const Order &order);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    // The line under the title: the years of the range printed, and again
    // whenever the range moves, until a line is set here, which stays.
    QString colophon() const { return m_colophon; }
    void setColophon(const QString &colophon);
    bool isColophonTyped() const { return m_colophonTyped; }
    // Lines separated by line feeds.
    QString dedication() const { return m_dedication; }
    void setDedication(const QString &dedication);
    const QSet<QString> &words() const { return m_words; }
    void setWords(const QSet<QString> &words);
    // Pin the first "I love you" to pinPage().
    bool pinLove() const { return m_pinLove; }
    void setPinLove(bool pin);
    // Starts at 1; load() places it where the first "I love you" would
    // land, until it is set here.
    int pinPage() const { return m_pinPage; }
    void setPinPage(int page);
    std::optional<QString> coverPreview() const { return m_coverPreview; }
    void setCoverPreview(const std::optional<QString> &path);
    std::optional<QString> coverFront() const { return m_coverFront; }
    void setCoverFront(const std::optional<QString> &path);
    // Thumbnails of the cover designs, by design key.
    const QMap<QString, QString> &gallery() const { return m_gallery; }
    void setGallery(const QMap<QString, QString> &gallery);
    QString galleryKey() const { return m_galleryKey; }
    void setGalleryKey(const QString &key);
    QString momentSearch() const { return m_momentSearch; }
    void setMomentSearch(const QString &text);
    // Set once the first step has shown everything it found.
    bool isFoundReady() const { return m_foundReady; }
    void setFoundReady(bool ready);

    // Whether the newest cover render is still under way.
    bool isRenderingCover() const { return m_renderingCover; }
    // What went wrong with the newest cover render, as a sentence; none once
    // one has come out. The pictures before it stay.
    std::optional<QString> coverFailure() const { return m_coverFailure; }
    // Whether thumbnails of the designs are being drawn for what the cover
    // says now.
    bool isRenderingGallery() const { return m_renderingGallery; }

    // Paintings the service made while the wizard is open, newest first.
    const QStringList &paintings() const { return m_paintings; }
    // Painting requests still running.
    int painting() const { return m_painting; }

    // Reads the insights off the main thread while the price list loads,
    // then brings what depends on them up to date. Never throws.
    QCoro::Task<void> load();

    // The book as the wizard would make it now, for cover renders: title,
    // colophon, design and range; nothing else of the wizard's.
    BookFile draft() const;
    // Renders the cover preview and the front of draft(), unless they show
    // it already or are being drawn for it. Renders may run side by side; a
    // picture never replaces that of a render started after it, and a
    // failure keeps the pictures there are and sets coverFailure().
    QCoro::Task<void> renderCover();
    // Renders the thumbnails of every cover design, unless nothing they show
    // changed since the last time they came out (or are being drawn). A
    // failure keeps the thumbnails there are; the next call tries again.
    QCoro::Task<void> renderGallery();

    // Renders the cover and then the gallery now, taking in a redraw that
    // redrawSoon() was still waiting with.
    void redraw();
    // Renders them 0.4 s after the last of a run of calls: typing a title
    // starts one set of renders once the typing pauses, not one a key.
    void redrawSoon();

    // Puts a picture of the book's own on the cover: onto the own design as
    // it stands, else as a photo cover over the whole front.
    void useArt(const QString &path);
    // Starts times painting requests with these words, look and reference
    // photos; each that arrives is added to paintings(), and the first to
    // arrive since beginCoverVisit() goes on the cover. A failure is told
    // through paintFailed().
    void paint(const QString &prompt, const QString &style, const QStringList &references, int times);
    // The cover step is on screen afresh: its first painting goes on the
    // cover by itself.
    void beginCoverVisit();
    // True the first time only: QUORVEL_COVER_PAINT paints once a wizard.
    bool claimPaintAid();

    // The pages one volume holds: the price list's, else 780.
    int limit() const;
    // What the book prints besides its messages, as the choices stand now:
    // every page count of the wizard goes through it.
    PageModel pageModel() const;
    // The last day that will be printed: to(), or with one book the last
    // day that still fits.
    QString effectiveTo() const;
    // Estimated printed pages from from() to effectiveTo(); 0 without
    // insights.
    int pages() const;
    int messageCount() const;
    int volumes() const;
    Estimate estimate(const Insights::Suggestion &suggestion) const;
    // The last day of each volume, at most 12 of them.
    QStringList volumeEnds() const;
    // The first "I love you" of the conversation, whoever said it; the
    // earliest by time, the first met on a tie.
    std::optional<BookFile::Message> firstLove() const;
    // The page the first "I love you" lands on by itself, from from().
    int loveLanding() const;
    // The pin finishing would make: the first "I love you" on pinPage(),
    // while it is switched on and there is one.
    std::optional<Edits::Pin> lovePin() const;
    // The pin of the book that lovePin() would push off its page, and
    // where its message would go; none while it pushes nobody.
    std::optional<PinPages::Moved> movedPin() const;

    // Chooses the most recent stretch that fits one volume, the default look
    // and the default order, add-ons and marked days included, and finishes.
    void makeItForMe();
    // Starts a book around one special day and moves on to the fit step.
    void makeBook(const Celebration &celebration);
    // Writes every choice into the book at once.
    void finish();

signals:
    void changed();
    void insightsChanged();
    void pricingChanged();
    void stepChanged();
    void suggestionChanged();
    void fromChanged();
    void toChanged();
    void oneBookChanged();
    void designChanged();
    void orderChanged();
    void titleChanged();
    void colophonChanged();
    void dedicationChanged();
    void wordsChanged();
    void pinLoveChanged();
    void pinPageChanged();
    void coverPreviewChanged();
    void coverFrontChanged();
    void galleryChanged();
    void galleryKeyChanged();
    void momentSearchChanged();
    void foundReadyChanged();
    void renderingCoverChanged();
    void coverFailureChanged();
    void renderingGalleryChanged();
    void paintingsChanged();
    void paintingChanged();
    // A painting request failed; sentence is the service's or the network's.
    void paintFailed(const QString &sentence);

private:
    template<typename T> void assign(T &field, const T &value, void (WizardModel::*signal)());
    void resume();
    // Brings a line under the title that nobody wrote to the range's years.
    void followRange();
    // What a cover render of book at pages shows; equal keys, equal pictures.
    static QString coverKey(const BookFile &book, int pages);
    void setRenderingCover(bool rendering);
    void setCoverFailure(const std::optional<QString> &failure);
    void setRenderingGallery(bool rendering);
    void setPaintings(const QStringList &paintings);
    void setPainting(int running);
    // Shows a newly made picture in place of the one before, which goes
    // from the disk when this model made it.
    void replacePicture(std::optional<QString> &field, const QString &made, void (WizardModel::*signal)());
    // Removes pictures this model made and shows no more.
    void discard(const std::optional<QString> &picture);
    QCoro::Task<void> paintOne(QString prompt, QString style, QStringList references, QString folder);
    int estimatedPages(const QString &from, const QString &to) const;
    // The pages with the book's pins as given.
    PageModel pageModelOf(const QList<Edits::Pin> &pins) const;
    // Of a range given by its ends: at least 1.
    int volumesOf(int pages) const;

    const std::shared_ptr<Project> m_project;
    WrappedOpener m_onWrapped;
    Renderer m_renderer;
    std::optional<Insights> m_insights;
    std::optional<Pricing> m_pricing;
    Step m_step = Step::Found;
    QString m_suggestion = QStringLiteral("everything");
    QString m_from;
    QString m_to;
    bool m_oneBook = false;
    Design m_design;
    Order m_order;
    QString m_title;
    QString m_colophon;
    bool m_colophonTyped = false;
    QString m_dedication;
    QSet<QString> m_words;
    bool m_pinLove = false;
    int m_pinPage = 1;
    // Whether the pin page was set through setPinPage() rather than by
    // loading.
    bool m_pinPageChosen = false;
    std::optional<QString> m_coverPreview;
    std::optional<QString> m_coverFront;
    QMap<QString, QString> m_gallery;
    QString m_galleryKey;
    QString m_momentSearch;
    bool m_foundReady = false;
    // Generations: the newest cover render started, and the newest whose
    // pictures are shown; an older one that ends late shows nothing.
    int m_coverRender = 0;
    int m_coverShown = 0;
    // What the newest cover render draws; cleared when it fails, so that
    // asking again tries again.
    QString m_coverKey;
    bool m_renderingCover = false;
    std::optional<QString> m_coverFailure;
    // The gallery key being drawn now; empty when none is.
    QString m_galleryWanted;
    bool m_renderingGallery = false;
    // Pictures the renders made for this model, removed once not shown.
    QSet<QString> m_made;
    std::unique_ptr<Clock::Alarm> m_redraw;
    QStringList m_paintings;
    int m_painting = 0;
    bool m_coverOnArrival = false;
    bool m_paintAidUsed = false;
};

template<typename T> void WizardModel::assign(T &field, const T &value, void (WizardModel::*signal)())
{
    if (field == value)
        return;
    field = value;
    emit(this->*signal)();
    emit changed();
}
