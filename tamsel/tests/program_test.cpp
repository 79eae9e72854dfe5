// The program as a file: what it exports, and its start without a panel.
#include "TamselHeadless.h"
#include "export_check.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>

namespace fs = std::filesystem;

// Exactly the thirteen callbacks that Tamsel.uir binds, besides the tool
// chain's own entry points and data markers.
TEST(TamselProgram, ExportsExactlyTheCallbacks) {
    std::set<std::string> exported;
    for (const std::string& n : testsupport::exported_symbols(TAMSEL_PROGRAM))
        if (n.rfind("_", 0) != 0 && n != "data_start") exported.insert(n);
    const std::set<std::string> callbacks = {
        "cmdquit",       "cmdftmmode",     "cmdmoboff",   "cmdsetftmflag",  "cmdwriteimei",
        "cmdreadbtaddr", "cmdwritebtaddr", "cmdled",      "cmdservicecode", "cmdwriteservicecodetonv",
        "cmdwriteklfbyte", "cmdvariant",   "cmdreadvariant"};
    EXPECT_EQ(exported, callbacks);
}

// Without its panel file (neither next to the program nor in the current
// directory) the program ends at once with -1.
TEST(TamselProgram, EndsWithMinusOneWithoutItsPanelFile) {
    const fs::path dir = fs::temp_directory_path() / ("tamsel_nopanel_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(TAMSEL_PROGRAM, dir / "tamsel", fs::copy_options::overwrite_existing);
    const std::string cmd = "cd '" + dir.string() + "' && ./tamsel </dev/null >/dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 255);
    // No trace file was opened: the program itself is all there is.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    std::error_code ec;
    fs::remove_all(dir, ec);
}

// Without a terminal the program says on its standard output, as its first
// line, that it runs headless and how to end it; the line is in a file at
// once, so it is there when a signal ends the program.
TEST(TamselProgram, AHeadlessRunSaysSoInItsFirstLineAtOnce) {
    const fs::path dir = fs::temp_directory_path() / ("tamsel_headless_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    {
        TamselHeadless tamsel(dir);
        ASSERT_TRUE(tamsel.wait_for_lines(1));
        const std::string first = "Tamsel runs headless (no terminal for its panel): end it with Ctrl-C or kill " +
                                  std::to_string(tamsel.pid());
        const int status = tamsel.terminate();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        const std::vector<std::string> lines = tamsel.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), first);
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}
