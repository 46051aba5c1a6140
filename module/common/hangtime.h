#pragma once

#include <QString>

class TNetConnection;

// The safe hang time of a branch's systems: how long one prescribed volume
// may take to run at its speed, for the open system (preparation "A") and
// the closed one (any other preparation). The server answers the defaults
// where the branch has none.
class HangLimits
{
public:
    // Reads the branch's limits with getParaHang; a failure is reported and
    // ends the operation.
    static HangLimits load(TNetConnection &connection, const QString &branch);

    double hoursFor(const QString &preparation) const;

private:
    double m_open = 4;
    double m_closed = 24;
};

// When the prescribed volume at the speed takes longer than the limit of the
// preparation's system, asks (Sim/Não) whether to go on, naming the item and
// the hours; true when within the limit or the answer is Sim.
bool ConfirmHangTime(const HangLimits &limits, const QString &preparation, double volume, double speed,
                     const QString &itemName);
