#pragma once

#include "call.h"

#include <QJsonObject>
#include <QString>

class Store;

// The website's one-time inboxes that a conversation is handed to: opened
// with a code and a token, filled by one upload or by numbered parts that
// are put together at the end, then read by the site's make page.
class Inbox
{
public:
    Inbox(Store &store, const QString &dataFolder, qint64 partSize);

    void addRoutes(Routes &routes);

    // An inbox as the admin interface shows it; empty when unknown.
    QJsonObject describe(const QString &code);

private:
    void open(Call &call);
    void file(Call &call);
    void begin(Call &call);
    void part(Call &call);
    void done(Call &call);

    // The inbox's folder, refusing unless the code exists and the call
    // carries its token.
    QString folder(Call &call);
    // The upload of that inbox named by the call's "upload" query, with its
    // file name and part size.
    struct Upload
    {
        QString id;
        QString name;
        qint64 partSize = 0;
    };
    Upload upload(Call &call);
    void store(const QString &code, const QString &folder, const QString &name, const QByteArray &bytes);

    Store &m_store;
    QString m_folder;
    qint64 m_partSize;
};
