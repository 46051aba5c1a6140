#pragma once

class ClientDataSet;
class QChart;

// The statistics screen's charts, built afresh from its datasets (the
// chart views take ownership).
// Prescribed against infused volume, one pair of bars per service and diet.
QChart *VolumeChart(ClientDataSet &diets);
// Interruptions per occurrence type.
QChart *InterruptionChart(ClientDataSet &interruptions);
