// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace lantrivex {

// The share of `count` in `total` as shown in the result grid: count / total * 100 computed in
// double precision, rounded to two decimals with halves going to the even neighbour, written as
// the shortest text of that value with `decimalSeparator` and no trailing zeros ("50", "12.5",
// "33.33"). "0" when total is 0.
std::string percentText(std::int64_t count, std::int64_t total, char decimalSeparator = '.');

// The same value rounded to two decimals, for sorting by value.
double percentValue(std::int64_t count, std::int64_t total);

} // namespace lantrivex
