#pragma once
// Money: how every amount of the program is counted.
//
// The money model. An amount is a whole number of hundredths in an int64_t, from the stored
// PackedAmount to every total and every text; no report, list or check adds doubles.
// - Stored price and count: PackedHundredths(code) (a low byte above 99 reads as 99).
// - An entry's amount: EntryAmount(price, count) = price × count computed in integers and
//   rounded once to the nearest hundredth, half away from zero. Its sign comes from the
//   entry's TypeCode: income counts positively, everything else negatively.
// - Every total (incoming balance, a row's sum, income, spending, the rows' total, the closing
//   figure) is an integer sum of entry amounts (SumMoney), so it is exact; a figure derived by
//   division (an average price) is rounded once to the nearest hundredth (ScaleToNearest).
// - Text: FormatMoney / FormatMoneyText (finance/format_amount.h) print hundredths exactly:
//   "," between thousands, "." before two decimals, "-" in front: -123456 gives "-1,234.56".
// - Typed text: ParseHundredths (engine/parse.h) reads decimal text straight into hundredths,
//   rounded to the nearest; a double that stands for an amount becomes hundredths only through
//   HundredthsOf, and is stored through PackAmount, which rounds the same way.

#include <cstdint>

namespace ledgerix {

// The largest amount a PackedAmount holds: 16,777,215.99.
inline constexpr int64_t kMaxPackedHundredths = int64_t{16777215} * 100 + 99;

// value × numerator ÷ denominator, rounded to the nearest integer, half away from zero; the
// product is formed in 128 bits, so it never overflows. A result beyond the int64_t range is
// clamped to it; a denominator of 0 gives 0.
int64_t ScaleToNearest(int64_t value, int64_t numerator, int64_t denominator);

// a + b, held at the int64_t limits instead of overflowing (a total of that size is beyond
// any household; clamping keeps it defined and visibly huge).
int64_t SumMoney(int64_t a, int64_t b);

// The amount of an entry of packed price and count: price × count to the nearest hundredth,
// half up (both are never negative). Always in 0 .. 2.9e16.
int64_t EntryAmount(int32_t price_code, int32_t count_code);

// The nearest hundredth of a double, half away from zero, decided on the amount's six-decimal
// text ("%f"), so that binary noise below a millionth (1.005 held as 1.00499999...) does not
// turn a half into less. Clamped to the int64_t range; 0 for NaN.
int64_t HundredthsOf(double amount);

}  // namespace ledgerix
