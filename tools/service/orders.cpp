#include "orders.h"

#include "catalog.h"
#include "discounts.h"
#include "pdfpages.h"
#include "store.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <cmath>

namespace {

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

QString page(const QString &title, const QString &body)
{
    return QStringLiteral(
        "<!doctype html><html><head><meta charset=\"utf-8\"><title>%1</title></head>"
        "<body style=\"font-family: sans-serif; max-width: 32em; margin: 4em auto\">%2</body></html>")
        .arg(title.toHtmlEscaped(), body);
}

QList<int> volumePagesFrom(const QJsonValue &value)
{
    if (!value.isArray() || value.toArray().isEmpty())
        throw Refusal(400, QStringLiteral("\"volumePages\" must list the pages of each volume."));
    QList<int> pages;
    for (const QJsonValue &entry : value.toArray()) {
        const double number = entry.toDouble(-1);
        if (!entry.isDouble() || number != std::floor(number) || number < 1
            || number > Catalog::pagesPerVolume)
            throw Refusal(400,
                QStringLiteral("Each volume must have from 1 to %1 pages.").arg(Catalog::pagesPerVolume));
        pages.append(int(number));
    }
    return pages;
}

QStringList addonsFrom(const QJsonValue &value)
{
    if (!value.isArray())
        throw Refusal(400, QStringLiteral("\"addons\" must be a list."));
    QStringList addons;
    for (const QJsonValue &entry : value.toArray()) {
        if (!entry.isString())
            throw Refusal(400, QStringLiteral("\"addons\" must list add-on ids."));
        addons.append(entry.toString());
    }
    return addons;
}

std::optional<QString> code(std::optional<QString> typed)
{
    if (!typed)
        return typed;
    qsizetype begin = 0;
    qsizetype end = typed->size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(typed->at(begin)))
        ++begin;
    while (end > begin && blank(typed->at(end - 1)))
        --end;
    return typed->mid(begin, end - begin);
}

} // namespace

Orders::Orders(Store &store, const QString &dataFolder, const QString &mode)
    : m_store(store)
    , m_folder(dataFolder)
    , m_mode(mode)
{
    for (const Catalog::Gift &gift : Catalog::startingGifts()) {
        m_store.exec(
            QStringLiteral(
                "INSERT OR IGNORE INTO gifts (code, balance_cents, recipient, giver) VALUES (?, ?, ?, ?)"),
            { gift.code, gift.balanceCents, gift.to, gift.from });
    }
}

void Orders::addRoutes(Routes &routes)
{
    using namespace std::placeholders;
    routes.push_back(
        { "GET", routePattern("/api/pricing"), [](Call &call) { call.reply(200, Catalog::priceList()); } });
    routes.push_back({ "GET", routePattern("/api/ordering"), [this](Call &call) {
                          call.reply(200, QJsonObject { { QStringLiteral("mode"), mode() } });
                      } });
    routes.push_back({ "GET", routePattern("/api/gifts/([^/]*)"), std::bind(&Orders::gift, this, _1) });
    routes.push_back({ "POST", routePattern("/api/orders"), std::bind(&Orders::create, this, _1) });
    routes.push_back(
        { "PUT", routePattern("/uploads/([^/]+)/([^/]+)"), std::bind(&Orders::upload, this, _1) });
    routes.push_back(
        { "POST", routePattern("/api/orders/([^/]+)/submit"), std::bind(&Orders::submit, this, _1) });
    routes.push_back({ "GET", routePattern("/pay/([^/]+)"), std::bind(&Orders::payPage, this, _1) });
    routes.push_back({ "POST", routePattern("/pay/([^/]+)"), std::bind(&Orders::pay, this, _1) });
}

QString Orders::mode() const
{
    std::lock_guard lock(m_mutex);
    return m_mode;
}

void Orders::setMode(const QString &mode)
{
    std::lock_guard lock(m_mutex);
    m_mode = mode;
}

