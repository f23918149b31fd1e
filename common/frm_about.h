// The simulator's About box: title, version, a notice, and a button that starts the desktop's
// system-information program when one is on the search path.
#pragma once

#include <QDialog>

namespace tallyrig {

class DesktopActions;
class ModalSeam;

inline constexpr int kVersionMajor = 4;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 9;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(ModalSeam& modal, DesktopActions& desktop, QWidget* parent = nullptr);

    // Finds and starts the system-information program, or says that there is none.
    void StartSysInfo();

private:
    ModalSeam& m_modal;
    DesktopActions& m_desktop;
};

} // namespace tallyrig
