#include "Conversions.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace {
template <class T>
T roundedWhole(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw std::invalid_argument("Type mismatch");
    const double rounded = std::nearbyint(value); // half to even
    if (rounded < double(std::numeric_limits<T>::min()) || rounded > double(std::numeric_limits<T>::max()))
        throw std::out_of_range("Overflow");
    return static_cast<T>(rounded);
}
} // namespace

int CInt(const QString& text)
{
    return roundedWhole<std::int16_t>(text);
}

long CLng(const QString& text)
{
    return roundedWhole<std::int32_t>(text);
}

int RoundedInt(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > 2147483647.0)
        throw std::invalid_argument("not a number");
    return int(std::lround(v));
}
