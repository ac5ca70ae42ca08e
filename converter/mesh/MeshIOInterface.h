#pragma once
// The interface of a mesh I/O plug-in: a Qt plug-in that lists the formats it
// reads and writes and opens or saves a TriMesh. The order of the
// operations is part of the interface (it fixes the table of virtual
// functions a plug-in is built against): add nothing in between.

#include "IoMask.h"
#include "ParamSet.h"
#include "TriMesh.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtPlugin>

class MeshIOInterface {
public:
    // One file format: a description for people and its extensions
    // (lower case, without the dot).
    struct Format {
        QString description;
        QStringList extensions;
    };

    virtual ~MeshIOInterface() = default;

    virtual QList<Format> importFormats() const = 0;
    virtual QList<Format> exportFormats() const = 0;

    // Parameters shared by all formats of the plug-in; the converter does
    // not call it.
    virtual void initGlobalParameterSet(ParamSet& globals) { (void)globals; }

    virtual void initPreOpenParameter(const QString& format, const QString& fileName, ParamSet& par)
    {
        (void)format, (void)fileName, (void)par;
    }
    virtual void initOpenParameter(const QString& format, TriMesh& m, ParamSet& par)
    {
        (void)format, (void)m, (void)par;
    }
    virtual void applyOpenParameter(const QString& format, TriMesh& m, const ParamSet& par)
    {
        (void)format, (void)m, (void)par;
    }
    virtual void initSaveParameter(const QString& format, TriMesh& m, ParamSet& par)
    {
        (void)format, (void)m, (void)par;
    }

    // Which mask bits the format can store, and which it stores by default.
    virtual void GetExportMaskCapability(const QString& format, int& capability, int& defaultBits) const = 0;

    // Reads fileName into m and sets mask to the attributes the file had.
    // `parent` is a window for dialogs; a console caller passes null.
    virtual bool open(const QString& format, const QString& fileName, TriMesh& m, int& mask,
                      const ParamSet& par, CallBackPos cb = nullptr, QObject* parent = nullptr) = 0;

    // Writes m with the attributes in mask to fileName.
    virtual bool save(const QString& format, const QString& fileName, TriMesh& m, int mask,
                      const ParamSet& par, CallBackPos cb = nullptr, QObject* parent = nullptr) = 0;
};

#define MeshIOInterface_iid "vcg.meshlab.MeshIOInterface/1.0"
Q_DECLARE_INTERFACE(MeshIOInterface, MeshIOInterface_iid)
