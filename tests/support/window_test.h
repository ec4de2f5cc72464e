#pragma once

#include "support/recorder.h"
#include "support/site.h"

#include <QObject>

#include <memory>

// The base of a window test: its site (made by the test's init, gone with its cleanup), the message
// boxes shown, and the open window driven as a user does.
class WindowTest : public QObject {
protected:
    std::unique_ptr<TestSite> site;
    MessageRecorder msgs;

    Gui &gui() { return site->gui(); }
    template <typename W = QWidget> W *find(const QString &name) { return gui().find<W>(name); }
};
