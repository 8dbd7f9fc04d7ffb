// A whole number shown through a numeric format pattern, as Subject serials are.
#pragma once

#include <string>
#include <string_view>

namespace orvella {

// The pattern rules for a whole number:
//  - up to three sections split by ';': positive; negative; zero. An empty or missing section
//    falls back to the first; with no third section, zero takes the first.
//  - '0' is a digit position padded with a zero, '#' one left empty; digits beyond the positions
//    go into the leftmost one.
//  - the first '.' starts the fraction, whose '0' positions show zeros (the number is whole).
//  - ',' between two digit positions of the whole part groups the digits by thousands.
//  - each '%' multiplies by 100 and stands where it is.
//  - '\' takes the next character literally; text in "double" or 'single' quotes is literal.
//  - every other character stands as it is; a section without digit positions is only its text.
// The empty pattern gives the plain number.
[[nodiscard]] std::u16string formatWholeNumber(long long number, std::u16string_view pattern);

}  // namespace orvella
