#pragma once
// The triangle mesh that the mesh I/O plug-ins fill and the converter hands
// from the reader to the writer. It keeps only what a conversion to STL
// needs: positions and normals per vertex, three vertex indices and a normal
// per face, deleted flags, a bounding box and the mesh's data mask.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct TriVertex {
    std::array<double, 3> p{};
    std::array<double, 3> n{};
    bool deleted = false;
};

struct TriFace {
    std::array<std::uint32_t, 3> v{};
    std::array<double, 3> n{};
    bool deleted = false;
};

struct TriBox {
    std::array<double, 3> min{};
    std::array<double, 3> max{};
    bool empty = true;  // no live vertex was seen
};

class TriMesh {
public:
    std::vector<TriVertex> vert;
    std::vector<TriFace> face;
    TriBox bbox;
    int dataMask = 0;

    void Clear();

    // A face whose three indices name existing vertices. Plug-ins should
    // produce nothing else, but every consumer skips a face that fails this
    // so that one careless plug-in cannot make the others read out of bounds.
    bool IsValidFace(const TriFace& f) const;

    // Live faces that are valid, i.e. the ones a writer emits.
    std::size_t LiveFaceCount() const;

    // Scales the normals of all live vertices to unit length (zero stays zero).
    void NormalizeVertexNormals();

    // Unit face normals from the winding (v0, v1, v2 counter-clockwise seen
    // from the outside), and vertex normals as the normalised sum of the
    // area-weighted normals of the live faces around each vertex.
    void ComputeFaceAndVertexNormals();

    // Bounding box of all live vertices.
    void UpdateBoundingBox();

    // Unnormalised normal of the face's winding: (v1 - v0) x (v2 - v0),
    // twice the area long. Zero for a degenerate or invalid face.
    std::array<double, 3> WindingNormal(const TriFace& f) const;
};
