#include "widgets/waitanimation.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>

namespace {

int g_depth = 0;
QPointer<QLabel> g_label;

QString kindText(int kind)
{
    return kind == 6 ? QStringLiteral("Aguarde, consultando...") : QStringLiteral("Aguarde...");
}

} // namespace

void ActiveShowAvi(QWidget *form, int kind)
{
    if (g_depth++ > 0)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!form)
        return;
    g_label = new QLabel(kindText(kind), form);
    g_label->setObjectName(QStringLiteral("aviAguarde"));
    g_label->setAccessibleName(g_label->text());
    g_label->setFrameShape(QFrame::Box);
    g_label->setAutoFillBackground(true);
    g_label->setMargin(6);
    g_label->adjustSize();
    g_label->move((form->width() - g_label->width()) / 2, (form->height() - g_label->height()) / 2);
    g_label->show();
    g_label->raise();
    // The work that follows blocks the event loop: paint now.
    g_label->repaint();
}

void DeactiveShowAvi()
{
    if (g_depth == 0 || --g_depth > 0)
        return;
    QApplication::restoreOverrideCursor();
    delete g_label.data();
}

bool ShowAviActive()
{
    return g_depth > 0;
}
