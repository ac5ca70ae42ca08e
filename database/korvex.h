// Korvex: the object database of Orvane.
//
// The one public header of libkorvex.so: every dq export and the gq types that
// cross the library boundary. All dq functions have C linkage so command
// plug-ins and tools can bind them by name; none of them throws.
//
// Common contracts:
//   - Tags are 32-bit unsigned indices into the session's one tag table;
//     tag 0 is the root and also means "no tag".
//   - There is one session per process. dqCreateSession must be called
//     before any other export. Nothing here is thread-safe.
//   - Data blocks handed to the store are owned by the store from then on and
//     are never freed while the process lives, so pointers from dqGetData
//     stay valid (they show the old value after a replacement).
//   - Lengths are in program units; angles are radians inside the store.
//
// Sections:
//   [SECTION] Classes and file types
//   [SECTION] Tag store and session
//   [SECTION] Undo/redo journal
//   [SECTION] Settings lists, title and text utilities
//   [SECTION] Typed lists
//   [SECTION] MCV scene files
//   [SECTION] NC reader and CL trace
//   [SECTION] Drawing context and tessellation
//   [SECTION] Cutter, rotation bodies and shapes
//   [SECTION] Scene display, view box and picking
//   [SECTION] Cutting and interference checks
//   [SECTION] STL models
//   [SECTION] Machine kinematics
#pragma once

#include <cstdint>

#if defined(KORVEX_BUILDING)
#define DQ_API extern "C" __attribute__((visibility("default")))
#else
#define DQ_API extern "C"
#endif

class gqCOpenGL; // the drawing context, below

// [SECTION] Classes and file types ---------------------------------------

// Element classes. Below 1000: objects; 1000..1018: children of objects;
// 2000 and above: internal to the store.
enum dqCClassEnum {
    dqCClassStl = 0,
    dqCClassClPath = 1,
    dqCClassOrigin = 2,
    dqCClassCutter = 3,
    dqCClassHolder = 4,
    dqCClassBlock = 5,
    dqCClassCone = 6,
    dqCClassSphere = 7,
    dqCClassSpindle = 8,
    dqCClassFilePath = 1000,
    dqCClassColor = 1001,
    dqCClassName = 1002,
    dqCClassText = 1003,
    dqCClassSelect = 1004,
    dqCClassUInt = 1006,
    dqCClassTraceCursor = 1007,
    dqCClassOffset = 1009,
    dqCClassAxis = 1010,
    dqCClassAxisMount = 1011,
    dqCClassMachine = 1012,
    dqCClassDouble = 1013,
    dqCClassPlacement = 1015,
    dqCClassIntList = 1016,
    dqCClassRealList = 1017,
    dqCClassColorList = 1018,
    dqCClassRoot = 2000,
    dqCClassChildHead = 2001,
    dqCClassLinkJournal = 2003,
    dqCClassDataJournal = 2004,
    dqCClassInvalid = 2005,
    dqCClassMark = 2006,
    dqCClassEmpty = 99999,
};

// Input file formats; the value is the index of the root's class-1003 child
// that holds the format's name pattern.
enum dqCFileFormatTypeEnum {
    dqCFileStl = 0,
    dqCFileNc = 1,
    dqCFileCl = 2,
    dqCFile3ds = 3,
    dqCFilePly = 4,
    dqCFileObj = 5,
    dqCFileOff = 6,
    dqCFilePtx = 7,
    dqCFileDae = 8,
    dqCFileV3d = 9,
    dqCFilePts = 10,
    dqCFileApts = 11,
    dqCFileXyz = 12,
    dqCFileGts = 13,
    dqCFileTri = 14,
    dqCFileAsc = 15,
    dqCFileX3d = 16,
    dqCFileX3dv = 17,
    dqCFileWrl = 18,
    dqCFileAln = 19,
    dqCFilePdb = 20,
    dqCFileUnknown = 21,
};

// [SECTION] Tag store and session ----------------------------------------

// Destroys any previous content and builds a fresh session holding the
// default scene, with its journal file open.
DQ_API void dqCreateSession(void);
// Empties the store and closes and deletes the journal file.
DQ_API void dqDestroySession(void);

