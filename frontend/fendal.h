// Fendal: the front-end library of Orvane.
//
// The one public header of libfendal.so: every fe export. The GUI program
// calls only these; command plug-ins call them beside the dq exports of
// Korvex. All fe functions have C linkage so they can be bound by name, and
// none of them throws.
//
// Common contracts:
//   - The library keeps process-wide plain state (refresh list, pick cycle,
//     filters, colours, status type, view command); there is no reset call.
//   - The scene itself lives in Korvex's one session; feViewStart opens it.
//   - Nothing here is thread-safe. The application runs feAddLoadFile on a
//     worker thread and keeps every other call away from the scene meanwhile
//     (status type 4 or 5).
//   - Texts passed in are owned by the caller; feGetTitle and feGetCustColors
//     return pointers into library storage.
//   - Lengths are in program units; angles are degrees on this side.
//
// Sections:
//   [SECTION] Refresh list, pick cycle, filters and colours
//   [SECTION] Selection
//   [SECTION] Files
//   [SECTION] Display flags, status and view command
//   [SECTION] Undo and redo
#pragma once

#include "korvex.h"

#if defined(FENDAL_BUILDING)
#define FE_API extern "C" __attribute__((visibility("default")))
#else
#define FE_API extern "C"
#endif

// What the view window must do before its next frame.
enum _CmdViewEnum {
    feCmdViewNone = 0,   // nothing pending
    feCmdViewChecks = 1, // run the cutting, shank and holder checks first
};

// [SECTION] Refresh list, pick cycle, filters and colours ----------------
//
// The refresh list is one process-wide array of 262144 display-list names
// (a figure's tag for parameter elements, tag + 1 for a figure's pre-draw
// list, 1 for the scene list) waiting to be rebuilt. Appends beyond its
// capacity are dropped silently. The same array is the OpenGL selection
// buffer of picking and, while the user cycles through the figures under one
// click, holds the candidates.

// Empties the refresh list, then appends every tag 1 .. highest tag - 1
// while room remains, so every display list is rebuilt.
FE_API void feFreshFigure(void);
// Hands the pending names to the scene display (the caller's OpenGL context
// must be current): before the first completed pick the named lists are
// only deleted; while a pick cycle runs only the current and the previous
// candidate's pre-draw lists are rebuilt; otherwise every pending name is
// rebuilt with dqRefreshFigure. The list itself is kept.
FE_API void feRefreshFigure(void);
// Appends name unless it is already pending (or the list is full).
FE_API void feSetRefreshedFigure(unsigned int name);
// Empties the refresh list unless a pick cycle is running.
FE_API void feFreeRefreshedFigure(void);
// dqGetHighestTag: one more than the highest tag in use.
FE_API int feGetHighestTag(void);

// Pick filters, 8 entries (0 colour filter, 1 colour filter with alpha,
// 2 shapes, 3 paths, 4 origin, 5 cutter, 6 holder, 7 spindle), initially
// {0, 0, 1, 1, 1, 1, 1, 1}. Setters ignore an index outside 0..7; getters
// return -1 for it. The base filters are only stored here.
FE_API void feSetFilterFlag(int index, int value);
FE_API int feGetFilterFlag(int index);
FE_API void feSetBaseFilterFlag(int index, int value);
FE_API int feGetBaseFilterFlag(int index);

// The copied colour, 4 floats RGBA in 0..1, initially (0, 0, 0, 1); the
// reference of the colour filter. rgba points to 4 floats; null is ignored.
FE_API void feSetCopiedColor(float* rgba);
FE_API void feGetCopiedColor(float* rgba);

// The 16 custom colours of the colour dialog, as 32-bit 0x00BBGGRR values,
// initially 0. feSetCustColors copies 16 values in (null is ignored);
// feGetCustColors returns the library's own array of 16.
FE_API void feSetCustColors(unsigned int* colors);
FE_API unsigned int* feGetCustColors(void);

// [SECTION] Selection ------------------------------------------------------
//
// Select types (first word of a figure's class-1004 child): 2 normal,
// 4 selected, 5 pick candidate, 6 marked for a command, 7 alarm; 0 and 1
// hidden. A selection stays uncommitted until feSetMark.

// Ends a running pick cycle, then gives the tags select type 4 and appends
// tag + 1 of each to the refresh list. tags may be null when count is 0.
FE_API void feSelectFigures(unsigned int count, unsigned int* tags);
// Drops the uncommitted selection by rolling the store back to its last
// mark; the display flags stay as they are. The pre-draw lists of the
// figures selected since the mark are queued, newest first; a recent other
// than 0 stops that walk at the first figure selected more than recent
// selection calls before the newest one. Then the scene list and every name
// the roll-back touched are queued.
FE_API void feFreeSelectedFigure(int recent);
// Selects the current pick candidate if a cycle runs, then turns every
// selected figure (type 4) into type 6.
FE_API void feClearSelectColor(void);
// counts (6 ints, not null) receives the numbers of figures in select type 6
// by kind: 0 models and simple bodies, 1 paths, 2 cutter, 3 holder,
// 4 origin, 5 spindle.
FE_API void feGetSelectedTypes(int* counts);
// Returns figures of select type 6 to normal and closes the undo step.
FE_API void feSetMark(void);

