#pragma once
// Test plug-in for the format "rec", both ways. It names every interface
// call on stderr, so a test sees their order, and its writer dumps the mesh
// as the converter hands it over (bounds, normals, masks) as text.
//
// Reading gives one triangle (0,0,0) (2,0,0) (0,3,0) and a deleted vertex
// far away. A file containing "normals" also gives vertex normals of length
// 2 and sets the vertex-normal mask bit; one containing "fail" fails.
// Reading reports a progress of 250, beyond the range a plug-in should use.

#include "MeshIOInterface.h"

#include <QObject>

class RecordingMeshIO : public QObject, public MeshIOInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID MeshIOInterface_iid)
    Q_INTERFACES(MeshIOInterface)

public:
    QList<Format> importFormats() const override;
    QList<Format> exportFormats() const override;
    void initGlobalParameterSet(ParamSet& globals) override;
    void initPreOpenParameter(const QString& format, const QString& fileName, ParamSet& par) override;
    void initOpenParameter(const QString& format, TriMesh& m, ParamSet& par) override;
    void applyOpenParameter(const QString& format, TriMesh& m, const ParamSet& par) override;
    void initSaveParameter(const QString& format, TriMesh& m, ParamSet& par) override;
    void GetExportMaskCapability(const QString& format, int& capability, int& defaultBits) const override;
    bool open(const QString& format, const QString& fileName, TriMesh& m, int& mask, const ParamSet& par,
              CallBackPos cb, QObject* parent) override;
    bool save(const QString& format, const QString& fileName, TriMesh& m, int mask, const ParamSet& par,
              CallBackPos cb, QObject* parent) override;
};
