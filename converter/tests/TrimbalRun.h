#pragma once
// Running the real converter as a child process, in its real program folder
// or in a program folder that a test lays out with plug-ins of its choice.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct RunResult {
    bool finished = false;  // ended within the time limit
    bool normalExit = false;
    int exitCode = -1;
    std::string err;
};

RunResult RunProgram(const QString& program, const QStringList& args, int timeoutMs = 30000);

QString RealTrimbal();
QString RealPlugin(const QString& name);  // in the real plugins folder
QString TestPlugin(const QString& name);  // built only for the tests
QString Fixture(const QString& name);

// A temporary program folder: a copy of the Trimbal binary and a plugins
// folder that starts empty. (A copy, not a link: the program finds its
// folder from its resolved path.)
class ProgramFolder {
public:
    ProgramFolder();
    bool valid() const { return m_ok; }
    QString Program() const;
    QString PluginsDir() const;
    QString File(const QString& name) const;  // a path inside the folder
    void AddPlugin(const QString& source, const QString& asName = {});
    void ClearPlugins();   // an empty plugins folder
    void RemovePlugins();  // no plugins folder at all

private:
    QTemporaryDir m_dir;
    bool m_ok = false;
};

struct StlFile {
    bool ok = false;
    std::size_t bytes = 0;
    std::string header;  // the 80 header bytes
    std::uint32_t count = 0;
    std::vector<std::array<float, 12>> facets;  // normal, then three vertices
    std::uint16_t maxAttribute = 0;
};

StlFile ReadStl(const QString& path);
