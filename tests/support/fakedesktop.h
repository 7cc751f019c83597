#pragma once

#include "ui/desktop.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// The desktop as tests see it: everything asked of it is recorded, nothing
// leaves the test, and file panels answer with what the test put in
// `answers` (one answer per panel, in order; none left = cancelled).
class FakeDesktop : public Desktop
{
public:
    struct Call
    {
        QString what; // "openUrl", "openWith", "reveal", "copyText", "copyFiles", "share", "choose"
        QStringList arguments;
    };

    QList<Call> calls;
    QList<QStringList> answers;
    QList<Panel> panels;
    // Desktop entries by application id; absent = no such application.
    QHash<QString, QString> applications;
    // Desktop entries of the applications that open a MIME type.
    QHash<QString, QString> handlers;
    bool opens = true;
    // Whether the file manager shows what it is asked to.
    bool reveals = true;

    QCoro::Task<bool> openUrl(QUrl url) override
    {
        calls.append({ QStringLiteral("openUrl"), { url.toString() } });
        co_return opens;
    }
    QString application(const QString &id) override { return applications.value(id); }
    QString applicationFor(const QString &mimeType) override { return handlers.value(mimeType); }
    QCoro::Task<bool> openWith(QString application, QString file) override
    {
        calls.append({ QStringLiteral("openWith"), { application, file } });
        co_return opens;
    }
    QCoro::Task<bool> reveal(QStringList files) override
    {
        calls.append({ QStringLiteral("reveal"), files });
        co_return reveals;
    }
    void copyText(const QString &text) override { calls.append({ QStringLiteral("copyText"), { text } }); }
    void copyFiles(const QStringList &files) override
    {
        calls.append({ QStringLiteral("copyFiles"), files });
    }
    QCoro::Task<bool> share(QStringList files) override
    {
        calls.append({ QStringLiteral("share"), files });
        co_return reveals;
    }
    QCoro::Task<QStringList> choose(QWidget *, Panel panel) override
    {
        panels.append(panel);
        calls.append({ QStringLiteral("choose"), { panel.title } });
        co_return answers.isEmpty() ? QStringList {} : answers.takeFirst();
    }

    // The calls of one kind, in order.
    QList<QStringList> of(const QString &what) const
    {
        QList<QStringList> found;
        for (const Call &call : calls) {
            if (call.what == what)
                found.append(call.arguments);
        }
        return found;
    }
    void reset()
    {
        opens = true;
        reveals = true;
        calls.clear();
        answers.clear();
        panels.clear();
    }
};
