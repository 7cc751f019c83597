// The claim sheet: when a claim may go, which screenshots it takes, what
// the stand-in service receives, and the answers and failures it shows.
#include "service/coverart.h"
#include "service/standin.h"
#include "ui/unopenedpage.h"
#include "uitestsupport.h"
#include "wrapped/claimsheet.h"

#include <QCheckBox>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Kind = Rewards::Claim::Kind;

namespace {

Rewards::Claim readyClaim(Kind kind)
{
    Rewards::Claim claim;
    claim.kind = kind;
    claim.url = u"a.b"_s;
    claim.email = u"a@b"_s;
    claim.screenshot = u"/tmp/shot.png"_s;
    claim.disclosed = claim.adult = claim.agree = true;
    return claim;
}

// The value of a plain field of a multipart body, or a null string.
QString formField(const QByteArray &body, const QString &name)
{
    const QRegularExpression field(u"name=\"%1\"\\r\\n\\r\\n([^\\r]*)\\r\\n"_s.arg(name));
    const QRegularExpressionMatch match = field.match(QString::fromUtf8(body));
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

TEST(ClaimReadiness, NeedsALinkAnAddressAScreenshotAndAllThreeBoxes)
{
    Rewards::Claim claim = readyClaim(Kind::Share);
    EXPECT_TRUE(ClaimSheet::isReady(claim));
    claim.url = u"ab"_s;
    EXPECT_FALSE(ClaimSheet::isReady(claim));
    claim = readyClaim(Kind::Share);
    claim.email = u"a.b"_s;
    EXPECT_FALSE(ClaimSheet::isReady(claim));
    claim = readyClaim(Kind::Share);
    claim.screenshot.reset();
    EXPECT_FALSE(ClaimSheet::isReady(claim));
    for (bool Rewards::Claim::*box :
        { &Rewards::Claim::disclosed, &Rewards::Claim::adult, &Rewards::Claim::agree }) {
        claim = readyClaim(Kind::Share);
        claim.*box = false;
        EXPECT_FALSE(ClaimSheet::isReady(claim));
    }

    // The free book also wants views or likes, in any words; reposts alone
    // don't count.
    claim = readyClaim(Kind::Viral);
    EXPECT_FALSE(ClaimSheet::isReady(claim));
    claim.reposts = u"40"_s;
    EXPECT_FALSE(ClaimSheet::isReady(claim));
    claim.likes = u"lots"_s;
    EXPECT_TRUE(ClaimSheet::isReady(claim));
    claim.likes.clear();
    claim.views = u"12k"_s;
    EXPECT_TRUE(ClaimSheet::isReady(claim));
}

TEST(ClaimReadiness, TakesPicturesByTheirExtensionInAnyCase)
{
    EXPECT_EQ(ClaimSheet::screenshotAmong({ u"/x/A.JPG"_s }), u"/x/A.JPG"_s);
    EXPECT_EQ(ClaimSheet::screenshotAmong({ u"/x/a.gif"_s, u"/x/b.webp"_s, u"/x/c.png"_s }), u"/x/b.webp"_s);
    EXPECT_FALSE(ClaimSheet::screenshotAmong({ u"/x/a.gif"_s, u"/x/notes.txt"_s, u"/x/heic"_s }));
}

class ClaimSheetTest : public StandInTest
{
protected:
    void SetUp() override
    {
        StandInTest::SetUp();
        TestSupport::desktop().reset();
        window.resize(1000, 760);
        window.show();
        screenshot = dir.filePath(u"post.png"_s);
        QImage picture(40, 70, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        picture.save(screenshot);
    }

    ClaimSheet *present(Kind kind)
    {
        auto *sheet = new ClaimSheet(kind, &window);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->present();
        return sheet;
    }

    static QLineEdit *field(QWidget *sheet, const QString &placeholder)
    {
        for (QLineEdit *edit : sheet->findChildren<QLineEdit *>()) {
            if (edit->placeholderText() == placeholder)
                return edit;
        }
        return nullptr;
    }

    static void type(QWidget *sheet, const QString &placeholder, const QString &text)
    {
        QLineEdit *edit = field(sheet, placeholder);
        ASSERT_TRUE(edit) << placeholder.toStdString();
        QTest::keyClicks(edit, text);
    }

    static QPushButton *button(QWidget *sheet, const QString &text)
    {
        return qobject_cast<QPushButton *>(TestSupport::findText(sheet, text));
    }

    static void tickAll(QWidget *sheet)
    {
        for (QCheckBox *box : sheet->findChildren<QCheckBox *>())
            box->click();
    }

    // The screenshot chosen through the file panel.
    void addScreenshot(QWidget *sheet)
    {
        TestSupport::desktop().answers.append({ screenshot });
        button(sheet, u"Add a Screenshot…"_s)->click();
        ASSERT_TRUE(
            TestSupport::waitUntil([&] { return button(sheet, u"Change Screenshot…"_s) != nullptr; }));
    }

    QWidget window;
    QTemporaryDir dir;
    QString screenshot;
};

TEST_F(ClaimSheetTest, AShareClaimGoesAsTypedAndItsCodeComesBack)
{
    ClaimSheet *sheet = present(Kind::Share);
    EXPECT_TRUE(TestSupport::findText(sheet, u"10% off for sharing your Wrapped"_s));
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"Post your Wrapped on TikTok, Instagram or X, then paste the link and add a screenshot of the post. "
        "The code works once, on your book."_s));
    EXPECT_FALSE(field(sheet, u"Views"_s));
    QPushButton *send = button(sheet, u"Get My Code"_s);
    ASSERT_TRUE(send);
    EXPECT_FALSE(send->isEnabled());

    type(sheet, u"Link to your post"_s, u"  https://social.example/p/1 "_s);
    type(sheet, u"Your email"_s, u" pat@example.com"_s);
    tickAll(sheet);
    EXPECT_FALSE(send->isEnabled());
    addScreenshot(sheet);
    EXPECT_TRUE(TestSupport::findText(sheet, u"post.png"_s));
    EXPECT_TRUE(send->isEnabled());

    send->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->result().has_value(); }));
    const QList<QJsonObject> claims = service.requests(u"/api/submissions$"_s);
    ASSERT_EQ(claims.size(), 1);
    const QByteArray body = StandIn::body(claims.first());
    EXPECT_EQ(formField(body, u"kind"_s), u"share"_s);
    EXPECT_EQ(formField(body, u"url"_s), u"https://social.example/p/1"_s);
    EXPECT_EQ(formField(body, u"email"_s), u"pat@example.com"_s);
    EXPECT_EQ(formField(body, u"install"_s), CoverArt::install());
    for (const QString &box : { u"disclosed"_s, u"adult"_s, u"agree"_s })
        EXPECT_EQ(formField(body, box), u"on"_s) << box.toStdString();
    EXPECT_TRUE(formField(body, u"views"_s).isNull());
    EXPECT_TRUE(body.contains("name=\"screenshot\"; filename=\"post.png\"\r\nContent-Type: image/png"));

    // The answer: the code, and the percentage the Wrapped screen announced.
    const QString code = *sheet->result()->discountCode;
    EXPECT_TRUE(code.startsWith(u"SHARE-"_s));
    EXPECT_TRUE(TestSupport::findText(sheet, u"Your code"_s));
    EXPECT_TRUE(TestSupport::findText(sheet, code));
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"It takes 10% off one order. Your book's page shows it on the Order button, so there's nothing to copy."_s));
    EXPECT_FALSE(button(sheet, u"Get My Code"_s));
    EXPECT_FALSE(field(sheet, u"Your email"_s)->isVisibleTo(sheet));

    // Done closes it and reads the standing again.
    const qsizetype standings = service.requests(u"/api/referrals$"_s).size();
    button(sheet, u"Done"_s)->click();
    EXPECT_TRUE(
        TestSupport::waitUntil([&] { return service.requests(u"/api/referrals$"_s).size() > standings; }));
}

