#include "PlainMeshIO.h"

#include "GtsReader.h"
#include "OffReader.h"
#include "PlyReader.h"
#include "PointCloudReader.h"
#include "PtxReader.h"
#include "TriReader.h"

#include <QFile>

#include <new>

QList<MeshIOInterface::Format> PlainMeshIO::importFormats() const
{
    return {
        {"Polygon File Format", {"ply"}},
        {"Object File Format", {"off"}},
        {"XYZ Point Cloud (with or without normals)", {"xyz"}},
        {"PTS Point Cloud", {"pts"}},
        {"ASCII Point Set", {"apts"}},
        {"ASC Point Cloud", {"asc"}},
        {"PTX Range Scans", {"ptx"}},
        {"GTS Triangulated Surface", {"gts"}},
        {"TRI Surface Triangulation (ASCII)", {"tri"}},
    };
}

QList<MeshIOInterface::Format> PlainMeshIO::exportFormats() const
{
    return {};
}

void PlainMeshIO::GetExportMaskCapability(const QString&, int& capability, int& defaultBits) const
{
    capability = 0;
    defaultBits = 0;
}

bool PlainMeshIO::open(const QString& format, const QString& fileName, TriMesh& m, int& mask, const ParamSet&,
                       CallBackPos cb, QObject*)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    try {
        const QByteArray bytes = file.readAll();
        const char* data = bytes.constData();
        const std::size_t size = static_cast<std::size_t>(bytes.size());
        const QString f = format.toLower();
        if (cb)
            cb(0, "Reading");
        if (f == "ply")
            return ReadPly(data, size, m, mask, cb);
        if (f == "off")
            return ReadOff(data, size, m, mask, cb);
        if (f == "xyz")
            return ReadPointCloud(PointFormat::Xyz, data, size, m, mask, cb);
        if (f == "apts")
            return ReadPointCloud(PointFormat::Apts, data, size, m, mask, cb);
        if (f == "asc")
            return ReadPointCloud(PointFormat::Asc, data, size, m, mask, cb);
        if (f == "pts")
            return ReadPointCloud(PointFormat::Pts, data, size, m, mask, cb);
        if (f == "ptx")
            return ReadPtx(data, size, m, mask, cb);
        if (f == "gts")
            return ReadGts(data, size, m, mask, cb);
        if (f == "tri")
            return ReadTri(data, size, m, mask, cb);
    } catch (const std::bad_alloc&) {
        // A file too large for memory is simply not read.
        m.Clear();
    }
    return false;
}

bool PlainMeshIO::save(const QString&, const QString&, TriMesh&, int, const ParamSet&, CallBackPos, QObject*)
{
    return false;
}
