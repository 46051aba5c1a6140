#pragma once

#include <QString>

class SqlSession;

// Who may prescribe: only a nutritionist of the branch (table NUTRICIO, the
// rule getNutricio answers to the screens) creates service records and
// copies formulations. The server checks it itself, whatever a client sends.
namespace PrescriberRule {

QString refusedMessage();

// Throws RequestError with refusedMessage() unless the operator of the
// session's call is a nutritionist of the branch.
void requireNutritionist(SqlSession &session, const QString &branch);

} // namespace PrescriberRule
