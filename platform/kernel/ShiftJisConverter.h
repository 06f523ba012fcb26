#pragma once
// Code page 932 text converted through the C library's converter, which every
// process already has, so that the first Japanese labels do not load the
// Unicode library's conversion tables. Only what that converter maps exactly
// as the Unicode library does is taken from it; the rest is left to the
// caller's full converter:
// - bytes it cannot read (a lone lead byte, an unmapped pair), which the full
//   converter substitutes;
// - characters it maps only one way (U+00A5 to the yen sign's byte, U+2014 to
//   the dash), which the full converter replaces by the default character;
// - the three control characters 0x1A, 0x1C and 0x7F, which the full
//   converter trades places and stored texts were written with.

#include <string>
#include <string_view>

namespace platform {

// `bytes` as UTF-16 in `wide`; false when the text holds anything above.
bool ShiftJisToWide(std::string_view bytes, std::u16string& wide);

// `wide` as code page 932 in `bytes`; false when the text holds anything above.
bool WideToShiftJis(std::u16string_view wide, std::string& bytes);

} // namespace platform
