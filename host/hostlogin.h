#pragma once

#include <QString>

struct HostOptions;

// The operator's login to the application server: before the first screen
// opens, and again whenever a call finds the session ended. With a password
// file its first line is the password (read again at each login, so it is
// not kept in memory); otherwise the login dialog asks, the operator filled
// in (and fixed once screens are open).
namespace HostLogin {

// Logs in and installs the renewal for every connection of the process; the
// operator context then holds the session and the operator who logged in.
// False when the user cancelled (*error empty) or the login failed (*error
// says why).
bool start(const HostOptions &options, QString *error);

// Ends the operator's session (Logout) and the renewal, when the host closes.
void finish();

// The first line of a password file, without its line ending; false with the
// reason otherwise.
bool readPasswordFile(const QString &path, QString *password, QString *error);

} // namespace HostLogin
