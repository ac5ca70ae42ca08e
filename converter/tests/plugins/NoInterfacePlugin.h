#pragma once
// Test plug-in: a valid Qt plug-in that does not offer the mesh I/O
// interface.

#include <QObject>
#include <QtPlugin>

class NoInterfacePlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.orvane.NotMeshIO/1.0")
};
