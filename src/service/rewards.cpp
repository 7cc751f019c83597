#include "rewards.h"

#include "coverart.h"
#include "formdata.h"
#include "http.h"
#include "model/json.h"
#include "model/text.h"
#include "ordering.h"
#include "pricing.h"
#include "wirejson.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QUuid>

namespace {

QString digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isNumber())
            digits.append(c);
    }
    return digits;
}

QByteArray screenshotType(const QString &file)
{
    const QString extension = QFileInfo(file).suffix().toLower();
    if (extension == QLatin1String("png"))
        return "image/png";
    if (extension == QLatin1String("heic"))
        return "image/heic";
    if (extension == QLatin1String("webp"))
        return "image/webp";
    return "image/jpeg";
}

} // namespace

Rewards::Status Rewards::Status::fromJson(const QJsonObject &object)
{
    Status status;
    status.rewards = Json::requiredString(object, "rewards");
    status.code = Json::requiredString(object, "code");
    status.share = Json::requiredRecord(object, "share", [](const QJsonObject &share) {
        return Share { Json::requiredInt(share, "percent"), Json::requiredString(share, "state"),
            Json::optionalString(share, "discountCode"), Json::requiredBool(share, "discountUsed") };
    });
    status.referral = Json::requiredRecord(object, "referral", [](const QJsonObject &referral) {
        return Referral { Json::requiredInt(referral, "percent"),
            Json::requiredInt(referral, "friendsOrdered") };
    });
    status.viral = Json::requiredRecord(object, "viral", [](const QJsonObject &viral) {
        return Viral { Json::requiredInt(viral, "views"), Json::requiredInt(viral, "likes"),
            Json::requiredString(viral, "state"), Json::optionalString(viral, "giftCode"),
            Json::optionalBool(viral, "capReached") };
    });
    return status;
}

Rewards::Discount Rewards::Discount::fromJson(const QJsonObject &object)
{
    return { Json::requiredBool(object, "valid"), Json::optionalInt(object, "percent"),
        Json::optionalString(object, "kind") };
}

Rewards::Claimed Rewards::Claimed::fromJson(const QJsonObject &object)
{
    return { Json::requiredString(object, "status"), Json::optionalString(object, "discountCode"),
        Json::optionalInt(object, "percent") };
}

QString Rewards::Claim::kindName(Kind kind)
{
    return kind == Kind::Viral ? QStringLiteral("viral") : QStringLiteral("share");
}

Rewards::Rewards(QObject *parent)
    : QObject(parent)
{ }

Rewards &Rewards::shared()
{
    static Rewards instance;
    return instance;
}

std::optional<QUrl> Rewards::inviteURL() const
{
    if (!m_status)
        return std::nullopt;
    return Pricing::address("r/" + Pricing::pathEncoded(m_status->code));
}

QCoro::Task<void> Rewards::load()
{
    if (m_loading)
        co_return;
    setLoading(true);
    QPointer<Rewards> self(this);
    const std::optional<Status> fetched = co_await fetch();
    if (!self)
        co_return;
    if (fetched)
        setStatus(*fetched);
    setLoading(false);
}

QCoro::Task<std::optional<Rewards::Status>> Rewards::fetch()
{
    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/referrals");
    request.headers = { { "content-type", "application/json" } };
    request.body = WireJson::object({ { QStringLiteral("install"), WireJson::string(CoverArt::install()) } });
    try {
        const Http::Reply reply = co_await Http::send(std::move(request));
        if (reply.status == 200)
            co_return Status::fromJson(Json::parseObject(reply.body));
    } catch (const Http::TransportError &) {
    } catch (const JsonError &) { }
    co_return std::nullopt;
}

void Rewards::setStatus(const Status &status)
{
    if (m_status == status)
        return;
    m_status = status;
    emit statusChanged();
}

void Rewards::setLoading(bool loading)
{
    if (m_loading == loading)
        return;
    m_loading = loading;
    emit loadingChanged();
}

QCoro::Task<std::optional<Rewards::Discount>> Rewards::discount(QString code)
{
    const QString trimmed = Text::trimmedSpaces(code);
    if (trimmed.isEmpty())
        co_return std::nullopt;
    Http::Request request;
    request.url = Pricing::address("api/discounts/" + Pricing::segmentEncoded(trimmed));
    try {
        const Http::Reply reply = co_await Http::send(std::move(request));
        co_return Discount::fromJson(Json::parseObject(reply.body));
    } catch (const Http::TransportError &) {
    } catch (const JsonError &) { }
    co_return std::nullopt;
}

QCoro::Task<Rewards::Claimed> Rewards::submit(Claim claim)
{
    FormData form(QStringLiteral("qv-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    form.addField(QStringLiteral("kind"), Claim::kindName(claim.kind));
    form.addField(QStringLiteral("url"), claim.url.trimmed());
    form.addField(QStringLiteral("email"), claim.email.trimmed());
    form.addField(QStringLiteral("install"), CoverArt::install());
    for (const auto &[name, typed] : { std::pair { QStringLiteral("views"), claim.views },
             std::pair { QStringLiteral("likes"), claim.likes },
             std::pair { QStringLiteral("reposts"), claim.reposts } }) {
        const QString digits = digitsOf(typed);
        if (!digits.isEmpty())
            form.addField(name, digits);
    }
    for (const auto &[name, flag] : { std::pair { QStringLiteral("disclosed"), claim.disclosed },
             std::pair { QStringLiteral("adult"), claim.adult },
             std::pair { QStringLiteral("agree"), claim.agree } }) {
        if (flag)
            form.addField(name, QStringLiteral("on"));
    }
    if (claim.screenshot) {
        QFile file(*claim.screenshot);
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error(file.errorString().toStdString());
        form.addFile(QStringLiteral("screenshot"), QFileInfo(*claim.screenshot).fileName(),
            screenshotType(*claim.screenshot), file.readAll());
    }

    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/submissions");
    request.headers = { { "content-type", form.contentType() } };
    request.body = form.finished();
    const Http::Reply reply = co_await Http::send(std::move(request));
    if (!reply.isSuccess()) {
        const std::optional<QJsonObject> error = Http::stringObject(reply.body);
        if (error && error->contains(QStringLiteral("error")))
            throw Ordering::Failure(error->value(QStringLiteral("error")).toString());
        throw Ordering::Failure(
            QStringLiteral("That didn't go through (%1). Try again in a minute.").arg(reply.status));
    }
    co_return Claimed::fromJson(Json::parseObject(reply.body));
}