void Orders::gift(Call &call)
{
    const Store::Row row = m_store.one(
        QStringLiteral("SELECT balance_cents, recipient, giver FROM gifts WHERE code = ? COLLATE NOCASE"),
        { call.capture(1) });
    if (row.isEmpty() || row.at(0).toLongLong() <= 0) {
        call.reply(404, QJsonObject { { QStringLiteral("valid"), false } });
        return;
    }
    call.reply(200,
        QJsonObject { { QStringLiteral("valid"), true },
            { QStringLiteral("balanceCents"), row.at(0).toLongLong() },
            { QStringLiteral("to"), row.at(1).toString() },
            { QStringLiteral("from"), row.at(2).toString() } });
}

void Orders::create(Call &call)
{
    const QJsonObject body = call.json();
    if (mode() == QLatin1String("off"))
        throw Refusal(403, QStringLiteral("Ordering is closed right now."));
    const QString title = Field::text(body, QStringLiteral("title"));
    const QString binding = Field::text(body, QStringLiteral("binding"));
    const QString shipping = Field::text(body, QStringLiteral("shipping"));
    QStringList addons = addonsFrom(body.value(QStringLiteral("addons")));
    // An add-on listed twice is still one add-on, as the app prices it.
    addons.removeDuplicates();
    const QList<int> volumePages = volumePagesFrom(body.value(QStringLiteral("volumePages")));
    const std::optional<QString> email = Field::optionalText(body, QStringLiteral("email"));
    // Codes are read as the app looks them up: without spaces and tabs around them.
    const std::optional<QString> giftCode = code(Field::optionalText(body, QStringLiteral("giftCode")));
    const std::optional<QString> discountCode
        = code(Field::optionalText(body, QStringLiteral("discountCode")));
    const QString install = Field::text(body, QStringLiteral("install"));
    if (install.trimmed().isEmpty())
        throw Refusal(400, QStringLiteral("\"install\" must not be empty."));
    if (const std::optional<QString> problem = Catalog::problemWith(binding, shipping, addons))
        throw Refusal(400, *problem);
    const Store::Row card = giftCode
        ? m_store.one(
            QStringLiteral(
                "SELECT balance_cents FROM gifts WHERE code = ? COLLATE NOCASE AND balance_cents > 0"),
            { *giftCode })
        : Store::Row();
    if (giftCode && card.isEmpty())
        throw Refusal(402, QStringLiteral("That gift card code doesn't work."));
    std::optional<Discounts::Discount> discount;
    if (discountCode) {
        discount = Discounts::find(m_store, *discountCode);
        if (!discount)
            throw Refusal(400, QStringLiteral("That discount code doesn't work."));
    }

    const QString id = QStringLiteral("ord_") + randomText(16);
    const QString token = randomText(32, "0123456789abcdef");
    const qint64 book = Catalog::book(binding, addons, volumePages);
    const qint64 total = book + Catalog::shippingPrice(shipping);
    // Whole dollars times a percentage are cents.
    const qint64 discountCents = discount ? book * discount->percent : 0;
    // The card pays what it can of what the code leaves.
    const qint64 giftCents = giftCode ? std::min(card.at(0).toLongLong(), total * 100 - discountCents) : 0;
    QJsonArray pagesJson;
    QJsonArray files;
    QJsonArray covers;
    for (int i = 0; i < volumePages.size(); ++i) {
        pagesJson.append(volumePages.at(i));
        for (const QString &name :
            { QStringLiteral("interior-%1.pdf").arg(i + 1), QStringLiteral("cover-%1.pdf").arg(i + 1) })
            files.append(QJsonObject { { QStringLiteral("name"), name },
                { QStringLiteral("url"), call.base() + QStringLiteral("/uploads/%1/%2").arg(id, name) } });
        // The printer's spine: the app's own rule, rounded as a printer quotes it.
        const double spine = std::round((volumePages.at(i) / 444.0 + 0.06) * 1000) / 1000;
        covers.append(QJsonObject { { QStringLiteral("volume"), i + 1 },
            { QStringLiteral("printer"), QStringLiteral("stand-in press") },
            { QStringLiteral("spine"), spine }, { QStringLiteral("wrap"), 0.75 } });
    }
    const QString currentMode = mode();
    m_store.exec(
        QStringLiteral(
            "INSERT INTO orders (id, token, install, title, binding, shipping, addons, volume_pages, "
            "email, gift_code, discount_code, mode, state, total, discount_cents, gift_cents, created) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'open', ?, ?, ?, ?)"),
        { id, token, install, title, binding, shipping,
            QString::fromUtf8(
                QJsonDocument(QJsonArray::fromStringList(addons)).toJson(QJsonDocument::Compact)),
            QString::fromUtf8(QJsonDocument(pagesJson).toJson(QJsonDocument::Compact)),
            email ? QVariant(*email) : QVariant(), giftCode ? QVariant(*giftCode) : QVariant(),
            discountCode ? QVariant(*discountCode) : QVariant(), currentMode, total, discountCents, giftCents,
            now() });
    call.reply(200,
        QJsonObject { { QStringLiteral("id"), id }, { QStringLiteral("token"), token },
            { QStringLiteral("mode"), currentMode }, { QStringLiteral("files"), files },
            { QStringLiteral("covers"), covers } });
}

