#include "controls/SpinRules.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace ovin {

std::int32_t SpinLimits::ClampValue(std::int32_t value) const
{
    if (minValue == maxValue)
        return value;
    if (value < minValue)
        return minValue;
    if (value > maxValue)
        return maxValue;
    return value;
}

std::int32_t SpinLimits::ReadValue(std::string_view text) const
{
    // The platform's conversion takes a leading "+", which from_chars does not.
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    if (digits.empty() || digits.front() == '+' || (text.front() == '+' && digits.front() == '-'))
        return minValue;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 10);
    if (error != std::errc() || end != digits.data() + digits.size())
        return minValue;
    return value;
}

std::string SpinLimits::WriteValue(std::int32_t value) const { return std::to_string(ClampValue(value)); }

std::optional<std::string> SpinLimits::TextOnExit(std::string_view text) const
{
    const std::int32_t value = ReadValue(text);
    if (ClampValue(value) == value)
        return std::nullopt;
    return WriteValue(value);
}

std::int32_t StepValue(std::int32_t value, std::int32_t increment, int direction)
{
    const auto v = static_cast<std::uint32_t>(value);
    const auto step = static_cast<std::uint32_t>(increment);
    return static_cast<std::int32_t>(direction >= 0 ? v + step : v - step);
}

bool IsAcceptedChar(char32_t ch, char32_t decimalSeparator, bool editorEnabled)
{
    const bool accepted =
        (ch >= U'0' && ch <= U'9') || ch == U'+' || ch == U'-' || ch == decimalSeparator || (ch < 32 && ch != U'\r');
    if (!editorEnabled && (ch == U'\b' || ch >= 32))
        return false;
    return accepted;
}

SpinButtonFit FitButtons(Size size)
{
    SpinButtonFit fit;
    fit.size = {std::max(size.width, kMinSpinButtonWidthPx), size.height};
    fit.up = {0, 0, fit.size.width, size.height / 2};
    fit.down = {0, fit.up.height - 1, fit.size.width, size.height - fit.up.height + 1};
    return fit;
}

int SpinEditMinimumHeight(int ownFontHeight, int systemFontHeight, int borderPx)
{
    return ownFontHeight + std::min(systemFontHeight, ownFontHeight) / 4 + 4 * borderPx + 2;
}

}  // namespace ovin
