// Hour and duration texts as the screens convert them: a duration text read
// and written back (the automatic schedule's intervals), a clock text read
// and normalised.
#include "fuzzinput.h"

#include "common/hourtext.h"
#include "core/messages.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TMessages messages{{QStringLiteral("ValCons_Inv"), QString(), QStringLiteral("Valor inválido.")}};
    const QString text = fuzzText(data, size);
    try {
        RealToStTime(StTimeReal(text, messages));
    } catch (const Abort &) {
    }
    try {
        StTimeToReal(text);
    } catch (const HourConversionError &) {
    }
    Ajusta_Hora(text);
    return 0;
}
