// The scene's display lists. Their names are tags, which rests on the store
// layout where every figure T is followed by its child-list head at T + 1:
//   T      a figure's geometry: its draw operation with (T, T + 1, context)
//   T + 1  the figure's pre-draw list: machine motion and highlight
//   axis   each machine axis's own motion (dqDrawAxis)
//   machine element     the pivots of the whole chain
//   view-split element  the view's frame: the axes from the split outward
//   1      the scene list, which only calls the others by name
// Because list 1 and the pre-draw lists reach the axes by name, moving an
// axis recompiles that axis's list and the machine and view lists only.
#pragma once

#include "korvex.h"

namespace DQ {

constexpr unsigned kSceneList = 1;

// The machine's chain as the lists use it.
struct Chain {
    bool valid = false;         // the machine element has its record
    unsigned count = 0;         // 0..6
    unsigned axisTags[6] = {};  // axis element per chain position, 0 when none
    unsigned split = 2;         // view split: positions below it carry the tool
};
Chain machineChain();

unsigned machineListName();
unsigned viewListName();
// The six machine axes X..C (0 for a missing one).
unsigned axisListName(unsigned axis);
bool isMachineAxis(unsigned tag);

// The pre-draw list name of figure T: T + 1 when that is its child-list
// head, 0 otherwise (then nothing may be compiled or called under that name).
unsigned preListOf(unsigned figure);

// The figure's draw operation by its class, through gl.
void drawFigure(unsigned figure, unsigned preList, gqCOpenGL& gl);

// Each compiles its list under its name (deleting what was there).
void compileAxisList(unsigned axisTag);
void compileMachineList();
void compileViewList();
void compilePreDrawList(unsigned figure);
void compileGeometryList(unsigned figure);
void compileSceneList();

// dqCreateDisplayList: builds every missing list when list 1 is missing.
void bringListsUpToDate();

} // namespace DQ
