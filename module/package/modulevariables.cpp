// The module variables of the four units, empty at load.

#include "autoschedule/frmautoenteral.h"
#include "editor/frmentparenteral.h"
#include "filter/frmfiltrarentparent.h"
#include "report/frmrelentpare.h"

namespace Cli_vqn18000 {
QPointer<TfrmEntParenteral> frmEntParenteral;
bool boStCriado = false;
QString stPath;
} // namespace Cli_vqn18000

namespace Cli_vqn18010 {
QPointer<TfrmFiltrarEntParent> frmFiltrarEntParent;
QString stPaciente;
QString stAla;
QString stAndar;
QString stPadInter;
} // namespace Cli_vqn18010

namespace Cli_vqn18020 {
QPointer<TfrmRelEntPare> frmRelEntPare;
QString stLeito;
QString stAndar;
QString stAla;
QString stPadInter;
QString stServico;
QString stDieta;
QString stViaCesDiet;
} // namespace Cli_vqn18020

namespace Cli_vqn18030 {
QPointer<TfrmAutoEnteral> frmAutoEnteral;
} // namespace Cli_vqn18030
