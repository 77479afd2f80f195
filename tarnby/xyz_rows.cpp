#include "tarnby/xyz_rows.hpp"

#include "common/edit_format.hpp"

namespace tarnby {

std::string_view xyzHeaderLine(ModelKind kind, bool hasTopography) {
    if (kind == ModelKind::conductivity) {
        return hasTopography ? "Dist,East,North,Depth,RL,Con,Res,LogRes"
                             : "Dist,East,North,Depth,Con,Res,LogRes";
    }
    return hasTopography ? "Dist,East,North,Depth,RL,Susc" : "Dist,East,North,Depth,Susc";
}

void appendXyzRow(std::string& out, const XyzRow& row, bool hasTopography) {
    common::appendF(out, row.DIST, 10, 1);
    out.push_back(',');
    common::appendF(out, row.EAST, 10, 1);
    out.push_back(',');
    common::appendF(out, row.NORTH, 10, 1);
    out.push_back(',');
    common::appendF(out, row.DEPTH, 9, 2);
    if (hasTopography) {
        out.push_back(',');
        common::appendF(out, row.RL, 9, 2);
    }
    for (const float value : row.values) {
        out.push_back(',');
        common::appendE(out, value, 12, 4);
    }
    out.push_back('\n');
}

}  // namespace tarnby
