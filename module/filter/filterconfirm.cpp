// Confirming the filter: the checks, then the editor's filter and list.

#include "filter/frmfiltrarentparent.h"

#include "editor/frmentparenteral.h"

#include "core/abort.h"
#include "widgets/dateeditplus.h"
#include "core/messages.h"

#include <QRadioButton>

#include <array>

using namespace Cli_vqn18010;

namespace {

// The editor's eleven filter values, in the order getPaciFiltro takes them.
struct EditorFilter
{
    std::array<QString, 9> texts;
    QDateTime start;
    QDateTime end;
};

std::array<QString *, 9> textsOf(TfrmEntParenteral &editor)
{
    return {&editor.stFiltroTodosPaci,     &editor.stFiltroPaci,  &editor.stFiltroTodosAla,
            &editor.stFiltroAla,           &editor.stFiltroTodosAndar, &editor.stFiltroAndar,
            &editor.stFiltroTodosPadInter, &editor.stFiltroPadInter, &editor.stFiltroTodasDatas};
}

EditorFilter filterOf(TfrmEntParenteral &editor)
{
    EditorFilter filter;
    const auto texts = textsOf(editor);
    for (std::size_t i = 0; i < texts.size(); ++i)
        filter.texts[i] = *texts[i];
    filter.start = editor.dtFiltroIni;
    filter.end = editor.dtFiltroFim;
    return filter;
}

void setFilter(TfrmEntParenteral &editor, const EditorFilter &filter)
{
    const auto texts = textsOf(editor);
    for (std::size_t i = 0; i < texts.size(); ++i)
        *texts[i] = filter.texts[i];
    editor.dtFiltroIni = filter.start;
    editor.dtFiltroFim = filter.end;
}

const QString All = QStringLiteral("T");

// A failed check: the focus goes to the control and the message ends the
// confirmation.
[[noreturn]] void refuse(QWidget *control, const QString &message)
{
    control->setFocus(Qt::OtherFocusReason);
    MensErro(message);
    throw Abort();
}

void checkDate(TDateEditPlus *edit)
{
    if (!edit->CheckValidDate(false)) {
        edit->setFocus(Qt::OtherFocusReason);
        throw Abort();
    }
}

} // namespace

void TfrmFiltrarEntParent::sbtConfirmaClick()
{
    TfrmRotiGeral::sbtConfirmaClick();
    if (rbtListaAndar->isChecked() && stAndar.isEmpty())
        refuse(rbtListaAndar, msgPadrao.Msg(QStringLiteral("Andar_Deve")));
    if (rbtListaAla->isChecked() && stAla.isEmpty())
        refuse(rbtListaAla, msgPadrao.Msg(QStringLiteral("Ala_Deve")));
    if (rbtListaPaci->isChecked() && stPaciente.isEmpty())
        refuse(rbtListaPaci, msgPadrao.Msg(QStringLiteral("Paci_Deve")));
    if (rbtListaPadInter->isChecked() && stPadInter.isEmpty())
        refuse(rbtListaPadInter, msgPadrao.Msg(QStringLiteral("PadInter_Deve")));
    if (depDataIni->IsEmpty() && !depDataFim->IsEmpty())
        refuse(depDataIni, msgPadrao.Msg(QStringLiteral("DataIni_Inf")));
    checkDate(depDataIni);
    if (depDataFim->IsEmpty() && !depDataIni->IsEmpty())
        refuse(depDataFim, msgPadrao.Msg(QStringLiteral("DataFim_Inf")));
    checkDate(depDataFim);
    if (!depDataIni->IsEmpty() && !depDataFim->IsEmpty() && depDataFim->GetDate() < depDataIni->GetDate())
        refuse(depDataIni, msgPadrao.Msg(QStringLiteral("DataIni>DataFim")));

    const auto choice = [](QRadioButton *all, const QString &list) {
        return all->isChecked() ? std::pair{All, QString()} : std::pair{QString(), list};
    };
    const auto [allPatients, patients] = choice(rbtTodosPaci, stPaciente);
    const auto [allWings, wings] = choice(rbtTodosAla, stAla);
    const auto [allFloors, floors] = choice(rbtTodosAndar, stAndar);
    const auto [allStandards, standards] = choice(rbtTodosPadInter, stPadInter);
    EditorFilter chosen{{allPatients, patients, allWings, wings, allFloors, floors, allStandards, standards,
                         depDataIni->IsEmpty() || depDataFim->IsEmpty() ? All : QString()},
                        DateOf(*depDataIni), DateOf(*depDataFim)};

    // The editor keeps its filter and its list unless the new list loaded:
    // a refused or failed load leaves both as they were, and the dialog open.
    TfrmEntParenteral &editor = *Cli_vqn18000::frmEntParenteral;
    const EditorFilter previous = filterOf(editor);
    setFilter(editor, chosen);
    try {
        editor.LoadPatientList(0);
    } catch (...) {
        setFilter(editor, previous);
        throw;
    }
    Atualiza_Filtro(false);
    accept();
}