// Appends an entry holding (cls, data) as given (the store takes the
// pointer). link 0 makes the entry link to itself. Returns the new tag, 0 on
// failure.
DQ_API unsigned int dqAddData(dqCClassEnum cls, unsigned int link, void* data);
// Replaces the tag's data by the pointer, keeping its class (journaled).
DQ_API void dqSetData(unsigned int tag, void* data);
// Replaces the tag's data by a store-made copy of classSize bytes of data.
DQ_API void dqAllocData(unsigned int tag, const void* data);
// The tag's data; null when empty; for a tag at or beyond the highest tag,
// the root's data (the title).
DQ_API void* dqGetData(unsigned int tag);
// A new block holding a copy of count bytes of source; null for count 0.
DQ_API void* dqCreateData(const void* source, unsigned int count);
// The tag's class; 99999 when empty, 2005 at or beyond the highest tag.
DQ_API dqCClassEnum dqGetClass(unsigned int tag);
// The tag's link; 2005 at or beyond the highest tag.
DQ_API unsigned int dqGetLinkTag(unsigned int tag);
// Sets the link (journaled); ignored for tag 0 and tags beyond the highest.
DQ_API void dqSetLinkTag(unsigned int tag, unsigned int link);
// One more than the highest tag in use.
DQ_API unsigned int dqGetHighestTag(void);
// Empties an object, its child-list heads and all their members (journaled).
DQ_API void dqDeleteTag(unsigned int tag);

// Child iteration: the first child of the parent's list, or 0. The iterator
// is owned by the caller and continues with dqGetNextChildTag.
DQ_API unsigned int dqGetFirstChildTag(unsigned int parent, unsigned int list,
                                       unsigned int* iterator);
DQ_API unsigned int dqGetNextChildTag(unsigned int* iterator);
// The index-th (from 0) child of class cls in the list, or 0; data (may be
// null) receives its data pointer, or null when not found.
DQ_API unsigned int dqGetChild(unsigned int parent, unsigned int list, unsigned int index,
                               dqCClassEnum cls, void** data);
// Sets the index-th child of class cls, or appends it (index 0xFFFFFFFF
// always appends). dqSetChild takes the pointer; dqAllocChild stores a copy.
DQ_API unsigned int dqSetChild(unsigned int parent, unsigned int list, unsigned int index,
                               dqCClassEnum cls, void* data);
DQ_API unsigned int dqAllocChild(unsigned int parent, unsigned int list, unsigned int index,
                                 dqCClassEnum cls, const void* data);
// One of the session's standard tags (7 origin, 22 cutter, 24 holder, 25..30
// axes X..C, 33 machine, 34 settings value, 36/37/38 settings lists, 39
// spindle); 0 for any other number.
DQ_API unsigned int dqGetParamTag(int number);

// [SECTION] Undo/redo journal ---------------------------------------------

// Sets a mark after a completed user action. Returns the mark, 0 on failure.
DQ_API unsigned int dqSetMark(void);
// Brings the store back to the state at the mark. Up to capacity affected
// tags are written to list (may be null when capacity is 0); count receives
// how many were written. Returns the number of records applied.
DQ_API int dqDoToMark(unsigned int mark, unsigned int capacity, int* count, unsigned int* list);
// dqDoToMark, then forgets everything made after the mark.
DQ_API void dqClearUntilMark(unsigned int mark, unsigned int capacity, int* count,
                             unsigned int* list);
DQ_API unsigned int dqGetLastMark(void);
DQ_API unsigned int dqGetFirstMark(void);
DQ_API unsigned int dqGetUndoMark(void);
DQ_API unsigned int dqGetRedoMark(void);
// Iterates, newest first, over the owners of selection children changed
// since the last mark whose select type equals type. serial receives the
// selection serial; iterator is owned by the caller.
DQ_API unsigned int dqGetFirstSelectedTag(unsigned int type, unsigned int* serial, int* iterator);
DQ_API unsigned int dqGetNextSelectedTag(unsigned int type, unsigned int* serial, int* iterator);

// [SECTION] Settings lists, title and text utilities ---------------------

// Sets the scene title (not journaled); null is ignored.
DQ_API void dqSetTitle(const char* title);
// The title, or null. The pointer is owned by the store.
DQ_API const char* dqGetTitle(void);
// Removes spaces and trailing zeros after a decimal point, in place.
DQ_API void dqChangeFloatString(char* text);
// Drops leading blanks and folds runs of blanks into one space, in place.
DQ_API void dqChangeLinedString(char* text);

// [SECTION] Typed lists ---------------------------------------------------

