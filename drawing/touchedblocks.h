#pragma once

// The record of which parts of an image have been drawn on: per pixel row, a set of blocks of
// neighbouring pixels. Clearing or copying a picture then only needs to visit the blocks that
// were touched, instead of every pixel of the frame.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace circles {

class TouchedBlocks {
public:
    /// Room for an image of width x height pixels, nothing touched. Blocks are the narrowest
    /// power of two wide that lets one row's blocks fit in 64 bits: 8 pixels for a row of 400,
    /// 16 for a row of 800.
    TouchedBlocks(int width, int height)
        : rows_(static_cast<std::size_t>(std::max(height, 0)), 0), width_(width) {
        while ((static_cast<long long>(width_) + (1LL << shift_) - 1) >> shift_ > 64) {
            ++shift_;
        }
    }

    int width() const { return width_; }
    int height() const { return static_cast<int>(rows_.size()); }

    /// Marks pixels left to right (inclusive) of row y; the range must lie inside the image.
    void Mark(int y, int left, int right) {
        const int first = left >> shift_;
        const int last = right >> shift_;
        // Bits first..last; shifting by 64 is undefined, so the full mask is built in two steps.
        const std::uint64_t upTo = (std::uint64_t{2} << last) - 1;
        rows_[static_cast<std::size_t>(y)] |= upTo & (~std::uint64_t{0} << first);
    }

    /// Marks pixel (x, y), which must lie inside the image.
    void MarkPixel(int x, int y) {
        rows_[static_cast<std::size_t>(y)] |= std::uint64_t{1} << (x >> shift_);
    }

    /// Marks the rectangle [left, right] x [top, bottom] (inclusive), clipped to the image.
    void MarkRect(int left, int top, int right, int bottom) {
        left = std::max(left, 0);
        right = std::min(right, width_ - 1);
        top = std::max(top, 0);
        bottom = std::min(bottom, height() - 1);
        if (left > right) {
            return;
        }
        for (int y = top; y <= bottom; ++y) {
            Mark(y, left, right);
        }
    }

    void MarkAll() { MarkRect(0, 0, width_ - 1, height() - 1); }
    void Clear() { std::fill(rows_.begin(), rows_.end(), 0); }

    /// Adds every block marked in `other`, which must describe an image of the same size.
    void Add(const TouchedBlocks& other) {
        for (std::size_t y = 0; y < rows_.size(); ++y) {
            rows_[y] |= other.rows_[y];
        }
    }

    /// Makes this record equal to `other`, which must describe an image of the same size.
    void Assign(const TouchedBlocks& other) {
        std::copy(other.rows_.begin(), other.rows_.end(), rows_.begin());
    }

    /// Calls visit(y, left, right) for each run of neighbouring blocks touched in `a` or `b`
    /// (records of images of the same size), as in ForEachRun.
    template <typename Visit>
    static void ForEachRunOfEither(const TouchedBlocks& a, const TouchedBlocks& b, Visit visit) {
        for (std::size_t y = 0; y < a.rows_.size(); ++y) {
            VisitRuns(a.rows_[y] | b.rows_[y], static_cast<int>(y), a.shift_, a.width_, visit);
        }
    }

    /// Calls visit(y, left, right) for each run of neighbouring touched blocks of each row,
    /// as the pixel range [left, right) clipped to the image.
    template <typename Visit>
    void ForEachRun(Visit visit) const {
        for (std::size_t y = 0; y < rows_.size(); ++y) {
            VisitRuns(rows_[y], static_cast<int>(y), shift_, width_, visit);
        }
    }

private:
    template <typename Visit>
    static void VisitRuns(std::uint64_t bits, int y, int shift, int width, Visit& visit) {
        while (bits != 0) {
            const int first = std::countr_zero(bits);
            const int length = std::countr_one(bits >> first);
            bits = length + first >= 64 ? 0 : bits & (~std::uint64_t{0} << (first + length));
            visit(y, first << shift, std::min(width, (first + length) << shift));
        }
    }

    std::vector<std::uint64_t> rows_;
    int width_;
    int shift_ = 0;
};

}  // namespace circles
