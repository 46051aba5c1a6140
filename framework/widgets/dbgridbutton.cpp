#include "widgets/dbgridbutton.h"

#include "widgets/buttonflat.h"

#include <QAbstractScrollArea>
#include <QSplitter>

namespace {

// The widget the button is placed on: the grid's container. A splitter
// would take the button for one of its panes, so its own container is used.
QWidget *ownerOf(const QAbstractScrollArea *grid)
{
    QWidget *owner = grid->parentWidget();
    while (qobject_cast<QSplitter *>(owner))
        owner = owner->parentWidget();
    return owner;
}

} // namespace

DBGridButton::DBGridButton(QAbstractScrollArea *grid, std::function<void()> press)
    : m_grid(grid), m_press(std::move(press))
{
}

DBGridButton::~DBGridButton()
{
    delete m_button;
}

void DBGridButton::Place(const QRect &rect, const QString &title)
{
    QWidget *owner = ownerOf(m_grid);
    if (rect.isEmpty() || !owner) {
        if (m_button)
            m_button->hide();
        return;
    }
    if (!m_button) {
        m_button = new TButtonFlat(owner);
        m_button->setAutoRaise(false);
        m_button->setText(QStringLiteral("…"));
        m_button->SetHint(QStringLiteral("Pesquisar"));
        m_button->OnClick = m_press;
    } else if (m_button->parentWidget() != owner) {
        m_button->setParent(owner);
    }
    // Placed at every paint: assistive technology hears of a new
    // description only when it changes.
    if (m_button->accessibleDescription() != title)
        m_button->setAccessibleDescription(title);
    m_button->setEnabled(m_grid->isEnabled());
    const QRect onOwner(m_grid->viewport()->mapTo(owner, rect.topLeft()), rect.size());
    if (m_button->geometry() != onOwner)
        m_button->setGeometry(onOwner);
    if (m_button->isHidden()) {
        m_button->raise();
        m_button->show();
    }
}
