#pragma once

#include "call.h"

#include <QJsonObject>
#include <QString>

class Store;

// Rewards: each install's standing and invite code, discount codes, reward
// claims sent as forms with a screenshot, the official rules the claim form
// links to, and the usage events.
class Referrals
{
public:
    Referrals(Store &store, const QString &dataFolder);

    void addRoutes(Routes &routes);

private:
    void status(Call &call);
    void discount(Call &call);
    void claim(Call &call);
    void event(Call &call);
    static QByteArray rulesPage();

    // The install's row, made on first sight with a fresh invite code.
    void ensureInstall(const QString &install);
    QJsonObject standing(const QString &install);

    Store &m_store;
    QString m_folder;
};
