#include "lumsk/outline_clip.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "common/float_to_int.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/mask_rows.hpp"
#include "lumsk/radius_mask.hpp"

namespace lumsk {

namespace {

// The four sides of the clip outline, in the order they are built. Along a
// side the points step through columns (bottom, top) or rows (right, left);
// the cross coordinate is the row (bottom, top) or column (right, left) where
// the data end. Bottom and left lie on the low side of the data, so moving
// their cross coordinate outward lowers it; right and top raise it.
enum Side : int { bottom = 0, right = 1, top = 2, left = 3 };
constexpr std::array<Side, 4> kSides = {bottom, right, top, left};

bool outwardIsLower(Side side) { return side == bottom || side == left; }
bool alongIsColumn(Side side) { return side == bottom || side == top; }

// Arithmetic of the outline is done in single precision on integer inputs and
// cut back to integers by truncation.
std::int32_t truncated(float value) { return common::truncateToInt32(value); }

class OutlineClipper {
public:
    OutlineClipper(const MincState& state, common::RawFile& file, std::int32_t MC, std::int32_t MR,
                   std::int32_t r, std::int32_t MAXOUT, std::int32_t* IBUF, std::int32_t* IRSPAN,
                   std::int32_t* ICSPAN, std::int32_t* IOUTL)
        : state_(state), file_(file), MC_(MC), MR_(MR), r_(r), h_(std::max(r / 2, 1)),
          MAXOUT_(MAXOUT), row_(IBUF), rowSpans_(IRSPAN), columnSpans_(ICSPAN), outline_(IOUTL) {}

    // The whole clip; false when the outline does not fit MAXOUT points.
    bool run() {
        clearSpans();
        findExtents();
        bool fits = true;
        if (!buildOutline(fits)) return fits;
        spansFromOutline();
        clip();
        return true;
    }

private:
    // --- spans -------------------------------------------------------------
    std::int32_t& rowLow(std::int32_t i) { return rowSpans_[2 * (i - 1)]; }
    std::int32_t& rowHigh(std::int32_t i) { return rowSpans_[2 * (i - 1) + 1]; }
    std::int32_t& columnLow(std::int32_t j) { return columnSpans_[2 * (j - 1)]; }
    std::int32_t& columnHigh(std::int32_t j) { return columnSpans_[2 * (j - 1) + 1]; }
    bool rowSpanEmpty(std::int32_t i) { return rowLow(i) > rowHigh(i); }
    bool columnSpanEmpty(std::int32_t j) { return columnLow(j) > columnHigh(j); }

    std::int32_t firstExamined() const { return r_; }
    std::int32_t lastExaminedRow() const { return MR_ - r_ + 1; }
    std::int32_t lastExaminedColumn() const { return MC_ - r_ + 1; }

    void clearSpans() {
        for (std::int32_t i = 1; i <= MR_; ++i) {
            rowLow(i) = MC_ + 1;
            rowHigh(i) = 0;
        }
        for (std::int32_t j = 1; j <= MC_; ++j) {
            columnLow(j) = MR_ + 1;
            columnHigh(j) = 0;
        }
    }

    // --- step 1: extents of the data cells ----------------------------------
    void findExtents() {
        MaskRowReader reader(state_, file_, MC_, firstExamined(), lastExaminedRow());
        // The data cells of a row are listed without branches first: they
        // lie scattered, and a test per cell mispredicts at every other one.
        std::vector<std::int32_t> dataColumns(static_cast<std::size_t>(std::max(MC_, 0)));
        for (std::int32_t i = firstExamined(); i <= lastExaminedRow(); ++i) {
            const std::int32_t* row = reader.row(i);
            if (row == nullptr) continue;  // noted; the call fails
            std::size_t listed = 0;
            for (std::int32_t j = firstExamined(); j <= lastExaminedColumn(); ++j) {
                dataColumns[listed] = j;
                listed += row[j - 1] == kMaskData ? 1 : 0;
            }
            for (std::size_t k = 0; k < listed; ++k) widenForDataCell(i, dataColumns[k]);
        }
    }

