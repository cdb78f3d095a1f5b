#include "core/Colors.h"

#include <QGuiApplication>
#include <QPalette>

#include <optional>

namespace {

// System colours a COLORREF may name (0x800000nn), as palette roles.
std::optional<QPalette::ColorRole> systemColorRole(std::uint32_t index)
{
    switch (index) {
    case 4:  // menu
    case 5:  // window
        return QPalette::Base;
    case 7:  // menu text
    case 8:  // window text
        return QPalette::Text;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 18: // button text
        return QPalette::ButtonText;
    case 16: // button shadow
        return QPalette::Dark;
    case 20: // button highlight
        return QPalette::Light;
    case 24: // tool tip
        return QPalette::ToolTipBase;
    case 23: // tool tip text
        return QPalette::ToolTipText;
    default:
        return std::nullopt;
    }
}

} // namespace

QColor ColorrefToQColor(std::uint32_t colorref)
{
    if (colorref & 0x80000000u) {
        if (const auto role = systemColorRole(colorref & 0xFFu))
            return QGuiApplication::palette().color(QPalette::Active, *role);
        return QColor(Qt::black);
    }
    return QColor(int(colorref & 0xFFu), int((colorref >> 8) & 0xFFu), int((colorref >> 16) & 0xFFu));
}

std::uint32_t QColorToColorref(const QColor& color)
{
    if (!color.isValid())
        return 0;
    const QColor rgb = color.toRgb();
    return std::uint32_t(rgb.red()) | (std::uint32_t(rgb.green()) << 8) | (std::uint32_t(rgb.blue()) << 16);
}
