#include "screens/packageloader.h"

#include "screens/packageinfo.h"

#include "core/abort.h"

PackageLoader::PackageLoader(const QString &fileName)
    : m_library(fileName)
{
}

PackageLoader::~PackageLoader()
{
    unload();
}

bool PackageLoader::load()
{
    if (m_initialized)
        return true;
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    for (const char *entry : {"Initialize", "Finalize", "GetPackageInfoTable"}) {
        if (!m_library.resolve(entry)) {
            m_error = QStringLiteral("O módulo %1 não exporta %2.")
                          .arg(m_library.fileName(), QString::fromLatin1(entry));
            m_library.unload();
            return false;
        }
    }
    reinterpret_cast<PackageProc>(m_library.resolve("Initialize"))();
    m_initialized = true;
    return true;
}

QStringList PackageLoader::unitNames()
{
    QStringList names;
    if (!m_initialized)
        return names;
    auto info = reinterpret_cast<PackageInfoFunction>(m_library.resolve("GetPackageInfoTable"));
    const PackageInfoTable *table = info();
    for (int i = 0; i < table->unitCount; ++i)
        names << QString::fromLatin1(table->units[i].name);
    return names;
}

bool PackageLoader::run(const char *entryPoint)
{
    auto proc = m_initialized ? reinterpret_cast<PackageProc>(m_library.resolve(entryPoint)) : nullptr;
    if (!proc)
        return false;
    runGuarded(proc);
    return true;
}

int PackageLoader::runModal(const char *entryPoint)
{
    auto function = m_initialized
        ? reinterpret_cast<PackageModalFunction>(m_library.resolve(entryPoint)) : nullptr;
    int result = -1;
    if (function)
        runGuarded([function, &result] { result = function(); });
    return result;
}

void PackageLoader::unload()
{
    if (!m_initialized)
        return;
    reinterpret_cast<PackageProc>(m_library.resolve("Finalize"))();
    m_initialized = false;
    m_library.unload();
}
