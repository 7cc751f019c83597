#include "ordermodel.h"

#include "model/text.h"
#include "project/volumeplan.h"
#include "ui/desktop.h"
#include "ui/errors.h"

#include <QHash>
#include <QPointer>
#include <algorithm>

namespace {

// Placings under way, by book: two at once would make their print files in
// the same folder and send each other's pages.
QHash<const Project *, std::weak_ptr<OrderModel>> &underWay()
{
    static QHash<const Project *, std::weak_ptr<OrderModel>> placings;
    return placings;
}

// A payment page is a web page; any other address from a reply (a file, a
// program's scheme) is not opened on this computer.
bool isWebPage(const QUrl &url)
{
    return url.isValid() && (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
        && !url.host().isEmpty();
}

const QString pageOpen = QStringLiteral("The payment page is open in your browser.");
const QString unchecked
    = QStringLiteral("The order didn't go through: a code couldn't be checked. Nothing was charged.");

} // namespace

std::shared_ptr<OrderModel> OrderModel::make(std::shared_ptr<Project> project, std::optional<Pricing> pricing)
{
    std::shared_ptr<OrderModel> model(new OrderModel(std::move(project), std::move(pricing)));
    model->m_discountCode = OrderTotal::unusedShareCode(Rewards::shared().status()).value_or(QString());
    model->m_address.country = QStringLiteral("US");
    return model;
}

std::shared_ptr<OrderModel> OrderModel::placing(const Project *project)
{
    return underWay().value(project).lock();
}

OrderModel::OrderModel(std::shared_ptr<Project> project, std::optional<Pricing> pricing)
    : m_project(std::move(project))
    , m_pricing(std::move(pricing))
{ }

OrderModel::~OrderModel() = default;

template<typename T> void OrderModel::assign(T &member, const T &value)
{
    if (member == value)
        return;
    member = value;
    emit changed();
}

void OrderModel::setMode(const QString &mode)
{
    assign(m_mode, std::optional(mode));
}

void OrderModel::setEmail(const QString &email)
{
    assign(m_email, email);
}

void OrderModel::setDiscountCode(const QString &code)
{
    assign(m_discountCode, code);
}

void OrderModel::setGiftCode(const QString &code)
{
    assign(m_giftCode, code);
}

void OrderModel::setAddress(const Ordering::Address &address)
{
    assign(m_address, address);
}

void OrderModel::setStage(const Stage &stage)
{
    assign(m_stage, stage);
}

void OrderModel::setError(const std::optional<QString> &error)
{
    assign(m_error, error);
}

std::optional<OrderTotal::Price> OrderModel::price() const
{
    return OrderTotal::price(m_pricing, m_project->book(), m_project->layout().pageCount);
}

template<typename Answer>
std::optional<Answer> OrderModel::answerFor(const Answered<Answer> &answered, const QString &field)
{
    // The service looks a code up without the spaces around it.
    if (Text::trimmedSpaces(answered.code) != Text::trimmedSpaces(field))
        return std::nullopt;
    return answered.answer;
}

std::optional<Rewards::Discount> OrderModel::discount() const
{
    return answerFor(m_discount, m_discountCode);
}

std::optional<Ordering::Gift> OrderModel::gift() const
{
    return answerFor(m_gift, m_giftCode);
}

std::optional<int> OrderModel::discountPercent() const
{
    // Only a code the service took is sent with the order and taken off.
    const std::optional<Rewards::Discount> found = discount();
    return found && found->valid ? found->percent : std::nullopt;
}

std::optional<qint64> OrderModel::dueCents() const
{
    const std::optional<OrderTotal::Price> found = price();
    return found ? std::optional(found->dueCents(discountPercent().value_or(0))) : std::nullopt;
}

bool OrderModel::giftCovers() const
{
    return OrderTotal::giftCovers(gift(), dueCents());
}

bool OrderModel::canOrder() const
{
    if (m_placing || !m_email.contains(QLatin1Char('@')))
        return false;
    return !giftCovers() || m_address.complete();
}

void OrderModel::checkDiscount()
{
    keepAnswer(this, &OrderModel::m_discount, m_discountCode, Rewards::discount(m_discountCode));
}

void OrderModel::checkGift()
{
    keepAnswer(this, &OrderModel::m_gift, m_giftCode, Ordering::gift(m_giftCode));
}

template<typename Answer>
QCoro::Task<void> OrderModel::keepAnswer(QPointer<OrderModel> self, Answered<Answer> OrderModel::*member,
    QString code, QCoro::Task<std::optional<Answer>> asking)
{
    const std::optional<Answer> answer = co_await std::move(asking);
    // Kept only while someone still shows this order; the last to arrive wins.
    if (!self)
        co_return;
    (self.data()->*member) = { code, answer };
    emit self->changed();
}

void OrderModel::go()
{
    if (m_placing || placing(m_project.get()))
        return;
    m_placing = true;
    underWay().insert(m_project.get(), weak_from_this());
    setError(std::nullopt);
    emit changed();
    place(shared_from_this());
}

QCoro::Task<void> OrderModel::place(std::shared_ptr<OrderModel> self)
{
    // self keeps the model, and through it the book, until the road ends.
    try {
        self->setStage(co_await self->placeSteps());
    } catch (...) {
        self->setStage(Stage::ready());
        self->setError(Errors::sentence(std::current_exception()));
    }
    self->m_placing = false;
    underWay().remove(self->m_project.get());
    emit self->changed();
}

template<typename Answer> bool OrderModel::unanswered(const Answered<Answer> &answered, const QString &field)
{
    return !Text::trimmedSpaces(field).isEmpty() && !answerFor(answered, field);
}

QCoro::Task<bool> OrderModel::confirmCodes()
{
    // A code typed and never applied is meant all the same: the order must
    // not go at full price, or without its card, over it. Asked again while
    // the field changes under the question, so what goes is what was asked.
    while (unanswered(m_discount, m_discountCode) || unanswered(m_gift, m_giftCode)) {
        if (unanswered(m_discount, m_discountCode)) {
            const QString code = m_discountCode;
            m_discount = { code, co_await Rewards::discount(code) };
            if (!m_discount.answer)
                throw Ordering::Failure(unchecked);
        }
        if (unanswered(m_gift, m_giftCode)) {
            const QString code = m_giftCode;
            m_gift = { code, co_await Ordering::gift(code) };
            if (!m_gift.answer)
                throw Ordering::Failure(unchecked);
        }
        emit changed();
    }
    const std::optional<Rewards::Discount> discount = this->discount();
    const std::optional<Ordering::Gift> card = gift();
    co_return (!discount || (discount->valid && discount->percent))
        && (!card || (card->valid && card->balanceCents));
}

QCoro::Task<OrderModel::Stage> OrderModel::placeSteps()
{
    if (!co_await confirmCodes())
        co_return Stage::ready();
    const int limit = m_pricing ? m_pricing->pageLimit() : VolumePlan::defaultLimit;
    std::weak_ptr<OrderModel> weak = weak_from_this();
    const auto progress = [weak](int volume, int volumes) {
        // Reported from inside the print work: written on a later turn, and
        // only while the print files are still what is going on.
        const std::shared_ptr<OrderModel> self = weak.lock();
        if (!self)
            return;
        QMetaObject::invokeMethod(
            self.get(),
            [weak, volume, volumes] {
                const std::shared_ptr<OrderModel> self = weak.lock();
                const Stage::Kind kind = self ? self->m_stage.kind : Stage::Kind::Done;
                if (self && self->m_placing && (kind == Stage::Kind::Ready || kind == Stage::Kind::Preparing))
                    self->setStage(Stage::preparing(volume, volumes));
            },
            Qt::QueuedConnection);
    };
    const QList<Project::PrintFile> files = co_await m_project->preparePrintFiles(limit, progress);

    QList<int> volumePages;
    for (const Project::PrintFile &file : files)
        volumePages.append(file.pages);
    const BookFile &book = m_project->book();
    // The codes go as the sheet shows them: only those it says are good.
    const std::optional<Ordering::Gift> card = gift();
    const std::optional<QString> giftCode = card && card->valid ? std::optional(m_giftCode) : std::nullopt;
    const std::optional<QString> discountCode
        = discountPercent() ? std::optional(m_discountCode) : std::nullopt;
    const Ordering::Created created = co_await Ordering::create(
        book.front.title, book.order.value_or(Order()), volumePages, m_email, giftCode, discountCode);

    if (created.covers) {
        QList<Ordering::Created::Cover> covers = *created.covers;
        std::stable_sort(
            covers.begin(), covers.end(), [](const auto &a, const auto &b) { return a.volume < b.volume; });
        QList<double> spines;
        QList<std::optional<double>> wraps;
        for (const Ordering::Created::Cover &cover : covers) {
            spines.append(cover.spine);
            wraps.append(cover.wrap);
        }
        co_await m_project->respineCovers(files, spines, wraps, limit);
    }

    QHash<QString, QString> targets;
    for (const Project::PrintFile &file : files) {
        targets.insert(QStringLiteral("interior-%1.pdf").arg(file.volume), file.interior);
        targets.insert(QStringLiteral("cover-%1.pdf").arg(file.volume), file.cover);
    }
    const int count = int(created.files.size());
    for (int i = 0; i < count; ++i) {
        const Ordering::Created::File &file = created.files.at(i);
        setStage(Stage::uploading(i + 1, count));
        if (!targets.contains(file.name))
            throw Ordering::Failure(QStringLiteral("Missing ") + file.name + QLatin1Char('.'));
        co_await Ordering::upload(targets.value(file.name), file.url, created.token);
    }

    setStage(Stage::handing());
    const std::optional<Ordering::Address> address = giftCovers() ? std::optional(m_address) : std::nullopt;
    const Ordering::Submitted submitted
        = co_await Ordering::submit(created.id, created.token, m_email, address);
    if (submitted.checkoutUrl) {
        if (!isWebPage(*submitted.checkoutUrl))
            throw Ordering::Failure(QStringLiteral("The order didn't go through (its payment page isn't a "
                                                   "web address). Nothing was charged."));
        // The order is in either way; without a browser, the page's address
        // is the only way to pay for it.
        if (!co_await Desktop::instance().openUrl(*submitted.checkoutUrl))
            co_return Stage::unopened(*submitted.checkoutUrl);
        co_return Stage::done(pageOpen);
    }
    co_return Stage::done(submitted.message.value_or(QStringLiteral("We have it. Watch your email.")));
}

void OrderModel::openPage()
{
    if (m_stage.page.isEmpty())
        return;
    [](std::shared_ptr<OrderModel> self, Stage tried) -> QCoro::Task<void> {
        if (co_await Desktop::instance().openUrl(tried.page) && self->m_stage == tried)
            self->setStage(Stage::done(pageOpen));
    }(shared_from_this(), m_stage);
}
