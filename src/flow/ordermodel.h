#pragma once

#include "ordertotal.h"
#include "project/project.h"
#include "service/ordering.h"
#include "service/pricing.h"
#include "service/rewards.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <qcorotask.h>

// What the order sheet holds while a book is ordered: the ordering mode,
// what the user typed, the answers to the codes, and how far the placing
// of the order has come. It lives apart from the sheet: placing an order
// keeps it (and the book) alive after the sheet is closed or another
// conversation is chosen, and a sheet opened again for the same book shows
// that placing instead of starting a second one.
class OrderModel : public QObject, public std::enable_shared_from_this<OrderModel>
{
    Q_OBJECT

public:
    struct Stage
    {
        enum class Kind {
            // Print files are being made: volume `step` of `of`.
            Preparing,
            // File `step` of `of` is being sent.
            Uploading,
            // The order went through; `message` closes it.
            Done,
            // Waiting for the user; also after a failure.
            Ready,
            // Every file is sent and the order is being submitted.
            Handing,
        };

        Kind kind = Kind::Ready;
        int step = 0;
        int of = 0;
        QString message;
        // Done: the payment page when the browser didn't open it.
        QUrl page;

        static Stage preparing(int volume, int volumes)
        {
            return { Kind::Preparing, volume, volumes, {}, {} };
        }
        static Stage uploading(int file, int files) { return { Kind::Uploading, file, files, {}, {} }; }
        static Stage done(const QString &message) { return { Kind::Done, 0, 0, message, {} }; }
        static Stage unopened(const QUrl &page) { return { Kind::Done, 0, 0, {}, page }; }
        static Stage ready() { return {}; }
        static Stage handing() { return { Kind::Handing, 0, 0, {}, {} }; }
        friend bool operator==(const Stage &, const Stage &) = default;
    };

    // A fresh model for one showing of the sheet: the share reward's unused
    // code is in the discount field, and the address says "US".
    static std::shared_ptr<OrderModel> make(std::shared_ptr<Project> project, std::optional<Pricing> pricing);
    // The model whose order for this book is being placed right now, if any.
    static std::shared_ptr<OrderModel> placing(const Project *project);

    ~OrderModel() override;

    const std::shared_ptr<Project> &project() const { return m_project; }
    const std::optional<Pricing> &pricing() const { return m_pricing; }

    // "stripe", "off" or another mode; nullopt until the service said.
    const std::optional<QString> &mode() const { return m_mode; }
    void setMode(const QString &mode);
    QString email() const { return m_email; }
    void setEmail(const QString &email);
    QString discountCode() const { return m_discountCode; }
    void setDiscountCode(const QString &code);
    // The service's answer to the code in the field as it is now; nothing
    // once the field holds another code than the one it answered, so that
    // the sheet's lines and amounts, and the order, go by what is typed.
    std::optional<Rewards::Discount> discount() const;
    QString giftCode() const { return m_giftCode; }
    void setGiftCode(const QString &code);
    std::optional<Ordering::Gift> gift() const;
    const Ordering::Address &address() const { return m_address; }
    void setAddress(const Ordering::Address &address);

    Stage stage() const { return m_stage; }
    // The last failure's sentence, until the next try.
    std::optional<QString> error() const { return m_error; }
    bool isPlacing() const { return m_placing; }

    // The book as set up, whole dollars in two halves; nullopt without a price.
    std::optional<OrderTotal::Price> price() const;
    // The percentage off of a discount code the service said is good.
    std::optional<int> discountPercent() const;
    // What the service will ask, in cents, once that discount is taken
    // off; nullopt without a price.
    std::optional<qint64> dueCents() const;
    // A gift card pays for all that is due: the address is asked for and sent.
    bool giftCovers() const;
    // The order can be sent as things stand: an e-mail with an "@", and
    // the whole address when a gift card pays for everything.
    bool canOrder() const;

    // Asks the service about the code in the field; the answer replaces the
    // last one when it arrives, whoever asked last.
    void checkDiscount();
    void checkGift();

    // Places the order: print files, the order made, covers set to the
    // printer's spine, the files sent, the order submitted, and then the
    // payment page or the service's own closing words. Returns at once; a
    // press while an order is being placed does nothing.
    void go();
    // Asks the browser again for a payment page it didn't open.
    void openPage();

signals:
    void changed();

private:
    // The service's answer to a code, with the code it answered.
    template<typename Answer> struct Answered
    {
        QString code;
        std::optional<Answer> answer;
    };

    OrderModel(std::shared_ptr<Project> project, std::optional<Pricing> pricing);

    // The answer while field holds the code it answered, spaces aside.
    template<typename Answer>
    static std::optional<Answer> answerFor(const Answered<Answer> &answered, const QString &field);
    // Stores the answer to code in member when it arrives.
    template<typename Answer>
    static QCoro::Task<void> keepAnswer(QPointer<OrderModel> self, Answered<Answer> OrderModel::*member,
        QString code, QCoro::Task<std::optional<Answer>> asking);
    static QCoro::Task<void> place(std::shared_ptr<OrderModel> self);
    // The steps of place() up to where they end; throws what fails.
    QCoro::Task<Stage> placeSteps();
    // Checks a code in a field that has no answer yet; false when the
    // service refused one, whose line then says so.
    QCoro::Task<bool> confirmCodes();
    // Whether field holds a code the service hasn't answered.
    template<typename Answer> static bool unanswered(const Answered<Answer> &answered, const QString &field);
    // Sets a member and tells the sheet, when the value really changed.
    template<typename T> void assign(T &member, const T &value);
    void setStage(const Stage &stage);
    void setError(const std::optional<QString> &error);

    const std::shared_ptr<Project> m_project;
    const std::optional<Pricing> m_pricing;
    std::optional<QString> m_mode;
    QString m_email;
    Stage m_stage;
    std::optional<QString> m_error;
    QString m_giftCode;
    Answered<Ordering::Gift> m_gift;
    Ordering::Address m_address;
    QString m_discountCode;
    Answered<Rewards::Discount> m_discount;
    bool m_placing = false;
};
