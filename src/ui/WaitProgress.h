// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Language.h"

#include <QProgressBar>
#include <cstdint>

namespace lantrivex::ui {

// The progress bar of a status panel, shown while the window waits for its network work: the
// machines asked so far during the discovery ("3 of 10"), the part of an index stream read so far
// during an analysis (a percentage of its size). Hidden otherwise.
class WaitProgress : public QProgressBar {
public:
    explicit WaitProgress(QWidget* parent);

    void showMachines(std::uint64_t asked, std::uint64_t total, LanguageFlag nLangue);
    void showBytes(std::uint64_t read, std::uint64_t size);
};

} // namespace lantrivex::ui
