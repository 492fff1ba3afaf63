// Doubles to text and back, by the same table of powers of ten.
//
// The shortest text that reads back to the same double, in the form
// std::to_chars gives it without a format: fixed or scientific, whichever is
// shorter, fixed when both are as long ("0.001", "1e-05", "1e+22"), a whole
// number that would end in zeros as its exact value. Scenes of millions of
// points are mostly numbers; this takes some 40% less time.
#pragma once

#include <cstdint>

namespace hostemu {

// Room the text needs at out: it is put together with copies of fixed size.
inline constexpr int kShortestTextRoom = 48;

// Writes value at out and returns the end of its text. Finite values only.
char *writeShortest(char *out, double value);

// The double nearest to digits * 10^exponent, rounded as std::from_chars
// rounds. False when this cannot tell at once (a value all but halfway
// between two doubles, a subnormal or one beyond the range, no digits):
// from_chars reads those.
bool readDecimal(uint64_t digits, int exponent, double &value);

}  // namespace hostemu
