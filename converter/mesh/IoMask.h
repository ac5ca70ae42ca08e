#pragma once
// Bits of the 32-bit I/O mask: which attributes a file carried (filled by a
// reader) or which a writer should store. The values are part of the
// plug-in interface: every plug-in reads and writes the same bits.

namespace IoMask {
enum : int {
    None = 0x0000,
    VertQuality = 0x0001,
    VertFlags = 0x0002,
    VertColor = 0x0004,
    VertTexCoord = 0x0008,
    VertNormal = 0x0010,
    VertCoord = 0x0040,
    FaceIndex = 0x0080,
    FaceFlags = 0x0100,
    FaceQuality = 0x0200,
    FaceColor = 0x0400,
    FaceNormal = 0x0800,
};
}

// Progress callback handed to open and save: a percentage 0..100 and a short
// text; returns false to ask the plug-in to stop (the converter never does).
using CallBackPos = bool (*)(int pos, const char* text);
