#pragma once

#include <QSqlDatabase>

// The version of the suite's tables, kept in the table VERSAOESQUEMA (one row
// per version applied, with the time it was applied). A database made before
// the table existed is at version 1. Every change to the tables described in
// schema.cpp appends an upgrade step in schemaversion.cpp, so that a server
// starting on an older database brings it up to date before it serves.
namespace SchemaVersion {

// The version this server's tables are at.
int current();

// Records the current version in a database whose tables were just created
// (inside the caller's transaction).
void markCurrent(QSqlDatabase &db);

// Drops the version table, if any.
void drop(QSqlDatabase &db);

struct Upgrade
{
    int from = 0;
    int to = 0;
};

// Brings a database that holds the suite's tables up to current(): creates
// the version table when missing and runs the steps still missing, all in
// one transaction (several servers starting together upgrade once). A
// database already at current() is only read. One at a newer version than
// this server knows is refused with RequestError, untouched.
Upgrade upgrade(QSqlDatabase &db);

} // namespace SchemaVersion
