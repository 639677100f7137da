// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lantrivex::analysis {

// The eight characters of a signature, held in place: a scan keeps one per distinct signature, so
// it takes no more room than the characters themselves.
class Signature {
public:
    static constexpr std::size_t kLength = 8;

    Signature() = default;
    // The first eight characters of `text` (padded with NULs when shorter).
    Signature(std::string_view text) noexcept { text.copy(chars_.data(), kLength); }
    Signature(const std::string& text) noexcept : Signature(std::string_view(text)) {}
    Signature(const char* text) noexcept : Signature(std::string_view(text)) {}

    std::string_view text() const noexcept { return {chars_.data(), kLength}; }
    operator std::string_view() const noexcept { return text(); }

    friend bool operator==(const Signature&, const Signature&) = default;

private:
    std::array<char, kLength> chars_{};
};

std::ostream& operator<<(std::ostream& out, const Signature& signature);

// One distinct signature of a scan: the spelling seen first and its number of occurrences.
struct SignatureCount {
    Signature signature; // eight characters, 0x21..0x7F
    std::int64_t count = 0;
};

// The distinct signatures of a scan, in blocks of memory: the scanner fills them as it finds new
// signatures and hands them over as its result, so that a result of millions of signatures is
// neither copied nor held twice, and growing never needs the old and a larger copy at once. The
// first block starts small and doubles (moving) up to a whole block, so that a short list takes
// little room; every later block is whole from the start and never moves.
class SignatureCounts {
public:
    static constexpr std::size_t kBlockShift = 14; // 16384 signatures (256 KiB) per block
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;

    template <bool Const> class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = SignatureCount;
        using difference_type = std::ptrdiff_t;
        using pointer = std::conditional_t<Const, const SignatureCount*, SignatureCount*>;
        using reference = std::conditional_t<Const, const SignatureCount&, SignatureCount&>;
        using Owner = std::conditional_t<Const, const SignatureCounts, SignatureCounts>;

        Iterator() = default;
        Iterator(Owner* owner, std::size_t at) : owner_(owner), at_(at) {}
        operator Iterator<true>() const { return {owner_, at_}; }

        reference operator*() const { return (*owner_)[at_]; }
        pointer operator->() const { return &(*owner_)[at_]; }
        reference operator[](difference_type n) const { return *(*this + n); }
        Iterator& operator++() { return ++at_, *this; }
        Iterator operator++(int) { return {owner_, at_++}; }
        Iterator& operator--() { return --at_, *this; }
        Iterator operator--(int) { return {owner_, at_--}; }
        Iterator& operator+=(difference_type n) {
            return at_ += static_cast<std::size_t>(n), *this;
        }
        Iterator& operator-=(difference_type n) {
            return at_ -= static_cast<std::size_t>(n), *this;
        }
        friend Iterator operator+(Iterator i, difference_type n) { return i += n; }
        friend Iterator operator+(difference_type n, Iterator i) { return i += n; }
        friend Iterator operator-(Iterator i, difference_type n) { return i -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }
        friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.at_ <=> b.at_; }

    private:
        Owner* owner_ = nullptr;
        std::size_t at_ = 0;
    };
    using value_type = SignatureCount;
    using size_type = std::size_t;
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    SignatureCounts() = default;
    SignatureCounts(std::initializer_list<SignatureCount> counts);
    SignatureCounts(const SignatureCounts& other);
    SignatureCounts& operator=(const SignatureCounts& other);
    SignatureCounts(SignatureCounts&& other) noexcept;
    SignatureCounts& operator=(SignatureCounts&& other) noexcept;
    ~SignatureCounts();

    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    SignatureCount& operator[](std::size_t i) noexcept {
        return blocks_[i >> kBlockShift][i & (kBlockSize - 1)];
    }
    const SignatureCount& operator[](std::size_t i) const noexcept {
        return blocks_[i >> kBlockShift][i & (kBlockSize - 1)];
    }
    iterator begin() noexcept { return {this, 0}; }
    iterator end() noexcept { return {this, size_}; }
    const_iterator begin() const noexcept { return {this, 0}; }
    const_iterator end() const noexcept { return {this, size_}; }

    // The new last signature, its count 0. While the list is shorter than a block, this may move
    // the signatures already in it.
    SignatureCount& emplace_back(const Signature& signature) {
        if (size_ == capacity()) {
            grow();
        }
        SignatureCount& added = (*this)[size_++];
        added.signature = signature;
        added.count = 0;
        return added;
    }
    void push_back(const SignatureCount& count) {
        emplace_back(count.signature).count = count.count;
    }
    // Makes the list `n` signatures long: new ones are empty with count 0.
    void resize(std::size_t n);
    void clear() noexcept;
    void swap(SignatureCounts& other) noexcept;

    // The signatures of `first` and `second` taken in turn as `fromSecond` says (bit i % 64 of word
    // i / 64 set: the i-th signature is the next one of `second`), the two lists emptied on the
    // way. Their blocks are used again as they are emptied, so the whole takes no new memory but a
    // block or two.
    static SignatureCounts interleave(SignatureCounts&& first, SignatureCounts&& second,
                                      const std::vector<std::uint64_t>& fromSecond);

    friend bool operator==(const SignatureCounts& a, const SignatureCounts& b);

private:
    std::size_t capacity() const noexcept {
        return blocks_.empty() ? 0 : firstCapacity_ + ((blocks_.size() - 1) << kBlockShift);
    }
    // Room for one more: the first block doubled, or a whole block more.
    void grow();
    // A whole block at the end, where the list ends at its capacity.
    void addBlock(std::unique_ptr<SignatureCount[]> block);

    std::vector<std::unique_ptr<SignatureCount[]>> blocks_;
    std::size_t firstCapacity_ = 0; // kBlockSize once there is a second block
    std::size_t size_ = 0;
};

} // namespace lantrivex::analysis
