#pragma once

#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <memory>

// A window of helpers/focus_testwindow (its own process, class, title and type), shown as long as
// this lives.
class XTestWindow {
public:
    // `command`: the helper, behind a switch of user where it needs one; `arguments`: its INSTANCE
    // CLASS TITLE [TYPE [MACHINE]].
    XTestWindow(const QStringList& command, const QStringList& arguments, const QProcessEnvironment& env);
    ~XTestWindow();
    XTestWindow(const XTestWindow&) = delete;
    XTestWindow& operator=(const XTestWindow&) = delete;

    void setTitle(const QString& title);

    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    // 0 where it did not come up.
    uint32_t id = 0;
    QStringList arguments;
};
