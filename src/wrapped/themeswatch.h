#pragma once

#include "wrappedsettings.h"

#include <QAbstractButton>

// A card theme as a round swatch: its background with a dot of its accent,
// or a colour wheel for the user's own colours; ringed in the brand colour
// when it is the theme in use. Its tooltip names the theme.
class ThemeSwatch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ThemeSwatch(WrappedSettings::Theme theme, QWidget *parent = nullptr);

    WrappedSettings::Theme theme() const { return m_theme; }
    // Draws the theme as these settings would show it, and whether it is theirs.
    void setLook(const WrappedSettings &settings);

protected:
    // Checked is the theme in use; the settings decide, not a click.
    void nextCheckState() override { }
    void paintEvent(QPaintEvent *event) override;

private:
    WrappedSettings::Theme m_theme;
    WrappedSettings::Palette m_palette;
};
