// The About box of both programs: title, version, a notice, and a button that starts the
// desktop's system-information program when one is on the search path. Each program gives its
// own title and version; everything else is the same.
#pragma once

#include <QDialog>
#include <QString>

namespace tallyrig {

class DesktopActions;
class ModalSeam;

struct AboutInfo {
    QString window_name; // the window's object name
    QString title;
    int major = 0;
    int minor = 0;
    int revision = 0;
};

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const AboutInfo& info, ModalSeam& modal, DesktopActions& desktop,
             QWidget* parent = nullptr);

    // Finds and starts the system-information program, or says that there is none.
    void StartSysInfo();

private:
    ModalSeam& m_modal;
    DesktopActions& m_desktop;
};

} // namespace tallyrig
