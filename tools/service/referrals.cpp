#include "referrals.h"

#include "catalog.h"
#include "discounts.h"
#include "multipart.h"
#include "store.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <map>

namespace {

const char *const codeAlphabet = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";

QString now()
{
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
}

} // namespace

Referrals::Referrals(Store &store, const QString &dataFolder)
    : m_store(store)
    , m_folder(dataFolder)
{ }

void Referrals::addRoutes(Routes &routes)
{
    using namespace std::placeholders;
    routes.push_back({ "POST", routePattern("/api/referrals"), std::bind(&Referrals::status, this, _1) });
    routes.push_back(
        { "GET", routePattern("/api/discounts/([^/]*)"), std::bind(&Referrals::discount, this, _1) });
    routes.push_back({ "POST", routePattern("/api/submissions"), std::bind(&Referrals::claim, this, _1) });
    routes.push_back({ "POST", routePattern("/api/events"), std::bind(&Referrals::event, this, _1) });
    routes.push_back({ "GET", routePattern("/r/([^/]+)"), [](Call &call) {
                          const QString html = QStringLiteral(
                              "<!doctype html><meta charset=\"utf-8\"><title>Quorvel</title>"
                              "<p>A friend invited you. Use the code <b>%1</b> when you order.</p>")
                                                   .arg(call.capture(1).toHtmlEscaped());
                          call.reply(200, html.toUtf8(), "text/html; charset=utf-8");
                      } });
    routes.push_back({ "GET", routePattern("/wrapped/rules/"),
        [](Call &call) { call.reply(200, rulesPage(), "text/html; charset=utf-8"); } });
}

QByteArray Referrals::rulesPage()
{
    return QStringLiteral(
        "<!doctype html><meta charset=\"utf-8\"><title>Wrapped rewards: official rules</title>"
        "<h1>Wrapped rewards: official rules</h1>"
        "<p>Open to people 18 or older who live in the US. One reward of each kind per person.</p>"
        "<h2>%1% off for sharing your Wrapped</h2>"
        "<p>Post your Wrapped cards or video publicly, with #ad at the start of the caption and on the "
        "card or video, then send us the link and a screenshot. The code takes %1% off one order.</p>"
        "<h2>A free book for going big</h2>"
        "<p>A post of your Wrapped that reaches %2 views or %3 likes earns a gift card worth a "
        "paperback. A person checks each claim, usually within a few days. While gift cards last.</p>"
        "<h2>Friends of Friends</h2>"
        "<p>Your code takes %4% off for you and for anyone you give it to.</p>"
        "<p>We keep the link, the screenshot, your email and the numbers you send, so each person gets one "
        "reward. No message of yours is sent with a claim.</p>")
        .arg(Catalog::sharePercent)
        .arg(QLocale(QLocale::English).toString(Catalog::viralViews))
        .arg(QLocale(QLocale::English).toString(Catalog::viralLikes))
        .arg(Catalog::referralPercent)
        .toUtf8();
}

void Referrals::ensureInstall(const QString &install)
{
    m_store.transaction([&] {
        if (!m_store.one(QStringLiteral("SELECT 1 FROM installs WHERE install = ?"), { install }).isEmpty())
            return;
        m_store.exec(QStringLiteral("INSERT INTO installs (install, code, share_state, viral_state) "
                                    "VALUES (?, ?, 'open', 'none')"),
            { install, QStringLiteral("FRIEND-") + randomText(6, codeAlphabet) });
    });
}

QJsonObject Referrals::standing(const QString &install)
{
    const Store::Row row
        = m_store.one(QStringLiteral("SELECT code, share_state, share_code, share_used, viral_state, "
                                     "viral_gift FROM installs WHERE install = ?"),
            { install });
    const QString code = row.at(0).toString();
    // Friends who ordered: other installs whose submitted orders carried the
    // code, each counted once. The owner may use it too, but is no friend.
    const qint64 friends
        = m_store
              .one(QStringLiteral("SELECT COUNT(DISTINCT install) FROM orders WHERE discount_code = ? "
                                  "COLLATE NOCASE AND state != 'open' AND install != ?"),
                  { code, install })
              .at(0)
              .toLongLong();
    QJsonObject share { { QStringLiteral("percent"), Catalog::sharePercent },
        { QStringLiteral("state"), row.at(1).toString() },
        { QStringLiteral("discountUsed"), row.at(3).toLongLong() != 0 } };
    if (!row.at(2).isNull())
        share.insert(QStringLiteral("discountCode"), row.at(2).toString());
    QJsonObject viral { { QStringLiteral("views"), Catalog::viralViews },
        { QStringLiteral("likes"), Catalog::viralLikes }, { QStringLiteral("state"), row.at(4).toString() },
        { QStringLiteral("capReached"), false } };
    if (!row.at(5).isNull())
        viral.insert(QStringLiteral("giftCode"), row.at(5).toString());
    return { { QStringLiteral("rewards"), QStringLiteral("on") }, { QStringLiteral("code"), code },
        { QStringLiteral("share"), share },
        { QStringLiteral("referral"),
            QJsonObject { { QStringLiteral("percent"), Catalog::referralPercent },
                { QStringLiteral("friendsOrdered"), friends } } },
        { QStringLiteral("viral"), viral } };
}