    // A data cell widens its row's and column's span by one cell each side; a
    // cell closer than h to the start or end of the examined range stretches
    // the span to the mask edge, so that nodes by the grid edge are kept.
    void widenForDataCell(std::int32_t i, std::int32_t j) {
        const bool wide = state_.build == LibraryBuild::wideOutline;
        const bool hasRowBelow = i > firstExamined();
        const bool hasRowAbove = i < lastExaminedRow();
        const bool hasColumnLeft = j > firstExamined();
        const bool hasColumnRight = j < lastExaminedColumn();

        if (j < rowLow(i)) {
            const std::int32_t newLow = j - r_ < h_ ? 1 : std::max(j - 1, 1);
            rowLow(i) = newLow;
            // The edge value 1 is the smallest there is, so combining gives
            // it as well.
            if (wide && hasRowBelow) rowLow(i - 1) = std::min(rowLow(i - 1), newLow);
            if (wide && hasRowAbove) rowLow(i + 1) = std::min(rowLow(i + 1), newLow);
        }
        if (j > rowHigh(i)) {
            const std::int32_t newHigh = lastExaminedColumn() - j < h_ ? MC_ : std::min(j + 1, MC_);
            rowHigh(i) = newHigh;
            if (wide && hasRowBelow) rowHigh(i - 1) = std::max(rowHigh(i - 1), newHigh);
            if (wide && hasRowAbove) rowHigh(i + 1) = std::max(rowHigh(i + 1), newHigh);
        }
        // The neighbouring columns take the new bound as it is, whatever
        // they held.
        if (i < columnLow(j)) {
            const std::int32_t newLow = i - r_ < h_ ? 1 : std::max(i - 1, 1);
            columnLow(j) = newLow;
            if (wide && hasColumnLeft) columnLow(j - 1) = newLow;
            if (wide && hasColumnRight) columnLow(j + 1) = newLow;
        }
        if (i > columnHigh(j)) {
            const std::int32_t newHigh = lastExaminedRow() - i < h_ ? MR_ : std::min(i + 1, MR_);
            columnHigh(j) = newHigh;
            if (wide && hasColumnLeft) columnHigh(j - 1) = newHigh;
            if (wide && hasColumnRight) columnHigh(j + 1) = newHigh;
        }
    }

    // --- the clip outline ---------------------------------------------------
    std::int32_t& pointX(std::int32_t k) { return outline_[2 * (k - 1)]; }
    std::int32_t& pointY(std::int32_t k) { return outline_[2 * (k - 1) + 1]; }
    std::int32_t along(Side side, std::int32_t k) { return alongIsColumn(side) ? pointX(k) : pointY(k); }
    std::int32_t& cross(Side side, std::int32_t k) { return alongIsColumn(side) ? pointY(k) : pointX(k); }

    static void pushOutward(Side side, std::int32_t& bound, std::int32_t value) {
        bound = outwardIsLower(side) ? std::min(bound, value) : std::max(bound, value);
    }

    // The span end that a side works on, for column or row `a`.
    std::int32_t& spanBound(Side side, std::int32_t a) {
        switch (side) {
            case bottom: return columnLow(a);
            case right: return rowHigh(a);
            case top: return columnHigh(a);
            case left: break;
        }
        return rowLow(a);
    }

    std::int32_t emptyBound(Side side) const {
        switch (side) {
            case bottom: return MR_ + 1;
            case right: return 0;
            case top: return 0;
            case left: break;
        }
        return MC_ + 1;
    }

    // The limit of the examined range on a side's outer edge.
    std::int32_t outerLimit(Side side) const {
        switch (side) {
            case bottom: return r_;
            case right: return lastExaminedColumn();
            case top: return lastExaminedRow();
            case left: break;
        }
        return r_;
    }

    bool append(Side side, std::int32_t x, std::int32_t y) {
        if (count_ >= MAXOUT_) return false;
        ++count_;
        pointX(count_) = x;
        pointY(count_) = y;
        closeBays(side, count_);
        return true;
    }

