#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "controls/Geometry.h"

namespace ovin {

/// The value rules of the spin edit (`TSpinEdit`): its text is its value, a 32-bit integer with optional limits.
/// When MinValue equals MaxValue the value has no limits.
struct SpinLimits {
    std::int32_t minValue = 0;
    std::int32_t maxValue = 0;

    /// The value brought within the limits; unchanged when there are none. The lower limit is tested first, so
    /// inverted limits give MinValue for anything below it.
    std::int32_t ClampValue(std::int32_t value) const;

    /// The value the text reads as: a decimal 32-bit integer with an optional sign; anything else (empty text, a
    /// foreign character, a number out of range) reads as MinValue. Not clamped.
    std::int32_t ReadValue(std::string_view text) const;

    /// The text that writing `value` gives: the clamped number in decimal, no leading zeros or separators.
    std::string WriteValue(std::int32_t value) const;

    /// What leaving the field does to its text: the clamped number when the value read lies outside the limits,
    /// nothing otherwise. Text that does not read as a number reads as MinValue, which stays, so an emptied
    /// field stays empty.
    std::optional<std::string> TextOnExit(std::string_view text) const;
};

/// One step up (+1) or down (-1) by `increment`, in plain 32-bit arithmetic that wraps at the ends of the range.
std::int32_t StepValue(std::int32_t value, std::int32_t increment, int direction);

/// The character filter of the spin edit for one typed character (a Unicode code point): digits, "+", "-", the
/// locale's decimal separator and control characters other than carriage return; with the editor disabled only
/// control characters other than backspace and carriage return.
bool IsAcceptedChar(char32_t ch, char32_t decimalSeparator, bool editorEnabled);

/// The narrowest a spin button gets.
inline constexpr int kMinSpinButtonWidthPx = 15;

/// Where the two arrow buttons of a spin button of the given size go. The width grows to at least 15 pixels;
/// the buttons share one pixel row, and the down button takes the odd pixel of an odd height.
struct SpinButtonFit {
    Size size;
    Rect up;
    Rect down;
};
SpinButtonFit FitButtons(Size size);

/// The smallest height of a spin edit: its font's character height plus a quarter of the smaller of it and the
/// system font's, four border widths and two pixels.
int SpinEditMinimumHeight(int ownFontHeight, int systemFontHeight, int borderPx = 1);

}  // namespace ovin
