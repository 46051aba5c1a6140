#pragma once

#include <QString>
#include <QVariant>

#include <functional>

class QDialog;
class QWidget;

// Screens of other modules are reached by their screen code. The host
// registers a factory per code; LoadBPL creates that screen, shows it
// modally (through the interaction seam) and returns when it is done.
//
// A factory receives the value handed over (a single value, or a list of
// values as a QVariantList) and the parent to create the dialog under.
using ScreenFactory = std::function<QDialog *(const QVariant &value, QWidget *parent)>;

void RegisterScreen(const QString &screenCode, const ScreenFactory &factory);
void UnregisterScreen(const QString &screenCode);
bool IsScreenRegistered(const QString &screenCode);

// Opens the screen registered under the code with the value and returns its
// modal result once it is closed. An unknown code is reported through
// MensErro and ends the running operation.
int LoadBPL(const QString &screenCode, const QVariant &value);