// [SECTION] Files --------------------------------------------------------

// Whether name matches one of the ";"-separated wildcard patterns ("*" any
// run of characters; letters compared case-insensitively; multi-byte
// characters as the current LC_CTYPE locale measures them, compared byte for
// byte). Only a match that passed a "." of the pattern counts, so a pattern
// without a dot never matches; "abc.*" also matches "abc". Directory parts
// ending in "/" or "\" are skipped when the pattern cannot match them.
// Null arguments give false.
FE_API bool feCheckTypeFileName(const char* name, const char* patterns);
// The first file type 0..20 (CL, 2, skipped) whose pattern in the session's
// file-type table matches name; dqCFileUnknown (21) for none or a null name.
// Decided by name alone; no file is read.
FE_API dqCFileFormatTypeEnum feGetFileType(const char* name);
// The short name of type 0..19 ("STL", "NC", "CL", "3DS", ...) as the
// converter takes it; null for 20 (PDB), 21 and anything else. The text is
// static.
FE_API char* feGetFileTypeString(dqCFileFormatTypeEnum type);
// Writes the open-dialog filter "Orvane Files (<patterns>)|<patterns>|All
// Files (*.*)|*.*||" into buffer, truncated to size bytes with a terminating
// zero. Nothing happens for a null buffer or size 0.
FE_API void feSetFileFilter(char* buffer, unsigned int size);
// Loads one file into the scene by its name: "*.mcv" merges a scene file,
// "*.orm" (a converted mesh) and STL files become models, NC programs become
// CL paths. Every other type returns -1 without reading. progress (may be
// null) is handed to the reader, which keeps the fraction read in it; a
// value below -1.0 written by another thread stops NC and STL reading.
// Returns 0 on success (an undo step is closed and the new figures are
// queued for refresh), -1 on failure.
FE_API int feAddLoadFile(char* name, double* progress);
// Saves the scene to name (dqSaveMCVFile); null is ignored.
FE_API void feSaveMCVFile(char* name);
// Restarts the session: with a name, the scene is saved there and loaded
// back (the scene stays, the undo history goes); with null the scene is
// emptied to the defaults. The display flags stay as the user set them.
// Every old display list is queued for refresh. When name cannot be written,
// the scene is carried over through a temporary file instead, and when that
// fails too, nothing changes.
FE_API void feClearLoadFile(char* name);
// Opens the session, merges the scene file name into it (null or a missing
// file leaves the default scene) and sets the first mark.
FE_API void feViewStart(char* name);
// Saves the scene to name (when not null) and destroys the session.
FE_API void feViewEnd(char* name);
// The scene title (dqSetTitle, not undoable; null ignored) and its text
// (owned by the store, null when none).
FE_API void feSetTitle(const char* title);
FE_API const char* feGetTitle(void);

// [SECTION] Display flags, status and view command -----------------------
//
// The flags of cutter, holder, spindle and origin live in the scene as the
// select type of their parameter element: 1 shown, 0 hidden. A getter gives
// 1 when the element or its select record is missing. A setter does nothing
// when the element is missing; otherwise 0 hides the part, any other value
// shows it (and drops a selection of it), and the scene list is queued for
// refresh. Undo, redo, clearing and rolling back keep the flags the user
// set last.
FE_API void feSetCutterFlag(int flag);
FE_API int feGetCutterFlag(void);
FE_API void feSetHolderFlag(int flag);
FE_API int feGetHolderFlag(void);
FE_API void feSetSpindleFlag(int flag);
FE_API int feGetSpindleFlag(void);
FE_API void feSetOriginFlag(int flag);
FE_API int feGetOriginFlag(void);

// The application's status type, initially 0, stored and returned as given
// (0 idle, 1 trace stopped, 2 trace running, 3 tool placement, 4 file job
// running, 5 plug-in loading, 6 job finished, 1000+ command list).
FE_API void feSetStatusType(int status);
FE_API int feGetStatusType(void);
// The view command, initially feCmdViewNone, stored and returned as given.
FE_API void feSetViewCommandType(_CmdViewEnum type);
FE_API _CmdViewEnum feGetViewCommandType(void);

// [SECTION] Undo and redo --------------------------------------------------

// One undo / redo step; nothing without a step. Every figure is queued for
// refresh; the display flags stay as they are.
FE_API void feUndo(void);
FE_API void feRedo(void);
// 1 when an undo / redo step is available, else 0.
FE_API int feGetUndoFlag(void);
FE_API int feGetRedoFlag(void);
