#include "placeholderscreen.h"

#include "screens/screenloader.h"

#include <QDate>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return QLocale().toString(value.toDateTime(), QLocale::ShortFormat);
    default:
        return value.toString();
    }
}

} // namespace

PlaceholderScreen::PlaceholderScreen(const QString &screenCode, const QVariant &value, QWidget *parent)
    : QDialog(parent)
    , m_kind(new QLabel(this))
    , m_values(new QListWidget(this))
    , m_list(value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList)
{
    setObjectName(QStringLiteral("frmTela") + screenCode);
    setWindowTitle(tr("Tela %1").arg(screenCode));

    const QVariantList values = m_list ? value.toList() : QVariantList{value};
    for (const QVariant &item : values)
        m_values->addItem(valueText(item));
    m_kind->setText(m_list ? tr("Lista de %n valor(es) recebida:", nullptr, int(values.size()))
                           : tr("Valor único recebido:"));
    m_kind->setBuddy(m_values);
    m_values->setObjectName(QStringLiteral("lstValores"));
    m_values->setAccessibleName(tr("Valores recebidos"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("&Fechar"));
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(tr("Fechar"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Esta tela pertence a outro módulo; aqui ela apenas mostra o que "
                                    "recebeu."), this));
    layout->addWidget(m_kind);
    layout->addWidget(m_values);
    layout->addWidget(buttons);
}

QStringList PlaceholderScreen::valueTexts() const
{
    QStringList texts;
    for (int row = 0; row < m_values->count(); ++row)
        texts << m_values->item(row)->text();
    return texts;
}

void registerPlaceholderScreen(const QString &screenCode)
{
    RegisterScreen(screenCode, [screenCode](const QVariant &value, QWidget *parent) -> QDialog * {
        return new PlaceholderScreen(screenCode, value, parent);
    });
}
