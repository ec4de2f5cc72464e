#pragma once

#include <QHash>
#include <QObject>

// What runs in the main window. While anything but Idle runs, the window
// keeps handling events (it waits for programs and for cleartool in local
// event loops), so that a click must not start a second, conflicting
// operation.
enum class Activity {
    Idle,
    LoadingProject,
    SwitchingMode,
    ListingViews,
    Creating,
    Removing,
    ReadingDetail,
    StartingView,
    EditingConfigSpec,
    Reloading,
};

// The one place that decides which of the main window's action controls are
// enabled: a control is enabled when the window's procedures want it so
// (enable_controls, the configuration reader, the panel switch) and the
// activity allows it. While an operation runs, no control that starts
// another one is enabled; when it ends, each gets back what was wanted.
class ControlStates {
public:
    // A control (a widget or a menu action) that starts an operation; what
    // is wanted of it starts as its state now.
    void add(QObject *control);
    void want(QObject *control, bool enabled);
    bool wanted(QObject *control) const { return m_wanted.value(control, true); }

    Activity activity() const { return m_activity; }
    bool idle() const { return m_activity == Activity::Idle; }
    // Starts an activity when none runs; false, and nothing changes, when
    // one does.
    bool begin(Activity activity);
    void end();

    // Puts every control in the state the wants and the activity give.
    void apply() const;

private:
    QHash<QObject *, bool> m_wanted;
    Activity m_activity = Activity::Idle;
};
