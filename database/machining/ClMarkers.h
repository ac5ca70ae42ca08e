// The markers of a CL path: points at the places a programmer should look
// at twice. Fed with the drawn poses of consecutive moves (a marker run),
// it puts one vertex per mark into the points primitive that the pass has
// open:
//   short move      linear or rotary travel of a move that is tiny but not 0
//   too little      an axis creeping compared with the tool's travel
//   too much        an axis racing compared with the tool's travel
//   plane crossing  where the drawn path passes the reference plane
//   reversal        an axis that changes or loses its direction
// The machine is judged by its axis values, so a five-axis move whose tool
// barely moves while the table swings shows up.
#pragma once

#include "machining/ClDrawFrame.h"
#include "machining/ClDrawSettings.h"

namespace DQ {

class ClMarkers {
public:
    ClMarkers(const ClDrawSettings& settings, const ClDrawFrame& frame, gqCOpenGL& context);

    bool running() const { return running_; }
    // Starts a run at the pose (no mark).
    void start(const ClPose6& pose);
    // The next drawn pose of the current move.
    void feed(const ClPose6& pose);
    // The move ends: the short-move test, then its sums start again.
    void endMove();
    // A move the pass does not draw ends the run.
    void stop() { running_ = false; }

private:
    void mark(const double* p);
    void markBetween(const double* a, const double* b, double f);

    const ClDrawSettings& s_;
    const ClDrawFrame& frame_;
    gqCOpenGL& gl_;

    double normal_[3];
    double planeOffset_;

    bool running_ = false;
    unsigned poses_ = 0;     // poses in the run, its first included
    unsigned subSteps_ = 0;  // sub-steps in the run
    ClPose6 last_{};         // the previous pose
    double lastPoint_[6]{};  // its drawing point and tool direction
    double lastValues_[6]{}; // its axis values
    double lastDelta_[6]{};  // the axis change of the previous sub-step
    double linearTravel_ = 0, rotaryTravel_ = 0;
};

} // namespace DQ
