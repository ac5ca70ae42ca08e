// One pass of the CL path drawing: a visitor of the one walk over the CL
// buffer that draws what its pass is for (line strips, end points,
// tool-axis vectors or markers) for the moves its filter lets through.
#pragma once

#include "machining/ClDrawFrame.h"
#include "machining/ClDrawSettings.h"
#include "machining/ClMarkers.h"
#include "machining/ClMoveSubdivision.h"
#include "machining/ClWalk.h"

namespace DQ {

enum class ClMoveFilter {
    Cutting, // linear moves and arcs
    Rapid,
    All,
};

enum class ClDrawKind {
    Strips,
    EndPoints,
    ToolAxis,
    Markers,
};

class ClDrawPass final : public ClWalkVisitor, ClPoseSink {
public:
    ClDrawPass(const ClDrawSettings& settings, const ClDrawFrame& frame, gqCOpenGL& context,
               ClMoveFilter filter, ClDrawKind kind);

    void visit(const ClWalkStep& step) override;
    // Closes the primitive left open by the last record.
    void finish();

private:
    void pose(const ClPose6& pose) override;
    void vertexOf(const ClPose& pose);
    void toolAxis(const ClPose& pose);
    void begin(GLenum primitive);
    void close();

    const ClDrawSettings& s_;
    const ClDrawFrame& frame_;
    gqCOpenGL& gl_;
    ClMoveFilter filter_;
    ClDrawKind kind_;
    ClSubdivision steps_;
    ClMarkers markers_;
    bool viewBox_;
    bool open_ = false;  // a primitive is open
    bool begun_ = false; // one has been begun in this pass
};

} // namespace DQ
