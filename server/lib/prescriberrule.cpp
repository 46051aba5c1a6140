#include "lib/prescriberrule.h"

#include "lib/sqlsession.h"

namespace PrescriberRule {

QString refusedMessage()
{
    return QStringLiteral("Operador não está cadastrado como nutricionista.");
}

void requireNutritionist(SqlSession &session, const QString &branch)
{
    const auto rows = session.select(QStringLiteral("SELECT 1 FROM NUTRICIO WHERE CDFILIAL = ? AND CDNUTRICIO = ?"),
                                     {branch, session.origin().operatorCode.trimmed()});
    if (rows.isEmpty())
        throw RequestError(refusedMessage());
}

} // namespace PrescriberRule
