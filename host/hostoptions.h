#pragma once

#include <QString>
#include <QStringList>

// How the host starts: who works in which branch, which database, and where
// the application server is. Read from the settings file, then overridden by
// the command line.
struct HostOptions
{
    QString operatorCode;
    QString operatorName;           // empty: read from the suite's OPERADOR table
    QString branch;
    bool fixedBranch = false;       // modules bound to the current branch
    QString database;               // SQLite file or postgresql:// URL
    bool startServer = true;        // run the application server in-process
    bool demo = false;              // the in-process server fills an empty database with demo data
    QString serverAddress = QStringLiteral("127.0.0.1");
    int serverPort = 0;
    QString passwordFile;           // first line: the operator's password; empty: the login dialog asks
    QString caFile;                 // PEM of the CA of the server's certificate: HTTPS to the server
    QString startRoutine = QStringLiteral("IniProc");   // module routine opened at start
};

// Reads the settings file alone (defaults for what it does not hold).
void readHostSettings(HostOptions *options);

// Reads the options. On a command-line error returns false with the message
// in *error; --help and --version print and exit (code 0). Needs only a
// QCoreApplication, so help works without a display.
bool readHostOptions(const QStringList &arguments, HostOptions *options, QString *error);

// True when the arguments ask only for help or the version.
bool asksForHelp(const QStringList &arguments);

// Fills the shared operator context from the options (the names of the
// operator and of the branch are filled once the database is open, the
// session token once the operator has logged in).
void applyOperatorContext(const HostOptions &options);
