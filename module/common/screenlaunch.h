#pragma once

// The module's screen launches, defined by the package, declared here so
// that a screen opens another without including it.

extern "C" {
// Creates the editor once and shows it as a child of the host main window.
void CriaEntParenteral();
// Shows the editor's filter dialog modally (created once per editor) and
// returns its modal result.
int CriaFiltroEntParent();
// Shows a new automatic schedule dialog modally and returns its modal result.
int CriaAutoEnteral();
}

// Shows a new report selection screen modally and returns its modal result.
int CriaRelEntPare();
