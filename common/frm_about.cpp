#include "common/frm_about.h"

#include "common/desktop_actions.h"
#include "common/modal_seam.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace tallyrig {

namespace {

// System-information tools of the common desktops, looked for on the search path.
const QStringList kSystemInfoPrograms = {
    QStringLiteral("hardinfo2"),
    QStringLiteral("hardinfo"),
    QStringLiteral("kinfocenter"),
    QStringLiteral("gnome-system-monitor"),
};

QLabel* named_label(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmAbout::frmAbout(const AboutInfo& info, ModalSeam& modal, DesktopActions& desktop,
                   QWidget* parent)
    : QDialog(parent), m_modal(modal), m_desktop(desktop) {
    setObjectName(info.window_name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About ") + info.title);

    auto* icon = named_label(QStringLiteral("picIcon"), QString(), this);
    // The program's own icon, which each program sets for all its windows.
    const QIcon program = windowIcon();
    icon->setPixmap((program.isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : program)
                        .pixmap(48, 48));
    auto* title = named_label(QStringLiteral("lblTitle"), info.title, this);
    QFont title_font = title->font();
    title_font.setPointSize(title_font.pointSize() + 6);
    title_font.setBold(true);
    title->setFont(title_font);
    auto* version = named_label(
        QStringLiteral("lblVersion"),
        QStringLiteral("Version %1.%2.%3").arg(info.major).arg(info.minor).arg(info.revision),
        this);
    auto* description = named_label(QStringLiteral("lblDescription"), QString(), this);
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* disclaimer = named_label(
        QStringLiteral("lblDisclaimer"),
        QStringLiteral("A teaching workstation: use it to learn, not to control real equipment."),
        this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* sys_info = new QPushButton(QStringLiteral("&System Info..."), this);
    sys_info->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sys_info, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    auto* head = new QHBoxLayout;
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addWidget(description);
    head->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(disclaimer, 1);
    auto* button_column = new QVBoxLayout;
    button_column->addWidget(ok);
    button_column->addWidget(sys_info);
    buttons->addLayout(button_column);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(line);
    layout->addLayout(buttons);
}

void frmAbout::StartSysInfo() {
    const QString program = m_desktop.find_program(kSystemInfoPrograms);
    if (program.isEmpty() || !m_desktop.start_program(program, QString())) {
        m_modal.message_box(this, QStringLiteral("System Information Is Unavailable At This Time"),
                            QString(), MessageIcon::None, MessageButtons::Ok);
    }
}

} // namespace tallyrig
