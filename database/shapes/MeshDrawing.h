// Drawing of revolved meshes and triangle buffers through the drawing
// context, each triangle its own GL_TRIANGLES Begin/End pair (the sweep
// mode turns every such pair into a swept solid).
#pragma once

#include "korvex.h"
#include "shapes/Placement.h"
#include "shapes/Profile.h"
#include "shapes/Tessellator.h"

#include <cstddef>

namespace DQ {

void drawMesh(const RevolvedMesh& mesh, const Placement& placement, gqCOpenGL& gl);

// buffer holds at least `bytes` bytes; triangles beyond them are not read.
void drawTriangleBuffer(const void* buffer, std::size_t bytes, const Placement& placement,
                        gqCOpenGL& gl);

// Revolves the profile at tolerance t and draws it; nothing when the
// profile gives no mesh.
void drawProfile(const Profile& profile, double t, const Placement& placement, gqCOpenGL& gl);

} // namespace DQ
