#pragma once

#include <QString>

// The composition per mL of the formulation an item (alias C of CONFESCO)
// uses: its dish (alias R) in the open system ("A"), its product (alias P)
// otherwise. Every query that turns volumes into energy and protein joins
// and reads them the same way.
namespace ItemComposition {

inline const QString joins = QStringLiteral(
    " LEFT JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO"
    " LEFT JOIN PRATO R ON R.CDFILIAL = COALESCE(C.CDFILAUXPRAT, C.CDFILIAL) AND R.CDPRATO = C.CDPRATO");
inline const QString kcalPerMl = QStringLiteral("CASE WHEN C.IDPREPCONF = 'A' THEN R.QTKCALML ELSE P.QTKCALML END");
inline const QString proteinPerMl =
    QStringLiteral("CASE WHEN C.IDPREPCONF = 'A' THEN R.QTPROTML ELSE P.QTPROTML END");

} // namespace ItemComposition
