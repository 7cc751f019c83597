#pragma once

// What the ordering tests share: a real book typeset by the real typst, the
// stand-in service the client is pointed at, and ways to find what the
// order sheet shows.
#include "model/json.h"
#include "project/projecttest.h"
#include "service/http.h"
#include "service/pricing.h"
#include "service/standin.h"
#include "uitestsupport.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPushButton>
#include <QTest>
#include <memory>

class OrderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        service.pointClientHere();
        TestSupport::desktop().reset();
        QStringList texts;
        for (int i = 0; i < 12; ++i)
            texts
                << QStringLiteral("Day %1: the train was late again, so we walked by the river.").arg(i + 1);
        project = openExisting(bookOf(texts));
        ASSERT_TRUE(TestSupport::waitUntil(
            [&] { return (!project->pdf().isEmpty() && !project->isTypesetting()) || project->error(); },
            120000));
        ASSERT_FALSE(project->error()) << project->error()->toStdString();
        pricing = TestSupport::await(Pricing::load());
        ASSERT_TRUE(pricing);
    }

    // The order the stand-in made for a checkout address ".../pay/<id>".
    QJsonObject orderOf(const QString &checkout)
    {
        return service.order(checkout.section(QLatin1Char('/'), -1));
    }

    // Every order the app asked the stand-in to create.
    int ordersCreated() { return int(service.requests(QStringLiteral("/api/orders$")).size()); }

    StandIn service;
    BooksFolder books;
    std::shared_ptr<Project> project;
    std::optional<Pricing> pricing;
};

inline QLineEdit *fieldWithPlaceholder(QWidget *root, const QString &placeholder)
{
    for (QLineEdit *field : root->findChildren<QLineEdit *>()) {
        if (field->placeholderText() == placeholder)
            return field;
    }
    return nullptr;
}

// Types text into the field with that placeholder, over what it held, as
// the user does.
inline void typeInto(QWidget *root, const QString &placeholder, const QString &text)
{
    QLineEdit *field = fieldWithPlaceholder(root, placeholder);
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

inline QPushButton *buttonWithText(QWidget *root, const QString &text)
{
    return qobject_cast<QPushButton *>(TestSupport::findText(root, text));
}

inline QByteArray sha256Of(const QString &file)
{
    return QCryptographicHash::hash(TestSupport::readFile(file), QCryptographicHash::Sha256).toHex();
}

// The "Apply" button beside the code field with that placeholder.
inline QPushButton *applyFor(QWidget *root, const QString &placeholder)
{
    QLineEdit *field = fieldWithPlaceholder(root, placeholder);
    return field ? field->parentWidget()->findChild<QPushButton *>() : nullptr;
}

// The invite code the stand-in gives another install: a Friends of
// Friends code for this one.
inline QString friendsCode(const QByteArray &install = "a-friend")
{
    Http::Request request;
    request.method = Http::Method::Post;
    request.url = Pricing::address("api/referrals");
    request.body = R"({"install":")" + install + R"("})";
    request.headers = { { "content-type", "application/json" } };
    return Json::parseObject(TestSupport::await(Http::send(request)).body)
        .value(QStringLiteral("code"))
        .toString();
}

// Pages of a PDF; -1 when it can't be read.
inline int pagesOf(const QString &pdf)
{
    QPdfDocument document;
    return document.load(pdf) == QPdfDocument::Error::None ? document.pageCount() : -1;
}

// Each file the stand-in holds for an order is the print file made in the
// book's folder: the same bytes, the same pages.
inline void expectFilesAsMade(const QJsonObject &order, const QString &bookFolder)
{
    for (const QJsonValue &entry : order.value(QStringLiteral("files")).toArray()) {
        const QJsonObject file = entry.toObject();
        const QString local
            = bookFolder + QStringLiteral("/print/") + file.value(QStringLiteral("name")).toString();
        EXPECT_EQ(file.value(QStringLiteral("pages")).toInt(), pagesOf(local)) << local.toStdString();
        EXPECT_EQ(file.value(QStringLiteral("sha256")).toString().toLatin1(), sha256Of(local));
    }
}
