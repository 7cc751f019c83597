#include "wizardmodel.h"

#include "model/colophon.h"
#include "model/coverrender.h"
#include "project/project.h"

#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QtConcurrent/QtConcurrentRun>
#include <qcorofuture.h>

namespace {

QString defaultTitle(const BookFile &book)
{
    for (const BookFile::Person &person : book.people) {
        if (!person.me)
            return QStringLiteral("You & ") + person.name;
    }
    return QStringLiteral("You & Them");
}

// The step QUORVEL_WIZARD_STEP asks for, a testing aid; none unless it is a
// whole number naming a step.
std::optional<WizardModel::Step> stepFromEnvironment()
{
    if (!qEnvironmentVariableIsSet("QUORVEL_WIZARD_STEP"))
        return std::nullopt;
    const QString value = qEnvironmentVariable("QUORVEL_WIZARD_STEP");
    static const QRegularExpression whole(QStringLiteral("^[+-]?[0-9]{1,9}$"));
    if (!whole.match(value).hasMatch())
        return std::nullopt;
    return WizardModel::stepAt(value.toInt());
}

} // namespace

std::optional<WizardModel::Step> WizardModel::stepAt(int number)
{
    if (number < 0 || number >= stepCount)
        return std::nullopt;
    return Step(number);
}

QString WizardModel::symbol(Step step)
{
    switch (step) {
    case Step::Found:
        return QStringLiteral("sparkles");
    case Step::What:
        return QStringLiteral("book.closed");
    case Step::Fit:
        return QStringLiteral("ruler");
    case Step::Typeface:
        return QStringLiteral("textformat");
    case Step::Chapters:
        return QStringLiteral("list.bullet.indent");
    case Step::Cover:
        return QStringLiteral("rectangle.portrait.on.rectangle.portrait");
    case Step::Touches:
        return QStringLiteral("wand.and.stars");
    case Step::Binding:
        return QStringLiteral("books.vertical");
    case Step::Shipping:
        return QStringLiteral("shippingbox");
    case Step::Review:
        return QStringLiteral("checkmark.seal");
    }
    return {};
}

WizardModel::Renderer WizardModel::Renderer::typst()
{
    return { Helpers::renderCoverPictures, Helpers::renderCoverGallery };
}

WizardModel::WizardModel(std::shared_ptr<Project> project, Resuming resuming, QObject *parent)
    : QObject(parent)
    , m_project(std::move(project))
    , m_renderer(Renderer::typst())
{
    const BookFile &book = m_project->book();
    m_from = m_project->firstDay();
    m_to = m_project->lastDay();
    m_title = defaultTitle(book);
    if (resuming == Resuming::Yes && book.design)
        resume();
    if (!m_colophonTyped)
        m_colophon = Colophon::years(m_from, m_to);
    if (const std::optional<Step> step = stepFromEnvironment())
        m_step = *step;
    // Any change may move the range printed: the range itself, one book or
    // not, the insights, the price list's volume and the look that the
    // page estimate counts.
    connect(this, &WizardModel::changed, this, &WizardModel::followRange);
}

WizardModel::~WizardModel()
{
    for (const QString &picture : std::as_const(m_made))
        QFile::remove(picture);
    Helpers::removeCoverGallery(m_gallery);
}

void WizardModel::resume()
{
    const BookFile &book = m_project->book();
    m_step = Step::What;
    m_suggestion = QStringLiteral("custom");
    m_from = m_project->from();
    m_to = m_project->to();
    m_design = *book.design;
    m_order = book.order.value_or(Order());
    m_title = book.front.title;
    m_colophon = book.front.colophon;
    m_colophonTyped = !Colophon::followsRange(book);
    m_dedication = book.front.dedication.join(QLatin1Char('\n'));
}

void WizardModel::setRenderer(Renderer renderer)
{
    m_renderer = std::move(renderer);
}

void WizardModel::setOnWrapped(WrappedOpener opener)
{
    m_onWrapped = std::move(opener);
}

void WizardModel::setInsights(std::optional<Insights> insights)
{
    // Insights has no equality: every store notifies.
    m_insights = std::move(insights);
    emit insightsChanged();
    emit changed();
}

