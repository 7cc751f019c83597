#pragma once

// Runs the real stand-in service for a test: on 127.0.0.1, on a free port,
// with its own data folder; and reads back what it received.
#include "service/http.h"
#include "service/pricing.h"
#include "support/testsupport.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

class StandIn
{
public:
    struct Options
    {
        QString mode = QStringLiteral("stripe");
        // 0: the service's own part size.
        qint64 partSize = 0;
    };

    StandIn()
        : StandIn(Options())
    { }

    explicit StandIn(Options options)
        : m_options(options)
    {
        start();
    }

    ~StandIn() { stop(); }

    static QString program()
    {
        return TestSupport::stage() + QStringLiteral("/libexec/quorvel/quorvel-service");
    }

    QString dataFolder() const { return m_data.path(); }
    // "http://127.0.0.1:<port>"
    QString origin() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    int port() const { return m_port; }

    // Points the app's client at this service, as QUORVEL_API = origin +
    // root; the service itself answers at its origin's root.
    void pointClientHere(const QString &root = QString()) const
    {
        Pricing::setEndpoint(QUrl(origin() + root + QStringLiteral("/api/pricing")));
    }

    // Stops the process and starts it again on the same port and data.
    void restart()
    {
        stop();
        start(m_port);
    }

    QJsonArray requests()
    {
        return admin(Http::Method::Get, "requests").value(QStringLiteral("requests")).toArray();
    }

    // The received requests whose decoded path matches pattern.
    QList<QJsonObject> requests(const QString &pattern)
    {
        const QRegularExpression expression(pattern);
        QList<QJsonObject> found;
        for (const QJsonValue &entry : requests()) {
            if (expression.match(entry.toObject().value(QStringLiteral("path")).toString()).hasMatch())
                found.append(entry.toObject());
        }
        return found;
    }

    void script(const QJsonObject &script) { admin(Http::Method::Post, "scripts", script); }
    // Requests whose path matches pattern get this answer instead.
    void answer(const QString &pattern, int status, const QByteArray &body,
        const QString &contentType = QStringLiteral("application/json"))
    {
        script({ { QStringLiteral("path"), pattern }, { QStringLiteral("status"), status },
            { QStringLiteral("bodyBase64"), QString::fromLatin1(body.toBase64()) },
            { QStringLiteral("contentType"), contentType } });
    }
    // Requests whose path matches pattern lose their connection, times
    // times or until reset().
    void drop(const QString &pattern, int times = 0)
    {
        QJsonObject dropping { { QStringLiteral("path"), pattern }, { QStringLiteral("drop"), true } };
        if (times > 0)
            dropping.insert(QStringLiteral("times"), times);
        script(dropping);
    }
    void reset() { admin(Http::Method::Post, "reset", {}); }
    void setMode(const QString &mode)
    {
        admin(Http::Method::Post, "mode", { { QStringLiteral("mode"), mode } });
    }
    QJsonObject order(const QString &id) { return admin(Http::Method::Get, "orders/" + id.toUtf8()); }
    QJsonObject inbox(const QString &code) { return admin(Http::Method::Get, "inbox/" + code.toUtf8()); }

    static QByteArray body(const QJsonObject &entry)
    {
        return QByteArray::fromBase64(entry.value(QStringLiteral("body")).toString().toLatin1());
    }

    // The value of the header sent under exactly this name, or a null string.
    static QString header(const QJsonObject &entry, const QString &name)
    {
        for (const QJsonValue &pair : entry.value(QStringLiteral("headers")).toArray()) {
            if (pair.toArray().at(0).toString() == name)
                return pair.toArray().at(1).toString();
        }
        return {};
    }

private:
    void start(int port = 0)
    {
        m_process = std::make_unique<QProcess>();
        m_process->setProgram(program());
        QStringList arguments { QStringLiteral("--port"), QString::number(port), QStringLiteral("--data"),
            m_data.path(), QStringLiteral("--mode"), m_options.mode };
        if (m_options.partSize > 0)
            arguments << QStringLiteral("--part-size") << QString::number(m_options.partSize);
        m_process->setArguments(arguments);
        // The service ends with the test that started it, even when that
        // test crashes or ctest kills it at its timeout: nothing else would
        // ever stop it.
        const pid_t parent = getpid();
        m_process->setChildProcessModifier([parent] {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent)
                _exit(1);
        });
        m_process->start();
        static const QRegularExpression listening(
            QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)"));
        QByteArray output;
        // The stand-in prints its address as soon as it listens; on a
        // loaded machine its start alone can take seconds.
        QDeadlineTimer deadline(60000);
        while (!output.contains('\n') && !deadline.hasExpired()) {
            if (!m_process->waitForReadyRead(100) && m_process->state() == QProcess::NotRunning)
                break;
            output += m_process->readAllStandardOutput();
        }
        const QRegularExpressionMatch match = listening.match(QString::fromUtf8(output));
        if (!match.hasMatch())
            throw std::runtime_error("the stand-in did not start: " + output.toStdString()
                + m_process->readAllStandardError().toStdString());
        m_port = match.captured(1).toInt();
    }

    void stop()
    {
        if (!m_process)
            return;
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
        m_process.reset();
    }

    QJsonObject admin(Http::Method method, const QByteArray &what, const QJsonObject &body = {})
    {
        Http::Request request;
        request.method = method;
        request.url = QUrl(origin() + QStringLiteral("/_admin/") + QString::fromUtf8(what));
        request.headers = { { "content-type", "application/json" } };
        if (method != Http::Method::Get)
            request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
        const Http::Reply reply = TestSupport::await(Http::send(request));
        return QJsonDocument::fromJson(reply.body).object();
    }

    Options m_options;
    QTemporaryDir m_data;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
};

// Each test gets its own stand-in, with the client pointed at it as the
// built-in root would be ("/api" under the origin).
class StandInTest : public ::testing::Test
{
protected:
    void SetUp() override { service.pointClientHere(); }

    StandIn service;
};

// A small but well-formed PDF of that many pages, as a print file stands in.
inline QByteArray pdfOfPages(int pages)
{
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    const auto object = [&](const QByteArray &body) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
    };
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(3 + i) + " 0 R ";
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
    for (int i = 0; i < pages; ++i)
        object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 432 648] >>");
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(offsets.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(offsets.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}
