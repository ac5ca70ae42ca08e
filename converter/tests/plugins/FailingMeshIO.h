#pragma once
// Test plug-in: lists ply for reading but fails every open, saying so on
// stderr, so that a test sees that the next plug-in was tried after it.

#include "MeshIOInterface.h"

#include <QObject>

class FailingMeshIO : public QObject, public MeshIOInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MeshIOInterface_iid)
    Q_INTERFACES(MeshIOInterface)

public:
    QList<Format> importFormats() const override { return {{"Failing", {"PLY"}}}; }
    QList<Format> exportFormats() const override { return {}; }
    void GetExportMaskCapability(const QString&, int& capability, int& defaultBits) const override
    {
        capability = defaultBits = 0;
    }
    bool open(const QString& format, const QString& fileName, TriMesh& m, int& mask, const ParamSet& par,
              CallBackPos cb, QObject* parent) override;
    bool save(const QString&, const QString&, TriMesh&, int, const ParamSet&, CallBackPos, QObject*) override
    {
        return false;
    }
};
