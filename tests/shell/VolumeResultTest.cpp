// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/VolumeResult.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(VolumeResult, RowsInFirstOccurrenceOrderWithShareAndDescription) {
    signatures::SignatureTable table;
    table.colDescriptions.add("XDOCXPR3", "QuarkXPress document");
    table.colDescriptions.add("w6bnmswd", "Word 6 document");
    analysis::ScanResult scan;
    scan.signatures = {{"W6BNMSWD", 1}, {"XDOCXPR3", 7}, {"APPLdosa", 0}};
    scan.total = 8;
    EXPECT_EQ(buildResultRows(scan, table, ','),
              (std::vector<ResultRow>{{1, 12.5, "12,5", "W6BNMSWD", "Word 6 document"},
                                      {7, 87.5, "87,5", "XDOCXPR3", "QuarkXPress document"},
                                      {0, 0, "0", "APPLdosa", ""}}));
    scan.signatures = {{"AAAAAAAA", 1}, {"BBBBBBBB", 2}};
    scan.total = 3;
    const auto rows = buildResultRows(scan, table, '.');
    EXPECT_EQ(rows[0].percentText, "33.33");
    EXPECT_DOUBLE_EQ(rows[0].percent, 33.33) << "the share sorts on its rounded value";
}

} // namespace
} // namespace lantrivex::shell
