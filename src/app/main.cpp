#include "config/environment.h"
#include "config/personal_folder.h"
#include "qt/error_box.h"

#include <QApplication>

// Until the main window exists, Kavio runs the start-up steps that exist — the path macros and
// the personal folder — and ends. A failure is shown in the error box and ends the program
// before anything is written.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    try {
        kavio::RunStartupSteps(kavio::SystemEnvironment::FromProcess());
    } catch (const kavio::EKavioError& e) {
        kavio::qt::ShowErrorBox(QString::fromStdString(e.what()));
        return 1;
    }
    return 0;
}
