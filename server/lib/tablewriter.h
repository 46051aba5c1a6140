#pragma once

#include "lib/sqlsession.h"

#include <QString>
#include <QVariantList>

// Inserts one row given every column of the table in schema order; QDate and
// QDateTime values are stored in the canonical date-time form. Used to seed
// reference, demo and test data.
void insertRow(SqlSession &session, const QString &table, const QVariantList &values);
