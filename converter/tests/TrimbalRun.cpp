#include "TrimbalRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cstring>

RunResult RunProgram(const QString& program, const QStringList& args, int timeoutMs)
{
    RunResult r;
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.setProcessChannelMode(QProcess::SeparateChannels);
    p.start();
    if (!p.waitForStarted(10000))
        return r;
    r.finished = p.waitForFinished(timeoutMs);
    if (!r.finished) {
        p.kill();
        p.waitForFinished(5000);
    }
    r.normalExit = p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.err = p.readAllStandardError().toStdString();
    return r;
}

QString RealTrimbal()
{
    return QStringLiteral(ORVANE_BIN_DIR "/Trimbal/Trimbal");
}

QString RealPlugin(const QString& name)
{
    return QStringLiteral(ORVANE_BIN_DIR "/Trimbal/plugins/") + name;
}

QString TestPlugin(const QString& name)
{
    return QStringLiteral(TRIMBAL_TEST_PLUGIN_DIR "/") + name;
}

QString Fixture(const QString& name)
{
    return QStringLiteral(ORVANE_TEST_DIR "/fixtures/") + name;
}

ProgramFolder::ProgramFolder()
{
    if (!m_dir.isValid())
        return;
    m_ok = QFile::copy(RealTrimbal(), Program()) &&
           QFile::setPermissions(Program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
           QDir(m_dir.path()).mkdir("plugins");
}

QString ProgramFolder::Program() const
{
    return m_dir.filePath("Trimbal");
}

QString ProgramFolder::PluginsDir() const
{
    return m_dir.filePath("plugins");
}

QString ProgramFolder::File(const QString& name) const
{
    return m_dir.filePath(name);
}

void ProgramFolder::AddPlugin(const QString& source, const QString& asName)
{
    const QString name = asName.isEmpty() ? QFileInfo(source).fileName() : asName;
    QDir().mkpath(PluginsDir());
    QFile::copy(source, QDir(PluginsDir()).filePath(name));
}

void ProgramFolder::ClearPlugins()
{
    RemovePlugins();
    QDir().mkpath(PluginsDir());
}

void ProgramFolder::RemovePlugins()
{
    QDir(PluginsDir()).removeRecursively();
}

StlFile ReadStl(const QString& path)
{
    StlFile s;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return s;
    const QByteArray d = f.readAll();
    s.bytes = static_cast<std::size_t>(d.size());
    if (d.size() < 84)
        return s;
    s.header.assign(d.constData(), 80);
    std::memcpy(&s.count, d.constData() + 80, 4);
    if (static_cast<std::size_t>(d.size()) != 84 + 50 * static_cast<std::size_t>(s.count))
        return s;
    for (std::uint32_t i = 0; i < s.count; ++i) {
        std::array<float, 12> facet;
        const char* rec = d.constData() + 84 + 50 * static_cast<std::size_t>(i);
        std::memcpy(facet.data(), rec, 48);
        std::uint16_t attr;
        std::memcpy(&attr, rec + 48, 2);
        s.maxAttribute = std::max(s.maxAttribute, attr);
        s.facets.push_back(facet);
    }
    s.ok = true;
    return s;
}
