#pragma once
// The weighted sums of the border stencils, one function per row place with
// the column place chosen inside; defined here, inline, so that the solver's
// border loops compile each to the one stencil a run of nodes uses.
// Included by curvature_stencils.hpp after the types it needs.

namespace lumsk::stencil {
namespace border {

// Row 1: nothing lies below.
inline float firstRowSum(const Around& a, EdgePlace column) {
    switch (column) {
        case EdgePlace::first:
            return 2.0f * (a.E() + a.N()) - a.E2() - a.N2();
        case EdgePlace::second:
            return 2.0f * a.W() + 4.0f * (a.E() + a.N()) - a.E2() - a.NW() - a.NE() - a.N2();
        case EdgePlace::middle:
            return 4.0f * (a.W() + a.N() + a.E()) - a.NE() - a.NW() - a.N2() - a.E2() - a.W2();
        case EdgePlace::secondLast:
            return 2.0f * a.E() + 4.0f * (a.W() + a.N()) - a.W2() - a.NE() - a.NW() - a.N2();
        case EdgePlace::last:
            break;
    }
    return 2.0f * (a.N() + a.W()) - a.W2() - a.N2();
}

// Row 2: one row lies below.
inline float secondRowSum(const Around& a, EdgePlace column) {
    switch (column) {
        case EdgePlace::first:
            return 2.0f * a.S() + 4.0f * (a.N() + a.E()) - a.SE() - a.E2() - a.NE() - a.N2();
        case EdgePlace::second:
            return 8.0f * (a.N() + a.E()) + 4.0f * (a.S() + a.W()) - 2.0f * a.NE() - a.SE() - a.NW() -
                   a.E2() - a.N2();
        case EdgePlace::middle:
            return 4.0f * a.S() + 8.0f * (a.W() + a.N() + a.E()) - 2.0f * (a.NW() + a.NE()) - a.SW() -
                   a.SE() - a.N2() - a.E2() - a.W2();
        case EdgePlace::secondLast:
            return 8.0f * (a.N() + a.W()) + 4.0f * (a.S() + a.E()) - 2.0f * a.NW() - a.SW() - a.NE() -
                   a.W2() - a.N2();
        case EdgePlace::last:
            break;
    }
    return 2.0f * a.S() + 4.0f * (a.N() + a.W()) - a.SW() - a.W2() - a.NW() - a.N2();
}

// Rows 3 to NY - 2: only the four outer columns use a border stencil.
inline float sideColumnSum(const Around& a, EdgePlace column) {
    switch (column) {
        case EdgePlace::first:
            return 4.0f * (a.E() + a.N() + a.S()) - a.N2() - a.NE() - a.E2() - a.SE() - a.S2();
        case EdgePlace::second:
            return 4.0f * a.W() + 8.0f * (a.N() + a.E() + a.S()) - 2.0f * (a.NE() + a.SE()) - a.NW() -
                   a.N2() - a.E2() - a.S2() - a.SW();
        case EdgePlace::secondLast:
            return 4.0f * a.E() + 8.0f * (a.N() + a.W() + a.S()) - 2.0f * (a.NW() + a.SW()) - a.SE() -
                   a.S2() - a.W2() - a.N2() - a.NE();
        case EdgePlace::middle:  // interior nodes have stencils of their own
        case EdgePlace::last:
            break;
    }
    return 4.0f * (a.N() + a.W() + a.S()) - a.S2() - a.SW() - a.W2() - a.NW() - a.N2();
}

// Row NY - 1: one row lies above.
inline float secondLastRowSum(const Around& a, EdgePlace column) {
    switch (column) {
        case EdgePlace::first:
            return 2.0f * a.N() + 4.0f * (a.S() + a.E()) - a.S2() - a.SE() - a.E2() - a.NE();
        case EdgePlace::second:
            return 8.0f * (a.E() + a.S()) + 4.0f * (a.W() + a.N()) - 2.0f * a.SE() - a.SW() - a.S2() -
                   a.E2() - a.NE();
        case EdgePlace::middle:
            return 4.0f * a.N() + 8.0f * (a.W() + a.S() + a.E()) - 2.0f * (a.SW() + a.SE()) - a.NW() -
                   a.W2() - a.S2() - a.E2() - a.NE();
        case EdgePlace::secondLast:
            return 8.0f * (a.W() + a.S()) + 4.0f * (a.N() + a.E()) - 2.0f * a.SW() - a.NW() - a.W2() -
                   a.S2() - a.SE();
        case EdgePlace::last:
            break;
    }
    return 2.0f * a.N() + 4.0f * (a.W() + a.S()) - a.S2() - a.SW() - a.W2() - a.NW();
}

// Row NY: nothing lies above.
inline float lastRowSum(const Around& a, EdgePlace column) {
    switch (column) {
        case EdgePlace::first:
            return 2.0f * (a.E() + a.S()) - a.E2() - a.S2();
        case EdgePlace::second:
            return 2.0f * a.W() + 4.0f * (a.E() + a.S()) - a.E2() - a.SE() - a.S2() - a.SW();
        case EdgePlace::middle:
            return 4.0f * (a.W() + a.E() + a.S()) - a.W2() - a.SW() - a.S2() - a.SE() - a.E2();
        case EdgePlace::secondLast:
            return 2.0f * a.E() + 4.0f * (a.W() + a.S()) - a.W2() - a.SW() - a.S2() - a.SE();
        case EdgePlace::last:
            break;
    }
    return 2.0f * (a.W() + a.S()) - a.W2() - a.S2();
}

}  // namespace border

inline float borderWeightedSum(const Around& a, EdgePlace column, EdgePlace row) {
    switch (row) {
        case EdgePlace::first:
            return border::firstRowSum(a, column);
        case EdgePlace::second:
            return border::secondRowSum(a, column);
        case EdgePlace::middle:
            return border::sideColumnSum(a, column);
        case EdgePlace::secondLast:
            return border::secondLastRowSum(a, column);
        case EdgePlace::last:
            break;
    }
    return border::lastRowSum(a, column);
}

}  // namespace lumsk::stencil
