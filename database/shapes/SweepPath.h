// The sweep mode of the drawing context has two paths that draw the same
// pixels: the fast one (the default) carries a figure's vertices to their
// reference position with one affine map per figure body, draws only the cap
// of a triangle whose two positions coincide, and skips swept solids that lie
// wholly outside the view volume; the reference path projects and unprojects
// every vertex and emits every side. Tests and benchmarks switch between them
// to show the depth buffers agree.
#pragma once

namespace DQ {

void setSweepFastPath(bool on);
bool sweepFastPath();

} // namespace DQ
