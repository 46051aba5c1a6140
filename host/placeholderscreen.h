#pragma once

#include <QDialog>
#include <QVariant>

class QLabel;
class QListWidget;

// Stands in for a screen of another module of the suite: it shows its
// screen code and the values it was handed (a single value, or each value
// of a list in order), and closes.
class PlaceholderScreen : public QDialog
{
    Q_OBJECT
public:
    PlaceholderScreen(const QString &screenCode, const QVariant &value, QWidget *parent = nullptr);

    QStringList valueTexts() const;
    bool receivedList() const { return m_list; }

private:
    QLabel *m_kind;
    QListWidget *m_values;
    bool m_list;
};

// Registers the placeholder under a code that the editor opens and another
// package serves. Called before that package is loaded, so its screen
// replaces the placeholder.
void registerPlaceholderScreen(const QString &screenCode);
