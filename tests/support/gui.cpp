#include "support/gui.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

Gui::Gui(QWidget *window) : m_window(window)
{
    // Input reaches only a shown window.
    m_window->show();
    QCoreApplication::processEvents();
}

void Gui::missing(const QString &name) const
{
    qFatal("no control named %s in %s", qPrintable(name), qPrintable(m_window->objectName()));
}

void Gui::click(const QString &button) const
{
    QAbstractButton *b = find<QAbstractButton>(button);
    // A check box takes clicks on its box and label only, not on the rest of its width.
    QPoint at = b->rect().center();
    if (auto *box = qobject_cast<QCheckBox *>(b)) {
        QStyleOptionButton option;
        option.initFrom(box);
        at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
}

bool Gui::trigger(const QString &action) const
{
    QAction *a = find<QAction>(action);
    if (!a->isEnabled())
        return false;
    a->trigger();
    return true;
}

void Gui::choose(const QString &combo, const QString &text) const
{
    QComboBox *c = find<QComboBox>(combo);
    c->setFocus();
    const int item = c->findText(text, Qt::MatchExactly);
    if (item < 0) {
        // Not in the list: typed, then Enter.
        QTest::keyClick(c->lineEdit(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(c->lineEdit(), Qt::Key_Backspace);
        QTest::keyClicks(c->lineEdit(), text);
        QTest::keyClick(c->lineEdit(), Qt::Key_Return);
        return;
    }
    // From the list: opened, moved to with the arrow keys, taken with Enter (a choice even of the
    // item already current).
    c->showPopup();
    QAbstractItemView *view = c->view();
    int at = qMax(0, view->currentIndex().row());
    if (!view->currentIndex().isValid())
        QTest::keyClick(view, Qt::Key_Home);
    for (; at < item; ++at)
        QTest::keyClick(view, Qt::Key_Down);
    for (; at > item; --at)
        QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
}

void Gui::type(const QString &edit, const QString &text) const
{
    QLineEdit *e = find<QLineEdit>(edit);
    e->setFocus();
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, text);
}

QRect Gui::rowRect(QListWidget *list, const QString &text) const
{
    const auto found = list->findItems(text, Qt::MatchExactly);
    if (found.isEmpty())
        qFatal("no row %s in %s", qPrintable(text), qPrintable(list->objectName()));
    list->scrollToItem(found.first());
    return list->visualItemRect(found.first());
}

void Gui::select(const QString &list, const QString &text) const
{
    QListWidget *l = find<QListWidget>(list);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, rowRect(l, text).center());
}

void Gui::doubleClick(const QString &list, const QString &text) const
{
    QListWidget *l = find<QListWidget>(list);
    const QPoint at = rowRect(l, text).center();
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, at);
}

QStringList Gui::items(const QString &list) const
{
    QListWidget *l = find<QListWidget>(list);
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text();
    return out;
}

void Gui::activate() const
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

QString Gui::accessible(QWidget *w, QAccessible::Text what)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(what) : QString();
}
