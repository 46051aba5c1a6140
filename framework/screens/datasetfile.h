#pragma once

#include <QString>

class ClientDataSet;

// A client dataset file: the dataset's rows saved as one data packet in JSON
// ({"fields":[...],"rows":[[...]]}, the application server's packet format),
// so any dataset with matching fields reads it back.

// Writes the rows (calculated fields left out), replacing the file at once.
// Throws UserError when the file cannot be written.
void SaveToFile(const ClientDataSet &data, const QString &path);

// Replaces the dataset's content with the file's rows and opens it on the
// first one. Throws UserError when the file cannot be read or is no packet.
void LoadFromFile(ClientDataSet &data, const QString &path);
