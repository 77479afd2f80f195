#include "tarnby/model_grids.hpp"

#include <array>
#include <string_view>

#include "common/output_guard.hpp"
#include "tarnby/diagnostics.hpp"
#include "tarnby/grid_geometry.hpp"

namespace tarnby {

namespace {

// Names are handed to the library in blank-padded fields of 80 characters.
constexpr std::size_t kNameField = 80;

std::string paddedName(std::string name) {
    if (name.size() < kNameField) name.append(kNameField - name.size(), ' ');
    return name;
}

// The point data file's name ends at a NUL, as the library's file calls take it.
std::string pointDataField() {
    std::string field(kPointDataFileName);
    field.push_back('\0');
    return paddedName(std::move(field));
}

struct ModelGrid {
    int grid;                 // 1, 2 or 3: decides the file name
    std::string_view message; // shown before the grid is made
    std::int32_t ZCHAN;
    lumsk::ValueTransform ITRANS;
};

}  // namespace

MincCall libraryMinc(lumsk::Gridder& gridder) {
    return [&gridder](lumsk::MincRequest& request) { gridder.MINC(request); };
}

bool makeModelGrids(const ModelData& model, std::string_view modelName, const WalkExtents& extents,
                    common::Console& console, const MincCall& minc, std::span<const std::string> keptFiles) {
    // With topography and no value kept (or no finite elevation among those
    // kept), the elevations were never gathered: there is no row range to
    // grid over.
    if (model.hasTopography && !(extents.ZLO <= extents.ZHI)) {
        reportDiagnostic(extents.rowCount == 0 ? "no model value lies in the conductivity range; no grid made"
                                               : "no point has an elevation that is a finite number; no grid made");
        return false;
    }
    const GridGeometry geometry = modelGridGeometry(model.NSOUND, model.layers, extents);
    const bool conductivity = model.kind == ModelKind::conductivity;

    lumsk::MincRequest call;
    call.X0 = geometry.X0;
    call.Y0 = geometry.Y0;
    call.DX = geometry.DX;
    call.DY = geometry.DY;
    call.NCOL = geometry.NCOL;
    call.NROW = geometry.NROW;
    call.RADIUS = geometry.RADIUS;
    call.DATFIL = pointDataField();
    call.DNULL = kNullValue;
    call.MAXCHN = conductivity ? 3 : 1;
    call.KXFLAG = lumsk::kRowsFirstToLast;
    call.ANGLE = 0.0f;
    // ISTAT is not reset between the grids: each call starts with what the
    // previous one left, 0 or a failure, and either selects the default
    // iteration limit.
    call.ISTAT = 0;

    // Susceptibilities are gridded as logarithms only when all are positive.
    using lumsk::ValueTransform;
    const ValueTransform firstTransform =
        conductivity || extents.VMIN > 0.0f ? ValueTransform::naturalLog : ValueTransform::asIs;
    const std::array<ModelGrid, 3> grids{{
        {1, conductivity ? " Gridding conductivity data" : " Gridding susceptibility data", 1,
         firstTransform},
        {2, " Gridding resistivity", 2, ValueTransform::naturalLog},
        {3, " Gridding log resistivity", 3, ValueTransform::asIs},
    }};

    bool allMade = true;
    for (const ModelGrid& grid : grids) {
        if (grid.grid > 1 && !conductivity) break;
        const std::string name = modelGridName(modelName, grid.grid);
        call.OUTGRD = paddedName(name);
        call.ZCHAN = grid.ZCHAN;
        call.ITRANS = grid.ITRANS;
        console.listLine(grid.message);
        if (const std::string clash = common::outputClash(name, keptFiles); !clash.empty()) {
            reportDiagnostic("grid " + name + " not made: " + clash);
            allMade = false;
            continue;
        }
        minc(call);
        if (call.ISTAT < 0) {
            reportDiagnostic("grid " + name + " not made: gridding status " +
                             std::to_string(call.ISTAT));
            allMade = false;
        }
    }
    return allMade;
}

}  // namespace tarnby
