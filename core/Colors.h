#pragma once
// Colours as the settings and the window classes hold them: COLORREF values
// 0x00BBGGRR (red in the low byte). A value with the high bit set
// (0x800000nn) names the system colour nn, taken from the palette.

#include <QColor>
#include <cstdint>

QColor ColorrefToQColor(std::uint32_t colorref);
// An invalid colour gives 0 (black).
std::uint32_t QColorToColorref(const QColor& color);
