#include "cli/VireoCtl.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vireoctl"));
    return VireoCtl().run(QCoreApplication::arguments().mid(1));
}
