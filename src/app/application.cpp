#include "app/application.h"

#include <QApplication>
#include <QMainWindow>

int RunVelmora(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("VELMORA"));
    window.show();
    return QApplication::exec();
}
