#include "widgets/waitanimation.h"

#include <QApplication>
#include <QBackingStore>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QWindow>

namespace {

int g_depth = 0;
QPointer<QLabel> g_label;

QString kindText(int kind)
{
    return kind == 6 ? QStringLiteral("Aguarde, consultando...") : QStringLiteral("Aguarde...");
}

// Paints the label alone into its window and shows it at once, as the work
// that follows blocks the event loop. A repaint() would first paint every
// widget of the window waiting for it (after a page change, the whole page
// and its grid, with the content about to be replaced).
void paintAtOnce(QLabel &label)
{
    QWidget *window = label.window();
    QWindow *handle = window->windowHandle();
    QBackingStore *store = window->backingStore();
    if (!handle || !handle->isExposed() || !store)
        return;
    const QRect rect(label.mapTo(window, QPoint(0, 0)), label.size());
    store->beginPaint(rect);
    {
        QPainter painter(store->paintDevice());
        label.render(&painter, rect.topLeft());
    }
    store->endPaint();
    store->flush(rect, handle);
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
    paintAtOnce(*g_label);
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