// Pointers into the list block, or null for an index at or beyond the
// count. They stay valid after later changes but then show the old value.
DQ_API unsigned int* dqGetIntListElem(unsigned int tag, unsigned int index);
DQ_API double* dqGetRealListElem(unsigned int tag, unsigned int index);
DQ_API float* dqGetColorListElem(unsigned int tag, unsigned int index);
// Setters copy the block, grow it when the index lies beyond the count, and
// replace it through the journal.
DQ_API void dqSetIntListElem(unsigned int tag, unsigned int index, unsigned int value);
DQ_API void dqSetRealListElem(unsigned int tag, unsigned int index, double value);
DQ_API void dqSetColorListElem(unsigned int tag, unsigned int index, const float* rgba);
DQ_API void dqSetIntListElems(unsigned int tag, unsigned int first, unsigned int n,
                              const unsigned int* values);
DQ_API void dqSetRealListElems(unsigned int tag, unsigned int first, unsigned int n,
                               const double* values);
DQ_API void dqSetColorListElems(unsigned int tag, unsigned int first, unsigned int n,
                                const float* rgba);

// [SECTION] MCV scene files ----------------------------------------------

// Saves the root with its children, the origin, cutter, holder and spindle,
// and every mounted model (a block, cone, sphere or STL model with an
// axis-mount child) to path. The file is replaced only once the new one is
// completely written; on any failure the old file stays as it was.
DQ_API void dqSaveMCVFile(const char* path);
// Saves the groups of the given tags (objects of class 2000, 0, 2..8 with
// their list-0 children; other tags are skipped), replacing path as above.
DQ_API void dqSaveTagsMCVFile(unsigned int count, const unsigned int* tags, const char* path);
// Merges a scene file into the session (journaled, so a mark afterwards makes
// the load undoable). progress (may be null) receives the fraction of the
// file read, 1.0 at the end. Returns 0 on success, 1 when the file is
// missing, empty, unreadable or not of version 1 (nothing changed then).
DQ_API int dqLoadMCVFile(const char* path, double* progress);

// [SECTION] NC reader and CL trace ---------------------------------------

// Reads the NC program at path into a new CL path (class 1) with its eight
// children and returns its tag; 0, creating nothing, when path is null, the
// file cannot be examined or opened, is empty or 2 GiB or larger, cannot be
// read or parsed, would need a CL buffer past 4 GiB, memory runs out, or the
// reading is stopped. progress must point to a valid double for the whole
// call (null is tolerated and means no progress): the reader writes 0, the
// fraction of the file read after every line, and 1.0 on success; a value
// below -1.0 written there by another thread stops the reading after the
// next line. Positions are kept in counts of the resolutions (real settings
// entries 2 and 3); the path's A, B, C are degrees.
DQ_API unsigned int dqCreateCLFromNCFile(char* path, double* progress);

// The trace of a CL path. Every function takes a CL path tag; for any other
// tag, or a path without data, they do nothing and return 1 (the moving
// ones), 0.0 (dqGetCLTraceRate), null or 0. Each moving operation stores the
// path's trace cursor back as its class-1007 child (journaled).
//
// Starts a trace: cursor and trail at the first record, nothing drawn.
DQ_API void dqStartCLTrace(unsigned int tag);
// Moves by the step count (integer settings entry 2): forward when it is
// >= 0, backward by its magnitude otherwise. 0, or 1 when a step could not
// be made (the steps made before are kept).
DQ_API unsigned int dqGoCLNextTrace(unsigned int tag);
// The mirror of dqGoCLNextTrace.
DQ_API unsigned int dqGoCLBackTrace(unsigned int tag);
// Jumps to the first record boundary at or after total length * rate;
// rates are held to the path's extent. Returns 0.
DQ_API unsigned int dqSetCLTraceRate(unsigned int tag, double rate);
// The current offset over the buffer's total length, in (0, 1]; 0.0 when the
// path has no cursor.
DQ_API double dqGetCLTraceRate(unsigned int tag);
// Ends the trace: a fresh cursor, the whole path drawn again.
DQ_API void dqEndCLTrace(unsigned int tag);
// Makes the trail start at the current position; the tool stays.
DQ_API void dqCleanCLTrace(unsigned int tag);
// Writes the pose at the trace position to point[0..5]: X, Y, Z (program
// units), A, B, C (degrees, each in [-360, 360]). point may be null (then
// nothing happens). Needs no OpenGL context.
DQ_API void dqGetCLTracePoint(unsigned int tag, double* point);
// The six origin values stored with the path at load time (entries 11..16
// of its real list), or null when it has no such list. The pointer is into
// the store.
DQ_API double* dqGetCLOrigin(unsigned int tag);
// The cutter shift type stored with the path at load time (entry 9 of its
// integer list), 0 when missing.
DQ_API unsigned int dqGetCLCutterShiftType(unsigned int tag);

