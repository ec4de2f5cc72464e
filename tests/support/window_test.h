#pragma once

#include "support/recorder.h"
#include "support/site.h"

#include <QObject>

#include <memory>

// The base of a window test: its site (made by the test's init, gone with its cleanup), the message
// boxes shown, and the open window driven as a user does. A test's own cleanup replaces this one.
class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        site.reset();
        msgs.clear();
        msgs.answers.clear();
    }

protected:
    std::unique_ptr<TestSite> site;
    MessageRecorder msgs;

    Gui &gui() { return site->gui(); }
    template <typename W = QWidget> W *find(const QString &name) { return gui().find<W>(name); }
};
