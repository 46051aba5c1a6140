#pragma once

#include "editortestcase.h"
#include "windowactivation.h"

#include "core/clientdataset.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "nutrientcalc/frmcalcnutri.h"
#include "widgets/dbgrid.h"

#include <QDialog>
#include <QTest>
#include <QToolButton>

#include <functional>

// The calculation's screen tests: the editor on the patient's record of the
// day, then a click on "Calcular Nutrientes" opens the screen, on which
// `act` works before it is closed.
class CalcNutriTestCase : public EditorTestCase
{
protected:
    void openScreen(const QString &patient, const QDate &day, const std::function<void(TfrmCalcNutri &)> &act)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(patient);
        ClientDataSet &records = *m_editor->cdsServInte;
        for (int moves = 0; moves < records.RecordCount()
             && records.FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime().date() != day;
             ++moves)
            QTest::keyClick(m_editor->dbgServico, Qt::Key_Down);
        script().answerDialog([act](QDialog &dialog) {
            if (!showActive(dialog))
                return int(QDialog::Rejected);
            act(static_cast<TfrmCalcNutri &>(dialog));
            dialog.reject();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(m_editor->sbtCalcNutri, Qt::LeftButton);
        QVERIFY(script().allAnswersUsed());
    }
};
