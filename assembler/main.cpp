// assembler: the source editor. It finds its folders from its own path, raises an earlier copy
// if one runs, and opens its window either way.
#include "assembler/assembler_window.h"
#include "assembler/toolbar_pictures.h"
#include "common/desktop_actions.h"
#include "common/modal_seam.h"
#include "common/single_instance.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    using namespace tallyrig;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Assembler"));
    QApplication::setWindowIcon(editor_icon());

    QtModalSeam modal(QStringLiteral("Assembler"));
    SystemDesktopActions desktop;
    SingleInstance instance(SingleInstance::name_for(QString::fromLatin1(kEditorCaption)));
    Assembler window(QApplication::applicationFilePath().toStdString(), modal, desktop, instance);
    window.show();
    return app.exec();
}
