#include "hangtime.h"

#include "hourtext.h"

#include "core/interaction.h"
#include "core/packets.h"
#include "net/servercall.h"

#include <QCoreApplication>

namespace {

const QString OpenSystem = QStringLiteral("A");

// Hours as "h:mm", minutes rounded.
QString hoursText(double hours)
{
    const qint64 minutes = qRound64(hours * 60.0);
    return QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

HangLimits HangLimits::load(TNetConnection &connection, const QString &branch)
{
    const DataPacket packet = DataPacket::fromJson(CallServer(connection, QStringLiteral("getParaHang"), {branch}));
    const int preparation = packet.indexOf(QStringLiteral("IDPREPCONF"));
    const int hours = packet.indexOf(QStringLiteral("HRMAXHANG"));
    HangLimits limits;
    for (const QVector<QVariant> &row : packet.rows)
        (row.at(preparation).toString() == OpenSystem ? limits.m_open : limits.m_closed) =
            StTimeToReal(row.at(hours).toString());
    return limits;
}

double HangLimits::hoursFor(const QString &preparation) const
{
    return preparation == OpenSystem ? m_open : m_closed;
}

bool ConfirmHangTime(const HangLimits &limits, const QString &preparation, double volume, double speed,
                     const QString &itemName)
{
    const double limit = limits.hoursFor(preparation);
    if (!(speed > 0) || volume / speed <= limit)
        return true;
    const QString system = preparation == OpenSystem
        ? QCoreApplication::translate("HangTime", "aberto")
        : QCoreApplication::translate("HangTime", "fechado");
    return interaction().question(
        QCoreApplication::translate("HangTime", "O item %1 leva %2 h para ser infundido, mais que o tempo máximo "
                                                "de %3 h do sistema %4. Deseja continuar?")
            .arg(itemName, hoursText(volume / speed), hoursText(limit), system));
}
