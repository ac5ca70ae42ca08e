#include "shapes/MeshDrawing.h"

#include "shapes/TriangleBuffer.h"

namespace DQ {

void drawMesh(const RevolvedMesh& mesh, const Placement& placement, gqCOpenGL& gl) {
    double n[3], v[3];
    for (const RevolvedMesh::Triangle& tri : mesh.triangles) {
        gl.Begin(GL_TRIANGLES);
        for (const RevolvedMesh::Corner& c : tri.corner) {
            placement.mapNormal(&mesh.normals[3 * c.normal], n);
            placement.mapPoint(&mesh.positions[3 * c.position], v);
            gl.Normal(n);
            gl.Vertex(v);
        }
        gl.End();
    }
}

void drawTriangleBuffer(const void* buffer, std::size_t bytes, const Placement& placement,
                        gqCOpenGL& gl) {
    if (!buffer || bytes < sizeof(TriangleBufferHeader)) return;
    std::size_t count = bufferHeader(buffer)->count;
    std::size_t room = (bytes - sizeof(TriangleBufferHeader)) / sizeof(TriangleRecord);
    if (count > room) count = room;
    const TriangleRecord* tris = bufferTriangles(buffer);
    double n[3], v[3];
    for (std::size_t i = 0; i < count; ++i) {
        gl.Begin(GL_TRIANGLES);
        placement.mapNormal(tris[i].normal, n);
        for (const auto& corner : tris[i].vertex) {
            placement.mapPoint(corner, v);
            gl.Normal(n);
            gl.Vertex(v);
        }
        gl.End();
    }
}

void drawProfile(const Profile& profile, double t, const Placement& placement, gqCOpenGL& gl) {
    if (auto mesh = revolve(profile, t)) drawMesh(*mesh, placement, gl);
}

} // namespace DQ
