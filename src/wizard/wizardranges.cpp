// What the wizard's choices come to in print: the range actually printed,
// pages, volumes and where they end, the one-click book, a book of one
// special day, and the hand-over of every choice to the book.
#include "project/project.h"
#include "project/volumeplan.h"
#include "wizardmodel.h"

#include <algorithm>
#include <cmath>

int WizardModel::limit() const
{
    return m_pricing ? m_pricing->pageLimit() : VolumePlan::defaultLimit;
}

PageModel WizardModel::pageModel() const
{
    // The book's pins stay when the wizard finishes, but the first "I love
    // you" takes the page chosen here.
    QList<Edits::Pin> pins = m_project->book().edits.pins.value_or(QList<Edits::Pin>());
    if (const std::optional<Edits::Pin> love = lovePin()) {
        pins.removeIf([&](const Edits::Pin &pin) { return pin.id == love->id; });
        pins.append(*love);
    }
    return pageModelOf(pins);
}

PageModel WizardModel::pageModelOf(const QList<Edits::Pin> &pins) const
{
    PageModel model = PageModel::of(m_design, m_dedication.split(QLatin1Char('\n')));
    // The copy shares the messages.
    BookFile book = m_project->book();
    book.edits.pins = pins;
    model.pins = PageModel::pinsOf(book);
    model.takeChaptersOf(book);
    return model;
}

std::optional<PinPages::Moved> WizardModel::movedPin() const
{
    const std::optional<Edits::Pin> pin = lovePin();
    if (!pin || !m_insights)
        return std::nullopt;
    const QString day = firstLove()->day();
    const QString last = effectiveTo();
    if (day < m_from || last < day)
        return std::nullopt;
    // Where the book's other pins land with the first "I love you" left
    // where it falls, against the pages its pin puts in before them.
    QList<Edits::Pin> others = m_project->book().edits.pins.value_or(QList<Edits::Pin>());
    others.removeIf([&](const Edits::Pin &other) { return other.id == pin->id; });
    const int natural = loveLanding();
    const int shift = PinPages::added(pin->page, natural);
    QList<PinPages::Placed> later;
    for (const Insights::PinLanding &landing : m_insights->pinLandings(m_from, last, pageModelOf(others))) {
        if (day < landing.pin.day)
            later.append({ landing.pin.page, landing.natural });
    }
    return PinPages::displaced(shift, later);
}

int WizardModel::loveLanding() const
{
    const std::optional<BookFile::Message> love = firstLove();
    if (!love || !m_insights)
        return 1;
    return m_insights->landingPage(m_from, love->day(), pageModel());
}

std::optional<Edits::Pin> WizardModel::lovePin() const
{
    if (!m_pinLove)
        return std::nullopt;
    const std::optional<BookFile::Message> love = firstLove();
    if (!love)
        return std::nullopt;
    return Edits::Pin { love->id, m_pinPage };
}

int WizardModel::estimatedPages(const QString &from, const QString &to) const
{
    return m_insights ? m_insights->estimatedPages(from, to, pageModel()) : 0;
}

int WizardModel::volumesOf(int pages) const
{
    return std::max(1, int(std::ceil(double(pages) / double(limit()))));
}

QString WizardModel::effectiveTo() const
{
    if (!m_oneBook || !m_insights)
        return m_to;
    const QString last = m_insights->lastDayFitting(m_from, limit(), pageModel());
    return last < m_to ? last : m_to;
}

int WizardModel::pages() const
{
    return estimatedPages(m_from, effectiveTo());
}

int WizardModel::messageCount() const
{
    return m_insights ? m_insights->messages(m_from, effectiveTo()) : 0;
}

int WizardModel::volumes() const
{
    return volumesOf(pages());
}

WizardModel::Estimate WizardModel::estimate(const Insights::Suggestion &suggestion) const
{
    Estimate estimate;
    estimate.pages = estimatedPages(suggestion.from, suggestion.to);
    estimate.volumes = volumesOf(estimate.pages);
    if (m_pricing)
        estimate.price = m_pricing->price(m_order.binding, estimate.pages);
    return estimate;
}

QStringList WizardModel::volumeEnds() const
{
    QStringList ends;
    if (!m_insights)
        return ends;
    const QString last = effectiveTo();
    QString start = m_from;
    while (!(last < start) && ends.size() < 12) {
        const QString end = std::min(m_insights->lastDayFitting(start, limit(), pageModel()), last);
        ends.append(end);
        const auto next = std::find_if(m_insights->days.cbegin(), m_insights->days.cend(),
            [&](const Insights::DayCount &day) { return end < day.iso; });
        if (next == m_insights->days.cend())
            break;
        start = next->iso;
    }
    return ends;
}

std::optional<BookFile::Message> WizardModel::firstLove() const
{
    if (!m_insights || m_insights->firstLove.isEmpty())
        return std::nullopt;
    auto earliest = m_insights->firstLove.cbegin();
    for (auto it = m_insights->firstLove.cbegin(); it != m_insights->firstLove.cend(); ++it) {
        if (it->at < earliest->at)
            earliest = it;
    }
    return *earliest;
}

void WizardModel::makeItForMe()
{
    if (!m_insights)
        return;
    // The defaults, whatever was chosen before: a one-click book carries no
    // paid extra the user didn't pick on the way to it. The look comes
    // first, since the stretch that fits one volume is measured in it.
    setDesign(Design());
    setOrder(Order());
    const QList<Insights::DayCount> &days = m_insights->days;
    const QString first = days.isEmpty() ? QString() : days.first().iso;
    const QString last = days.isEmpty() ? QString() : days.last().iso;
    QString start = first;
    if (estimatedPages(first, last) > limit()) {
        // The most recent stretch that fits one volume. Pages only grow as
        // the start moves back, so the earliest start that still fits is
        // found by halving instead of trying every day.
        qsizetype low = 0;
        qsizetype high = days.size() - 1;
        if (estimatedPages(days[high].iso, last) > limit()) {
            start = last;
        } else {
            while (low < high) {
                const qsizetype middle = (low + high) / 2;
                if (estimatedPages(days[middle].iso, last) <= limit())
                    high = middle;
                else
                    low = middle + 1;
            }
            start = days[low].iso;
        }
    }
    setFrom(start);
    setTo(last);
    setOneBook(false);
    finish();
}

void WizardModel::makeBook(const Celebration &celebration)
{
    setSuggestion(QStringLiteral("custom"));
    const QList<BookFile::Message> &messages = m_project->book().messages;
    const QString firstDay = messages.isEmpty() ? QString() : messages.first().at.left(10);
    setFrom(std::max(celebration.from, firstDay));
    setTo(std::min(celebration.to, m_project->lastDay()));
    setOneBook(false);
    const QString them = m_insights ? m_insights->them : QStringLiteral("Them");
    if (m_title == QStringLiteral("You & ") + them || m_title.isEmpty())
        setTitle(celebration.title);
    setStep(Step::Fit);
}

void WizardModel::finish()
{
    Project::WizardChoices choices;
    choices.from = m_from;
    choices.to = effectiveTo();
    choices.design = m_design;
    choices.order = m_order;
    choices.title = m_title;
    choices.colophon = m_colophon;
    choices.colophonTyped = m_colophonTyped;
    if (!m_dedication.isEmpty())
        choices.dedication = m_dedication.split(QLatin1Char('\n'));
    choices.words = QStringList(m_words.cbegin(), m_words.cend());
    choices.pin = lovePin();
    m_project->applyWizard(choices);
}
