// STL models: a triangle buffer read from a file, placed at the work origin.
#include "korvex.h"
#include "shapes/FigureData.h"
#include "shapes/FigureDrawing.h"
#include "shapes/MeshDrawing.h"
#include "shapes/Placement.h"
#include "shapes/StlReader.h"

#include <cstdlib>
#include <cstring>

namespace {

const float kModelColor[4] = {0, 1, 1, 1};

} // namespace

DQ_API unsigned int dqCreateSTLFromFile(const char* path, double* progress) {
    DQ::StlBuffer stl;
    if (!DQ::readStl(path, progress, stl)) return 0;
    if (!dqGetHighestTag()) {
        std::free(stl.data);
        return 0;
    }
    unsigned tag = DQ::addFigure(dqCClassStl, stl.data);
    if (!tag) return 0;
    dqAllocChild(tag, 0, 0, dqCClassFilePath, path);
    dqAllocChild(tag, 0, 0, dqCClassName, stl.name);
    const float* color = DQ::sessionColor(1);
    dqAllocChild(tag, 0, 0, dqCClassColor, color ? color : kModelColor);

    // New models stand at the machine position of the current work origin.
    double origin[6] = {};
    if (const void* values = DQ::payload(dqGetParamTag(7), sizeof origin))
        std::memcpy(origin, values, sizeof origin);
    double machine[6];
    dqGetMachinePos(origin, machine);
    DQ::Placement place = DQ::Placement::identity();
    std::memcpy(place.position, machine, sizeof place.position);
    dqAllocChild(tag, 0, 0, dqCClassPlacement, &place);
    return tag;
}

DQ_API void dqDrawSTL(unsigned int tag, unsigned int preList, gqCOpenGL& gl) {
    DQ::drawFigure(tag, preList, gl, [&](const DQ::Placement& place) {
        if (dqGetClass(tag) != dqCClassStl) return;
        if (const void* buffer = DQ::payload(tag, 56))
            DQ::drawTriangleBuffer(buffer, DQ::payloadSize(tag), place, gl);
    });
}
