#include "lib/tlsserver.h"

#include "lib/methodtable.h"
#include "lib/requesterror.h"

#include <httplib.h>

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString openSslError()
{
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    ERR_clear_error();
    return QString::fromLatin1(text);
}

// Writes the refusal on the raw socket and reads what the client sent until
// it closes (half a second at most): closing a socket with unread data would
// reset the connection and could take the answer with it.
void refusePlainHttp(int fd)
{
    const QByteArray body = failureEnvelope(plainHttpRefusedMessage());
    const QByteArray reply = QByteArrayLiteral("HTTP/1.1 400 Bad Request\r\nContent-Type: application/json; "
                                               "charset=utf-8\r\nConnection: close\r\nContent-Length: ")
        + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    if (::send(fd, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL) != reply.size())
        return;
    ::shutdown(fd, SHUT_WR);
    char sink[4096];
    pollfd wait{fd, POLLIN, 0};
    for (int rounds = 0; rounds < 50 && ::poll(&wait, 1, 10) >= 0; ++rounds) {
        if (wait.revents == 0)
            continue;
        if (::recv(fd, sink, sizeof sink, 0) <= 0)
            return;
    }
}

// Watches each handshake: OpenSSL tells a first record that reads as an HTTP
// request apart (SSL_R_HTTP_REQUEST). The error queue is cleared when the
// handshake starts, so an error left by an earlier connection of the same
// thread is never taken for this one's.
void watchHandshake(const SSL *ssl, int where, int result)
{
    if (where & SSL_CB_HANDSHAKE_START) {
        ERR_clear_error();
        return;
    }
    if ((where & SSL_CB_ACCEPT_EXIT) != SSL_CB_ACCEPT_EXIT || result > 0)
        return;
    if (ERR_GET_REASON(ERR_peek_error()) == SSL_R_HTTP_REQUEST)
        refusePlainHttp(SSL_get_fd(ssl));
}

} // namespace

QString plainHttpRefusedMessage()
{
    return QStringLiteral("O servidor de aplicação só aceita conexões seguras (HTTPS). Informe o certificado da "
                          "autoridade certificadora do servidor (--ca-file).");
}

std::unique_ptr<httplib::Server> makeHttpServer(const QString &certificateFile, const QString &keyFile)
{
    if (certificateFile.isEmpty() && keyFile.isEmpty())
        return std::make_unique<httplib::Server>();
    if (certificateFile.isEmpty() || keyFile.isEmpty())
        throw RequestError(QStringLiteral("Para HTTPS informe o certificado e a chave privada do servidor."));
    QString problem;
    auto server = std::make_unique<httplib::SSLServer>([&](SSL_CTX &context) {
        SSL_CTX_set_min_proto_version(&context, TLS1_2_VERSION);
        SSL_CTX_set_options(&context, SSL_OP_NO_COMPRESSION | SSL_OP_NO_SESSION_RESUMPTION_ON_RENEGOTIATION);
        if (SSL_CTX_use_certificate_chain_file(&context, certificateFile.toLocal8Bit().constData()) != 1) {
            problem = QStringLiteral("o certificado %1 não pôde ser lido (%2)").arg(certificateFile, openSslError());
            return false;
        }
        if (SSL_CTX_use_PrivateKey_file(&context, keyFile.toLocal8Bit().constData(), SSL_FILETYPE_PEM) != 1
            || SSL_CTX_check_private_key(&context) != 1) {
            problem = QStringLiteral("a chave %1 não pôde ser lida ou não é a do certificado (%2)")
                          .arg(keyFile, openSslError());
            return false;
        }
        SSL_CTX_set_info_callback(&context, watchHandshake);
        return true;
    });
    if (!server->is_valid())
        throw RequestError(QStringLiteral("HTTPS indisponível: %1.")
                               .arg(problem.isEmpty() ? QStringLiteral("falha ao preparar o TLS") : problem));
    return server;
}
