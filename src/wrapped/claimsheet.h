#pragma once

#include "service/rewards.h"
#include "ui/sheet.h"

#include <QStringList>
#include <optional>
#include <qcorotask.h>

class ErrorRow;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class UnopenedPage;

// The form in which the user claims a sharing reward: the link to the
// post, a screenshot, an e-mail address, for the free book the post's
// numbers, and three confirmations. It sends them to the service and shows
// its answer; closing it has the rewards standing read again, so the strip
// shows a new code or "In review".
class ClaimSheet : public Sheet
{
    Q_OBJECT

public:
    ClaimSheet(Rewards::Claim::Kind kind, QWidget *parent);

    Rewards::Claim::Kind kind() const { return m_claim.kind; }
    const Rewards::Claim &claim() const { return m_claim; }
    // Whether the claim may be sent.
    bool isReady() const;
    static bool isReady(const Rewards::Claim &claim);
    bool isSending() const { return m_sending; }
    const std::optional<Rewards::Claimed> &result() const { return m_result; }
    std::optional<QString> error() const { return m_error; }

    // The screenshot a file would be: the first whose extension is one of
    // a picture the service takes; nothing when none is.
    static std::optional<QString> screenshotAmong(const QStringList &files);
    void setScreenshot(const QString &file);

    // The service's page of the rewards' official rules.
    static QUrl rulesPage();
    // "Official Rules": the page in the browser, else its address here.
    QCoro::Task<void> openRules();
    UnopenedPage *unopenedRules() const { return m_unopenedRules; }

public slots:
    void reject() override;

private:
    class ScreenshotRow;

    QWidget *buildForm();
    QLineEdit *field(const QString &placeholder, QString Rewards::Claim::*text);
    QWidget *confirmation(const QString &text, bool Rewards::Claim::*flag);
    void showResult(const Rewards::Claimed &claimed);
    QCoro::Task<void> send();
    QCoro::Task<void> pickScreenshot();
    void refresh();

    Rewards::Claim m_claim;
    bool m_sending = false;
    std::optional<Rewards::Claimed> m_result;
    std::optional<QString> m_error;

    QWidget *m_form;
    QWidget *m_done;
    QPushButton *m_screenshotButton;
    QLabel *m_screenshotName;
    ErrorRow *m_errorRow;
    UnopenedPage *m_unopenedRules;
    QPushButton *m_close;
    QPushButton *m_send;
};
