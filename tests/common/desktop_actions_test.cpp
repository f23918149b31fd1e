// The desktop's own launcher says why a start or an open did not happen.
#include "common/desktop_actions.h"
#include "tests/support/temp_folder.h"

#include <QByteArray>
#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

// The search path is emptied, so nothing the test asks for can really start.
class DesktopLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved_path = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(empty.path().string()));
    }
    void TearDown() override { qputenv("PATH", m_saved_path); }

    TempFolder empty;
    SystemDesktopActions desktop;

private:
    QByteArray m_saved_path;
};

TEST_F(DesktopLaunch, EachFailureSaysWhy) {
    const QString missing = QString::fromStdString((empty.path() / "nothing-here").string());
    const Launch started = desktop.start_program(missing, QString());
    EXPECT_FALSE(started);
    EXPECT_TRUE(started.why.contains("No such file")) << started.why.toStdString();

    const Launch gone = desktop.open_document(missing + ".html");
    EXPECT_FALSE(gone);
    EXPECT_EQ(gone.why, "the file is missing");

    const auto page = empty.path() / "page.html";
    write_file(page, "<p>page</p>");
    const Launch no_launcher = desktop.open_document(QString::fromStdString(page.string()));
    EXPECT_FALSE(no_launcher);
    EXPECT_EQ(no_launcher.why, "no desktop launcher (xdg-open) is installed");
}

// The first name that is an executable program on the search path is the one found; a missing
// name or a file that cannot be run is passed over.
TEST_F(DesktopLaunch, FindsTheFirstProgramThatCanRun) {
    const auto place = [this](const char* name, bool runnable) {
        const auto file = empty.file(name);
        write_file(file, "#!/bin/sh\n");
        std::filesystem::permissions(file, runnable ? std::filesystem::perms::owner_all
                                                    : std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_write);
        return QString::fromStdString(file.string());
    };
    place("plain", false);
    const QString second = place("second", true);
    const QString third = place("third", true);
    const struct {
        QStringList names;
        QString found;
    } cases[] = {
        {{"absent", "plain", "second", "third"}, second},
        {{"third", "second"}, third},
        {{"absent", "plain"}, QString()},
        {{}, QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktop.find_program(c.names), c.found) << c.names.join(',').toStdString();
    }
}

} // namespace
} // namespace tallyrig::testing
