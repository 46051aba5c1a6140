#pragma once

#include <QString>

// A code picture: how codes of one kind are typed (classic edit mask) and how
// many levels their hierarchy has. Kind 0 is the product tree, kind 1 the
// dish codes.
struct CodePicture
{
    QString mask;
    int levels = 1;

    int GetTtNiveis() const { return levels; }
};

// Who is working where, and which application server serves them. The host
// fills it at start-up (and when the operator changes branch); tests set it
// directly. One instance lives in fwcore, shared by the host and the module.
struct OperatorContext
{
    QString operador;           // code of the logged-in operator
    QString nomeOperador;
    QString filiProc;           // current branch code
    QString nomeFiliProc;
    bool moduFili = false;      // modules are bound to the current branch
    QString webUrl = QStringLiteral("127.0.0.1");   // application server host
    int webPort = 0;
    QString webToken;           // the session of the operator's login, sent with every call
    QString webCaFile;          // not empty: HTTPS, the server's certificate checked against this CA (PEM)
    CodePicture codePictures[2];
};

OperatorContext &operatorContext();

QString Operador();
QString NomeOperador();
QString FiliProc();
QString NomeFiliProc();
bool ModuFili();
QString WebURL();
int WebPort();
// The code picture of a kind (0 or 1); any other kind throws std::out_of_range.
const CodePicture &DBPictObj(int kind);
// The edit mask of a kind's code picture.
QString DBPict(int kind);

// Set when a screen is created, cleared by its first activation, so that the
// one-time set-up of FormActivate runs once. A single flag shared by the host
// and every module it loads.
extern bool boPrimVez;