void Referrals::status(Call &call)
{
    const QString install = Field::text(call.json(), QStringLiteral("install"));
    if (install.trimmed().isEmpty())
        throw Refusal(400, QStringLiteral("\"install\" must not be empty."));
    ensureInstall(install);
    call.reply(200, standing(install));
}

void Referrals::discount(Call &call)
{
    const std::optional<Discounts::Discount> found = Discounts::find(m_store, call.capture(1));
    if (!found) {
        call.reply(404, QJsonObject { { QStringLiteral("valid"), false } });
        return;
    }
    call.reply(200,
        QJsonObject { { QStringLiteral("valid"), true }, { QStringLiteral("percent"), found->percent },
            { QStringLiteral("kind"), found->kind } });
}

void Referrals::claim(Call &call)
{
    const QByteArray type = QByteArray::fromStdString(Multipart::originalType(call.request()));
    const std::optional<QList<Multipart::Part>> parts = Multipart::parse(call.body(), type);
    if (!parts)
        throw Refusal(400, QStringLiteral("The claim must be sent as a well-formed multipart form."));
    std::map<QByteArray, QString> fields;
    std::optional<Multipart::Part> screenshot;
    for (const Multipart::Part &part : *parts) {
        if (part.name == "screenshot" && part.fileName)
            screenshot = part;
        else
            fields[part.name] = QString::fromUtf8(part.content);
    }
    const auto field = [&](const char *name) { return fields.contains(name) ? fields.at(name) : QString(); };
    const QString kind = field("kind");
    const QString install = field("install");
    if (kind != QLatin1String("share") && kind != QLatin1String("viral"))
        throw Refusal(400, QStringLiteral("Say which reward you're claiming."));
    if (install.isEmpty())
        throw Refusal(400, QStringLiteral("The claim needs the install identifier."));
    if (field("url").isEmpty())
        throw Refusal(400, QStringLiteral("Add the link to your post."));
    if (!field("email").contains(QLatin1Char('@')))
        throw Refusal(400, QStringLiteral("Add an email address so we can answer."));
    if (field("agree") != QLatin1String("on"))
        throw Refusal(400, QStringLiteral("Please accept the rules first."));
    if (kind == QLatin1String("viral") && field("adult") != QLatin1String("on"))
        throw Refusal(400, QStringLiteral("Free books go to adults only."));
    ensureInstall(install);

    QString stored;
    if (screenshot) {
        // Stored under a name of our own: the sender's file name is theirs.
        const QString folder = m_folder + QStringLiteral("/submissions");
        QDir().mkpath(folder);
        stored = folder + QStringLiteral("/screenshot-") + randomText(12);
        QSaveFile file(stored);
        if (!file.open(QIODevice::WriteOnly) || file.write(screenshot->content) != screenshot->content.size()
            || !file.commit())
            throw Refusal(500, QStringLiteral("The stand-in couldn't store the screenshot."));
    }
    QJsonObject reply;
    m_store.transaction([&] {
        QString status = QStringLiteral("pending");
        if (kind == QLatin1String("share")) {
            QString code
                = m_store
                      .one(QStringLiteral("SELECT share_code FROM installs WHERE install = ?"), { install })
                      .at(0)
                      .toString();
            if (code.isEmpty()) {
                code = QStringLiteral("SHARE-") + randomText(6, codeAlphabet);
                m_store.exec(
                    QStringLiteral(
                        "UPDATE installs SET share_code = ?, share_state = 'granted' WHERE install = ?"),
                    { code, install });
            }
            status = QStringLiteral("approved");
            reply.insert(QStringLiteral("discountCode"), code);
            reply.insert(QStringLiteral("percent"), Catalog::sharePercent);
        } else {
            m_store.exec(
                QStringLiteral("UPDATE installs SET viral_state = 'pending' WHERE install = ?"), { install });
        }
        reply.insert(QStringLiteral("status"), status);
        m_store.exec(
            QStringLiteral("INSERT INTO submissions (install, kind, url, email, views, likes, reposts, "
                           "screenshot, status, at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            { install, kind, field("url"), field("email"), field("views"), field("likes"), field("reposts"),
                stored.isEmpty() ? QVariant() : QVariant(stored), status, now() });
    });
    call.reply(200, reply);
}

void Referrals::event(Call &call)
{
    const QString step = Field::text(call.json(), QStringLiteral("step"));
    if (step.isEmpty())
        throw Refusal(400, QStringLiteral("\"step\" must not be empty."));
    m_store.exec(QStringLiteral("INSERT INTO events (step, at) VALUES (?, ?)"), { step, now() });
    call.reply(200, QJsonObject { { QStringLiteral("ok"), true } });
}
