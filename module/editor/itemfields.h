#pragma once

#include <QString>

// Field names of the composition item list (cdsConfesco) that its record
// level, its grid and their tests share.
namespace ItemField {
inline const QString Number = QStringLiteral("CDSEQUCOPR");
inline const QString Date = QStringLiteral("DTCONSCONF");
inline const QString Hour = QStringLiteral("HRCONF");
inline const QString Hours = QStringLiteral("HRCONSCONF");
inline const QString Route = QStringLiteral("CDVIACESDIET");
inline const QString Preparation = QStringLiteral("IDPREPCONF");
inline const QString Formulation = QStringLiteral("CDFORMULACAO");
inline const QString Unit = QStringLiteral("SGUNIDADE");
inline const QString Prescribed = QStringLiteral("QTPRATCONF");
inline const QString Infused = QStringLiteral("QTINFUCONF");
inline const QString Speed = QStringLiteral("QTSERVCONF");
inline const QString Note = QStringLiteral("DSOBSCONF");
// The preparation of a dish (open system); any other is a product.
inline const QString OpenSystem = QStringLiteral("A");
} // namespace ItemField