TEST_F(ClaimSheetTest, AViralClaimSendsTheDigitsOfItsNumbersForReview)
{
    ClaimSheet *sheet = present(Kind::Viral);
    EXPECT_TRUE(TestSupport::findText(sheet, u"A free book for going big"_s));
    // The intro's numbers are fixed, whatever the service's thresholds.
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"When a post of your Wrapped reaches 10,000 views or 1,000 likes, send the link and a screenshot "
        "showing the numbers. A person checks it, and a gift card worth a paperback comes back."_s));
    type(sheet, u"Link to your post"_s, u"x.y/z"_s);
    type(sheet, u"Your email"_s, u"pat@example.com"_s);
    tickAll(sheet);
    addScreenshot(sheet);
    QPushButton *send = button(sheet, u"Send for Review"_s);
    type(sheet, u"Reposts"_s, u"40"_s);
    EXPECT_FALSE(send->isEnabled());
    type(sheet, u"Views"_s, u"12,400 views"_s);
    EXPECT_TRUE(send->isEnabled());

    send->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->result().has_value(); }));
    const QByteArray body = StandIn::body(service.requests(u"/api/submissions$"_s).first());
    EXPECT_EQ(formField(body, u"kind"_s), u"viral"_s);
    EXPECT_EQ(formField(body, u"views"_s), u"12400"_s);
    EXPECT_EQ(formField(body, u"reposts"_s), u"40"_s);
    EXPECT_TRUE(formField(body, u"likes"_s).isNull());
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"We have it. Someone on our team checks each claim, usually within a few days, and the gift card "
        "appears here once it's approved."_s));
}