// Draws the CL path tag between its trace offsets: moves as line strips,
// and by the path's display switches rapid moves, end points, tool-axis
// vectors and markers, each pass between PushCallList(preList) and its pop.
// point (may be null) receives the pose at the trace position: X, Y, Z and
// A, B, C in degrees. Nothing happens when the path has no data.
DQ_API void dqDrawCL(unsigned int tag, unsigned int preList, gqCOpenGL& context, double* point);

// [SECTION] Drawing context and tessellation -----------------------------

#include <GL/gl.h>

#define GQ_API __attribute__((visibility("default")))

// The drawing context every figure draws through. Depending on its mode it
// passes primitives on to OpenGL, measures them, or turns each triangle into
// the solid it sweeps between two model-view matrices. It never creates or
// owns an OpenGL context; the caller makes one current first.
//   mode 0 silent:   nothing reaches OpenGL but the matrix and colour calls
//   mode 1 draw:     primitives go to OpenGL (the constructor's mode)
//   mode 3 view box: vertices widen a window-space box (see GetViewBox)
//   mode 4 sweep:    each GL_TRIANGLES Begin/End of exactly three vertices
//                    becomes the solid swept from referenceMatrix to the
//                    current model-view matrix; anything else emits nothing
// A null pointer argument is ignored by every operation.
class GQ_API gqCOpenGL {
public:
    enum { Silent = 0, Draw = 1, ViewBox = 3, Sweep = 4 };

    gqCOpenGL();

    // Stores the mode; mode 3 also resets the box to min +1e6, max -1e6.
    void SetMode(unsigned int mode);
    void Begin(GLenum primitive);
    // n and v point to three doubles (model coordinates).
    void Normal(const double* n);
    void Vertex(const double* v);
    void End();
    // glColor4fv in every mode; rgba points to four floats.
    void Color(const float* rgba);
    // glPushMatrix then glCallList(list), in every mode; list 0 (no list)
    // is not called.
    void PushCallList(unsigned int list);
    // glPopMatrix, in every mode.
    void PopMatrix();
    // Copies the six box values (min x, y, z, max x, y, z in window
    // coordinates and depth) to out (room for six doubles).
    void GetViewBox(double* out) const;
    // The origin marker at p: a 16 x 16 bitmap in draw mode, a single
    // Vertex(p) in every other mode so it counts in a box or a sweep.
    void DrawOriginMarker(const double* p);

    unsigned int mode;
    // Column-major model-view matrix the sweep mode carries triangles from;
    // written by the caller before drawing in mode 4.
    double referenceMatrix[16];
    unsigned int primitive;   // last Begin in sweep mode
    unsigned int vertexCount; // vertices since that Begin in sweep mode
    union {
        double box[12];         // view box: min x, y, z, max x, y, z
        double captured[4][3];  // sweep: the captured vertices
    };
};

// [SECTION] Cutter, rotation bodies and shapes ---------------------------

// Figures. Every creator returns the new object's tag, 0 on failure (values
// out of range included). Setters replace the payload copy-on-write through
// the journal, ignore values out of range silently, and change only an
// element of their figure's own class. Getters return the stated fallback
// when the tag has no payload of the figure's size (tag 0 included).
// Lengths are in program units, angles in radians.
//
// Every dqDraw* figure export takes (tag, preList, gl): it brackets its
// drawing with glPushAttrib(GL_CURRENT_BIT)/glPopAttrib, sets its material
// (glMaterialfv GL_FRONT, GL_AMBIENT_AND_DIFFUSE) and draws each body
// between gl.PushCallList(preList) and gl.PopMatrix(). The matrix and
// attribute stacks are left as they were. A current OpenGL context is
// needed.

