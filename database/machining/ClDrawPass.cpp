#include "machining/ClDrawPass.h"

namespace DQ {
namespace {

ClPose6 drawnPose(const ClPose& pose) {
    ClPose6 p;
    for (int i = 0; i < 6; ++i) p.v[i] = pose.v[i];
    return p;
}

} // namespace

ClDrawPass::ClDrawPass(const ClDrawSettings& settings, const ClDrawFrame& frame,
                       gqCOpenGL& context, ClMoveFilter filter, ClDrawKind kind)
    : s_(settings), frame_(frame), gl_(context), filter_(filter), kind_(kind),
      steps_{settings.params[kParamArcStep], settings.params[kParamRotaryStep], frame.shiftType()},
      markers_(settings, frame, context), viewBox_(context.mode == gqCOpenGL::ViewBox) {}

void ClDrawPass::begin(GLenum primitive) {
    gl_.Begin(primitive);
    open_ = begun_ = true;
}

void ClDrawPass::close() {
    if (!open_) return;
    gl_.End();
    open_ = false;
}

void ClDrawPass::finish() { close(); }

void ClDrawPass::vertexOf(const ClPose& pose) {
    double p[6];
    frame_.point(drawnPose(pose), p);
    gl_.Vertex(p);
}

void ClDrawPass::pose(const ClPose6& pose) {
    if (kind_ == ClDrawKind::Markers) {
        markers_.feed(pose);
        return;
    }
    double p[6];
    frame_.point(pose, p);
    gl_.Vertex(p);
}

void ClDrawPass::toolAxis(const ClPose& pose) {
    double p[6];
    frame_.point(drawnPose(pose), p);
    const double length = s_.table.toolLength;
    const double q[3] = {p[0] + length * p[3], p[1] + length * p[4], p[2] + length * p[5]};
    gl_.Begin(GL_LINES);
    gl_.Vertex(p);
    gl_.Vertex(q);
    gl_.End();
}

void ClDrawPass::visit(const ClWalkStep& step) {
    const MoveCode code = splitMoveCode(step.code);
    const bool rapid = code.motion == 0;
    const bool passes = rapid ? filter_ != ClMoveFilter::Cutting : filter_ != ClMoveFilter::Rapid;
    // A view box measures the whole path, wherever a trace stands.
    const bool inRange = step.inRange || viewBox_;

    if (step.initial) {
        if (!inRange || !passes) return;
        switch (kind_) {
        case ClDrawKind::Strips:
            // A strip needs a move to begin; only the box takes the point.
            if (viewBox_) vertexOf(step.current);
            break;
        case ClDrawKind::EndPoints:
            if (!open_) begin(GL_POINTS);
            vertexOf(step.current);
            break;
        case ClDrawKind::ToolAxis:
            toolAxis(step.current);
            break;
        case ClDrawKind::Markers:
            if (!begun_) begin(GL_POINTS);
            markers_.start(drawnPose(step.current));
            break;
        }
        return;
    }

    if (!inRange) {
        if (kind_ == ClDrawKind::Strips) close();
        return;
    }
    if (!passes) {
        if (kind_ == ClDrawKind::Strips) close();
        if (kind_ == ClDrawKind::Markers) markers_.stop();
        return;
    }
    switch (kind_) {
    case ClDrawKind::Strips:
        if (!open_) {
            begin(GL_LINE_STRIP);
            vertexOf(step.previous);
        }
        subdivideMove(step.previous, step.current, code.plane, code.motion, steps_, *this);
        break;
    case ClDrawKind::EndPoints:
        if (!open_) begin(GL_POINTS);
        vertexOf(step.current);
        break;
    case ClDrawKind::ToolAxis:
        close();
        toolAxis(step.current);
        break;
    case ClDrawKind::Markers:
        if (!begun_) begin(GL_POINTS);
        if (!markers_.running()) markers_.start(drawnPose(step.previous));
        subdivideMove(step.previous, step.current, code.plane, code.motion, steps_, *this);
        markers_.endMove();
        break;
    }
}

} // namespace DQ
