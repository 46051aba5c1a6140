#include "widgets/pagetabaccessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QRegularExpression>
#include <QTabBar>

namespace {

QString withoutMnemonic(QString text)
{
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return text.replace(mnemonic, QStringLiteral("\\1"));
}

// One tab of a tab bar: its name, place, state and the press that selects it.
class PageTab : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PageTab(QTabBar *bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_bar); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        if (t == QAccessible::Name) {
            const QString name = m_bar->accessibleTabName(m_index);
            return name.isEmpty() ? withoutMnemonic(m_bar->tabText(m_index)) : name;
        }
        return t == QAccessible::Description ? m_bar->tabToolTip(m_index) : QString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect tab = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(tab.topLeft()), tab.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s = parent()->state();
        s.selectable = true;
        s.selected = m_index == m_bar->currentIndex();
        s.focused = s.selected && m_bar->hasFocus();
        s.disabled = s.disabled || !m_bar->isTabEnabled(m_index);
        s.invisible = s.invisible || !m_bar->isTabVisible(m_index);
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        return isValid() && m_bar->isTabEnabled(m_index) ? QStringList{pressAction()} : QStringList();
    }

    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid() && m_bar->isEnabled() && m_bar->isTabEnabled(m_index))
            m_bar->setCurrentIndex(m_index);
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QTabBar> m_bar;
    int m_index;
};

// A tab bar: its tabs first, then its child widgets (the scroll buttons).
class PageTabList : public QAccessibleWidget
{
public:
    explicit PageTabList(QTabBar *bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}

    ~PageTabList() override
    {
        for (QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return bar()->count() + QAccessibleWidget::childCount(); }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0)
            return nullptr;
        if (index >= bar()->count())
            return QAccessibleWidget::child(index - bar()->count());
        if (const QAccessible::Id id = m_tabs.value(index))
            return QAccessible::accessibleInterface(id);
        auto *tab = new PageTab(bar(), index);
        m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child && !child->object()) {
            const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child));
            for (auto it = m_tabs.cbegin(); it != m_tabs.cend(); ++it)
                if (it.value() == id)
                    return it.key();
            return -1;
        }
        const int index = QAccessibleWidget::indexOfChild(child);
        return index < 0 ? -1 : index + bar()->count();
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint point = bar()->mapFromGlobal(QPoint(x, y));
        const int index = bar()->tabAt(point);
        return index >= 0 ? child(index) : QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface *focusChild() const override
    {
        return bar()->hasFocus() && bar()->currentIndex() >= 0 ? child(bar()->currentIndex()) : nullptr;
    }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !own.isEmpty() || bar()->currentIndex() < 0)
            return own;
        return child(bar()->currentIndex())->text(QAccessible::Name);
    }

private:
    QTabBar *bar() const { return static_cast<QTabBar *>(widget()); }

    // Tab interfaces by index, made when first asked for; the tabs' count
    // changing makes them read their new tab.
    mutable QHash<int, QAccessible::Id> m_tabs;
};

QAccessibleInterface *pageTabFactory(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<QTabBar *>(object))
        return new PageTabList(bar);
    return nullptr;
}

} // namespace

void InstallPageTabAccessibility()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(pageTabFactory);
        return true;
    }();
}
