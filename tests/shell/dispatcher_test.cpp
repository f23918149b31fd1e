#include "common/frm_about.h"
#include "shell/memory/mdisplay.h"
#include "shell/toolbar_table.h"
#include "shell/views/io_port.h"
#include "shell/views/rdisplay.h"
#include "tests/shell/shell_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <string_view>

namespace tallyrig::testing {
namespace {

using Dispatcher = ShellTest;

QString in_config(const Folders& folders, const char* name) {
    return QString::fromStdString((folders.config_folder / "help" / "files" / name).string());
}

TEST_F(Dispatcher, UnknownCommandsShowTheMessageBox) {
    const char* const unknown[] = {"exit",
                                   "EXIT",
                                   " Exit",
                                   "Open Project",
                                   "Close Project",
                                   "Switch Panel",
                                   "Hex Keyboard",
                                   "Input Ports",
                                   "Output Ports",
                                   "Quorvex Interface",
                                   "EPROM Burner",
                                   "calculator",
                                   "CharEditor",
                                   "Video Help",
                                   "Help Button",
                                   "Save Project As",
                                   "Quorvex",
                                   "workbench_1",
                                   "Credits",
                                   "Help on Help",
                                   "New Project",
                                   "Save Project",
                                   "Search on Help",
                                   "Swap Eprom",
                                   "port_status",
                                   "Working_Folder",
                                   ""};
    for (const char* command : unknown) {
        modal.boxes.clear();
        main().dispatch_command(QString::fromLatin1(command));
        ASSERT_EQ(modal.boxes.size(), 1u) << command;
        EXPECT_EQ(modal.boxes[0].text, " Unknown Command Selected");
        EXPECT_TRUE(modal.boxes[0].title.isEmpty());
        EXPECT_EQ(modal.boxes[0].icon, MessageIcon::None);
        EXPECT_EQ(modal.boxes[0].buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(desktop.ends, 0);
}

// Every window exists now: a second command for an open one opens no second window.
TEST_F(Dispatcher, ToolWindowsOpenOnce) {
    for (const char* command : {"System Clock", "DataG"}) {
        main().dispatch_command(QString::fromLatin1(command));
        const int windows = main().workspace()->subWindowList().size();
        main().dispatch_command(QString::fromLatin1(command));
        EXPECT_EQ(main().workspace()->subWindowList().size(), windows) << command;
    }
    EXPECT_TRUE(modal.boxes.empty());
}

TEST_F(Dispatcher, ExitEndsAtOnceWithoutUnloading) {
    main().dispatch_command("IOPort");
    main().dispatch_command("Exit");
    EXPECT_EQ(desktop.ends, 1);
    EXPECT_EQ(machine().windows.ioport_window_open, kTrue);
}

TEST_F(Dispatcher, PrinterSetupShowsTheDialog) {
    main().dispatch_command("Printer Setup");
    EXPECT_EQ(modal.printer_dialogs, 1);
}

// A command for a window already open, now behind another, brings it to the front; the
// terminal command brings both the terminal and its keyboard.
TEST_F(Dispatcher, ACommandForAnOpenWindowBringsItToTheFront) {
    const auto top = [this](int below = 0) {
        const QList<QMdiSubWindow*> stack =
            main().workspace()->subWindowList(QMdiArea::StackingOrder);
        return stack.at(stack.size() - 1 - below);
    };
    const char* const commands[] = {"Display Memory Map",
                                    "Display CPU registers",
                                    "IOPort",
                                    "Display Message System",
                                    "DataG",
                                    "workbench1",
                                    "System Clock",
                                    "MAIN_Calculator"};
    for (const char* command : commands) {
        main().dispatch_command(command);
        QMdiSubWindow* frame = top();
        const char* cover = std::string_view(command) == "IOPort" ? "DataG" : "IOPort";
        main().dispatch_command(cover);
        ASSERT_NE(top(), frame) << command;
        main().dispatch_command(command);
        EXPECT_EQ(top(), frame) << command;
        EXPECT_EQ(main().workspace()->activeSubWindow(), frame) << command;
    }

    main().dispatch_command("Terminal");
    QMdiSubWindow* keyboard = top();
    QMdiSubWindow* terminal = top(1);
    main().dispatch_command("IOPort");
    main().dispatch_command("Display Memory Map");
    main().dispatch_command("Terminal");
    EXPECT_EQ(top(), keyboard);
    EXPECT_EQ(top(1), terminal);
}

// Beside the front panel, the walker opens whole: its title and toolbar inside the workspace.
TEST_F(Dispatcher, TheMemoryWalkerOpensWholeInsideTheWorkspace) {
    main().dispatch_command("Display Memory Map");
    ASSERT_NE(main().memory_walker(), nullptr);
    const QWidget* frame = main().memory_walker()->parentWidget();
    const QRect workspace = main().workspace()->viewport()->rect();
    EXPECT_TRUE(workspace.contains(frame->geometry()))
        << frame->geometry().x() << "," << frame->geometry().y() << " " << frame->geometry().width()
        << "x" << frame->geometry().height() << " in " << workspace.width() << "x"
        << workspace.height();
}

TEST_F(Dispatcher, WindowsOpenOnceAndSetTheirFlags) {
    main().dispatch_command("Display CPU registers");
    main().dispatch_command("Display CPU registers");
    main().dispatch_command("IOPort");
    main().dispatch_command("IOPort");
    ASSERT_NE(main().register_window(), nullptr);
    ASSERT_NE(main().ioport_window(), nullptr);
    EXPECT_EQ(machine().windows.register_display_open, 1);
    EXPECT_EQ(machine().windows.ioport_window_open, kTrue);
    // Front panel, register window, I/O port window.
    EXPECT_EQ(main().workspace()->subWindowList().size(), 3);

    main().register_window()->parentWidget()->close();
    main().ioport_window()->parentWidget()->close();
    settle();
    EXPECT_EQ(main().register_window(), nullptr);
    EXPECT_EQ(machine().windows.register_display_open, 0);
    EXPECT_EQ(machine().windows.ioport_window_open, 0);
}

TEST_F(Dispatcher, FrontPanelReopensAfterClosing) {
    QWidget* frame = panel().parentWidget();
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(app->buttons().calculator_loaded, 0);
    main().dispatch_command("MAIN_Calculator");
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(app->buttons().calculator_loaded, 1);
    EXPECT_EQ(&panel(), main().calculator());
}

// A closed front panel comes back as soon as the machine writes into it: the program's output
// shows, and at a breakpoint the Step and Run keys the user needs are there.
TEST_F(Dispatcher, FrontPanelComesBackWhenTheMachineWritesIt) {
    const struct {
        const char* name;
        std::function<void(UserInterface&)> write;
        std::function<bool(Calculator&)> written;
    } writes[] = {
        {"display", [](UserInterface& ui) { ui.display_character("A", 'A'); },
         [](Calculator& p) { return p.display_text().endsWith('A'); }},
        {"LEDs", [](UserInterface& ui) { ui.set_status_leds(0x21); },
         [](Calculator& p) { return p.led_lit(1) && p.led_lit(6) && !p.led_lit(2); }},
        {"key colour", [](UserInterface& ui) { ui.set_key_caption_colour(PanelKey::Step, 255); },
         [](Calculator& p) { return p.key_caption_colour(PanelKey::Step) == 255; }},
        {"key enabled", [](UserInterface& ui) { ui.set_key_enabled(PanelKey::Run, false); },
         [](Calculator& p) { return !p.key_enabled(PanelKey::Run); }},
    };
    QWidget* frame = panel().parentWidget();
    for (const auto& w : writes) {
        SCOPED_TRACE(w.name);
        frame->close();
        ASSERT_FALSE(frame->isVisible());
        w.write(app->ui());
        EXPECT_TRUE(frame->isVisible());
        EXPECT_TRUE(panel().isVisible());
        EXPECT_EQ(app->buttons().calculator_loaded, 1);
        EXPECT_TRUE(w.written(panel()));
    }
    EXPECT_EQ(main().workspace()->subWindowList().size(), 1);
}

TEST_F(Dispatcher, InterruptOnlyWithThePowerOn) {
    main().dispatch_command("Interrupt");
    EXPECT_EQ(machine().cpu.interrupt_request, 0);
    EXPECT_TRUE(main().status_message().isEmpty());
    press("Power");
    main().dispatch_command("Interrupt");
    main().dispatch_command("Interrupt");
    EXPECT_EQ(machine().cpu.interrupt_request, 1);
    EXPECT_EQ(main().status_message(), "INTERRUPT REQUESTED");
}

TEST_F(Dispatcher, PurgeRamRestoresStartUpMemory) {
    press("Power");
    machine().memory_cells[0x4000].value = 0x12;
    machine().memory_cells[0x100].value = 0x34;
    main().dispatch_command("Purge RAM");
    EXPECT_EQ(value(0x4000), kUndefinedValue);
    EXPECT_EQ(value(0x100), 0);
}

TEST_F(Dispatcher, AssemblerStartsOnlyWhenItExists) {
    main().dispatch_command("Assembler");
    EXPECT_TRUE(desktop.started.empty());
    EXPECT_EQ(QDir::currentPath(),
              QDir(QString::fromStdString(install.folders.data_folder.string())).canonicalPath());

    const auto program = install.root / "bin" / "assembler";
    write_file(program, "#!/bin/sh\n");
    main().dispatch_command("Assembler");
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.started[0], QString::fromStdString(program.string()) + "|" +
                                      QString::fromStdString(install.folders.data_folder.string()));
}

TEST_F(Dispatcher, EditorIsLookedUpOnTheSearchPath) {
    main().dispatch_command("editor");
    EXPECT_TRUE(desktop.started.empty());
    ASSERT_EQ(desktop.looked_for.size(), 1u);
    desktop.on_path["mousepad"] = "/usr/bin/mousepad";
    main().dispatch_command("editor");
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_TRUE(desktop.started[0].startsWith("/usr/bin/mousepad|"));
    EXPECT_TRUE(modal.boxes.empty());
}

// Notepad starts the most preferred of the desktop's plain text editors that is installed: with
// each editor and every less preferred one installed, that editor is the one started. The
// toolbar's Notepad button is the user's way in.
TEST_F(Dispatcher, NotepadStartsTheMostPreferredEditorInstalled) {
    const QStringList preference = {"gnome-text-editor", "gedit", "kate", "kwrite",
                                    "mousepad",          "pluma", "xed",  "featherpad",
                                    "leafpad",           "xedit"};
    QAction* notepad = main().findChild<QAction*>("Toolbar1_Notepad");
    ASSERT_NE(notepad, nullptr);
    for (qsizetype first = 0; first < preference.size(); ++first) {
        desktop.on_path.clear();
        desktop.started.clear();
        for (qsizetype i = first; i < preference.size(); ++i) {
            desktop.on_path[preference[i]] = "/opt/editors/" + preference[i];
        }
        notepad->trigger();
        ASSERT_EQ(desktop.started.size(), 1u) << preference[first].toStdString();
        EXPECT_EQ(desktop.started[0].section('|', 0, 0), "/opt/editors/" + preference[first]);
    }
    // No other name is asked for: another editor (a terminal one, say) would start unseen.
    ASSERT_FALSE(desktop.looked_for.empty());
    EXPECT_EQ(desktop.looked_for.back(), preference);
    EXPECT_TRUE(modal.boxes.empty());
}

TEST_F(Dispatcher, HelpPagesOpenWithTheDesktop) {
    main().dispatch_command("WEB Browser");
    main().dispatch_command("Help");
    ASSERT_EQ(desktop.opened.size(), 2u);
    EXPECT_EQ(desktop.opened[0], in_config(install.folders, "visit.html"));
    EXPECT_EQ(desktop.opened[1], in_config(install.folders, "help.html"));
}

// Notepad, the help page and the web page each say in the status bar what they could not
// start or open, and why; a start that works leaves the notice alone.
TEST_F(Dispatcher, ALaunchThatFailsSaysWhatAndWhy) {
    struct Case {
        const char* command;
        const char* on_path;    // the editor found, if any
        bool start_fails;       // the editor found will not start
        const char* open_fails; // why the desktop cannot open a page, if it cannot
        QStringList notice;     // what the status bar must name; none: it stays empty
    };
    const QString reason = "no desktop launcher (xdg-open) is installed";
    const Case cases[] = {
        {"editor", nullptr, false, nullptr, {"text editor", "gedit", "mousepad", "installed"}},
        {"editor", "mousepad", true, nullptr, {"/usr/bin/mousepad", "it would not start"}},
        {"editor", "mousepad", false, nullptr, {}},
        {"Help",
         nullptr,
         false,
         "no desktop launcher (xdg-open) is installed",
         {in_config(install.folders, "help.html"), reason}},
        {"WEB Browser",
         nullptr,
         false,
         "no desktop launcher (xdg-open) is installed",
         {in_config(install.folders, "visit.html"), reason}},
        {"WEB Browser", nullptr, false, nullptr, {}},
    };
    for (const Case& c : cases) {
        main().set_status_message(QString());
        desktop.on_path.clear();
        if (c.on_path != nullptr) {
            desktop.on_path[c.on_path] = QStringLiteral("/usr/bin/") + c.on_path;
        }
        desktop.start_fails = c.start_fails;
        desktop.open_fails_because = QString::fromLatin1(c.open_fails);
        main().dispatch_command(c.command);
        const QString shown = main().status_message();
        EXPECT_EQ(shown.isEmpty(), c.notice.isEmpty()) << c.command << ": " << shown.toStdString();
        for (const QString& part : c.notice) {
            EXPECT_TRUE(shown.contains(part)) << c.command << ": " << shown.toStdString();
        }
    }
    EXPECT_TRUE(modal.boxes.empty());
}

TEST_F(Dispatcher, HelpPagesShip) {
    for (const char* name : {"help.html", "visit.html"}) {
        const auto page =
            std::filesystem::path(TALLYRIG_STAGE_DIR) / "config" / "help" / "files" / name;
        EXPECT_TRUE(std::filesystem::exists(page)) << page;
    }
}

TEST_F(Dispatcher, AboutBoxShowsTitleAndVersion) {
    main().dispatch_command("About");
    frmAbout* about = main().about_window();
    ASSERT_NE(about, nullptr);
    main().dispatch_command("About");
    EXPECT_EQ(main().about_window(), about);
    EXPECT_EQ(about->windowTitle(), "About Tallyrig");
    EXPECT_EQ(about->findChild<QLabel*>("lblTitle")->text(), "Tallyrig");
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), "Version 4.0.9");
    EXPECT_TRUE(about->findChild<QLabel*>("lblDescription")->text().isEmpty());
}

TEST_F(Dispatcher, SystemInfoStartsTheDesktopToolOrSaysItCannot) {
    main().dispatch_command("About");
    frmAbout* about = main().about_window();
    about->StartSysInfo();
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(modal.boxes[0].buttons, MessageButtons::Ok);

    desktop.on_path["hardinfo"] = "/usr/bin/hardinfo";
    about->StartSysInfo();
    EXPECT_EQ(modal.boxes.size(), 1u);
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_TRUE(desktop.started[0].startsWith("/usr/bin/hardinfo|"));
    EXPECT_NE(main().about_window(), nullptr);

    desktop.start_fails = true;
    about->StartSysInfo();
    EXPECT_EQ(modal.boxes.size(), 2u);
}

// The key editor's change lives in the table and on the panel; Save writes it, and Restore
// backs it up, brings the defaults back and relabels the panel with them.
TEST_F(Dispatcher, SaveAndRestoreButtons) {
    auto& record = app->buttons().records[12];
    const std::string default_caption = trim_blanks(record.annotation);
    record.code = 0x5A;
    record.annotation = fit_field("QZ12", kAnnotationWidth);
    panel().apply_button_definitions();
    ASSERT_EQ(panel().programmable_key(12)->text(), "QZ12");

    main().dispatch_command("Save_Button");
    const auto current = install.folders.config_folder / "Newbuttons.ini";
    const auto backup = install.folders.config_folder / "Oldbuttons.ini";
    const std::string saved = read_file(current);
    EXPECT_NE(saved.find("[Button 12]\r\nCode=$5A\r\nAnnotation=QZ12 \r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(backup));

    main().dispatch_command("Default_Buttons");
    EXPECT_TRUE(modal.boxes.empty());
    EXPECT_EQ(read_file(backup), saved);
    EXPECT_EQ(read_file(current), read_file(install.folders.config_folder / "Defbuttons.ini"));
    EXPECT_EQ(trim_blanks(record.annotation), default_caption);
    EXPECT_EQ(panel().programmable_key(12)->text(), QString::fromStdString(default_caption));
}

// Each menu item: its control name, caption and the command it sends.
struct MenuCase {
    const char* name;
    const char* caption;
};

TEST_F(Dispatcher, MenuTreeAsDesigned) {
    const std::vector<std::pair<const char*, std::vector<MenuCase>>> menus = {
        {"&File",
         {{"mnOpen_Project", "&Open Project..."},
          {"mnPrint_setup", "&Printer Setup..."},
          {"mnrecentfile", ""},
          {"mnExit", "&Exit"}}},
        {"Set&up",
         {{"mnSystem_Clock", "System &Clock..."},
          {"mnSave_default", "Save New Buttons"},
          {"mnDefault_Calculator_Buttons", "Restore Default Buttons"}}},
        {"&Display",
         {{"mnDisplay_Mem_Map", "Memory &Walker..."},
          {"mnDisplay_CPU_Reg", "&CPU Registers..."},
          {"mnIOPorts", "&I/O Ports..."},
          {"mnDisplay_Message_Sys", "&Message System..."}}},
        {"&Memory", {{"mnLoad_RAM", "&Load RAM..."}, {"mnPurge_RAM", "&Purge RAM"}}},
        {"&Tools",
         {{"mnAssembler", "&Assembler..."},
          {"mnDataGatherer", "&Data Gatherer..."},
          {"mnWEB", "&Tallyrig on the WEB..."},
          {"mnTerminal", "&Terminal"},
          {"mnWorkBench_1", "&Workbench #1..."}}},
        {"&Help", {{"mn_Help", "&Contents..."}, {"mnHelp_About", "&About..."}}},
    };
    const QList<QAction*> top = main().menuBar()->actions();
    ASSERT_EQ(top.size(), static_cast<qsizetype>(menus.size()));
    for (std::size_t m = 0; m < menus.size(); ++m) {
        EXPECT_EQ(top[static_cast<qsizetype>(m)]->text(), menus[m].first);
        EXPECT_TRUE(top[static_cast<qsizetype>(m)]->isEnabled());
        const QList<QAction*> items = top[static_cast<qsizetype>(m)]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menus[m].second.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const MenuCase& want = menus[m].second[static_cast<std::size_t>(i)];
            EXPECT_EQ(items[i]->objectName(), want.name);
            EXPECT_EQ(items[i]->text(), want.caption);
        }
    }
    EXPECT_EQ(main().findChild<QAction*>("mn_Help")->shortcut(), QKeySequence(Qt::Key_F1));
}

TEST_F(Dispatcher, MenuItemsSendTheirCommands) {
    main().findChild<QAction*>("mnDisplay_CPU_Reg")->trigger();
    main().findChild<QAction*>("mnIOPorts")->trigger();
    main().findChild<QAction*>("mnPrint_setup")->trigger();
    main().findChild<QAction*>("mnWEB")->trigger();
    main().findChild<QAction*>("mn_Help")->trigger();
    main().findChild<QAction*>("mnHelp_About")->trigger();
    main().findChild<QAction*>("mnLoad_RAM")->trigger();
    main().findChild<QAction*>("mnExit")->trigger();
    EXPECT_NE(main().register_window(), nullptr);
    EXPECT_NE(main().ioport_window(), nullptr);
    EXPECT_EQ(modal.printer_dialogs, 1);
    EXPECT_EQ(desktop.opened.size(), 2u);
    EXPECT_NE(main().about_window(), nullptr);
    ASSERT_EQ(modal.boxes.size(), 1u); // Load RAM with the power off
    EXPECT_EQ(modal.boxes[0].title, "Memory Module Load Error");
    EXPECT_EQ(desktop.ends, 1);
}

TEST_F(Dispatcher, ToolbarButtonsTooltipsAndCommands) {
    const QList<QAction*> actions = main().findChild<QToolBar*>("Toolbar1")->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(kToolbarButtons)));
    for (std::size_t i = 0; i < std::size(kToolbarButtons); ++i) {
        const ToolbarButton& button = kToolbarButtons[i];
        EXPECT_EQ(actions[i]->data().toString(), button.key);
        EXPECT_EQ(actions[i]->text(), button.text);
        EXPECT_EQ(actions[i]->toolTip(), button.tooltip);
        EXPECT_NE(MDI::toolbar_command(button.key), std::nullopt) << button.key;
    }
    EXPECT_EQ(actions[5]->text(), "Interrupt Request");

