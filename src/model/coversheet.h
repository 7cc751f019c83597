#pragma once

// The cover sheet as templates/novel/cover.typ draws it, in inches: a front
// panel of this size right of the spine, with this bleed all round the sheet.
namespace CoverSheet {

inline constexpr double frontWidthInches = 5;
inline constexpr double frontHeightInches = 8;
inline constexpr double bleedInches = 0.125;

} // namespace CoverSheet
