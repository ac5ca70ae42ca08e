#include "FailingMeshIO.h"

#include <cstdio>

bool FailingMeshIO::open(const QString&, const QString&, TriMesh& m, int&, const ParamSet&, CallBackPos, QObject*)
{
    // Leave something behind: the converter must not carry it over to the
    // next plug-in's reading.
    m.vert.push_back(TriVertex{{1e6, 1e6, 1e6}, {}, false});
    std::fputs("failing reader tried\n", stderr);
    return false;
}
