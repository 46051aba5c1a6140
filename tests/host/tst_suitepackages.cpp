// The packages of the suite's other modules as the host loads them: each
// library found next to the executables serves its screen code while it is
// loaded, and a package that is not there leaves the host's stand-in.
#include "suitepackages.h"

#include "screens/packageloader.h"
#include "screens/screenloader.h"
#include "screenfixture.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList suiteCodes = {QStringLiteral("VQN19040"), QStringLiteral("VQN19050"),
                                QStringLiteral("VQN18100")};

} // namespace

class TestSuitePackages : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_fixture.start(); }
    void cleanup()
    {
        const QStringList unexpected = m_fixture.finish();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join('\n')));
    }

    void packageServesItsCodeWhileLoaded_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("code");
        QTest::newRow("nutrient calculation") << "Pkg_VQN19040" << "Cli_vqn19040" << "VQN19040";
        QTest::newRow("formulation copy") << "Pkg_VQN19050" << "Cli_vqn19050" << "VQN19050";
        QTest::newRow("statistics") << "Pkg_VQN18100" << "Cli_vqn18100" << "VQN18100";
    }
    void packageServesItsCodeWhileLoaded()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, unit);
        QFETCH(QString, code);
        PackageLoader package(QDir(QCoreApplication::applicationDirPath()).filePath(fileName));
        QVERIFY2(package.load(), qPrintable(package.errorString()));
        QCOMPARE(package.unitNames(), (QStringList{QStringLiteral("ScreenLoader"), unit}));
        QVERIFY(IsScreenRegistered(code));
        package.unload();
        QVERIFY(!IsScreenRegistered(code));
    }

    // From the executables' folder every code opens its package's screen;
    // from a folder without the packages each opens the stand-in, showing
    // what it was handed, and each missing package is reported.
    void everyCodeOpensAScreen_data()
    {
        QTest::addColumn<bool>("packagesPresent");
        QTest::newRow("packages next to the host") << true;
        QTest::newRow("packages missing") << false;
    }
    void everyCodeOpensAScreen()
    {
        QFETCH(bool, packagesPresent);
        const QTemporaryDir empty;
        QStringList shown;
        QStringList expected;
        QStringList failures;
        {
            SuitePackages packages(packagesPresent ? QCoreApplication::applicationDirPath() : empty.path());
            failures = packages.load();
            for (const QString &code : suiteCodes) {
                m_fixture.interaction().answerDialog([&shown](QDialog &screen) {
                    auto *codeLabel = screen.findChild<QLabel *>(QStringLiteral("lblCodTela"));
                    auto *values = screen.findChild<QListWidget *>();
                    shown << (codeLabel ? codeLabel->text()
                                        : screen.objectName() + ' ' + (values ? values->item(1)->text() : QString()));
                    return int(QDialog::Rejected);
                });
                LoadBPL(code, QVariantList{QStringLiteral("S"), QStringLiteral("0001")});
                expected << (packagesPresent ? code : QStringLiteral("frmTela%1 0001").arg(code));
            }
            // Compared while the packages are loaded: a text a screen shows
            // may be a literal of its package, gone when it is unloaded.
            QCOMPARE(shown, expected);
        }
        QCOMPARE(failures.size(), packagesPresent ? 0 : suiteCodes.size());
        for (const QString &code : suiteCodes) {
            // Gone with its package; the stand-in stays under a code no package took.
            QCOMPARE(IsScreenRegistered(code), !packagesPresent);
            UnregisterScreen(code);
        }
    }

private:
    ScreenFixture m_fixture;
};

QTEST_MAIN(TestSuitePackages)
#include "tst_suitepackages.moc"
