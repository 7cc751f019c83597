#pragma once

#include "insights/celebration.h"
#include "insights/insights.h"
#include "model/bookfile.h"
#include "model/design.h"
#include "model/order.h"
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
        std::function<QCoro::Task<QString>(BookFile book, int pages, int ppi, QString folder)> front;
        std::function<QCoro::Task<QString>(BookFile book, int pages, QString folder)> preview;
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
    QString colophon() const { return m_colophon; }
    void setColophon(const QString &colophon);
    // Lines separated by line feeds.
    QString dedication() const { return m_dedication; }
    void setDedication(const QString &dedication);
    const QSet<QString> &words() const { return m_words; }
    void setWords(const QSet<QString> &words);
    // Pin the first "I love you" to pinPage().
    bool pinLove() const { return m_pinLove; }
    void setPinLove(bool pin);
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

    // Reads the insights off the main thread while the price list loads,
    // then brings what depends on them up to date. Never throws.
    QCoro::Task<void> load();

    // The book as the wizard would make it now, for cover renders: title,
    // colophon, design and range; nothing else of the wizard's.
    BookFile draft() const;
    // Renders the cover preview and the front of draft(); only the newest
    // render's pictures are kept.
    QCoro::Task<void> renderCover();
    // Renders the thumbnails of every cover design, unless nothing they show
    // changed since the last time.
    QCoro::Task<void> renderGallery();

    // The pages one volume holds: the price list's, else 780.
    int limit() const;
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

    // Chooses the most recent stretch that fits one volume, the default look
    // and order (keeping the add-ons already picked), and finishes.
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

private:
    template<typename T> void assign(T &field, const T &value, void (WizardModel::*signal)());
    void resume();
    int estimatedPages(const QString &from, const QString &to) const;
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
    QString m_dedication;
    QSet<QString> m_words;
    bool m_pinLove = false;
    int m_pinPage = 1;
    std::optional<QString> m_coverPreview;
    std::optional<QString> m_coverFront;
    QMap<QString, QString> m_gallery;
    QString m_galleryKey;
    QString m_momentSearch;
    bool m_foundReady = false;
    int m_coverRender = 0;
};