    // Builds the four sides. False when the clip ends here: the bottom side
    // holds a single point (the mask stays as it is), or the outline would
    // not fit (`fits` false).
    bool buildOutline(bool& fits) {
        count_ = 0;
        const std::int32_t first = firstExamined();
        for (Side side : kSides) {
            sideFirst_[side] = count_ + 1;
            switch (side) {
                case bottom:
                    for (std::int32_t j = first; j <= lastExaminedColumn() && fits; ++j)
                        if (!columnSpanEmpty(j)) fits = append(side, j, columnLow(j));
                    break;
                case right:
                    for (std::int32_t i = first; i <= lastExaminedRow() && fits; ++i)
                        if (!rowSpanEmpty(i)) fits = append(side, rowHigh(i), i);
                    break;
                case top:
                    for (std::int32_t j = lastExaminedColumn(); j >= first && fits; --j)
                        if (!columnSpanEmpty(j)) fits = append(side, j, columnHigh(j));
                    break;
                case left:
                    for (std::int32_t i = lastExaminedRow(); i >= first && fits; --i)
                        if (!rowSpanEmpty(i)) fits = append(side, rowLow(i), i);
                    break;
            }
            if (!fits) return false;
            sideLast_[side] = count_;
            if (side == bottom && count_ == 1) return false;
        }
        return true;
    }

    // Bay closing after point k is appended: an earlier point m of the side
    // within the radius of k is joined to it by a chord, and the points in
    // between move out to the chord, so a bay with a mouth no wider than the
    // radius keeps its reach.
    void closeBays(Side side, std::int32_t k) {
        const std::int32_t first = sideFirst_[side];
        const float radius = static_cast<float>(r_);
        for (std::int32_t m = k - 2; m >= first; --m) {
            if (std::abs(along(side, k) - along(side, m)) > r_) break;
            const float dx = static_cast<float>(pointX(k) - pointX(m));
            const float dy = static_cast<float>(pointY(k) - pointY(m));
            if (std::sqrt(dx * dx + dy * dy) > radius) continue;
            const float alongSpan = static_cast<float>(along(side, k) - along(side, m));
            const std::int32_t crossRise = cross(side, k) - cross(side, m);
            for (std::int32_t p = m + 1; p <= k - 1; ++p) {
                const float product = static_cast<float>((along(side, p) - along(side, m)) * crossRise);
                const std::int32_t q = truncated(static_cast<float>(cross(side, m)) + product / alongSpan);
                pushOutward(side, cross(side, p), q);
            }
        }
    }

    // --- step 3: spans from the outline -------------------------------------
    void spansFromOutline() {
        for (Side side : kSides) {
            const std::int32_t last = sideLast_[side];
            for (std::int32_t L = sideFirst_[side]; L <= last; ++L) {
                pushOutward(side, spanBound(side, along(side, L)), cross(side, L));
                if (L == last) continue;
                if (std::abs(along(side, L + 1) - along(side, L)) > r_) {
                    emptyBetween(side, along(side, L), along(side, L + 1));
                    continue;
                }
                for (std::int32_t J = L + 1; J <= last; ++J) {
                    if (std::abs(along(side, J) - along(side, L)) > r_) break;
                    bridge(side, L, J);
                }
            }
        }
    }

    // A gap wider than the radius is not bridged: the columns or rows inside
    // it lose this side's bound.
    void emptyBetween(Side side, std::int32_t a0, std::int32_t a1) {
        for (std::int32_t a = std::min(a0, a1) + 1; a < std::max(a0, a1); ++a) {
            spanBound(side, a) = emptyBound(side);
        }
    }

