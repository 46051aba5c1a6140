// The query of a FHIR search, split into parameters as the HTTP server
// hands them (name=value pairs separated by "&").
#include "fuzzinput.h"

#include "lib/fhirsearch.h"
#include "lib/requesterror.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QList<QPair<QString, QString>> parameters;
    for (const QString &pair : fuzzText(data, size).split(QLatin1Char('&'))) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        parameters.append({pair.left(equals), equals < 0 ? QString() : pair.mid(equals + 1)});
    }
    try {
        FhirSearch::parse(parameters);
    } catch (const RequestError &) {
    }
    return 0;
}