QStringList Orders::fileNames(const QList<int> &volumePages)
{
    QStringList names;
    for (int i = 1; i <= volumePages.size(); ++i)
        names << QStringLiteral("interior-%1.pdf").arg(i) << QStringLiteral("cover-%1.pdf").arg(i);
    return names;
}

Orders::Placed Orders::placed(Call &call, const QString &id, bool needsToken)
{
    const Store::Row row
        = m_store.one(QStringLiteral("SELECT token, state, volume_pages, title, total, gift_code, "
                                     "discount_code, discount_cents, gift_cents FROM orders WHERE id = ?"),
            { id });
    if (row.isEmpty())
        throw Refusal(404, QStringLiteral("There's no such order."));
    Placed order;
    order.token = row.at(0).toString();
    order.state = row.at(1).toString();
    for (const QJsonValue &pages : QJsonDocument::fromJson(row.at(2).toString().toUtf8()).array())
        order.volumePages.append(pages.toInt());
    order.title = row.at(3).toString();
    order.total = row.at(4).toLongLong();
    order.giftCode = row.at(5).toString();
    order.discountCode = row.at(6).toString();
    order.discountCents = row.at(7).toLongLong();
    order.giftCents = row.at(8).toLongLong();
    if (needsToken && call.header("Authorization") != QStringLiteral("Bearer ") + order.token)
        throw Refusal(401, QStringLiteral("That order's token is missing or wrong."));
    return order;
}

void Orders::upload(Call &call)
{
    const QString id = call.capture(1);
    const QString name = call.capture(2);
    const Placed order = placed(call, id, true);
    if (order.state != QLatin1String("open"))
        throw Refusal(409, QStringLiteral("This order was already submitted."));
    const QStringList names = fileNames(order.volumePages);
    if (!names.contains(name))
        throw Refusal(404, QStringLiteral("This order has no file named %1.").arg(name));
    if (call.header("Content-Type") != QLatin1String("application/pdf"))
        throw Refusal(415, QStringLiteral("%1 must be sent as application/pdf.").arg(name));
    const QByteArray pdf = call.body();
    if (pdf.isEmpty())
        throw Refusal(400, QStringLiteral("%1 arrived empty.").arg(name));
    if (!pdf.startsWith("%PDF-"))
        throw Refusal(415, QStringLiteral("%1 isn't a PDF.").arg(name));
    const int pages = PdfPages::count(pdf);
    if (name.startsWith(QLatin1String("interior-"))) {
        const int announced = order.volumePages.at(names.indexOf(name) / 2);
        if (pages != announced)
            throw Refusal(422,
                QStringLiteral("%1 has %2 pages; the order said %3.").arg(name).arg(pages).arg(announced));
    } else if (pages < 1) {
        throw Refusal(422, QStringLiteral("%1 has no pages.").arg(name));
    }

    const QString folder = m_folder + QStringLiteral("/orders/") + id;
    QDir().mkpath(folder);
    QSaveFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        throw Refusal(500, QStringLiteral("The stand-in couldn't store %1.").arg(name));
    m_store.exec(
        QStringLiteral(
            "INSERT OR REPLACE INTO uploads (order_id, name, bytes, pages, sha256) VALUES (?, ?, ?, ?, ?)"),
        { id, name, pdf.size(), pages,
            QString::fromLatin1(QCryptographicHash::hash(pdf, QCryptographicHash::Sha256).toHex()) });
    call.reply(200,
        QJsonObject { { QStringLiteral("name"), name }, { QStringLiteral("bytes"), double(pdf.size()) },
            { QStringLiteral("pages"), pages } });
}

