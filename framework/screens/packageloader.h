#pragma once

#include <QLibrary>
#include <QString>
#include <QStringList>

// Loads a module (a shared library) at run time and talks to it through its
// exported plain-named functions: Initialize on load, GetPackageInfoTable to
// read its units, the module's start routines, Finalize on unload.
class PackageLoader
{
public:
    // The file name may omit the platform prefix and suffix
    // ("dir/Pkg_VQN18000" finds "dir/libPkg_VQN18000.so").
    explicit PackageLoader(const QString &fileName);
    ~PackageLoader();

    PackageLoader(const PackageLoader &) = delete;
    PackageLoader &operator=(const PackageLoader &) = delete;

    // Loads the library, checks its entry points and runs Initialize.
    // False (see errorString) when the library or an entry point is missing.
    bool load();
    bool isLoaded() const { return m_initialized; }
    QString errorString() const { return m_error; }
    QString fileName() const { return m_library.fileName(); }

    // Names of the module's units in initialisation order.
    QStringList unitNames();

    // Runs an exported routine without arguments, guarded (a failure is
    // shown, never passed on); false when it is missing.
    bool run(const char *entryPoint);
    // Runs an exported routine that returns a modal result, guarded; -1 when
    // it is missing or failed.
    int runModal(const char *entryPoint);

    // Runs Finalize and unloads the library.
    void unload();

private:
    QLibrary m_library;
    QString m_error;
    bool m_initialized = false;
};
