// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/KeyedCollection.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lantrivex::signatures {

// The signature table: Type/Creator signature -> Windows extension and description. Both
// collections hold the same keys in the same order (the file's), compared without regard to
// letter case.
struct SignatureTable {
    KeyedCollection colExtensions;
    KeyedCollection colDescriptions;
    std::int32_t nSignatures = 0; // rows counted by the latest reading of the file
    std::string sSignaturesFile;  // full path of Signatures.txt

    // The description of a signature, or "" when the table has none (letter case ignored).
    std::string_view description(std::string_view signature) const {
        return colDescriptions.value(signature);
    }

    // The table's size: the item count of colDescriptions.
    std::size_t size() const noexcept { return colDescriptions.size(); }

    void clear() {
        colExtensions.clear();
        colDescriptions.clear();
    }
};

} // namespace lantrivex::signatures
