// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WaitProgress.h"

#include <algorithm>

namespace lantrivex::ui {

namespace {

// The bar's steps for a stream: its value is an int, a stream's size need not fit one.
constexpr int kByteSteps = 1000;

} // namespace

WaitProgress::WaitProgress(QWidget* parent) : QProgressBar(parent) {
    setObjectName(QStringLiteral("prgProgress"));
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    hide();
}

void WaitProgress::showMachines(std::uint64_t asked, std::uint64_t total, LanguageFlag nLangue) {
    const auto top = static_cast<int>(std::min<std::uint64_t>(total, 1u << 30));
    setRange(0, std::max(top, 1));
    setValue(static_cast<int>(std::min<std::uint64_t>(asked, static_cast<std::uint64_t>(top))));
    const QString pattern =
        isFrench(nLangue) ? QStringLiteral("%1 sur %2") : QStringLiteral("%1 of %2");
    setFormat(pattern.arg(asked).arg(total));
    show();
}

void WaitProgress::showBytes(std::uint64_t read, std::uint64_t size) {
    setRange(0, kByteSteps);
    const double part =
        size == 0 ? 0.0 : static_cast<double>(std::min(read, size)) / static_cast<double>(size);
    setValue(static_cast<int>(part * kByteSteps));
    setFormat(QStringLiteral("%p%"));
    show();
}

} // namespace lantrivex::ui
