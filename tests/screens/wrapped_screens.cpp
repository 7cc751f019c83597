// The Wrapped in the window over fourteen months of messages: the cards in
// both shapes, a look of one's own, a year chosen, one that fails and one
// that loads after it, the typeface menu and the claim sheets; and the
// cards and the film's frames as they are saved.
#include "app/mainwindow.h"
#include "gallery.h"
#include "samplewindow.h"
#include "uitestsupport.h"
#include "wrapped/claimsheet.h"
#include "wrapped/wrappedcardview.h"
#include "wrapped/wrappedfixture.h"
#include "wrapped/wrappedframe.h"
#include "wrapped/wrappedinspector.h"
#include "wrapped/wrappedvideo.h"
#include "wrapped/wrappedview.h"
#include "wrapped/wrappedviewtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

using Gallery::atEverySize;

namespace {

QAbstractButton *swatch(WrappedView *view, const QString &name)
{
    for (QAbstractButton *button : view->inspector()->findChildren<QAbstractButton *>()) {
        if (button->toolTip() == name)
            return button;
    }
    return nullptr;
}

void chooseSegment(WrappedView *view, const QString &name, int index, int of)
{
    QWidget *segments = view->findChild<QWidget *>(name);
    ASSERT_TRUE(segments);
    QTest::mouseClick(segments, Qt::LeftButton, {},
        QPoint(segments->width() * (2 * index + 1) / (2 * of), segments->height() / 2));
}

// Scrolls the panel that holds widget until it is in view.
void scrollTo(QWidget *widget)
{
    for (QWidget *up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (auto *area = qobject_cast<QScrollArea *>(up)) {
            area->ensureWidgetVisible(widget);
            return;
        }
    }
}

void fill(ClaimSheet *sheet, const QString &screenshot)
{
    for (QLineEdit *edit : sheet->findChildren<QLineEdit *>()) {
        if (edit->placeholderText() == QLatin1String("Link to your post"))
            QTest::keyClicks(edit, QStringLiteral("https://social.example/p/1"));
        else if (edit->placeholderText() == QLatin1String("Your email"))
            QTest::keyClicks(edit, QStringLiteral("pat@example.com"));
        else if (edit->placeholderText() == QLatin1String("Views"))
            QTest::keyClicks(edit, QStringLiteral("12,400"));
    }
    for (QCheckBox *box : sheet->findChildren<QCheckBox *>())
        box->setChecked(true);
    sheet->setScreenshot(screenshot);
}

} // namespace

TEST(WrappedScreens, TheCardsTheirLookAndTheClaims)
{
    Gallery::inBothAppearances([] {
        SampleWindow sample(SampleWindow::Consent::Book, QSize(1280, 820), twoYearsOfUs());
        MainWindow *window = sample.window();
        WrappedView *view = sample.wrapped();
        ASSERT_TRUE(view);
        TestSupport::waitUntil([] { return Rewards::shared().status().has_value(); });
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("story"));
        chooseSegment(view, QStringLiteral("Shape"), 1, 2);
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("post"));
        chooseSegment(view, QStringLiteral("Shape"), 0, 2);

        chooseSegment(view, QStringLiteral("Names"), 2, 3);
        swatch(view, QStringLiteral("Custom"))->click();
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("own-look"));
        QComboBox *typeface = view->inspector()->typefacePicker();
        atEverySize(
            window, QStringLiteral("wrapped"), QStringLiteral("typeface-menu"),
            [&] {
                // A user scrolls to the field before opening it.
                scrollTo(typeface);
                typeface->showPopup();
            },
            [&] { typeface->hidePopup(); });
        swatch(view, QStringLiteral("Oxblood"))->click();

        QComboBox *years = view->inspector()->yearPicker();
        atEverySize(
            window, QStringLiteral("wrapped"), QStringLiteral("year-menu"), [&] { years->showPopup(); },
            [&] { years->hidePopup(); });
        years->setCurrentIndex(1);
        emit years->activated(1);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("one-year"));
        view->pickYear(2019);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("year-failed"));
        // Another year that loads: the failed one's sentence has gone.
        years->setCurrentIndex(2);
        emit years->activated(2);
        ASSERT_TRUE(TestSupport::waitUntil([&] { return !view->isLoadingYear(); }));
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("year-after-failure"));

        // A save that fails at each size, a file standing where the folder
        // should be, pressed as a user does: the button scrolled into view.
        QTemporaryDir dir;
        const QString blocked = dir.filePath(QStringLiteral("taken"));
        TestSupport::writeFile(blocked, "a file");
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("save-failed"), [&] {
            auto *save
                = qobject_cast<QPushButton *>(TestSupport::findText(view, QStringLiteral("Save Cards…")));
            scrollTo(save);
            Gallery::settle();
            TestSupport::desktop().answers.append({ blocked + QStringLiteral("/cards") });
            save->click();
            TestSupport::waitUntil([&] { return view->error() && !view->exporting(); });
        });

        const QString screenshot = dir.filePath(QStringLiteral("post.png"));
        QImage picture(40, 70, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        picture.save(screenshot);
        for (const auto &[kind, name] : { std::pair { Rewards::Claim::Kind::Share, "share" },
                 std::pair { Rewards::Claim::Kind::Viral, "viral" } }) {
            const QString screen = QStringLiteral("claim-sheet-%1").arg(QLatin1String(name));
            view->claim(kind);
            ClaimSheet *sheet = view->claimSheet();
            ASSERT_TRUE(sheet);
            atEverySize(window, screen, QStringLiteral("empty"));
            fill(sheet, screenshot);
            atEverySize(window, screen, QStringLiteral("filled"));
            for (QPushButton *button : sheet->findChildren<QPushButton *>()) {
                if (button->isDefault() || button->text() == QLatin1String("Get My Code")
                    || button->text() == QLatin1String("Send for Review")) {
                    button->click();
                    break;
                }
            }
            ASSERT_TRUE(TestSupport::waitUntil([&] { return sheet->result() || sheet->error(); }));
            atEverySize(window, screen, QStringLiteral("sent"));
            sheet->reject();
            QTest::qWait(50);
        }
    });
}

