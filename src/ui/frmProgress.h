#pragma once

#include <QTimer>
#include <QWidget>

namespace Ui {
class frmProgress;
}

// A small modeless window that says a long operation runs: a message line
// and a bar that fills and wraps around, driven by a timer. It shows no real
// progress.
class frmProgress : public QWidget {
    Q_OBJECT

public:
    explicit frmProgress(QWidget *parent = nullptr);
    ~frmProgress() override;

    QTimer progressTimer;

    // Shows the window with the hourglass pointer and starts the bar; a non-empty message replaces the
    // message line. The caller goes on at once.
    void start_progress(const QString &msg = QString());
    // Replaces the message line, shown or not.
    void set_msg(const QString &msg);
    // Hides the window, stops the bar and puts it back to 0. The message
    // stays for the next start without one.
    void stop_progress();

private:
    Ui::frmProgress *ui;
    void tick();

    qint16 m_counter = 0; // never reset: a new start continues from here
};
