// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/SignatureCounts.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <utility>

namespace lantrivex::analysis {

std::ostream& operator<<(std::ostream& out, const Signature& signature) {
    return out << signature.text();
}

SignatureCounts::SignatureCounts(std::initializer_list<SignatureCount> counts) {
    for (const SignatureCount& c : counts) {
        push_back(c);
    }
}

SignatureCounts::SignatureCounts(const SignatureCounts& other) {
    for (std::size_t b = 0; b < other.blocks_.size(); ++b) {
        const std::size_t n = std::min(kBlockSize, other.size_ - (b << kBlockShift));
        const std::size_t room = b == 0 ? other.firstCapacity_ : kBlockSize;
        blocks_.push_back(std::make_unique_for_overwrite<SignatureCount[]>(room));
        std::copy_n(other.blocks_[b].get(), n, blocks_[b].get());
    }
    firstCapacity_ = other.firstCapacity_;
    size_ = other.size_;
}

SignatureCounts& SignatureCounts::operator=(const SignatureCounts& other) {
    if (this != &other) {
        SignatureCounts copy(other);
        swap(copy);
    }
    return *this;
}

SignatureCounts::SignatureCounts(SignatureCounts&& other) noexcept
    : blocks_(std::move(other.blocks_)), firstCapacity_(std::exchange(other.firstCapacity_, 0)),
      size_(std::exchange(other.size_, 0)) {
    other.blocks_.clear();
}

SignatureCounts& SignatureCounts::operator=(SignatureCounts&& other) noexcept {
    SignatureCounts taken(std::move(other));
    swap(taken);
    return *this;
}

SignatureCounts::~SignatureCounts() = default;

void SignatureCounts::grow() {
    if (firstCapacity_ < kBlockSize) {
        const std::size_t room =
            std::min(kBlockSize, std::max<std::size_t>(16, 2 * firstCapacity_));
        auto first = std::make_unique_for_overwrite<SignatureCount[]>(room);
        std::copy_n(blocks_.empty() ? nullptr : blocks_[0].get(), size_, first.get());
        if (blocks_.empty()) {
            blocks_.push_back(std::move(first));
        } else {
            blocks_[0] = std::move(first);
        }
        firstCapacity_ = room;
    } else {
        addBlock(std::make_unique_for_overwrite<SignatureCount[]>(kBlockSize));
    }
}

void SignatureCounts::addBlock(std::unique_ptr<SignatureCount[]> block) {
    blocks_.push_back(std::move(block));
    if (blocks_.size() == 1) {
        firstCapacity_ = kBlockSize;
    }
}

void SignatureCounts::resize(std::size_t n) {
    while (size_ < n) {
        emplace_back(Signature());
    }
    size_ = n;
    blocks_.resize((n + kBlockSize - 1) >> kBlockShift);
    if (blocks_.empty()) {
        firstCapacity_ = 0;
    }
}

void SignatureCounts::clear() noexcept {
    blocks_.clear();
    firstCapacity_ = 0;
    size_ = 0;
}

void SignatureCounts::swap(SignatureCounts& other) noexcept {
    blocks_.swap(other.blocks_);
    std::swap(firstCapacity_, other.firstCapacity_);
    std::swap(size_, other.size_);
}

SignatureCounts SignatureCounts::interleave(SignatureCounts&& first, SignatureCounts&& second,
                                            const std::vector<std::uint64_t>& fromSecond) {
    SignatureCounts out;
    const std::array<SignatureCounts*, 2> from{&first, &second};
    std::array<std::size_t, 2> taken{0, 0};
    std::vector<std::unique_ptr<SignatureCount[]>> emptied;
    const std::size_t n = first.size_ + second.size_;
    for (std::size_t i = 0; i < n; ++i) {
        const auto side = static_cast<std::size_t>((fromSecond[i / 64] >> (i % 64)) & 1u);
        SignatureCounts& source = *from[side];
        const SignatureCount next = source[taken[side]++];
        const std::size_t block = (taken[side] - 1) >> kBlockShift;
        if (((taken[side] & (kBlockSize - 1)) == 0 || taken[side] == source.size_) &&
            (block > 0 || source.firstCapacity_ == kBlockSize)) { // only whole blocks serve again
            emptied.push_back(std::move(source.blocks_[block]));
        }
        if (out.size_ == out.capacity()) {
            if (emptied.empty() || (!out.blocks_.empty() && out.firstCapacity_ < kBlockSize)) {
                out.grow();
            } else {
                out.addBlock(std::move(emptied.back()));
                emptied.pop_back();
            }
        }
        out[out.size_++] = next;
    }
    first.clear();
    second.clear();
    return out;
}

bool operator==(const SignatureCounts& a, const SignatureCounts& b) {
    if (a.size_ != b.size_) {
        return false;
    }
    for (std::size_t i = 0; i < a.size_; ++i) {
        if (a[i].signature != b[i].signature || a[i].count != b[i].count) {
            return false;
        }
    }
    return true;
}

} // namespace lantrivex::analysis
