#include "uitestsupport.h"
#include "wrapped/cardtext.h"
#include "wrapped/ribbon.h"
#include "wrapped/wrappedcardview.h"
#include "wrappedfixture.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using Format = WrappedSettings::Format;

WrappedCardView::Content content(const QString &id, WrappedSettings settings = {}, double progress = 1)
{
    const Wrapped wrapped = sampleWrapped();
    return { *wrapped.card(id), wrapped, settings, u"FRIEND-7Q2K"_s, std::nullopt, progress };
}

bool near(QColor a, QColor b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

// Pixels of a colour in a rectangle of the picture.
int count(const QImage &image, const QRect &area, const std::function<bool(QColor)> &test)
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += test(image.pixelColor(x, y));
    return found;
}

// The rows of a rectangle that hold a colour.
int rowsWith(const QImage &image, const QRect &area, QColor colour)
{
    int rows = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        rows += count(image, QRect(area.left(), y, area.width(), 1), [&](QColor c) {
            return near(c, colour);
        }) > 0;
    return rows;
}

// The separate runs of rows that hold a colour, top to bottom.
int bandsWith(const QImage &image, const QRect &area, QColor colour)
{
    int bands = 0;
    bool inside = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const bool found = count(image, QRect(area.left(), y, area.width(), 1), [&](QColor c) {
            return near(c, colour, 12);
        }) > 0;
        bands += found && !inside;
        inside = found;
    }
    return bands;
}

} // namespace

TEST(WrappedCardView, TheFigureCountsUpThenShowsTheDocumentsText)
{
    WrappedCardView::Content card = content(u"busiest"_s);
    card.card.count = 200;
    card.card.big = u"two hundred"_s;
    card.progress = 0.5;
    EXPECT_EQ(WrappedCardView::shownBig(card), u"175"_s);
    card.progress = -1;
    EXPECT_EQ(WrappedCardView::shownBig(card), u"0"_s);
    card.card.count = 2004;
    card.progress = 0.9;
    EXPECT_EQ(WrappedCardView::shownBig(card), u"2,002"_s);
    card.progress = 1;
    EXPECT_EQ(WrappedCardView::shownBig(card), u"two hundred"_s);

    WrappedSettings full;
    full.names = WrappedSettings::Names::Full;
    EXPECT_EQ(WrappedCardView::shownBig(content(u"talks"_s, full)), u"Sam Lee"_s);
    EXPECT_EQ(WrappedCardView::shownBig(content(u"talks"_s)), u"S.L."_s);
}

TEST(WrappedCardView, RowsFadeInOneAfterAnother)
{
    EXPECT_EQ(WrappedCardView::rowProgress(0.5, 0, 9), 1.0);
    EXPECT_EQ(WrappedCardView::rowProgress(0.5, 4, 9), 1.0);
    EXPECT_EQ(WrappedCardView::rowProgress(0.5, 5, 9), 0.0);
    EXPECT_DOUBLE_EQ(WrappedCardView::rowProgress(0.25, 1, 3), 0.0);
    EXPECT_DOUBLE_EQ(WrappedCardView::rowProgress(0.3, 0, 3), 1.0);
    EXPECT_EQ(WrappedCardView::rowProgress(1, 8, 9), 1.0);
}

TEST(WrappedCardView, TheRibbonSitsOnAThirtyTwoUnitGrid)
{
    const QPainterPath ribbon = Ribbon::path(QRectF(0, 0, 18, 18));
    ASSERT_EQ(ribbon.elementCount(), 6);
    EXPECT_EQ(QPointF(ribbon.elementAt(0)), QPointF(5.625, 1.6875));
    EXPECT_EQ(QPointF(ribbon.elementAt(1)), QPointF(12.375, 1.6875));
    EXPECT_EQ(QPointF(ribbon.elementAt(3)), QPointF(9, 13.1625));
    // Centred in a wide rectangle by its smaller side.
    EXPECT_EQ(Ribbon::path(QRectF(0, 0, 64, 32)).boundingRect(), QRectF(10, 3, 12, 26));
}

