#include "suitepackages.h"

#include "placeholderscreen.h"

#include "screens/packageloader.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// Each of the suite's other packages and the screen code it serves.
struct SuitePackage
{
    const char *fileName;
    const char *screenCode;
};

constexpr SuitePackage suitePackages[] = {
    {"Pkg_VQN19040", "VQN19040"},   // nutrient calculation
    {"Pkg_VQN19050", "VQN19050"},   // formulation copy
    {"Pkg_VQN18100", "VQN18100"},   // statistics of open-system diets
};

} // namespace

SuitePackages::SuitePackages(const QString &folder)
    : m_folder(folder)
{
}

// Finalised in reverse order of loading.
SuitePackages::~SuitePackages()
{
    while (!m_loaded.empty())
        m_loaded.pop_back();
}

QStringList SuitePackages::load()
{
    QStringList failures;
    for (const SuitePackage &package : suitePackages) {
        registerPlaceholderScreen(QString::fromLatin1(package.screenCode));
        auto loader = std::make_unique<PackageLoader>(QDir(m_folder).filePath(QString::fromLatin1(package.fileName)));
        if (loader->load())
            m_loaded.push_back(std::move(loader));
        else
            failures << QCoreApplication::translate("Host", "O módulo %1 não pôde ser carregado: %2")
                            .arg(QString::fromLatin1(package.fileName), loader->errorString());
    }
    return failures;
}
