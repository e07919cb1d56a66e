#pragma once
// ReadBackAmount: an amount as the report grouping sees it after the amount was shown with two
// decimals (FormatAmount) and read back (ParseDecimal): cut, not rounded, to hundredths, with
// the fraction digits added in single precision exactly as ParseDecimal adds them. Computed
// without building the texts; equal, bit for bit, to the text round trip.

namespace ledgerix {

// ParseDecimal(FormatAmount(amount, 2)), negated when the text starts with "-" and the value
// read is not 0. A non-finite amount reads back as 0.
double ReadBackAmount(double amount);

}  // namespace ledgerix
