#pragma once

#include <QString>

#include <memory>

namespace httplib {
class Server;
}

// The HTTP server of the application server: plain, or HTTPS when a
// certificate (PEM, the chain after the server's own) and its private key are
// given. Over HTTPS, TLS 1.2 or later only; a client that speaks plain HTTP
// to it is answered, in plain HTTP, a refusal saying that the server only
// takes secure connections, instead of a connection closed without a word.
// Throws RequestError when the certificate or the key cannot be used.
std::unique_ptr<httplib::Server> makeHttpServer(const QString &certificateFile, const QString &keyFile);

// The refusal a plain-HTTP client reads from an HTTPS server.
QString plainHttpRefusedMessage();
