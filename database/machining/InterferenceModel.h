// The interference model: every visible solid model of the scene (STL
// models, blocks, cones, spheres) drawn as the volume it sweeps relative to
// the tool while the machine moves from one set of axis values to another.
// Drawn on the current model-view matrix, which the checks set to the tool
// frame's view.
#pragma once

namespace DQ {

// Clears colour and depth, sets the machine axes to `from`, then to `to`
// (they keep the `to` values), and draws every visible model of class 0,
// 5, 6 or 7 through the session's drawing context in sweep mode. from and
// to hold six axis values (program units and radians); null draws nothing.
void createInterferenceModel(const double* from, const double* to);

// Whether a figure is part of the scene shown to the user (select type
// neither 0 nor 1).
bool shownInScene(unsigned tag);

} // namespace DQ
