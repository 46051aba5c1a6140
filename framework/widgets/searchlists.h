#pragma once

#include <QString>

class ClientDataSet;
class TADOIBQuery;

// Search lists over a dataset, shown through the interaction seam.
//
// `titleBarEmpty` is the list's title and the text shown when there is
// nothing to list, joined by "|" ("Filial|Não há filial cadastrada."). A
// closed query (TADOIBQuery) is opened first; an empty dataset shows the
// empty-list text and lists nothing. The boolean arguments are accepted for
// the callers' sake and change nothing.

// Lets the user pick one row: true when a row was picked, the dataset then
// standing on it; on cancel the dataset goes back to the row it was on.
bool Pesquisar(ClientDataSet &dataSet, const QString &titleBarEmpty, bool = false, bool = true);
// Pesquisar over a query, opening it first when it is closed.
bool Pesquisar_Plus(TADOIBQuery &query, const QString &titleBarEmpty, bool = false, bool = true);

// Lets the user mark rows and returns their `keyField` values as one code
// list text (codelist.h). `list` is the current code list: its codes start
// marked. Cancelling, or an empty dataset, returns `list` unchanged; marking
// nothing returns an empty text. The dataset's position is kept.
QString PesquisaLista(ClientDataSet &dataSet, const QString &keyField,
                      const QString &titleBarEmpty, bool, const QString &list);

// The find dialog over a dataset: true when a row was found, the dataset
// then standing on it. A closed or empty dataset finds nothing.
bool Procura(ClientDataSet &dataSet);