// --- cutter (class 3) ---
// The default cutter: ball end, diameter 6, length 18, shift length 3, with
// its colour, shank colour list, int list [1, 1], real list, placement and
// axis mount children.
DQ_API unsigned int dqCreateDefaultCutter(void);
DQ_API void dqDrawCutter(unsigned int tag, unsigned int preList, gqCOpenGL& gl);
// 1 ball end, 2 flat end, 3 corner-radius end; other values are ignored.
DQ_API void dqSetCutterType(unsigned int tag, unsigned int type);
DQ_API unsigned int dqGetCutterType(unsigned int tag); // 1 without payload
// The setters below keep the cutter consistent (neck never wider than the
// shank, heights raised or lowered together); those of a length or diameter
// ignore values below 0.01.
DQ_API void dqSetCutterDiameter(unsigned int tag, double value);
DQ_API void dqSetCutterAxisDiameter(unsigned int tag, double value);
DQ_API void dqSetCutterNeckDiameter(unsigned int tag, double value);
DQ_API void dqSetCutterLength(unsigned int tag, double value);
DQ_API void dqSetCutterHeadLength(unsigned int tag, double value);
DQ_API void dqSetCutterCornerR(unsigned int tag, double value);
// Half-angle of the taper from the tool axis; clamped to [0, pi/2] and
// raised so the taper never ends above the top of the shank.
DQ_API void dqSetCutterShankAngle(unsigned int tag, double value);
DQ_API void dqSetCutterShiftLength(unsigned int tag, double value);
DQ_API void dqSetCutterEffectiveLength(unsigned int tag, double value);
// Shift type 0..3 (entry 1 of the cutter's int list); others are ignored.
DQ_API void dqSetCutterShiftType(unsigned int tag, unsigned int shiftType);
DQ_API unsigned int dqGetCutterShiftType(unsigned int tag); // 0 without list
// The stored fields; 1.0 without payload.
DQ_API double dqGetCutterDiameter(unsigned int tag);
DQ_API double dqGetCutterAxisDiameter(unsigned int tag);
DQ_API double dqGetCutterNeckDiameter(unsigned int tag);
DQ_API double dqGetCutterLength(unsigned int tag);
DQ_API double dqGetCutterHeadLength(unsigned int tag);
DQ_API double dqGetCutterCornerR(unsigned int tag);
DQ_API double dqGetCutterShiftLength(unsigned int tag);
// The effective height max(min(effective length, head length), corner
// radius); 1.0 without payload.
DQ_API double dqGetCutterEffectiveLength(unsigned int tag);
// The taper's half-angle derived from the diameters and heights; 1.0
// without payload.
DQ_API double dqGetCutterShankAngle(unsigned int tag);

// --- rotation bodies: holder (class 4) and spindle (class 8) ---
DQ_API unsigned int dqCreateDefaultHolder(void);
DQ_API unsigned int dqCreateDefaultSpindle(void);
DQ_API void dqDrawRotation(unsigned int tag, unsigned int preList, gqCOpenGL& gl);
// Replaces the outline by n (r, z) pairs (points: 2n doubles, may be null
// only when n is 0); stored bottom to top.
DQ_API void dqSetRotation(unsigned int tag, unsigned int n, const double* points);
// Writes the point count to n and, when points is not null, the stored
// pairs (the caller provides room for 2n doubles). n = 0 without payload.
DQ_API void dqGetRotation(unsigned int tag, unsigned int* n, double* points);
DQ_API double dqGetRotationMaxRadius(unsigned int tag);   // 0 without payload
DQ_API double dqGetRotationStartHeight(unsigned int tag); // 0 without payload
DQ_API double dqGetRotationEndHeight(unsigned int tag);   // 0 without payload
DQ_API double dqGetRotationLength(unsigned int tag);      // end - start, or 0

// --- block (class 5): centred on its placement; sizes at least 1e-6 ---
DQ_API unsigned int dqCreateBlock(double width, double length, double height);
DQ_API void dqSetBlock(unsigned int tag, double width, double length, double height);
DQ_API double dqGetBlockWidth(unsigned int tag);  // 0 without payload
DQ_API double dqGetBlockLength(unsigned int tag); // 0 without payload
DQ_API double dqGetBlockHeight(unsigned int tag); // 0 without payload
DQ_API void dqDrawBlock(unsigned int tag, unsigned int preList, gqCOpenGL& gl);

// --- cone (class 6): frustum centred on its placement. Diameters >= 0
// (down to -1e-6 accepted and stored as 0), their sum >= 1e-6, height >= 1e-6.
DQ_API unsigned int dqCreateCone(double top, double bottom, double height);
DQ_API void dqSetCone(unsigned int tag, double top, double bottom, double height);
DQ_API double dqGetConeTopDiameter(unsigned int tag);    // 0 without payload
DQ_API double dqGetConeBottomDiameter(unsigned int tag); // 0 without payload
DQ_API double dqGetConeHeight(unsigned int tag);         // 0 without payload
DQ_API void dqDrawCone(unsigned int tag, unsigned int preList, gqCOpenGL& gl);

