#pragma once
// Mesh I/O plug-in on the assimp library, for the formats it reads well:
// 3ds, obj, dae and x3d. It writes nothing. (ply and off are read by the
// plain plug-in: the library does not read them safely when they are cut
// short.)

#include "MeshIOInterface.h"

#include <QObject>

class AssimpMeshIO : public QObject, public MeshIOInterface {
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