TEST_F(ClaimSheetTest, ARefusalShowsItsSentenceAndKeepsWhatWasTyped)
{
    ClaimSheet *sheet = present(Kind::Share);
    type(sheet, u"Link to your post"_s, u"a.b"_s);
    type(sheet, u"Your email"_s, u"a@b"_s);
    tickAll(sheet);
    addScreenshot(sheet);

    service.answer(u"/api/submissions"_s, 400, R"({"error":"That post is already claimed."})");
    button(sheet, u"Get My Code"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->error().has_value(); }));
    EXPECT_EQ(*sheet->error(), u"That post is already claimed."_s);
    EXPECT_TRUE(TestSupport::findText(sheet, u"That post is already claimed."_s));
    EXPECT_EQ(field(sheet, u"Link to your post"_s)->text(), u"a.b"_s);
    EXPECT_TRUE(button(sheet, u"Get My Code"_s)->isEnabled());

    service.reset();
    service.answer(u"/api/submissions"_s, 500, QByteArray(), u"text/plain"_s);
    button(sheet, u"Get My Code"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->isSending(); }));
    EXPECT_EQ(sheet->error(), u"That didn't go through (500). Try again in a minute."_s);

    // The percentage is the answer's; one without a percentage means the
    // usual ten.
    service.reset();
    service.answer(
        u"/api/submissions"_s, 200, R"({"status":"approved","discountCode":"SHARE-20","percent":20})");
    button(sheet, u"Get My Code"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->result().has_value(); }));
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"It takes 20% off one order. Your book's page shows it on the Order button, so there's nothing to copy."_s));
    sheet->close();
    sheet = present(Kind::Share);
    type(sheet, u"Link to your post"_s, u"a.b"_s);
    type(sheet, u"Your email"_s, u"a@b"_s);
    tickAll(sheet);
    addScreenshot(sheet);
    service.reset();
    service.answer(u"/api/submissions"_s, 200, R"({"status":"approved","discountCode":"SHARE-TEN"})");
    button(sheet, u"Get My Code"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->result().has_value(); }));
    EXPECT_FALSE(sheet->error());
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"It takes 10% off one order. Your book's page shows it on the Order button, so there's nothing to copy."_s));
}

