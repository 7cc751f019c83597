#pragma once

#include "project/clock.h"
#include "service/rewards.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;

// The band over the Wrapped screen with the three sharing rewards side by
// side: a discount for sharing, the friends' code, and a free book for a
// post that goes big, each with where this install stands. It only reads
// the rewards status (the app's shared one); claims go up through
// claimRequested().
class UnlockStrip : public QWidget
{
    Q_OBJECT

public:
    // Where one reward stands, as its badge shows it.
    struct State
    {
        // Done: a check and a text that can be copied (a code); Note: a
        // dim text; Soon: "Opens soon"; Claimable: the "Claim…" button.
        enum class Kind { Done, Note, Soon, Claimable };

        Kind kind = Kind::Soon;
        QString text;

        friend bool operator==(const State &, const State &) = default;
    };

    explicit UnlockStrip(Rewards &rewards = Rewards::shared(), QWidget *parent = nullptr);
    ~UnlockStrip() override;

    static State shareState(const std::optional<Rewards::Status> &status);
    static State referralState(const std::optional<Rewards::Status> &status);
    static State viralState(const std::optional<Rewards::Status> &status);

    // True for two seconds after the invite link was copied.
    bool isCopied() const { return m_copied; }

signals:
    void claimRequested(Rewards::Claim::Kind kind);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    class Step;

    void refresh();
    void arrange();
    void copyLink();

    Rewards &m_rewards;
    Step *m_share;
    Step *m_referral;
    Step *m_viral;
    QPushButton *m_invite;
    int m_dividerWidth = 0;
    bool m_copied = false;
    std::vector<std::unique_ptr<Clock::Alarm>> m_copyResets;
};
