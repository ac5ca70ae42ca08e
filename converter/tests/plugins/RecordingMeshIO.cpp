#include "RecordingMeshIO.h"

#include <QFile>

#include <cstdio>

namespace {

void Say(const char* call, const QString& format)
{
    std::fprintf(stderr, "%s %s\n", call, format.toUtf8().constData());
}

}  // namespace

QList<MeshIOInterface::Format> RecordingMeshIO::importFormats() const
{
    return {{"Other", {"x1", "x2"}}, {"Recorded", {"x3", "Rec"}}};
}

QList<MeshIOInterface::Format> RecordingMeshIO::exportFormats() const
{
    return {{"Recorded", {"rec"}}};
}

void RecordingMeshIO::initGlobalParameterSet(ParamSet&)
{
    Say("initGlobalParameterSet", {});
}

void RecordingMeshIO::initPreOpenParameter(const QString& format, const QString&, ParamSet& par)
{
    Say("initPreOpenParameter", format);
    par.set("preOpen", 1);
}

void RecordingMeshIO::initOpenParameter(const QString& format, TriMesh&, ParamSet& par)
{
    Say("initOpenParameter", format);
    par.set("open", 1);
}

void RecordingMeshIO::applyOpenParameter(const QString& format, TriMesh&, const ParamSet& par)
{
    std::fprintf(stderr, "applyOpenParameter %s %d\n", format.toUtf8().constData(), par.value("open").toInt());
}

void RecordingMeshIO::initSaveParameter(const QString& format, TriMesh&, ParamSet&)
{
    Say("initSaveParameter", format);
}

void RecordingMeshIO::GetExportMaskCapability(const QString& format, int& capability, int& defaultBits) const
{
    Say("GetExportMaskCapability", format);
    capability = defaultBits = IoMask::VertCoord;
}

bool RecordingMeshIO::open(const QString& format, const QString& fileName, TriMesh& m, int& mask,
                           const ParamSet& par, CallBackPos cb, QObject* parent)
{
    std::fprintf(stderr, "open %s preOpen=%d parent=%d\n", format.toUtf8().constData(),
                 par.value("preOpen").toInt(), parent != nullptr);
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = f.readAll();
    if (text.contains("fail"))
        return false;
    const bool normals = text.contains("normals");
    m.vert = {TriVertex{{0, 0, 0}, {0, 0, 2}, false}, TriVertex{{2, 0, 0}, {0, 0, 2}, false},
              TriVertex{{0, 3, 0}, {0, 0, 2}, false}, TriVertex{{100, 100, 100}, {}, true}};
    if (!normals)
        for (TriVertex& v : m.vert)
            v.n = {0, 0, 0};
    m.face = {TriFace{{0, 1, 2}, {}, false}};
    mask = IoMask::VertCoord | IoMask::FaceIndex | (normals ? IoMask::VertNormal : 0);
    if (cb) {
        cb(10, "Reading");
        cb(250, "Reading");
    }
    return true;
}

bool RecordingMeshIO::save(const QString& format, const QString& fileName, TriMesh& m, int mask, const ParamSet&,
                           CallBackPos, QObject* parent)
{
    std::fprintf(stderr, "save %s parent=%d\n", format.toUtf8().constData(), parent != nullptr);
    std::FILE* f = std::fopen(QFile::encodeName(fileName).constData(), "w");
    if (f == nullptr)
        return false;
    std::fprintf(f, "mask %d\ndataMask %d\n", mask, m.dataMask);
    std::fprintf(f, "bbox %g %g %g %g %g %g %d\n", m.bbox.min[0], m.bbox.min[1], m.bbox.min[2], m.bbox.max[0],
                 m.bbox.max[1], m.bbox.max[2], m.bbox.empty ? 1 : 0);
    std::fprintf(f, "faceNormal %g %g %g\n", m.face[0].n[0], m.face[0].n[1], m.face[0].n[2]);
    std::fprintf(f, "vertNormal %g %g %g\n", m.vert[1].n[0], m.vert[1].n[1], m.vert[1].n[2]);
    std::fclose(f);
    return true;
}
