// The station as tamsel/run starts it without a terminal (from a line's
// script, say): what the build has to say goes to standard error, so the
// first line of standard output is the program's own notice of how to end
// it, and the remote-control server's line follows it.
#include "../TamselHeadless.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

TEST(TamselRunScript, AHeadlessStationsFirstLineIsItsNoticeWhateverTheBuildSays) {
    const fs::path dir = fs::temp_directory_path() / ("tamsel_run_headless_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        // No marker file in its TMPDIR: the server does not listen, and no
        // port is taken.
        TamselHeadless tamsel(dir, {"TMPDIR=" + dir.string(), "TAMSEL_BUILD_DIR=" TAMSEL_BUILD_DIR},
                              {TAMSEL_RUN_SCRIPT, "--remote", "11111"});
        ASSERT_TRUE(tamsel.wait_for_lines(2));
        const std::vector<std::string> lines = tamsel.lines();
        EXPECT_EQ(lines[0], "Tamsel runs headless (no terminal for its panel): end it with Ctrl-C or kill " +
                                std::to_string(tamsel.pid()));
        EXPECT_EQ(lines[1].rfind("Remote-control server: not listening", 0), 0u) << lines[1];
        tamsel.terminate();
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}
