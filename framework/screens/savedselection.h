#pragma once

#include <QString>

class ClientDataSet;
class QWidget;

// The saved selection "FILPACI.cds": the branch and patient last worked on,
// one row of the main window's dataset "cdsFiltro" (fields CDFILIAL,
// CDPACIENTE) written as a client dataset file. It lives next to the host
// executable when that folder is writable, otherwise (an installed package)
// in the user's data folder. The host and the module both take the path
// from here.
QString savedSelectionPath();

// Remembers the selection of a closing screen in cdsFiltro and in the file:
// the branch typed in its "medFilial", the patient typed in its
// "edtCdPaciente", or else the current row of its patient list
// "cdsPaciFiltro". A screen without a branch leaves both untouched.
void rememberSelection(const QWidget &screen, ClientDataSet &cdsFiltro, const QString &path);
