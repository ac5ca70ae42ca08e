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
//   [SECTION] NC reader and CL trace
//   [SECTION] Drawing context and tessellation
//   [SECTION] Cutter, rotation bodies and shapes
//   [SECTION] Machine kinematics
#pragma once

#include <cstdint>

#if defined(KORVEX_BUILDING)
#define DQ_API extern "C" __attribute__((visibility("default")))
#else
#define DQ_API extern "C"
#endif

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

// [SECTION] NC reader and CL trace ---------------------------------------

// [SECTION] Drawing context and tessellation -----------------------------

// [SECTION] Cutter, rotation bodies and shapes ---------------------------

// [SECTION] Machine kinematics --------------------------------------------
