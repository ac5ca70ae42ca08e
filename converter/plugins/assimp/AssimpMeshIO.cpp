#include "AssimpMeshIO.h"

#include "ColladaPrecheck.h"
#include "ForkedRead.h"

#include <QFile>

#include <assimp/Importer.hpp>
#include <assimp/ProgressHandler.hpp>
#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cmath>
#include <limits>

namespace {

// Passes assimp's reading progress (0..1, or negative when unknown) on as a
// percentage.
class CallbackProgress : public Assimp::ProgressHandler {
public:
    explicit CallbackProgress(CallBackPos cb) : m_cb(cb) {}
    bool Update(float percentage) override
    {
        if (m_cb == nullptr || !(percentage >= 0.0f))
            return true;
        const int percent = percentage >= 1.0f ? 100 : static_cast<int>(percentage * 100.0f);
        if (percent != m_last) {
            m_last = percent;
            m_cb(percent, "Reading");
        }
        return true;
    }

private:
    CallBackPos m_cb;
    int m_last = -1;
};

bool Finite(const aiVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Appends every triangle of the scene's meshes (already in world
// coordinates) to m. Points and lines have no place in a triangle mesh and
// are dropped. False when the scene holds bad values or nothing at all.
bool CopyScene(const aiScene& scene, TriMesh& m, bool& allNormals)
{
    allNormals = scene.mNumMeshes > 0;
    for (unsigned i = 0; i < scene.mNumMeshes; ++i) {
        const aiMesh* mesh = scene.mMeshes[i];
        if (mesh == nullptr || mesh->mNumVertices == 0)
            continue;
        const std::size_t base = m.vert.size();
        if (base + mesh->mNumVertices > std::numeric_limits<std::uint32_t>::max())
            return false;
        const bool normals = mesh->HasNormals();
        allNormals = allNormals && normals;
        for (unsigned k = 0; k < mesh->mNumVertices; ++k) {
            const aiVector3D& p = mesh->mVertices[k];
            if (!Finite(p))
                return false;
            TriVertex v;
            v.p = {p.x, p.y, p.z};
            if (normals && Finite(mesh->mNormals[k]))
                v.n = {mesh->mNormals[k].x, mesh->mNormals[k].y, mesh->mNormals[k].z};
            m.vert.push_back(v);
        }
        for (unsigned k = 0; k < mesh->mNumFaces; ++k) {
            const aiFace& face = mesh->mFaces[k];
            if (face.mNumIndices != 3)
                continue;
            TriFace f;
            for (int c = 0; c < 3; ++c) {
                if (face.mIndices[c] >= mesh->mNumVertices)
                    return false;
                f.v[c] = static_cast<std::uint32_t>(base + face.mIndices[c]);
            }
            m.face.push_back(f);
        }
    }
    return !m.vert.empty();
}

bool ReadScene(const QString& format, const QString& fileName, TriMesh& m, int& mask, CallBackPos cb)
{
    Assimp::Importer importer;
    // Keep the file's own axes: a CNC model is placed in machine
    // coordinates, so a Z-up file must stay Z-up.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_IGNORE_UP_DIRECTION, true);
    importer.SetProgressHandler(new CallbackProgress(cb));  // the importer owns it

    const QByteArray path = QFile::encodeName(fileName);
    double colladaMeter = 1.0;
    if (format == "dae") {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = file.readAll();
        const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (!ColladaLooksSafe(text))
            return false;
        colladaMeter = ColladaUnitMeter(text);
    }
    const aiScene* scene = importer.ReadFile(path.constData(), 0);
    if (scene == nullptr || scene->mRootNode == nullptr || (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE))
        return false;

    if (format == "3ds") {
        // The 3ds importer turns the whole scene from Z-up to Y-up by a
        // rotation of its root; take it back out.
        const aiMatrix4x4 toYUp(1.f, 0.f, 0.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, -1.f, 0.f, 0.f, 0.f, 0.f, 0.f, 1.f);
        aiMatrix4x4 back = toYUp;
        back.Inverse();
        scene->mRootNode->mTransformation = back * scene->mRootNode->mTransformation;
    }

    if (format == "dae" && colladaMeter != 1.0) {
        // The library scales a Collada scene to metres by its unit. Keep the
        // file's numbers instead, as for every other format: they are what
        // the model was drawn in, usually the millimetres of the program.
        const ai_real s = static_cast<ai_real>(1.0 / colladaMeter);
        scene->mRootNode->mTransformation =
            scene->mRootNode->mTransformation * aiMatrix4x4(s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1);
    }

    scene = importer.ApplyPostProcessing(aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                         aiProcess_PreTransformVertices | aiProcess_ValidateDataStructure);
    if (scene == nullptr)
        return false;

    bool allNormals = false;
    m.Clear();
    if (!CopyScene(*scene, m, allNormals)) {
        m.Clear();
        return false;
    }
    mask = IoMask::VertCoord | (m.face.empty() ? 0 : IoMask::FaceIndex);
    if (allNormals)
        mask |= IoMask::VertNormal;
    if (cb)
        cb(100, "Reading");
    return true;
}

}  // namespace

QList<MeshIOInterface::Format> AssimpMeshIO::importFormats() const
{
    return {
        {"3D-Studio File Format", {"3ds"}},
        {"Alias Wavefront Object", {"obj"}},
        {"Collada File Format", {"dae"}},
        {"X3D File Format", {"x3d"}},
    };
}

QList<MeshIOInterface::Format> AssimpMeshIO::exportFormats() const
{
    return {};
}

void AssimpMeshIO::GetExportMaskCapability(const QString&, int& capability, int& defaultBits) const
{
    capability = 0;
    defaultBits = 0;
}

bool AssimpMeshIO::open(const QString& format, const QString& fileName, TriMesh& m, int& mask, const ParamSet&,
                        CallBackPos cb, QObject*)
{
    const QString f = format.toLower();
    // The library runs in a child process: a file that makes it crash is
    // then a failed read, not a crashed converter. (Exceptions, out of
    // memory included, are caught in the child.)
    return ReadInChild([&](TriMesh& mesh, int& maskOut, CallBackPos progress) {
        return ReadScene(f, fileName, mesh, maskOut, progress);
    }, m, mask, cb);
}

bool AssimpMeshIO::save(const QString&, const QString&, TriMesh&, int, const ParamSet&, CallBackPos, QObject*)
{
    return false;
}
