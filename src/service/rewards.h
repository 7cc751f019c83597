#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>
#include <qcorotask.h>

// This installation's rewards standing as the service last reported it,
// with the checks of discount codes and the sending of reward claims. The
// app uses one shared instance; observers hear of a change only when a
// value really changed.
class Rewards : public QObject
{
    Q_OBJECT

public:
    struct Status
    {
        struct Share
        {
            int percent = 0;
            QString state;
            // Present once the reward was granted.
            std::optional<QString> discountCode;
            bool discountUsed = false;
            friend bool operator==(const Share &, const Share &) = default;
        };

        struct Referral
        {
            int percent = 0;
            int friendsOrdered = 0;
            friend bool operator==(const Referral &, const Referral &) = default;
        };

        struct Viral
        {
            // The reach a post needs, set by the service.
            int views = 0;
            int likes = 0;
            QString state;
            std::optional<QString> giftCode;
            std::optional<bool> capReached;
            friend bool operator==(const Viral &, const Viral &) = default;
        };

        // "on" when rewards are open.
        QString rewards;
        // This installation's own invite code.
        QString code;
        Share share;
        Referral referral;
        Viral viral;

        static Status fromJson(const QJsonObject &object);
        friend bool operator==(const Status &, const Status &) = default;
    };

    struct Discount
    {
        bool valid = false;
        std::optional<int> percent;
        std::optional<QString> kind;

        static Discount fromJson(const QJsonObject &object);
    };

    struct Claim
    {
        enum class Kind { Share, Viral };

        Kind kind = Kind::Share;
        QString url;
        QString email;
        // A picture file proving the post's reach.
        std::optional<QString> screenshot;
        // As typed; only their digits are sent.
        QString views;
        QString likes;
        QString reposts;
        bool disclosed = false;
        bool adult = false;
        bool agree = false;

        // "share" or "viral".
        static QString kindName(Kind kind);
    };

    struct Claimed
    {
        QString status;
        std::optional<QString> discountCode;
        std::optional<int> percent;

        static Claimed fromJson(const QJsonObject &object);
    };

    explicit Rewards(QObject *parent = nullptr);

    // The one instance the app uses.
    static Rewards &shared();

    const std::optional<Status> &status() const { return m_status; }
    // True while a load is in flight.
    bool loading() const { return m_loading; }
    // The service root followed by "r/" and the invite code; nullopt until
    // a standing is known.
    std::optional<QUrl> inviteURL() const;

    // Refreshes the standing. A load while another is in flight returns at
    // once; a failed load keeps the standing already known.
    QCoro::Task<void> load();

    // The service's verdict on a discount or referral code, or nullopt when
    // there is no code or no readable answer.
    static QCoro::Task<std::optional<Discount>> discount(QString code);
    // Sends one claim as a form. Throws Ordering::Failure for a refusal,
    // std::runtime_error (before sending anything) when the screenshot
    // cannot be read, JsonError for an unreadable reply and
    // Http::TransportError without a reply.
    static QCoro::Task<Claimed> submit(Claim claim);

signals:
    void statusChanged();
    void loadingChanged();

private:
    static QCoro::Task<std::optional<Status>> fetch();
    void setStatus(const Status &status);
    void setLoading(bool loading);

    std::optional<Status> m_status;
    bool m_loading = false;
};
