// Tallyrig: splash, single-instance check, then the main window with the front panel.
#include "common/desktop_actions.h"
#include "common/modal_seam.h"
#include "common/single_instance.h"
#include "shell/application.h"
#include "shell/mdi.h"
#include "shell/splash_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>
#include <QWindow>

namespace {
constexpr qint64 kSplashMapWaitMs = 300;
} // namespace

int main(int argc, char* argv[]) {
    using namespace tallyrig;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tallyrig"));

    // The name is claimed before the splash, so a copy started during it finds this one.
    SingleInstance instance(SingleInstance::name_for(QString::fromLatin1(kMainWindowTitle)));
    const bool first_copy = instance.claim();

    QPointer<splash_form> splash = new splash_form;
    splash->show();
    // A window system maps the window asynchronously: let it appear before painting it.
    QElapsedTimer mapping;
    mapping.start();
    while (splash->windowHandle() != nullptr && !splash->windowHandle()->isExposed() &&
           mapping.elapsed() < kSplashMapWaitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    splash->repaint();
    QApplication::processEvents();
    // The splash stays for its full time and nothing else runs meanwhile.
    QThread::msleep(kSplashMilliseconds);

    if (!first_copy) {
        // Ends whether or not the earlier copy could be reached.
        instance.ask_earlier_copy_to_raise();
        return 0;
    }

    QtModalSeam modal;
    SystemDesktopActions desktop;
    Application application(Application::folders_from_program(QApplication::applicationFilePath()),
                            modal, desktop);
    if (!application.start()) {
        return 1;
    }
    MDI& main_window = application.main_window();
    instance.on_raise_request([&main_window] {
        main_window.showNormal();
        main_window.raise();
        main_window.activateWindow();
    });
    if (splash != nullptr) {
        splash->close();
    }
    main_window.show();
    return app.exec();
}