// Someone known only by a number kept without spaces: the cards name them
// by its last four digits, and by the number as the window writes it
// when names are shown in full.
TEST(WrappedScreens, SomeoneKnownByANumber)
{
    BookFile book = twoYearsOfUs();
    for (BookFile::Person &person : book.people) {
        if (!person.me)
            person.name = QStringLiteral("+447700900123");
    }
    Gallery::inBothAppearances([&] {
        SampleWindow sample(SampleWindow::Consent::Book, QSize(1280, 820), book);
        MainWindow *window = sample.window();
        WrappedView *view = sample.wrapped();
        ASSERT_TRUE(view);
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("number-initials"));
        chooseSegment(view, QStringLiteral("Names"), 1, 3);
        atEverySize(window, QStringLiteral("wrapped"), QStringLiteral("number-full"));
        chooseSegment(view, QStringLiteral("Names"), 0, 3);
    });
}

TEST(WrappedScreens, EveryCardInBothShapesAndTheFilmsFrames)
{
    const Wrapped wrapped = sampleWrapped();
    const QList<WrappedSettings::Theme> themes = WrappedSettings::themes();
    QImage cards(int(wrapped.cards.size()) * 380 + 20, 1060, QImage::Format_ARGB32_Premultiplied);
    cards.fill(Qt::gray);
    QPainter painter(&cards);
    for (qsizetype i = 0; i < wrapped.cards.size(); ++i) {
        int y = 20;
        for (const WrappedSettings::Format format :
            { WrappedSettings::Format::Story, WrappedSettings::Format::Post }) {
            WrappedSettings settings;
            settings.format = format;
            settings.disclose = i % 2;
            settings.names = WrappedSettings::Names::Full;
            settings.theme = themes[i % 4];
            settings.typeface = WrappedSettings::typefaces()[i % 3];
            const QImage image = WrappedCardView::render(
                { wrapped.cards[i], wrapped, settings, QStringLiteral("FRIEND-7Q2K"), {}, 1 }, 1);
            painter.drawImage(20 + int(i) * 380, y, image);
            y += image.height() + 20;
        }
    }
    painter.end();
    Gallery::savePicture(cards, QStringLiteral("wrapped-cards"), QStringLiteral("every-card"));

    WrappedSettings settings;
    settings.selection = { QStringLiteral("busiest"), QStringLiteral("love") };
    settings.disclose = true;
    const WrappedVideo::Plan plan = WrappedVideo::plan(wrapped, settings);
    const QList<double> times { 1.0, 2.0, 3.4, 4.5, 5.25, 6.5, 8.0, 11.0 };
    QImage frames(int(times.size()) * 380 + 20, 680, QImage::Format_ARGB32_Premultiplied);
    frames.fill(Qt::gray);
    QPainter film(&frames);
    for (qsizetype i = 0; i < times.size(); ++i) {
        QImage frame(1080, 1920, QImage::Format_ARGB32_Premultiplied);
        QPainter at(&frame);
        at.scale(3, 3);
        WrappedFrame::paint(at, times[i], plan, wrapped, settings, QStringLiteral("FRIEND-7Q2K"));
        at.end();
        film.drawImage(QRect(20 + int(i) * 380, 20, 360, 640), frame);
    }
    film.end();
    Gallery::savePicture(frames, QStringLiteral("wrapped-video"), QStringLiteral("frames"));
}

// Two people who answer in 5 and 6 minutes, close enough for a tie, as the
// message tool words their reply card: both rows at the tie's time, in
// both shapes.
TEST(WrappedScreens, TheReplyCardOfATie)
{
    BookFile book;
    book.format = 1;
    book.style = QStringLiteral("novel");
    book.front.title = QStringLiteral("You & Maya");
    book.people = { { QStringLiteral("me"), QStringLiteral("Sam Lee"), true },
        { QStringLiteral("them"), QStringLiteral("Maya Ortiz"), false } };
    QDateTime at(QDate(2024, 3, 1), QTime(9, 0));
    for (int i = 0; i < 60; ++i) {
        BookFile::Message message;
        message.id = QString::number(i);
        message.at = at.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"));
        message.from = i % 2 ? QStringLiteral("me") : QStringLiteral("them");
        message.text = QStringLiteral("see you at the market");
        book.messages.append(message);
        at = at.addSecs(i % 2 ? 340 : 320);
    }
    const Wrapped wrapped = TestSupport::await(Wrapped::make(book));
    const Wrapped::Card *card = wrapped.card(QStringLiteral("leftOnRead"));
    ASSERT_TRUE(card);
    QImage both(360 + 360 + 60, 680, QImage::Format_ARGB32_Premultiplied);
    both.fill(Qt::gray);
    QPainter painter(&both);
    int x = 20;
    for (const WrappedSettings::Format format :
        { WrappedSettings::Format::Story, WrappedSettings::Format::Post }) {
        WrappedSettings settings;
        settings.format = format;
        const QImage image = WrappedCardView::render({ *card, wrapped, settings, std::nullopt, {}, 1 }, 1);
        painter.drawImage(x, 20, image);
        x += image.width() + 20;
    }
    painter.end();
    Gallery::savePicture(both, QStringLiteral("wrapped-cards"), QStringLiteral("reply-tie"));
}