// --- sphere (class 7): diameter at least 1e-6, centred on its placement ---
DQ_API unsigned int dqCreateSphere(double diameter);
DQ_API void dqSetSphere(unsigned int tag, double diameter);
DQ_API double dqGetSphereDiameter(unsigned int tag); // 0 without payload
DQ_API void dqDrawSphere(unsigned int tag, unsigned int preList, gqCOpenGL& gl);

// --- work origin (class 2): six values X, Y, Z, A, B, C (radians) ---
// A new origin holding a copy of values (six doubles; null gives 0), with
// the session colour 0 as its marker colour and an int list [0].
DQ_API unsigned int dqCreateOrigin(double* values);
// dqCreateOrigin with six zeros.
DQ_API unsigned int dqCreateDefaultOrigin(void);
// Replaces the six values (journaled); only for a class-2 tag and non-null
// values.
DQ_API void dqSetOrigin(unsigned int tag, double* values);
// The unlit marker at the origin's machine position (glColor4fv with its
// colour): a 16 x 16 bitmap in draw mode, a single vertex in the others.
DQ_API void dqDrawOrigin(unsigned int tag, unsigned int preList, gqCOpenGL& gl);

// --- machine axes (class 1010) ---
// A new standalone axis element for 'X', 'Y', 'Z' (linear) or 'A', 'B', 'C'
// (rotary); 0 for any other letter.
DQ_API unsigned int dqCreateAxis(char letter);
// The axis's transformation on the current OpenGL matrix (value v, pivot p,
// direction d; rotary values in radians):
//   dqDrawAxis:             rotate by v about d (rotary) or translate by v*d
//                           (linear), then translate by -p
//   dqDrawRevAxis:          the inverse: translate by p, then undo the motion
//   dqDrawTranslateAxis:    translate by -p
//   dqDrawTranslateRevAxis: translate by p
// A tag without an axis payload issues nothing.
DQ_API void dqDrawAxis(unsigned int tag);
DQ_API void dqDrawRevAxis(unsigned int tag);
DQ_API void dqDrawTranslateAxis(unsigned int tag);
DQ_API void dqDrawTranslateRevAxis(unsigned int tag);

// [SECTION] Scene display, view box and picking -------------------------

// Display lists are named by tags: list T holds figure T's geometry, list
// T + 1 (its child-list head) its pre-draw list (machine motion and
// highlight), each machine axis, the machine element (slot 33) and the
// view-split element (slot 34) their transformations, and list 1 the whole
// scene, which only calls the others by name. Every function here needs the
// caller's OpenGL context current and lists live in that context.
//
// Select types (first word of a figure's class-1004 child): none normal,
// 0 and 1 hidden (not drawn, boxed or picked), 4 selected, 5 pick
// candidate, 6 marked for a command, 7 alarm; any other value hides.

// Builds every missing list when list 1 is missing; with list 1 present it
// compiles nothing. Leaves the model-view matrix mode current. Returns 1.
DQ_API unsigned int dqCreateDisplayList(void);
// Deletes and recompiles each named list (names: count entries; may be null
// only when count is 0): a figure's geometry or pre-draw list, an axis (then
// also the machine and view lists), the machine or view list. Any other
// name, and any name at or beyond the highest tag, deletes list 1 so the
// next dqCreateDisplayList rebuilds the scene list.
DQ_API void dqRefreshFigure(unsigned int count, unsigned int* names);
// box[0..5] (may be null): minimum x, y, depth and maximum x, y, depth in
// window coordinates of the current viewport of every visible figure; an
// empty scene gives +1e6 and -1e6.
DQ_API void dqGetViewBox(double* box);
// Brings the lists up to date, then sets the model-view matrix seen from
// the machine: 0 the axes from the view split outward, 1 identity, 2 the
// inverse of the axes below the split, 3 the current matrix times the
// inverse of the axes from the split outward. Other values change nothing,
// as does a machine element without data.
DQ_API void dqSetViewDirection(unsigned int direction);
// Hit test. The caller has entered selection mode with buffer as the
// selection buffer, pushed one name and set the pick projection. options:
// ten words (null: all 0) - 0 sort nearest first, 1 deselecting (only
// select types 4 and 5 pickable), 2 ignore red/green/blue and 3 ignore alpha
// of the colour filter colour (four floats; null passes nothing unless both
// are ignored), 4 no shapes but those mounted on the machine, 5 no paths,
// 6 no origins, 7 no cutter, 8 no holders, 9 no spindles nor mounted shapes.
// Returns to render mode; count receives the number of tags written over
// the start of buffer and depthOut (when a tag was hit) the nearest window
// depth in [0, 1]. On a buffer overflow count and depthOut are left alone.
// The model-view matrix is left changed by the view list and the work
// origin's machine position, so an unprojected hit is in the origin's frame.
DQ_API void dqGetHitNames(unsigned int* options, float* colour, unsigned int* count,
                          unsigned int* buffer, double* depthOut);
