#pragma once
// Mesh I/O plug-in of the project's own for the formats simple enough to
// read strictly here: the point clouds xyz, pts, apts, asc and ptx
// (vertices, no faces), the triangle surfaces gts and tri, and the polygon
// formats ply and off, which the assimp reader does not read safely (it
// loops forever on a ply file cut inside its header and makes up the
// missing indices of an off file cut inside a polygon). It writes nothing.

#include "MeshIOInterface.h"

#include <QObject>

class PlainMeshIO : public QObject, public MeshIOInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MeshIOInterface_iid)
    Q_INTERFACES(MeshIOInterface)

public:
    QList<Format> importFormats() const override;
    QList<Format> exportFormats() const override;
    void GetExportMaskCapability(const QString& format, int& capability, int& defaultBits) const override;
    bool open(const QString& format, const QString& fileName, TriMesh& m, int& mask, const ParamSet& par,
              CallBackPos cb, QObject* parent) override;
    bool save(const QString& format, const QString& fileName, TriMesh& m, int mask, const ParamSet& par,
              CallBackPos cb, QObject* parent) override;
};
