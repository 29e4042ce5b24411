// The floor of the start-up benchmark: the least a Qt Widgets program does to put a frameless
// window on the screen — an application object and one frameless widget of the main window's
// design size, shown. It runs until it is terminated.

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.resize(593, 330);
    window.show();
    return app.exec();
}