// Sets the select type of each tag that is a figure: 0, 1, 4, 5, 6 and 7 are
// stored with the current selection serial, any other type makes the figure
// normal. The serial grows by one when count is not 0. Journaled.
DQ_API void dqSelectFigure(unsigned int count, unsigned int* tags, unsigned int type);
// The figure's state code and the colour it is shown in, from its index-th
// colour child and its select type: 3 own colour, 2 session colour 0 (no own
// colour), 0 and 1 hidden, 4 selected, 5 candidate, 7 alarm with their
// highlight colours. colour (may be null) receives a pointer into the store.
DQ_API unsigned int dqGetColor(unsigned int tag, unsigned int index, float** colour);
// The select code (2 normal, 3 marked, else the type as dqGetColor) and the
// highlight colour (null when there is none) into colour (may be null).
DQ_API unsigned int dqGetSelectType(unsigned int tag, float** colour);
// Stores a copy of rgba (four floats; null is ignored) as the tag's
// index-th colour child, appending children as needed (journaled).
DQ_API void dqSetColor(unsigned int tag, unsigned int index, float* rgba);

// [SECTION] Cutting and interference checks -------------------------------

// Three checks answer, for one move of the machine from one set of six axis
// values to another (program units and radians), whether the tool meets the
// scene's visible solid models (STL models, blocks, cones, spheres): the
// cutting check (the cutter's tip surface), the shank check (the cutter's
// body above its cutting part) and the holder check. Each renders in the
// tool frame: the preparation draws the models as the volume they sweep
// relative to the tool into an orthographic view down the tool axis that
// covers exactly the checked region, and the run draws the tool part alone
// and compares the two depth buffers.
//
// Protocol: make a context with a depth buffer current, set the viewport to
// an n x n window where n comes from the pixel query, call the preparation
// and then the run with nothing drawn in between. The preparation clears
// the colour and depth buffers; both restore the matrices, the matrix mode
// and the depth and enable state they change (the depth test is switched
// on inside them). GUI thread only.
//
// Pixel queries: false when the check's switch (integer settings entry 3
// cutting, 4 shank, 5 holder) is 0 or missing, n untouched; otherwise writes
// the window side n (1..4096) to n (may be null) and returns true.
DQ_API bool dqGetCuttingCheckPixel(unsigned int* n);
DQ_API bool dqGetShankInterferenceCheckPixel(unsigned int* n);
DQ_API bool dqGetHolderInterferenceCheckPixel(unsigned int* n);
// Preparations: from and to point to six axis values each (null: nothing
// happens). The machine axes keep the to values afterwards (journaled like
// dqSetMachAxisValue).
DQ_API void dqSetCuttingCheck(const double* from, const double* to);
DQ_API void dqSetShankInterferenceCheck(const double* from, const double* to);
DQ_API void dqSetHolderInterferenceCheck(const double* from, const double* to);
// Runs: true when the tool part meets the prepared model (material at the
// tool's surface depth counts); false when nothing is met, when the cutter
// or holder has no data, or when a depth buffer cannot be allocated.
DQ_API bool dqRunCuttingCheck(void);
DQ_API bool dqRunShankInterferenceCheck(void);
DQ_API bool dqRunHolderInterferenceCheck(void);
// Draws the interference model with the current matrices: clears colour and
// depth, sets the axes to from and then to (they keep the to values) and
// draws every visible model swept between the two machine states. from and
// to: six axis values each; null draws nothing.
DQ_API void dqCreateInterferenceModel(const double* from, const double* to);

// [SECTION] STL models ----------------------------------------------------

// Reads an ASCII or binary STL file into a new model (class 0) placed at the
// machine position of the current work origin. progress (may be null) is
// shared with the caller: it receives 0, the fraction read and 1.0; a value
// below -1.0 written by the caller stops the reading. Returns the tag, 0 on
// failure (nothing is created then).
DQ_API unsigned int dqCreateSTLFromFile(const char* path, double* progress);
// Draws the model with its colour and placement between the pre-draw list
// preList and its pop.
DQ_API void dqDrawSTL(unsigned int tag, unsigned int preList, gqCOpenGL& gl);

