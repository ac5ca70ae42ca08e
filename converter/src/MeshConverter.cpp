#include "MeshConverter.h"

#include "CMapping.h"
#include "IoMask.h"
#include "MeshIOInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>

#include <cstdio>

namespace {

// The plug-ins' progress callbacks are plain functions, so the block they
// write to is reached through this pointer; the converter is single-threaded.
CMapping* g_progress = nullptr;
double g_lastWritten = -1.0;

void WriteProgress(double value)
{
    if (g_progress == nullptr || value == g_lastWritten)
        return;
    if (g_progress->Write(&value))
        g_lastWritten = value;
}

int ClampPercent(int p)
{
    // The viewer relies on values between 0 and 1; a plug-in that reports
    // beyond 0..100 must not push the block outside that range.
    return p < 0 ? 0 : (p > 100 ? 100 : p);
}

bool ReadingProgress(int pos, const char*)
{
    WriteProgress(ClampPercent(pos) / 200.0);
    return true;
}

bool WritingProgress(int pos, const char*)
{
    WriteProgress((ClampPercent(pos) + 100) / 200.0);
    return true;
}

QByteArray Local(const QString& s)
{
    return QFile::encodeName(s);
}

// The interface of a plug-in file, or null when it does not load or lacks
// it; `why` tells which, for the reader search's messages.
enum class LoadFailure { None, Load, Interface };

MeshIOInterface* LoadPlugin(const QString& path, LoadFailure& why)
{
    QPluginLoader loader(path);
    QObject* instance = loader.instance();
    if (instance == nullptr) {
        why = LoadFailure::Load;
        return nullptr;
    }
    MeshIOInterface* io = qobject_cast<MeshIOInterface*>(instance);
    why = io ? LoadFailure::None : LoadFailure::Interface;
    return io;
}

// The first format whose extension list holds `ext` (compared lower-cased),
// or -1.
int FindFormat(const QList<MeshIOInterface::Format>& formats, const QString& ext, QString& matched)
{
    const QString wanted = ext.toLower();
    for (int i = 0; i < formats.size(); ++i)
        for (const QString& e : formats[i].extensions)
            if (e.toLower() == wanted) {
                matched = e;
                return i;
            }
    return -1;
}

}  // namespace

MeshConverter::MeshConverter(CMapping& progress)
{
    g_progress = &progress;
    g_lastWritten = -1.0;
}

bool MeshConverter::FindPlugins()
{
    m_pluginFiles.clear();
    m_havePlugins = false;
    const QString programDir = QCoreApplication::applicationDirPath();
    if (programDir.isEmpty())
        return false;
    QDir dir(programDir);
    m_pluginDir = dir.filePath("plugins");
    QCoreApplication::addLibraryPath(m_pluginDir);
    QDir plugins(m_pluginDir);
    // Unsorted: the plug-ins are tried in the order the file system lists
    // them, which is what decides between two readers of one extension.
    m_pluginFiles = plugins.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    m_havePlugins = true;
    return true;
}

bool MeshConverter::Read(const QString& format, const QString& path)
{
    if (!m_havePlugins)
        return false;
    for (const QString& file : m_pluginFiles) {
        LoadFailure why = LoadFailure::None;
        MeshIOInterface* io = LoadPlugin(QDir(m_pluginDir).filePath(file), why);
        if (why == LoadFailure::Load) {
            std::fprintf(stderr, "loader error: %s\n", Local(file).constData());
            continue;
        }
        if (why == LoadFailure::Interface) {
            std::fprintf(stderr, "plugin error: %s\n", Local(file).constData());
            continue;
        }
        QString ext;
        if (FindFormat(io->importFormats(), format, ext) < 0)
            continue;

        ParamSet preOpen;
        io->initPreOpenParameter(ext, path, preOpen);
        m_mesh.Clear();
        m_mask = 0;
        if (!io->open(ext, path, m_mesh, m_mask, preOpen, ReadingProgress, nullptr))
            continue;

        ParamSet openParams;
        io->initOpenParameter(ext, m_mesh, openParams);
        if (!openParams.isEmpty())
            io->applyOpenParameter(ext, m_mesh, openParams);
        FinishMesh();
        return true;
    }
    m_mesh.Clear();
    m_mask = 0;
    return false;
}

void MeshConverter::FinishMesh()
{
    if (m_mask & IoMask::VertNormal)
        m_mesh.NormalizeVertexNormals();
    else
        m_mesh.ComputeFaceAndVertexNormals();
    m_mesh.UpdateBoundingBox();
    // Set, not summed: a plug-in may already have marked the mesh, and an
    // addition would then carry into the neighbouring bit.
    m_mesh.dataMask |= 2;
}

bool MeshConverter::Write(const QString& format, const QString& path)
{
    if (!m_havePlugins)
        return false;
    for (const QString& file : m_pluginFiles) {
        LoadFailure why = LoadFailure::None;
        MeshIOInterface* io = LoadPlugin(QDir(m_pluginDir).filePath(file), why);
        if (io == nullptr)
            continue;
        QString ext;
        if (FindFormat(io->exportFormats(), format, ext) < 0)
            continue;
        int capability = 0, defaultBits = 0;
        io->GetExportMaskCapability(ext, capability, defaultBits);
        ParamSet saveParams;
        io->initSaveParameter(ext, m_mesh, saveParams);
        if (io->save(ext, path, m_mesh, m_mask, saveParams, WritingProgress, nullptr))
            return true;
    }
    return false;
}
