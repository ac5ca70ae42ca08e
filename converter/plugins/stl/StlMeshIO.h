#pragma once
// Mesh I/O plug-in that writes binary STL. It reads nothing: STL files are
// loaded by the viewer itself.

#include "MeshIOInterface.h"

#include <QObject>

class StlMeshIO : public QObject, public MeshIOInterface {
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
