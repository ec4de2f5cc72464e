#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>

// Drives a window as a user does: controls are found by their object names
// and used with mouse and key input. A control that is missing stops the
// test at once; one that is disabled takes the input like a real one would
// (it does nothing).
class Gui {
public:
    explicit Gui(QWidget *window);

    template <typename W = QWidget> W *find(const QString &name) const
    {
        W *w = m_window->findChild<W *>(name);
        if (!w)
            missing(name);
        return w;
    }

    // A mouse click on a button or check box.
    void click(const QString &button) const;
    // A menu item, as its menu would trigger it; false (and nothing happens)
    // when it is disabled.
    bool trigger(const QString &action) const;
    // Types the text into an editable combo box and presses Enter.
    void choose(const QString &combo, const QString &text) const;
    // Replaces a line edit's text by typing.
    void type(const QString &edit, const QString &text) const;
    // A click, or a double click, on the row showing this text.
    void select(const QString &list, const QString &text) const;
    void doubleClick(const QString &list, const QString &text) const;
    // The rows of a list.
    QStringList items(const QString &list) const;
    // Makes the window the active one, as a user's click would (a load's progress window takes it).
    void activate() const;
    // Where a control lies in the window's coordinates.
    QRect inWindow(const QWidget *w) const { return QRect(w->mapTo(m_window, QPoint()), w->size()); }
    // What a screen reader is told of a control.
    static QString accessible(QWidget *w, QAccessible::Text what);

private:
    [[noreturn]] void missing(const QString &name) const;
    QRect rowRect(QListWidget *list, const QString &text) const;

    QWidget *m_window;
};