TEST(WrappedCardView, DrawsOnTheThemesBackgroundWithTheRibbonInTheAccent)
{
    for (const WrappedSettings::Theme theme : WrappedSettings::themes()) {
        WrappedSettings settings;
        settings.theme = theme;
        settings.background = u"#12345"_s;
        const WrappedSettings::Palette palette = settings.palette();
        const QImage story = WrappedCardView::render(content(u"cover"_s, settings));
        ASSERT_EQ(story.size(), QSize(1080, 1920));
        for (const QPoint corner : { QPoint(0, 0), QPoint(1079, 0), QPoint(0, 1919), QPoint(1079, 1919) })
            EXPECT_EQ(story.pixelColor(corner), palette.background)
                << WrappedSettings::themeName(theme).toStdString();
        // The ribbon: 18 points at the footer's start, above the bottom padding.
        EXPECT_GT(count(story, QRect(90, 1920 - 102 - 80, 54, 80),
                      [&](QColor c) { return near(c, palette.accent); }),
            400);
    }
    WrappedSettings custom;
    custom.theme = WrappedSettings::Theme::Custom;
    custom.background = u"#12345"_s;
    EXPECT_EQ(WrappedCardView::render(content(u"cover"_s, custom)).pixelColor(0, 0), QColor(Qt::white));
}

TEST(WrappedCardView, WordsHaveNoShareBars)
{
    const WrappedSettings settings;
    const QColor accent = settings.palette().accent;
    const QRect rowBand(90, 960, 900, 700);
    const auto bars = [&](const QString &id) {
        return count(WrappedCardView::render(content(id, settings)), rowBand,
            [&](QColor c) { return near(c, accent); });
    };
    EXPECT_GT(bars(u"busiest"_s), 2000);
    EXPECT_EQ(bars(u"words"_s), 0);
    EXPECT_EQ(bars(u"superlatives"_s), 0);
}

TEST(WrappedCardView, AStoryShowsSevenRowsAndAPostFour)
{
    WrappedCardView::Content many = content(u"busiest"_s);
    many.card.rows.clear();
    for (int i = 0; i < 9; ++i)
        many.card.rows.append({ i % 2 ? u"me"_s : u"nobody"_s, QString::number(9 - i), 1.0 });
    const QColor accent = many.settings.palette().accent;
    // Each full bar crosses a column near the right edge.
    const auto barRows = [&](const QImage &image) {
        return bandsWith(image, QRect(image.width() / 2, 0, 1, image.height() - 130), accent);
    };
    const QImage story = WrappedCardView::render(many);
    EXPECT_EQ(barRows(story), 7);
    many.format = Format::Post;
    const QImage post = WrappedCardView::render(many);
    EXPECT_EQ(barRows(post), 4);
}

TEST(WrappedCardView, APostCardKeepsTheFooterOfItsSettings)
{
    WrappedCardView::Content card = content(u"busiest"_s);
    card.format = Format::Post;
    const QImage storyFooter = WrappedCardView::render(card);
    ASSERT_EQ(storyFooter.size(), QSize(1080, 1080));
    card.settings.format = Format::Post;
    const QImage postFooter = WrappedCardView::render(card);
    const QColor accent = card.settings.palette().accent;
    // The ribbon's column: 26 of 32 units of an 18- or 15-point square.
    const auto ribbon = [&](const QImage &image) { return rowsWith(image, QRect(72, 940, 60, 139), accent); };
    EXPECT_NEAR(ribbon(storyFooter), 18 * 3 * 26 / 32, 4);
    EXPECT_NEAR(ribbon(postFooter), 15 * 3 * 26 / 32, 4);
}

TEST(WrappedCardView, ALongNameShrinksIntoTheCard)
{
    Wrapped wrapped = sampleWrapped();
    wrapped.people[1].name = u"Bartholomew Featherstonehaugh-Worthington"_s;
    WrappedSettings full;
    full.names = WrappedSettings::Names::Full;
    WrappedCardView::Content card { *wrapped.card(u"love"_s), wrapped, full, std::nullopt, std::nullopt, 1 };
    card.card.big = u"{them}"_s;
    card.card.detail.clear();
    const QImage image = WrappedCardView::render(card);
    const QColor background = full.palette().background;
    const auto outside = [&](QColor c) { return !near(c, background, 8); };
    // The figure's band, between the header and the unit: ink only inside
    // the side paddings.
    EXPECT_EQ(count(image, QRect(0, 300, 84, 900), outside), 0);
    EXPECT_EQ(count(image, QRect(996, 300, 84, 900), outside), 0);
    EXPECT_GT(count(image, QRect(84, 300, 912, 900), outside), 1000);
}

