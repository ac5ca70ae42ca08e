#pragma once
// What every reader's fuzz target checks after a read: a failed read leaves
// an empty mesh; a successful one has vertices, only valid faces, and goes
// through the finishing the converter applies.

#include "TriMesh.h"

#include <cstdlib>

inline void CheckRead(bool ok, TriMesh& m)
{
    if (!ok) {
        if (!m.vert.empty() || !m.face.empty())
            std::abort();
        return;
    }
    if (m.vert.empty())
        std::abort();
    for (const TriFace& f : m.face)
        if (!m.IsValidFace(f))
            std::abort();
    m.ComputeFaceAndVertexNormals();
    m.UpdateBoundingBox();
    if (m.bbox.empty)
        std::abort();
}
