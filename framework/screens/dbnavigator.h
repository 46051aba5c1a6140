#pragma once

#include "screens/datasetlink.h"

#include <QStyle>
#include <QWidget>

class ClientDataSet;
class QToolButton;

// Record navigator: first, prior, next and last over one client dataset.
// A button is enabled only when the move it makes is possible; every move
// runs guarded, so a refused post (moving posts a pending edit) leaves the
// navigator usable.
class TDBNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget *parent = nullptr);

    ClientDataSet *DataSet() const;
    // Binds the navigator to another dataset (nullptr unbinds it).
    void SetDataSet(ClientDataSet *dataSet);

    QToolButton *firstButton() const { return m_first; }
    QToolButton *priorButton() const { return m_prior; }
    QToolButton *nextButton() const { return m_next; }
    QToolButton *lastButton() const { return m_last; }

protected:
    void changeEvent(QEvent *event) override;

private:
    QToolButton *addButton(const QString &objectName, const QString &hint, QStyle::StandardPixmap icon,
                           void (TDBNavigator::*move)());
    void moveFirst();
    void movePrior();
    void moveNext();
    void moveLast();
    void updateButtons();

    DataSetLink m_link;
    QToolButton *m_first;
    QToolButton *m_prior;
    QToolButton *m_next;
    QToolButton *m_last;
};