    actions[1]->trigger(); // Reg
    actions[7]->trigger(); // WEB
    actions[6]->trigger(); // Notepad
    EXPECT_NE(main().register_window(), nullptr);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_TRUE(desktop.opened[0].endsWith("visit.html"));
    EXPECT_EQ(desktop.looked_for.size(), 1u);
}

TEST(ToolbarMapping, EveryKeyAndNoOther) {
    for (const KeyCommand& entry : kToolbarCommands) {
        EXPECT_EQ(MDI::toolbar_command(entry.key), std::optional<QString>(entry.command))
            << entry.key;
    }
    EXPECT_EQ(MDI::toolbar_command("mem"), std::nullopt);
    EXPECT_EQ(MDI::toolbar_command(""), std::nullopt);
}

// Notes the order in which windows receive their close.
TEST_F(Dispatcher, ClosingTheMainWindowUnloadsEveryWindow) {
    CloseRecorder recorder;
    main().dispatch_command("IOPort");
    main().dispatch_command("About");
    main().dispatch_command("Display CPU registers");
    for (QWidget* window :
         std::initializer_list<QWidget*>{main().calculator(), main().ioport_window(),
                                         main().about_window(), main().register_window()}) {
        window->installEventFilter(&recorder);
    }
    EXPECT_TRUE(main().close());
    settle();
    EXPECT_EQ(recorder.closed,
              (std::vector<QString>{"rdisplay", "frmAbout", "IOPort", "Calculator"}));
    EXPECT_EQ(machine().windows.register_display_open, 0);
    EXPECT_EQ(machine().windows.ioport_window_open, 0);
    EXPECT_EQ(app->buttons().calculator_loaded, 0);
    EXPECT_EQ(main().about_window(), nullptr);
    EXPECT_EQ(desktop.ends, 0);
}

TEST_F(Dispatcher, ClosingTheMainWindowUnloadsHiddenWindowsToo) {
    CloseRecorder recorder;
    main().dispatch_command("IOPort");
    main().dispatch_command("About");
    for (QWidget* window : std::initializer_list<QWidget*>{
             main().calculator(), main().ioport_window(), main().about_window()}) {
        window->installEventFilter(&recorder);
    }
    panel().parentWidget()->hide();
    main().ioport_window()->parentWidget()->hide();
    main().about_window()->hide();
    EXPECT_TRUE(main().close());
    settle();
    EXPECT_EQ(recorder.closed, (std::vector<QString>{"frmAbout", "IOPort", "Calculator"}));
    EXPECT_EQ(machine().windows.ioport_window_open, 0);
    EXPECT_EQ(app->buttons().calculator_loaded, 0);
}

} // namespace
} // namespace tallyrig::testing
