#include "shell/memory/bpoint.h"
#include "shell/memory/mdisplay.h"
#include "tests/shell/shell_fixture.h"

namespace tallyrig::testing {
namespace {

class Dialogs : public ShellTest {};

TEST_F(Dialogs, BreakOpensTheBreakpointDialog) {
    main().dispatch_command("Display Memory Map");
    main().memory_walker()->Toolbar1_ButtonClick("BREAK");
    settle();
    ASSERT_NE(main().breakpoint_dialog(), nullptr);
}

} // namespace
} // namespace tallyrig::testing
