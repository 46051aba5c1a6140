#pragma once

#include "screens/packageinfo.h"
#include "screens/screenloader.h"

#include <QString>

// A package of one of the suite's other modules: it serves one screen. Its
// unit registers the screen with the screen loader under its code when the
// package is initialised (over any stand-in the host registered first) and
// removes it when the package is finalised; asking twice runs each once.
struct ServedScreen
{
    const char *unitName;      // the unit that serves it, "Cli_vqn19050"
    const char *screenCode;    // "VQN19050"
    QDialog *(*create)(const QVariant &value, QWidget *parent);
};

template <const ServedScreen &screen>
class ScreenPackage
{
public:
    static void initialize()
    {
        if (s_initialized)
            return;
        s_initialized = true;
        RegisterScreen(QString::fromLatin1(screen.screenCode), screen.create);
    }
    static void finalize()
    {
        if (!s_initialized)
            return;
        s_initialized = false;
        UnregisterScreen(QString::fromLatin1(screen.screenCode));
    }
    static const PackageInfoTable *infoTable() { return &s_table; }

private:
    static inline bool s_initialized = false;
    // The framework unit it relies on, then its own.
    static constexpr PackageUnitInfo s_units[] = {
        {"ScreenLoader", nullptr, nullptr},
        {screen.unitName, initialize, finalize},
    };
    static constexpr PackageInfoTable s_table{2, s_units};
};

// Defines the plain-named entry points the host's loader resolves in the
// package (Initialize, Finalize, GetPackageInfoTable) for the screen it
// serves. Used once, in the package's own source, with a ServedScreen of
// internal linkage, so that its state stays the package's own even in a
// program that links several packages.
#define ENTPAT_SCREEN_PACKAGE(screen)                                            \
    extern "C" {                                                                 \
    void Initialize() { ScreenPackage<screen>::initialize(); }                   \
    void Finalize() { ScreenPackage<screen>::finalize(); }                       \
    const PackageInfoTable *GetPackageInfoTable()                                \
    {                                                                            \
        return ScreenPackage<screen>::infoTable();                               \
    }                                                                            \
    }
