// The code lists of the marking search list, '0001','A''B'. A list that was
// read must read back the same codes once written again.
#include "fuzzinput.h"

#include "lib/codelist.h"
#include "lib/requesterror.h"

#include <cstdlib>

namespace {

QString written(const QStringList &codes)
{
    QStringList quoted;
    for (QString code : codes)
        quoted.append(QLatin1Char('\'') + code.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\''));
    return quoted.join(QLatin1Char(','));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList codes;
    try {
        codes = parseCodeList(fuzzText(data, size));
    } catch (const RequestError &) {
        return 0;
    }
    if (parseCodeList(written(codes)) != codes)
        std::abort();
    QVariantList binds;
    codeListCondition(QStringLiteral("CDALA"), QStringLiteral("F"), written(codes), binds);
    return 0;
}
