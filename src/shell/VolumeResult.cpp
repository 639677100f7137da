// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/VolumeResult.h"

#include "common/PercentText.h"

namespace lantrivex::shell {

std::vector<ResultRow> buildResultRows(const analysis::ScanResult& scan,
                                       const signatures::SignatureTable& table,
                                       char decimalSeparator) {
    std::vector<ResultRow> rows;
    rows.reserve(scan.signatures.size());
    for (const auto& s : scan.signatures) {
        ResultRow row;
        row.count = s.count;
        row.percent = percentValue(s.count, scan.total);
        row.percentText = percentText(s.count, scan.total, decimalSeparator);
        row.signature = s.signature;
        row.description = std::string(table.description(s.signature));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string totalText(std::int64_t total) {
    return "Total: " + std::to_string(total);
}

} // namespace lantrivex::shell
