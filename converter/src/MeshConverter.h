#pragma once
// Finding the mesh I/O plug-ins beside the program and running the reader
// and writer searches over them.

#include "TriMesh.h"

#include <QString>
#include <QStringList>

class CMapping;

class MeshConverter {
public:
    // `progress` receives the reading and writing progress; it may be a
    // mapping that is not open.
    explicit MeshConverter(CMapping& progress);

    // Lists the plain files of the folder "plugins" beside the program, in
    // the order the file system gives them, and adds the folder to Qt's
    // library path. False when the program's own path is unknown.
    bool FindPlugins();

    // Tries the plug-ins in turn until one reads `path` as `format`; reports
    // unusable plug-in files on stderr. Then finishes the mesh: normals and
    // bounding box. False when no plug-in read the file.
    bool Read(const QString& format, const QString& path);

    // Tries the plug-ins in turn until one writes the mesh to `path` as
    // `format`. False when none did.
    bool Write(const QString& format, const QString& path);

    const TriMesh& Mesh() const { return m_mesh; }
    int Mask() const { return m_mask; }

private:
    void FinishMesh();

    QString m_pluginDir;
    QStringList m_pluginFiles;
    bool m_havePlugins = false;
    TriMesh m_mesh;
    int m_mask = 0;
};