TEST(WrappedCardView, EmojiAreInColour)
{
    const QImage image = WrappedCardView::render(content(u"emoji"_s));
    // The laughing face is yellow, a colour of no theme.
    EXPECT_GT(count(image, QRect(90, 300, 600, 600),
                  [](QColor c) { return c.red() > 200 && c.green() > 150 && c.blue() < 90; }),
        5000);
}

TEST(WrappedCardView, WidgetDrawsTheSameCardFittedToItsSize)
{
    WrappedCardView view;
    view.setContent(content(u"cover"_s));
    EXPECT_EQ(view.sizeHint(), QSize(360, 640));
    view.resize(400, 640);
    const QImage shown = view.grab().toImage();
    const QColor background = view.content().settings.palette().background;
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, 2), background);
    // The card keeps its shape: the widget's spare width stays outside it.
    EXPECT_NE(shown.pixelColor(2, shown.height() / 2), background);
}

TEST(CardText, DigitsHaveEqualWidths)
{
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    const QFont font = CardText::font(&device, u"Instrument Serif"_s, 150);
    using CardText::Digits;
    EXPECT_DOUBLE_EQ(CardText::width(&device, font, u"1,111"_s, Digits::Tabular),
        CardText::width(&device, font, u"8,808"_s, Digits::Tabular));
    EXPECT_NE(CardText::width(&device, font, u"1111"_s), CardText::width(&device, font, u"8808"_s));
    // One font pixel is one card point whatever the device's resolution.
    QImage dense(10, 10, QImage::Format_ARGB32_Premultiplied);
    dense.setDotsPerMeterX(11811);
    dense.setDotsPerMeterY(11811);
    EXPECT_NEAR(CardText::width(&dense, CardText::font(&dense, u"Instrument Serif"_s, 150), u"2,004"_s),
        CardText::width(&device, font, u"2,004"_s), 1.0);
}

TEST(CardText, LongTextsShrinkThenAreCutAtTheirLastLine)
{
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    const QFont font = CardText::font(&device, u"Instrument Serif"_s, 34, QFont::Normal, true);
    const QString text = u"the words keep going long after anyone would read them on a card"_s;
    const CardText::Paragraph cut = CardText::wrap(&device, font, text, 300, 2);
    EXPECT_TRUE(cut.cut);
    ASSERT_EQ(cut.lines.size(), 2);
    EXPECT_TRUE(cut.lines.last().endsWith(u'\u2026'));

    const CardText::Paragraph shrunk = CardText::shrinkToFit(&device, font, 34, text, 230, 3, 0.6);
    EXPECT_FALSE(shrunk.cut);
    EXPECT_LE(shrunk.lines.size(), 3);
    EXPECT_LT(shrunk.font.pointSizeF(), font.pointSizeF());
    EXPECT_EQ(shrunk.lines.join(u' '), text);
}

TEST(WrappedCardView, EveryCardDrawsInBothShapes)
{
    const Wrapped wrapped = sampleWrapped();
    QImage sheet(int(wrapped.cards.size()) * 380 + 20, 1060, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::gray);
    QPainter painter(&sheet);
    const QList<WrappedSettings::Theme> themes = WrappedSettings::themes();
    for (qsizetype i = 0; i < wrapped.cards.size(); ++i) {
        int y = 20;
        for (const Format format : { Format::Story, Format::Post }) {
            WrappedSettings settings;
            settings.format = format;
            settings.disclose = i % 2;
            settings.names = WrappedSettings::Names::Full;
            settings.theme = themes[i % 4];
            settings.typeface = WrappedSettings::typefaces()[i % 3];
            const QImage image = WrappedCardView::render(
                { wrapped.cards[i], wrapped, settings, u"FRIEND-7Q2K"_s, {}, 1 }, 1);
            ASSERT_EQ(image.size(), WrappedCardView::size(format).toSize());
            painter.drawImage(20 + int(i) * 380, y, image);
            y += image.height() + 20;
        }
    }
    painter.end();
}
