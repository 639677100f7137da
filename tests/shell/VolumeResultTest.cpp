#include "shell/VolumeResult.h"

#include <gtest/gtest.h>

namespace lantrivex::shell {
namespace {

TEST(VolumeResult, RowsInFirstOccurrenceOrderWithShareAndDescription) {
    signatures::SignatureTable table;
    table.colDescriptions.add("XDOCXPR3", "QuarkXPress document");
    table.colExtensions.add("XDOCXPR3", "qxd");
    table.colDescriptions.add("w6bnmswd", "Word 6 document");
    table.colExtensions.add("w6bnmswd", "doc");

    analysis::ScanResult scan;
    scan.signatures = {{"W6BNMSWD", 1}, {"XDOCXPR3", 7}, {"APPLdosa", 0}};
    scan.total = 8;
    const auto rows = buildResultRows(scan, table, ',');
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (ResultRow{1, 12.5, "12,5", "W6BNMSWD", "Word 6 document"}))
        << "the description is found in another letter case";
    EXPECT_EQ(rows[1], (ResultRow{7, 87.5, "87,5", "XDOCXPR3", "QuarkXPress document"}));
    EXPECT_EQ(rows[2], (ResultRow{0, 0, "0", "APPLdosa", ""})) << "no description: empty";
    EXPECT_EQ(totalText(8), "Total: 8");
    EXPECT_EQ(totalText(6000000000LL), "Total: 6000000000");
}

TEST(VolumeResult, ThreeEqualCounts) {
    analysis::ScanResult scan;
    scan.signatures = {{"AAAAAAAA", 1}, {"BBBBBBBB", 1}, {"CCCCCCCC", 1}};
    scan.total = 3;
    for (const auto& row : buildResultRows(scan, signatures::SignatureTable{}, '.')) {
        EXPECT_EQ(row.percentText, "33.33");
        EXPECT_DOUBLE_EQ(row.percent, 33.33);
    }
}

} // namespace
} // namespace lantrivex::shell
