#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class PackageLoader;

// The packages of the suite's other modules whose screens the editor opens
// by code, each loaded from its own library in one folder. Under every code
// a stand-in is registered first, so a package that cannot be loaded leaves
// a screen that shows what it was handed; each package loaded replaces its
// stand-in with its screen while it stays loaded.
class SuitePackages
{
public:
    explicit SuitePackages(const QString &folder);
    ~SuitePackages();

    SuitePackages(const SuitePackages &) = delete;
    SuitePackages &operator=(const SuitePackages &) = delete;

    // Registers the stand-ins and loads every package; returns one text per
    // package that could not be loaded.
    QStringList load();

private:
    QString m_folder;
    std::vector<std::unique_ptr<PackageLoader>> m_loaded;
};
