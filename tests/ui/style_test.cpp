// Every text role of the one style reads at 4.5:1 or more (WCAG AA) on each
// surface it is drawn on, in both appearances: the fine print too.
#include "ui/controlpainter.h"
#include "ui/style.h"
#include "uitestsupport.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

using Style::Surface;

// Text as it shows on an opaque surface: its alpha blended in.
QColor shown(const QColor &text, const QColor &surface)
{
    const qreal a = text.alphaF();
    return QColor::fromRgbF(float(a * text.redF() + (1 - a) * surface.redF()),
        float(a * text.greenF() + (1 - a) * surface.greenF()),
        float(a * text.blueF() + (1 - a) * surface.blueF()));
}

struct Role
{
    const char *name;
    QColor ink;
    QList<std::pair<const char *, QColor>> surfaces;
};

QList<std::pair<const char *, QColor>> surfaces(const QPalette &palette, const QList<Surface> &which)
{
    static const QHash<Surface, const char *> names { { Surface::Window, "window" },
        { Surface::Content, "content" }, { Surface::Card, "card" }, { Surface::Section, "section" },
        { Surface::Band, "band" }, { Surface::Field, "field" }, { Surface::Popup, "popup" },
        { Surface::Selection, "selection" }, { Surface::Tint, "tint" } };
    QList<std::pair<const char *, QColor>> found;
    for (const Surface surface : which)
        found.append({ names.value(surface), Style::surface(surface, palette) });
    return found;
}

QList<Role> roles(const QPalette &palette)
{
    const QList<Surface> every { Surface::Window, Surface::Content, Surface::Card, Surface::Section,
        Surface::Band, Surface::Field, Surface::Popup, Surface::Selection, Surface::Tint };
    // Coloured words (links, codes, errors) stand on the panes and the
    // controls, never on a chosen row or a tinted note.
    const QList<Surface> panes { Surface::Window, Surface::Content, Surface::Card, Surface::Section,
        Surface::Band, Surface::Field, Surface::Popup };
    auto neutral = surfaces(palette, every);
    const ControlPainter::Colors controls = ControlPainter::colors(palette);
    neutral.append({ { "button", controls.face }, { "hovered button", controls.hover },
        { "tool tip", palette.color(QPalette::ToolTipBase) } });
    const QColor accent = palette.color(QPalette::Highlight);
    const QList<std::pair<const char *, QColor>> accents { { "accent", accent },
        { "hovered accent", accent.lighter(110) }, { "pressed accent", accent.darker(115) } };
    return {
        { "primary", Style::color(Style::Tone::Primary, palette), neutral },
        { "secondary", Style::color(Style::Tone::Secondary, palette), neutral },
        { "tertiary", Style::color(Style::Tone::Tertiary, palette), neutral },
        { "placeholder", palette.color(QPalette::PlaceholderText), neutral },
        { "button text", palette.color(QPalette::ButtonText), neutral },
        { "tool tip text", palette.color(QPalette::ToolTipText), neutral },
        { "brand", palette.color(QPalette::Link), surfaces(palette, panes) },
        { "error", Style::error(palette), surfaces(palette, panes) },
        { "warning", Style::warning(palette), surfaces(palette, panes) },
        { "success", Style::success(palette), surfaces(palette, panes) },
        { "on the accent", palette.color(QPalette::HighlightedText), accents },
    };
}

} // namespace

// Disabled words are left out, as the guidelines leave them: a control
// that can't be used says so by fading.
TEST(StyleContrast, EveryTextRoleReadsOnEverySurfaceItIsDrawnOnInBothAppearances)
{
    for (const auto &[appearance, palette] :
        { std::pair { "light", Style::lightPalette() }, { "dark", Style::darkPalette() } }) {
        Style::usePalette(palette);
        for (const Role &role : roles(palette)) {
            for (const auto &[surface, colour] : role.surfaces)
                EXPECT_GE(TestSupport::contrast(shown(role.ink, colour), colour), 4.5)
                    << role.name << " on " << surface << " in " << appearance;
        }
    }
}