// [SECTION] Machine kinematics --------------------------------------------

// The machine's kinematic chain as the transforms use it: the six axes'
// geometry, the chain from the tool outward, and the offsets a CL path
// applies. Axis numbers: X 0, Y 1, Z 2, A 3, B 4, C 5; rotary values are
// radians. Filled by dqGetMachineTable and dqGetMachineTable2.
class GQ_API gqCMachineTableData {
public:
    struct Axis {
        double pivot[3];     // relative to the pivot of the axis before it
        double direction[3]; // unit direction of travel or of rotation
    };
    Axis axes[6];                // zeros for a missing axis element
    unsigned int chainCount;     // 0..6
    unsigned int chainOrder[6];  // axis numbers, tool side first
    double axisOffsets[6];       // added to each axis value before use
    unsigned int shiftType;      // cutter shift type (path drawing)
    double tipOffset;            // length along the final tool direction
    double toolLength;           // cutter length plus holder height
    char rotaryAxes[4];          // 'A'/'B'/'C' of the chain's rotary axes

    // Forward transform: the point (out[0..2]) and tool direction
    // (out[3..5]) reached with the six axis values (program units and
    // radians) in the base frame. values and out must not be null.
    void GetMachinePos(const double* values, double* out) const;
    // The directions of the X, Y and Z axes (dirs: 3 x 3 doubles) in the
    // base frame for the rotary values among the six axis values.
    void GetAxisDirections(const double* values, double* dirs) const;
    // Inverse transform: the axis values (out, six) that bring the point
    // to target[0..2] with the rotary values target[3..5]. A singular axis
    // arrangement gives target unchanged. target and out may be the same.
    void GetAxisValues(const double* target, double* out) const;
    // On a five-axis chain, moves a tilt asked of an axis the machine lacks
    // onto the one it has (values[3..5] in radians, changed in place).
    void ReexpressRotary(double* values) const;
};

// Sets machine axis 0..5 (X..C) to value (radians for A, B, C). Returns 1
// when the value changed by more than 1e-6 (the axis record is replaced
// through the journal), 0 otherwise, for a missing axis or axis > 5.
DQ_API int dqSetMachAxisValue(unsigned int axis, double value);
// The current value of axis 0..5; 0.0 without data or for axis > 5.
DQ_API double dqGetMachAxisValue(unsigned int axis);
// Writes the axis letters of the machine's chain in order and a terminating
// zero into text (room for 7 characters; may be null): "ZXYABC" for the
// default machine. machineTag is a class-1012 element.
DQ_API void dqGetMachineString(unsigned int machineTag, char* text);
// Fills table (may be null) from the session's machine: axes, chain,
// rotary letters; offsets 0, shift type 0, tip offset 0, tool length =
// cutter length + holder end height.
DQ_API void dqGetMachineTable(gqCMachineTableData* table);
// As dqGetMachineTable, with axisOffsets = origin[0..5] (zeros when origin
// is null), shiftType = *shiftType (0 when null), tipOffset = -lengths[0]
// and toolLength = lengths[1] (kept from dqGetMachineTable when null).
DQ_API void dqGetMachineTable2(gqCMachineTableData* table, double* origin, unsigned int* shiftType,
                               double* lengths);
// Forward transform of six axis values on the session's machine: out
// receives the point and the tool direction (six doubles).
DQ_API void dqGetMachinePos(const double* axisValues, double* out);
// Tool position (X, Y, Z relative to the origin, A, B, C radians) to the
// six axis values, by the cutter's shift type. Null pointers are ignored.
DQ_API void dqGetCutterPos(const double* toolPos, double* axisValues);
// Axis values to tool position; the inverse of dqGetCutterPos.
DQ_API void dqGetCutterRevPos(const double* axisValues, double* toolPos);
// Recomputes the cutter's shift length, the placements of cutter and holder
// below the gauge point and the cutter's gauge offset (real list entry 1).
DQ_API void dqSetToolPosition(void);
// Position (out[0..2]) and axis direction (out[3..5]) of an element mounted
// on the machine (axis-mount child), with its offset child applied, for the
// current axis values. Computed directly; needs no OpenGL context.
DQ_API void dqGetCutterAbsPosition(unsigned int tag, double* out);