    // A straight run from L to J, its ends held back by arcs of the radius
    // around each point, pushes the bounds of the columns or rows it crosses.
    void bridge(Side side, std::int32_t L, std::int32_t J) {
        const std::int32_t aL = along(side, L);
        const std::int32_t aJ = along(side, J);
        const std::int32_t d = std::abs(aJ - aL);
        const float rest = std::max(static_cast<float>(r_ * r_ - d * d), 0.0f);
        const std::int32_t s = truncated(std::sqrt(rest));
        const std::int32_t cL = cross(side, L);
        const std::int32_t cJ = cross(side, J);
        const std::int32_t limit = outerLimit(side);
        std::int32_t eL = 0;
        std::int32_t eJ = 0;
        if (outwardIsLower(side)) {
            eL = std::max({limit, cJ - s, cL});
            eJ = std::max({limit, cL - s, cJ});
        } else {
            eL = std::min({limit, cJ + s, cL});
            eJ = std::min({limit, cL + s, cJ});
        }
        const float alongSpan = static_cast<float>(aJ - aL);
        const std::int32_t step = aJ > aL ? 1 : -1;
        for (std::int32_t a = aL;; a += step) {
            const float product = static_cast<float>((a - aL) * (eJ - eL));
            pushOutward(side, spanBound(side, a), truncated(static_cast<float>(eL) + product / alongSpan));
            if (a == aJ) break;
        }
    }

    // --- step 4: clipping ---------------------------------------------------
    void clip() {
        const std::int32_t first = firstExamined();
        for (std::int32_t i = first; i <= lastExaminedRow(); ++i) {
            --rowLow(i);
            ++rowHigh(i);
        }
        for (std::int32_t j = first; j <= lastExaminedColumn(); ++j) {
            --columnLow(j);
            ++columnHigh(j);
        }
        MaskRowReader reader(state_, file_, MC_, first, lastExaminedRow());
        MaskRowWriter writer(state_, file_, MC_);
        for (std::int32_t i = first; i <= lastExaminedRow(); ++i) {
            const std::int32_t* read = reader.row(i);
            if (read == nullptr) continue;  // noted; the call fails
            std::copy_n(read, MC_, row_);
            // Without branches, so that the row is cleared a vector at a time;
            // a row in which no code changed already stands in the file.
            std::int32_t cleared = 0;
            const std::int32_t low = rowLow(i);
            const std::int32_t high = rowHigh(i);
            for (std::int32_t j = first; j <= lastExaminedColumn(); ++j) {
                const bool inColumnSpan = columnLow(j) <= i && i <= columnHigh(j);
                const bool inRowSpan = low <= j && j <= high;
                const bool keep = inColumnSpan && inRowSpan;
                const std::int32_t code = row_[j - 1];
                row_[j - 1] = keep ? code : kMaskBlank;
                cleared += (!keep && code != kMaskBlank) ? 1 : 0;
            }
            if (cleared > 0) writer.write(i, row_);
        }
    }

    const MincState& state_;
    common::RawFile& file_;
    std::int32_t MC_;
    std::int32_t MR_;
    std::int32_t r_;
    std::int32_t h_;  // edge snap distance
    std::int32_t MAXOUT_;
    std::int32_t* row_;
    std::int32_t* rowSpans_;
    std::int32_t* columnSpans_;
    std::int32_t* outline_;
    std::int32_t count_ = 0;
    std::array<std::int32_t, 4> sideFirst_{};
    std::array<std::int32_t, 4> sideLast_{};
};

}  // namespace

std::int32_t outlineCapacityNeeded(std::int32_t MC, std::int32_t MR, std::int32_t r) {
    return 2 * (MC - 2 * r + 2) + 2 * (MR - 2 * r + 2);
}

bool RADCLP(const MincState& state, common::RawFile& MHAND, std::int32_t MCOLS, std::int32_t MROWS,
            std::int32_t NWIN, std::int32_t MAXOUT, std::int32_t* IBUF, std::int32_t* IRSPAN,
            std::int32_t* ICSPAN, std::int32_t* IOUTL) {
    std::int32_t MC = 0;
    std::int32_t MR = 0;
    readMaskSize(MHAND, MC, MR);
    if (MC > MCOLS || MR > MROWS || MC < 0 || MR < 0) return false;
    const std::int32_t r = searchWindowHalfWidth(NWIN);
    // Without a window there is no examined range to clip (rows r..MR-r+1
    // would reach the header record).
    if (r < 1) return true;
    OutlineClipper clipper(state, MHAND, MC, MR, r, MAXOUT, IBUF, IRSPAN, ICSPAN, IOUTL);
    return clipper.run();
}

}  // namespace lumsk
