// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/IndexScanner.h"
#include "signatures/SignatureTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lantrivex::shell {

// One row of a volume's result grid.
struct ResultRow {
    std::int64_t count = 0;
    double percent = 0;      // the share, rounded to two decimals: what "%" sorts on
    std::string percentText; // the share as shown, with the locale's decimal separator
    std::string signature;
    std::string description; // from the signature table, "" when it has none

    friend bool operator==(const ResultRow&, const ResultRow&) = default;
};

// The rows of a scan, in the order of first occurrence, each with its count, share of the total
// and description (looked up without regard to letter case).
std::vector<ResultRow> buildResultRows(const analysis::ScanResult& scan,
                                       const signatures::SignatureTable& table,
                                       char decimalSeparator);

// The total line: "Total: " and the number of occurrences in plain decimal digits.
std::string totalText(std::int64_t total);

} // namespace lantrivex::shell