void WizardModel::setPricing(const std::optional<Pricing> &pricing)
{
    assign(m_pricing, pricing, &WizardModel::pricingChanged);
}

void WizardModel::setStep(Step step)
{
    assign(m_step, step, &WizardModel::stepChanged);
}

void WizardModel::setSuggestion(const QString &suggestion)
{
    assign(m_suggestion, suggestion, &WizardModel::suggestionChanged);
}

void WizardModel::setFrom(const QString &from)
{
    assign(m_from, from, &WizardModel::fromChanged);
}

void WizardModel::setTo(const QString &to)
{
    assign(m_to, to, &WizardModel::toChanged);
}

void WizardModel::setOneBook(bool oneBook)
{
    assign(m_oneBook, oneBook, &WizardModel::oneBookChanged);
}

void WizardModel::setDesign(const Design &design)
{
    assign(m_design, design, &WizardModel::designChanged);
}

void WizardModel::setOrder(const Order &order)
{
    assign(m_order, order, &WizardModel::orderChanged);
}

void WizardModel::setTitle(const QString &title)
{
    assign(m_title, title, &WizardModel::titleChanged);
}

void WizardModel::setColophon(const QString &colophon)
{
    m_colophonTyped = true;
    assign(m_colophon, colophon, &WizardModel::colophonChanged);
}

void WizardModel::followRange()
{
    if (!m_colophonTyped)
        assign(m_colophon, Colophon::years(m_from, effectiveTo()), &WizardModel::colophonChanged);
}

void WizardModel::setDedication(const QString &dedication)
{
    assign(m_dedication, dedication, &WizardModel::dedicationChanged);
}

void WizardModel::setWords(const QSet<QString> &words)
{
    assign(m_words, words, &WizardModel::wordsChanged);
}

void WizardModel::setPinLove(bool pin)
{
    assign(m_pinLove, pin, &WizardModel::pinLoveChanged);
}

void WizardModel::setPinPage(int page)
{
    // A page set here is the user's: loading again must not move it.
    m_pinPageChosen = true;
    assign(m_pinPage, page, &WizardModel::pinPageChanged);
}

void WizardModel::setCoverPreview(const std::optional<QString> &path)
{
    assign(m_coverPreview, path, &WizardModel::coverPreviewChanged);
}

void WizardModel::setCoverFront(const std::optional<QString> &path)
{
    assign(m_coverFront, path, &WizardModel::coverFrontChanged);
}

void WizardModel::setGallery(const QMap<QString, QString> &gallery)
{
    assign(m_gallery, gallery, &WizardModel::galleryChanged);
}

void WizardModel::setGalleryKey(const QString &key)
{
    assign(m_galleryKey, key, &WizardModel::galleryKeyChanged);
}

void WizardModel::setMomentSearch(const QString &text)
{
    assign(m_momentSearch, text, &WizardModel::momentSearchChanged);
}

void WizardModel::setFoundReady(bool ready)
{
    assign(m_foundReady, ready, &WizardModel::foundReadyChanged);
}

QCoro::Task<void> WizardModel::load()
{
    QPointer<WizardModel> self(this);
    // Both start at once; the price list's request runs while the insights
    // are read on a worker thread.
    QFuture<Insights> reading
        = QtConcurrent::run([book = m_project->book()] { return Insights::read(book); });
    QCoro::Task<std::optional<Pricing>> prices = Pricing::load();

    Insights insights = co_await reading;
    if (!self)
        co_return;
    setInsights(std::move(insights));
    const std::optional<Pricing> pricing = co_await std::move(prices);
    if (!self)
        co_return;
    setPricing(pricing);

    // The flow shows a new view of this model after a visit to the Wrapped,
    // and each view loads: only a page nobody chose follows the estimate.
    if (firstLove() && !m_pinPageChosen)
        assign(m_pinPage, loveLanding(), &WizardModel::pinPageChanged);

    if (m_step >= Step::Cover) {
        co_await renderCover();
        if (!self)
            co_return;
        co_await renderGallery();
    }
}

BookFile WizardModel::draft() const
{
    BookFile book = m_project->book();
    book.front.title = m_title;
    book.front.colophon = m_colophon;
    book.design = m_design;
    book.edits.range = Edits::DayRange { m_from, effectiveTo() };
    return book;
}
