#pragma once

#include <QProcess>
#include <QSize>
#include <QString>
#include <memory>

// An X server (Xvfb) run by a real window manager (openbox), for the tests of one process.
// VIREO_TEST_X_DISPLAY (":86") picks the display, otherwise Xvfb takes a free one. Both servers end
// with the test process, even one that dies.
class XvfbDesktop {
public:
    XvfbDesktop() = default;
    ~XvfbDesktop();
    XvfbDesktop(const XvfbDesktop&) = delete;
    XvfbDesktop& operator=(const XvfbDesktop&) = delete;

    // Starts both and waits until the window manager manages a window mapped after its start.
    // Returns why they cannot run here, empty once they do; `failure` is set where a server that
    // should run did not.
    QString start(QSize screen, QString* failure);
    void stop();

    QString display() const { return name; }
    // The environment of a client of this server.
    QProcessEnvironment environment() const;

private:
    std::unique_ptr<QProcess> xvfb, wm;
    QString name;
};
