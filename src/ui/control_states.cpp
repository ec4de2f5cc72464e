#include "ui/control_states.h"

#include <QAction>
#include <QWidget>

namespace {
void setEnabled(QObject *control, bool enabled)
{
    if (auto *w = qobject_cast<QWidget *>(control))
        w->setEnabled(enabled);
    else if (auto *a = qobject_cast<QAction *>(control))
        a->setEnabled(enabled);
}

bool isEnabled(const QObject *control)
{
    if (auto *w = qobject_cast<const QWidget *>(control))
        return !w->testAttribute(Qt::WA_Disabled);
    if (auto *a = qobject_cast<const QAction *>(control))
        return a->isEnabled();
    return true;
}
} // namespace

void ControlStates::add(QObject *control)
{
    m_wanted.insert(control, isEnabled(control));
}

void ControlStates::want(QObject *control, bool enabled)
{
    m_wanted.insert(control, enabled);
    setEnabled(control, enabled && idle());
}

bool ControlStates::begin(Activity activity)
{
    if (!idle() || activity == Activity::Idle)
        return false;
    m_activity = activity;
    apply();
    return true;
}

void ControlStates::end()
{
    m_activity = Activity::Idle;
    apply();
}

void ControlStates::apply() const
{
    for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it)
        setEnabled(it.key(), it.value() && idle());
}