TEST_F(ClaimSheetTest, DropsTakeAPictureAndTheRulesAreTheServicesPage)
{
    ClaimSheet *sheet = present(Kind::Share);
    QWidget *row = button(sheet, u"Add a Screenshot…"_s)->parentWidget();
    const auto drop = [&](const QStringList &files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &file : files)
            urls.append(QUrl::fromLocalFile(file));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(row, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(row, &dropped);
        return dropped.isAccepted();
    };
    EXPECT_FALSE(drop({ dir.filePath(u"loop.gif"_s) }));
    EXPECT_FALSE(sheet->claim().screenshot);
    EXPECT_TRUE(drop({ dir.filePath(u"loop.gif"_s), dir.filePath(u"SHOT.JPG"_s) }));
    EXPECT_EQ(sheet->claim().screenshot, dir.filePath(u"SHOT.JPG"_s));
    EXPECT_TRUE(TestSupport::findText(sheet, u"Change Screenshot…"_s));

    button(sheet, u"Official Rules"_s)->click();
    const QList<QStringList> opened = TestSupport::desktop().of(u"openUrl"_s);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().first(), service.origin() + u"/wrapped/rules/"_s);
    Http::Request request;
    request.url = QUrl(opened.first().first());
    const Http::Reply rules = TestSupport::await(Http::send(request));
    EXPECT_EQ(rules.status, 200);
    EXPECT_TRUE(rules.body.contains("official rules"));
    EXPECT_FALSE(sheet->unopenedRules()->isVisible());

    // Without a browser the rules are offered by their address.
    TestSupport::desktop().opens = false;
    button(sheet, u"Official Rules"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->unopenedRules()->isVisible(); }));
    EXPECT_EQ(sheet->unopenedRules()->address().toString(), opened.first().first());
    EXPECT_TRUE(TestSupport::findText(sheet,
        u"The rules page didn't open in your browser. Open this address in a browser to read them."_s));
    TestSupport::desktop().opens = true;
    button(sheet, u"Try Again"_s)->click();
    ASSERT_TRUE(TestSupport::waitUntil([&] { return !sheet->unopenedRules()->isVisible(); }));
    EXPECT_EQ(TestSupport::desktop().of(u"openUrl"_s).size(), 3);
}

TEST_F(ClaimSheetTest, CancellingWhileSendingClosesAndReadsTheStandingAgain)
{
    ClaimSheet *sheet = present(Kind::Share);
    type(sheet, u"Link to your post"_s, u"a.b"_s);
    type(sheet, u"Your email"_s, u"a@b"_s);
    tickAll(sheet);
    addScreenshot(sheet);
    service.script({ { u"path"_s, u"/api/submissions"_s }, { u"delay"_s, 1500 } });
    QPointer<ClaimSheet> alive(sheet);
    button(sheet, u"Get My Code"_s)->click();
    EXPECT_TRUE(sheet->isSending());
    EXPECT_FALSE(button(sheet, u"Get My Code"_s)->isEnabled());
    button(sheet, u"Cancel"_s)->click();
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !alive; }));
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !service.requests(u"/api/referrals$"_s).isEmpty(); }));
    // The answer arriving after the sheet is gone harms nothing.
    QTest::qWait(1800);
}

// Return did nothing in the claim sheet: it had no default button.
TEST_F(ClaimSheetTest, ReturnSendsOnceTheClaimIsReadyAndEscapeCancels)
{
    ClaimSheet *sheet = present(Kind::Share);
    type(sheet, u"Link to your post"_s, u"https://social.example/p/1"_s);
    QTest::keyClick(field(sheet, u"Link to your post"_s), Qt::Key_Return);
    EXPECT_TRUE(service.requests(u"/api/submissions$"_s).isEmpty());
    type(sheet, u"Your email"_s, u"pat@example.com"_s);
    tickAll(sheet);
    addScreenshot(sheet);
    field(sheet, u"Your email"_s)->setFocus();
    QTest::keyClick(field(sheet, u"Your email"_s), Qt::Key_Return);
    ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->result().has_value(); }));
    EXPECT_EQ(service.requests(u"/api/submissions$"_s).size(), 1);
    button(sheet, u"Done"_s)->click();

    QPointer<ClaimSheet> other = present(Kind::Share);
    QTest::keyClick(field(other, u"Your email"_s), Qt::Key_Escape);
    EXPECT_TRUE(TestSupport::waitUntil([&] { return !other || !other->isVisible(); }));
}
