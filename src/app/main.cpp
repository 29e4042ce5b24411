#include "app/kavio_form.h"
#include "app/single_instance.h"
#include "config/environment.h"
#include "config/path_macros.h"
#include "dialogs/message_boxes.h"
#include "qt/text_codec.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the window as the exit would, so the shut-down steps run.
void CloseOnSignals(QWidget* window)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte;
        [[maybe_unused]] ssize_t read = ::read(g_signalPipe[0], &byte, 1);
        window->close();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavio"));
    QApplication::setQuitOnLastWindowClosed(false);

    const kavio::SystemEnvironment env = kavio::SystemEnvironment::FromProcess();
    kavio::InitPathMacros(env);
    kavio::qt::TSingleInstance instance(
        kavio::qt::MutexName(kavio::qt::FromCp(env.executablePath)));
    if (!instance.TryLock()) {
        kavio::qt::ShowInformation(QStringLiteral("Kavioはもう起動しています。"));
        return 0;
    }

    kavio::qt::TKavioForm form;
    if (!form.FormCreate(env))
        return 1;
    QObject::connect(&form, &kavio::qt::TKavioForm::shutDown, &app, &QCoreApplication::quit);
    // The desktop session ending closes the window in order.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] { form.close(); });
    CloseOnSignals(&form);
    if (!form.StartHidden())
        form.show();
    return app.exec();
}
