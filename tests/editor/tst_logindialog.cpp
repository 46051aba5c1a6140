// The host's login dialog as the operator meets it at start: a refused
// password is told in the dialog, which stays for another try; the right one
// opens the session the editor then works in; Cancelar gives up.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "core/velunor.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "hostlogin.h"
#include "hostoptions.h"
#include "logindialog.h"
#include "net/tnetconnection.h"
#include "screens/hostmainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestLoginDialog : public EditorTestCase
{
    Q_OBJECT

private slots:
    void theOperatorLogsInThroughTheDialog_data()
    {
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("loggedIn");
        const QString refused = QStringLiteral("Usuário ou senha inválidos.");
        QTest::newRow("wrong, then right") << QStringList{"errada", Fixture::Password} << QStringList{refused, QString()}
                                           << true;
        QTest::newRow("right at once") << QStringList{Fixture::Password} << QStringList{QString()} << true;
        QTest::newRow("wrong, then Cancelar") << QStringList{"errada", QString()} << QStringList{refused, refused}
                                              << false;
    }
    // Each password is typed and Entrar pressed; an empty one presses
    // Cancelar. `shown` is the message the dialog shows after each (none
    // once it has closed on a login).
    void theOperatorLogsInThroughTheDialog()
    {
        QFETCH(QStringList, passwords);
        QFETCH(QStringList, shown);
        QFETCH(bool, loggedIn);
        // The harness logged in by itself: this workstation starts anew.
        TNetConnection::SetLoginHandler({});
        operatorContext().webToken.clear();

        QStringList messages;
        QString prefilled;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<LoginDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            prefilled = dialog->edtOperador->text();
            for (const QString &password : passwords) {
                if (password.isEmpty()) {
                    messages << dialog->lblMensagem->text();
                    QTest::mouseClick(dialog->btnCancelar, Qt::LeftButton);
                    break;
                }
                dialog->edtSenha->setFocus();
                QTest::keyClicks(dialog->edtSenha, password);
                QTest::mouseClick(dialog->btnEntrar, Qt::LeftButton);
                messages << (dialog->lblMensagem->isVisible() ? dialog->lblMensagem->text() : QString());
            }
        });
        HostOptions options;
        QString error;
        QCOMPARE(HostLogin::start(options, &error), loggedIn);
        QCOMPARE(error, QString());
        QCOMPARE(prefilled, Fixture::Nutritionist);
        QCOMPARE(messages, shown);
        QCOMPARE(operatorContext().webToken.isEmpty(), !loggedIn);
        if (!loggedIn)
            return;

        // The host window is in front again once the dialog has closed.
        m_harness->host().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_harness->host()));
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
        QCOMPARE(m_editor->cdsServInte->RecordCount(), 2);
    }

    void theDialogNamesItsControls()
    {
        LoginDialog dialog(Fixture::Nutritionist, true, [](const QString &, const QString &) { return QString(); });
        for (QWidget *control : dialog.findChildren<QWidget *>()) {
            if (qobject_cast<QLineEdit *>(control) || qobject_cast<QPushButton *>(control))
                QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
        QVERIFY(dialog.edtOperador->isReadOnly());
        QCOMPARE(dialog.edtSenha->echoMode(), QLineEdit::Password);
    }
};

QTEST_MAIN(TestLoginDialog)
#include "tst_logindialog.moc"
