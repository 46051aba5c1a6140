#include "core/velunor.h"

#include <stdexcept>

bool boPrimVez = false;

OperatorContext &operatorContext()
{
    static OperatorContext context;
    return context;
}

QString Operador()
{
    return operatorContext().operador;
}

QString NomeOperador()
{
    return operatorContext().nomeOperador;
}

QString FiliProc()
{
    return operatorContext().filiProc;
}

QString NomeFiliProc()
{
    return operatorContext().nomeFiliProc;
}

bool ModuFili()
{
    return operatorContext().moduFili;
}

QString WebURL()
{
    return operatorContext().webUrl;
}

int WebPort()
{
    return operatorContext().webPort;
}

const CodePicture &DBPictObj(int kind)
{
    if (kind < 0 || kind > 1)
        throw std::out_of_range("code picture kind must be 0 or 1");
    return operatorContext().codePictures[kind];
}

QString DBPict(int kind)
{
    return DBPictObj(kind).mask;
}