void Orders::submit(Call &call)
{
    const QString id = call.capture(1);
    const QJsonObject body = call.json();
    const std::optional<QString> email = Field::optionalText(body, QStringLiteral("email"));
    std::optional<QJsonObject> address;
    if (body.contains(QStringLiteral("address"))) {
        const QJsonObject given = body.value(QStringLiteral("address")).toObject();
        for (const char *key :
            { "name", "line1", "line2", "city", "state", "postal_code", "phone", "country" })
            Field::text(given, QLatin1String(key));
        address = given;
    }
    const QString currentMode = mode();
    if (currentMode == QLatin1String("off"))
        throw Refusal(403, QStringLiteral("Ordering is closed right now."));

    QJsonObject reply;
    m_store.transaction([&] {
        const Placed order = placed(call, id, true);
        if (order.state != QLatin1String("open"))
            throw Refusal(409, QStringLiteral("This order was already submitted."));
        for (const QString &name : fileNames(order.volumePages)) {
            if (m_store
                    .one(
                        QStringLiteral("SELECT 1 FROM uploads WHERE order_id = ? AND name = ?"), { id, name })
                    .isEmpty())
                throw Refusal(409,
                    QStringLiteral("The print files haven't all arrived yet (%1 is missing).").arg(name));
        }
        spendCodes(order);
        QString state;
        if (!order.giftCode.isEmpty() && order.dueCents() <= 0) {
            state = QStringLiteral("paid");
            reply.insert(QStringLiteral("message"),
                address ? QStringLiteral("The gift card covers all of it. We'll email you when it ships.")
                        : QStringLiteral("The gift card covers all of it. We'll email you for the address."));
        } else if (currentMode == QLatin1String("stripe")) {
            state = QStringLiteral("awaiting payment");
            reply.insert(QStringLiteral("checkoutUrl"), call.base() + QStringLiteral("/pay/") + id);
        } else {
            // No message of its own: the app's closing words say it.
            state = QStringLiteral("concierge");
            reply.insert(QStringLiteral("concierge"), true);
        }
        QJsonObject submission;
        if (email)
            submission.insert(QStringLiteral("email"), *email);
        if (address)
            submission.insert(QStringLiteral("address"), *address);
        m_store.exec(
            QStringLiteral(
                "UPDATE orders SET state = ?, submission = ?, email = COALESCE(?, email) WHERE id = ?"),
            { state, QString::fromUtf8(QJsonDocument(submission).toJson(QJsonDocument::Compact)),
                email ? QVariant(*email) : QVariant(), id });
    });
    call.reply(200, reply);
}

void Orders::spendCodes(const Placed &order)
{
    // Checked again here, inside the submit's transaction: two orders made
    // with one single-use code, or counting on one balance, are both open
    // until one is submitted, and only that one may spend it.
    if (!order.discountCode.isEmpty() && !Discounts::find(m_store, order.discountCode))
        throw Refusal(409,
            QStringLiteral("That discount code has been used for another order. Nothing was charged: "
                           "apply it again, or order without it."));
    if (!order.giftCode.isEmpty()) {
        const Store::Row card
            = m_store.one(QStringLiteral("SELECT balance_cents FROM gifts WHERE code = ? COLLATE NOCASE"),
                { order.giftCode });
        if (card.isEmpty() || card.at(0).toLongLong() < order.giftCents)
            throw Refusal(409,
                QStringLiteral("That gift card has paid for another order since you checked it. Nothing was "
                               "charged: apply the card again to see what is left on it."));
        m_store.exec(QStringLiteral(
                         "UPDATE gifts SET balance_cents = balance_cents - ? WHERE code = ? COLLATE NOCASE"),
            { order.giftCents, order.giftCode });
    }
    if (!order.discountCode.isEmpty())
        m_store.exec(QStringLiteral("UPDATE installs SET share_used = 1 WHERE share_code = ? COLLATE NOCASE"),
            { order.discountCode });
}

