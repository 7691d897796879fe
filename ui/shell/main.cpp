#include "ui/shell/CVireoApp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vireo"));
    CVireoApp app;
    if (app.claim() != CVireoApp::Claim::First)
        return 0;
    return app.run();
}
