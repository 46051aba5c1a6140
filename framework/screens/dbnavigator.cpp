#include "screens/dbnavigator.h"

#include "core/abort.h"
#include "core/clientdataset.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

TDBNavigator::TDBNavigator(QWidget *parent)
    : QWidget(parent)
    , m_link(this, [this] { updateButtons(); })
{
    setAccessibleName(tr("Navegador de registros"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_first = addButton(QStringLiteral("btnPrimeiro"), tr("Primeiro registro"),
                        QStyle::SP_MediaSkipBackward, &TDBNavigator::moveFirst);
    m_prior = addButton(QStringLiteral("btnAnterior"), tr("Registro anterior"),
                        QStyle::SP_MediaSeekBackward, &TDBNavigator::movePrior);
    m_next = addButton(QStringLiteral("btnProximo"), tr("Próximo registro"),
                       QStyle::SP_MediaSeekForward, &TDBNavigator::moveNext);
    m_last = addButton(QStringLiteral("btnUltimo"), tr("Último registro"),
                       QStyle::SP_MediaSkipForward, &TDBNavigator::moveLast);
    updateButtons();
}

QToolButton *TDBNavigator::addButton(const QString &objectName, const QString &hint,
                                     QStyle::StandardPixmap icon, void (TDBNavigator::*move)())
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(style()->standardIcon(icon));
    button->setAutoRaise(true);
    layout()->addWidget(button);
    connect(button, &QToolButton::clicked, this, [this, move] {
        runGuarded([this, move] { (this->*move)(); });
    });
    return button;
}

ClientDataSet *TDBNavigator::DataSet() const
{
    return m_link.dataSet();
}

void TDBNavigator::SetDataSet(ClientDataSet *dataSet)
{
    m_link.setDataSet(dataSet);
}

void TDBNavigator::moveFirst()
{
    DataSet()->First();
}

void TDBNavigator::movePrior()
{
    DataSet()->Prior();
}

void TDBNavigator::moveNext()
{
    DataSet()->Next();
}

void TDBNavigator::moveLast()
{
    DataSet()->Last();
}

void TDBNavigator::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}

void TDBNavigator::updateButtons()
{
    const ClientDataSet *data = DataSet();
    const bool active = isEnabled() && data && data->Active() && !data->IsEmpty();
    const int row = active ? data->RecNo() : -1;
    const int last = active ? data->RecordCount() - 1 : -1;
    m_first->setEnabled(active && row > 0);
    m_prior->setEnabled(active && row > 0);
    m_next->setEnabled(active && row < last);
    m_last->setEnabled(active && row < last);
}