void Orders::payPage(Call &call)
{
    const Placed order = placed(call, call.capture(1), false);
    // What makes up the amount asked, line by line.
    QString lines = QStringLiteral("Price: %1").arg(Catalog::dollars(order.total));
    if (order.discountCents > 0)
        lines += QStringLiteral("<br>Code %1: &minus;%2")
                     .arg(order.discountCode.toHtmlEscaped(), Catalog::cents(order.discountCents));
    if (order.giftCents > 0)
        lines += QStringLiteral("<br>Gift card %1: &minus;%2")
                     .arg(order.giftCode.toHtmlEscaped(), Catalog::cents(order.giftCents));
    const QString due = Catalog::cents(order.dueCents());
    QString body = QStringLiteral("<h1>%1</h1><p>%2<br>Amount due: %3</p>")
                       .arg(order.title.toHtmlEscaped(), lines, due);
    if (order.state == QLatin1String("paid")) {
        body += QStringLiteral("<p>Paid. Your book goes to the printer.</p>");
    } else if (order.state == QLatin1String("awaiting payment")) {
        body += QStringLiteral(
            "<form method=\"post\"><button>Pay %1 (stand-in, no money moves)</button></form>")
                    .arg(due);
    } else {
        body += QStringLiteral("<p>This order isn't waiting for a payment.</p>");
    }
    call.reply(200, page(QStringLiteral("Payment"), body).toUtf8(), "text/html; charset=utf-8");
}

void Orders::pay(Call &call)
{
    const QString id = call.capture(1);
    const Placed order = placed(call, id, false);
    if (order.state != QLatin1String("awaiting payment"))
        throw Refusal(409, QStringLiteral("This order isn't waiting for a payment."));
    m_store.exec(QStringLiteral("UPDATE orders SET state = 'paid' WHERE id = ?"), { id });
    call.reply(200,
        page(QStringLiteral("Paid"), QStringLiteral("<h1>Paid</h1><p>Your book goes to the printer.</p>"))
            .toUtf8(),
        "text/html; charset=utf-8");
}

QJsonObject Orders::describe(const QString &id)
{
    const Store::Row row = m_store.one(
        QStringLiteral("SELECT state, title, email, submission, total, mode, discount_cents, gift_cents "
                       "FROM orders WHERE id = ?"),
        { id });
    if (row.isEmpty())
        return {};
    QJsonArray files;
    for (const Store::Row &upload :
        m_store.query(
            QStringLiteral("SELECT name, bytes, pages, sha256 FROM uploads WHERE order_id = ? ORDER BY name"),
            { id })) {
        files.append(QJsonObject { { QStringLiteral("name"), upload.at(0).toString() },
            { QStringLiteral("bytes"), upload.at(1).toLongLong() },
            { QStringLiteral("pages"), upload.at(2).toLongLong() },
            { QStringLiteral("sha256"), upload.at(3).toString() } });
    }
    QJsonObject order { { QStringLiteral("id"), id }, { QStringLiteral("state"), row.at(0).toString() },
        { QStringLiteral("title"), row.at(1).toString() },
        { QStringLiteral("total"), row.at(4).toLongLong() },
        { QStringLiteral("discountCents"), row.at(6).toLongLong() },
        { QStringLiteral("giftCents"), row.at(7).toLongLong() },
        { QStringLiteral("dueCents"),
            row.at(4).toLongLong() * 100 - row.at(6).toLongLong() - row.at(7).toLongLong() },
        { QStringLiteral("mode"), row.at(5).toString() }, { QStringLiteral("files"), files } };
    if (!row.at(2).isNull())
        order.insert(QStringLiteral("email"), row.at(2).toString());
    if (!row.at(3).isNull())
        order.insert(
            QStringLiteral("submission"), QJsonDocument::fromJson(row.at(3).toString().toUtf8()).object());
    return order;
}
