// The simulator's toolbar pictures: the main window's, the message window's and the memory
// walker's.
#include "shell/memory/mdisplay.h"
#include "shell/views/message.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/toolbar_pictures.h"

namespace tallyrig::testing {
namespace {

using ToolbarPictures = ShellTest;

TEST_F(ToolbarPictures, EachButtonShowsItsOwnPicture) {
    main().dispatch_command("Messaging System");
    main().dispatch_command("Display Memory Map");
    ASSERT_NE(main().message_window(), nullptr);
    ASSERT_NE(main().memory_walker(), nullptr);
    const struct {
        QWidget* window;
        PictureChecksums checksums;
    } toolbars[] = {
        {&main(),
         {
             {"Assembler", "6dee1925e90c8513"},
             {"IOPort", "e9c7097047db7dc7"},
             {"Interrupt", "bf4d2defafc05214"},
             {"Mem", "b4bcfa730dc8cc11"},
             {"Message", "5c299a64a42dbe9c"},
             {"Notepad", "ebd7471c97a1c3f6"},
             {"Reg", "3eecd5580aea796a"},
             {"WEB", "6ad9864f33970aa2"},
         }},
        {main().message_window(),
         {
             {"Clear", "39bd60557d569d41"},
             {"Find", "fcdc4c0fe913b56a"},
             {"Print", "5ce58ca9c94e6fbe"},
         }},
        {main().memory_walker(),
         {
             {"BREAK", "216c51a1431f4292"},
             {"FIND", "0e9087904d6ac27a"},
             {"IN", "1c3da1d8666497b7"},
             {"OUT", "656b367da96bcf4a"},
             {"PROG", "f87968ed16030cde"},
             {"RAM", "67697ca1321c4663"},
             {"ROM", "d09b4807a83cd684"},
             {"STACK", "79cd6c2b3baab55b"},
         }},
    };
    for (const auto& [window, checksums] : toolbars) {
        SCOPED_TRACE(window->objectName().toStdString());
        const auto* toolbar = window->findChild<QToolBar*>("Toolbar1");
        ASSERT_NE(toolbar, nullptr);
        expect_toolbar_pictures(*toolbar, checksums);
    }
}

} // namespace
} // namespace tallyrig::testing
