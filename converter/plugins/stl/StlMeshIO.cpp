#include "StlMeshIO.h"

#include "StlWriter.h"

#include <QFile>

#include <cstdio>

QList<MeshIOInterface::Format> StlMeshIO::importFormats() const
{
    return {};
}

QList<MeshIOInterface::Format> StlMeshIO::exportFormats() const
{
    return {{"STL File Format", {"stl"}}};
}

void StlMeshIO::GetExportMaskCapability(const QString&, int& capability, int& defaultBits) const
{
    // Binary STL stores positions and one normal per face, nothing else.
    capability = IoMask::VertCoord | IoMask::FaceIndex | IoMask::FaceNormal;
    defaultBits = capability;
}

bool StlMeshIO::open(const QString&, const QString&, TriMesh&, int&, const ParamSet&, CallBackPos, QObject*)
{
    return false;
}

bool StlMeshIO::save(const QString& format, const QString& fileName, TriMesh& m, int, const ParamSet&,
                     CallBackPos cb, QObject*)
{
    if (format.toLower() != "stl")
        return false;
    const QByteArray path = QFile::encodeName(fileName);
    std::FILE* f = std::fopen(path.constData(), "wb");
    if (f == nullptr)
        return false;
    bool ok = WriteBinaryStl(m, f, cb);
    ok = (std::fclose(f) == 0) && ok;
    // A half-written file would load as a damaged model; leave none behind.
    if (!ok)
        std::remove(path.constData());
    return ok;
}
