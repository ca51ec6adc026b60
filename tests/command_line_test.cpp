// The command line as a user meets it: exit statuses, messages, warnings and
// Ctrl-C, through RunCommandLine with the standard streams captured.
#include "app/batch_options.h"
#include "app/command_line.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace tessarin {
namespace {

using testing::TempFile;

/// Captures std::cout and std::cerr while it lives.
class Captured {
public:
    Captured() : m_out(std::cout.rdbuf(m_outText.rdbuf())), m_err(std::cerr.rdbuf(m_errText.rdbuf())) {}
    ~Captured()
    {
        std::cout.rdbuf(m_out);
        std::cerr.rdbuf(m_err);
    }
    std::string out() const { return m_outText.str(); }
    std::string err() const { return m_errText.str(); }

private:
    std::ostringstream m_outText;
    std::ostringstream m_errText;
    std::streambuf *m_out;
    std::streambuf *m_err;
};

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string> &args, const WindowRunner &window = {})
{
    Captured captured;
    const int status = RunCommandLine(args, window);
    return {status, captured.out(), captured.err()};
}

const char *const FourSites = "4 Four sites\n10 20 30\n9,25\n12\n";

struct StatusCase {
    const char *name;
    std::vector<std::string> args;
    int status;
    std::string message; // a part of standard error, or of standard output for status 0
};

TEST(CommandLine, GivesOneStatusForUsageErrorsAndAnotherForFailures)
{
    TempFile four(FourSites);
    TempFile binary(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\x1b[2J", 19), "image.png");
    const std::string f = four.path();
    TempFile table("\"\",x,kind\na,1,u\nb,2,v\n", "table.csv");
    TempFile groups("name,group\n1,A\nAlpha,B\n", "groups.csv");
    const std::string out = (std::filesystem::temp_directory_path() / "tessarin-command-line-out.csv").string();
    const StatusCase cases[] = {
        {"help", {"--help"}, ExitSuccess, "Exit status:"},
        {"help wins", {"--batch", f, "-V", "-h"}, ExitSuccess, "Usage: tessarin"},
        {"version", {"--version"}, ExitSuccess, "tessarin "},
        {"unknown short option", {"-V"}, ExitUsage, "tessarin: unknown option -V (see tessarin --help)"},
        {"unknown option in batch mode", {"--batch", f, "-V"}, ExitUsage, "unknown option -V"},
        {"misspelt option", {"--batch", f, "--gen", "5"}, ExitUsage, "unknown option --gen"},
        {"two files for the window", {"a.txt", "b.txt"}, ExitUsage, "too many arguments"},
        {"batch option without --batch", {"--generations", "5"}, ExitUsage, "--generations works only in the batch mode"},
        {"generations of letters", {"--batch", f, "--generations", "abc"}, ExitUsage,
         "--generations \"abc\": the number of generations must be a whole number, 0 or more"},
        {"negative generations", {"--batch", f, "--generations", "-5"}, ExitUsage, "--generations \"-5\": "},
        {"fractional generations", {"--batch", f, "--generations", "2.5"}, ExitUsage, "--generations \"2.5\": "},
        {"empty generations", {"--batch", f, "--generations="}, ExitUsage, "--generations \"\": "},
        {"generations beyond any count", {"--batch", f, "--generations", "99999999999999999999"}, ExitUsage,
         "whole number"},
        {"value missing at the end", {"--batch", f, "--coords"}, ExitUsage, "--coords needs a value"},
        {"option taken for a file", {"--batch", "--generations", "5"}, ExitUsage,
         "--batch needs a file name before --generations"},
        {"dash file name", {"--batch", f, "--coords", "-x.csv"}, ExitUsage, "write ./-x.csv for a file of that name"},
        {"option given twice", {"--batch", f, "--generations", "1", "--generations", "2"}, ExitUsage,
         "--generations is given twice"},
        {"second file in batch mode", {"--batch", f, "extra.txt"}, ExitUsage, "unexpected argument \"extra.txt\""},
        {"image without the window build", {"--batch", f, "--image", "map.png"}, ExitUsage, "--image needs the window"},
        {"missing distance file", {"--batch", "/nonexistent/d.txt"}, ExitFailure,
         "/nonexistent/d.txt: the file cannot be opened (No such file or directory)"},
        {"folder for a distance file", {"--batch", "/"}, ExitFailure, "/: is a folder"},
        {"coords in a missing folder", {"--batch", f, "--generations", "0", "--coords", "/nonexistent/x.csv"},
         ExitFailure, "tessarin: --coords /nonexistent/x.csv: No such file or directory\n"},
        {"missing start map", {"--batch", f, "--start", "/nonexistent/m.csv"}, ExitFailure,
         "/nonexistent/m.csv: the map file cannot be opened (No such file or directory)"},
        {"binary file", {"--batch", binary.path()}, ExitFailure, "is not a number"},
        {"unknown metric", {"--batch", f, "--metric", "euclid"}, ExitUsage, "--metric: unknown metric \"euclid\""},
        {"minkowski without a power", {"--batch", f, "--metric", "minkowski="}, ExitUsage, "above 0"},
        {"unknown standardisation", {"--batch", f, "--metric", "gower", "--standardize", "scale"}, ExitUsage,
         "it is none, z or range"},
        {"standardisation without a metric", {"--batch", f, "--standardize", "z"}, ExitUsage,
         "--standardize needs --metric"},
        {"a metric and similarities", {"--batch", f, "--metric", "gower", "--similarities", "one-minus"}, ExitUsage,
         "exclude each other"},
        {"unknown conversion", {"--batch", f, "--similarities", "1-s"}, ExitUsage, "max-minus, one-minus"},
        {"empty groups", {"--batch", f, "--groups="}, ExitUsage, "--groups needs a value"},
        {"a text column under euclidean", {"--batch", table.path(), "--metric", "euclidean"}, ExitFailure,
         "column \"kind\" holds text"},
        {"a groups file that names no item", {"--batch", f, "--groups", groups.path()}, ExitFailure,
         "\"Alpha\" is not the name of an item"},
        {"write-distances in a missing folder", {"--batch", f, "--generations", "0", "--write-distances", "/nonexistent/d.csv"},
         ExitFailure, "tessarin: --write-distances /nonexistent/d.csv: No such file or directory\n"},
        {"a normal run", {"--batch", f, "--generations", "20", "--coords", out}, ExitSuccess, ""},
        {"a value joined by =", {"--batch=" + f, "--generations=0", "--coords=" + out}, ExitSuccess, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome result = run(c.args);
        EXPECT_EQ(result.status, c.status) << result.err;
        const std::string &text = c.status == ExitSuccess ? result.out : result.err;
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        if (c.status != ExitSuccess) {
            // One line, and nothing raw from a file in it.
            EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
            for (unsigned char ch : result.err)
                EXPECT_TRUE(ch >= 0x20 || ch == '\n') << "control byte " << int(ch) << " in " << result.err;
        }
    }
    std::filesystem::remove(out);
}

TEST(CommandLine, MapsADataTableWithGroupsAndWritesItsDistances)
{
    TempFile table("\"\",x,y,kind\na,0,0,u\nb,3,4,v\nc,6,8,u\n", "table.csv");
    const std::string distances = (std::filesystem::temp_directory_path() / "tessarin-command-line-d.csv").string();
    const Outcome result =
        run({"--batch", table.path(), "--metric", "euclidean", "--groups", "kind", "--generations", "0",
             "--write-distances", distances});
    ASSERT_EQ(result.status, ExitSuccess) << result.err;
    // The map's CSV names each item's group; the distances are the square
    // the map was fitted to, the group column left out of the variables.
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "item,name,group,x,y");
    EXPECT_NE(result.out.find("\n2,b,v,"), std::string::npos) << result.out;
    std::ifstream in(distances);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, ",\"a\",\"b\",\"c\"\n\"a\",0,5,10\n\"b\",5,0,5\n\"c\",10,5,0\n");
    std::filesystem::remove(distances);
}

TEST(CommandLine, OpensTheWindowOnTheNamedOrDefaultFile)
{
    struct Call {
        std::string file;
        bool named;
    };
    std::vector<Call> calls;
    const WindowRunner window = [&](const std::string &file, bool named) {
        calls.push_back({file, named});
        return 7;
    };
    EXPECT_EQ(run({}, window).status, 7);
    EXPECT_EQ(run({"other.txt"}, window).status, 7);
    EXPECT_EQ(run({"-V"}, window).status, ExitUsage);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].file, "distance.txt");
    EXPECT_FALSE(calls[0].named);
    EXPECT_EQ(calls[1].file, "other.txt");
    EXPECT_TRUE(calls[1].named);

    // Without a window the batch mode runs on the file instead.
    TempFile four(FourSites);
    const Outcome fallback = run({four.path()});
    EXPECT_EQ(fallback.status, ExitSuccess) << fallback.err;
    EXPECT_NE(fallback.err.find("no display; running the batch mode on " + four.path()), std::string::npos);
    EXPECT_EQ(fallback.out.rfind("item,x,y\n1,", 0), 0u) << fallback.out;
}

TEST(CommandLine, PrintsTheReadingWarningsBeforeTheSummary)
{
    TempFile odd("4 Four, 10 2O 30\n9,25\n12\n");
    const Outcome one = run({"--batch", odd.path(), "--generations", "0"});
    EXPECT_EQ(one.status, ExitSuccess);
    EXPECT_EQ(one.err.rfind("warning: " + odd.path() + ", line 1: the title \"Four\" ends at a comma", 0), 0u)
        << one.err;
    EXPECT_NE(one.err.find("warning: " + odd.path() + ", line 1: the value \"2O\" for items 1 and 3 reads as 2"),
              std::string::npos)
        << one.err;
    EXPECT_NE(one.err.find("\nitems: 4\ngenerations: 0\nstress-1: 1\nfit: "), std::string::npos) << one.err;

    // Ten lines at most, then the count of the others: twelve short rows.
    std::string text = "13 Letters\n";
    for (int i = 1; i < 13; ++i)
        text += "x\n";
    TempFile many(text);
    const Outcome lots = run({"--batch", many.path(), "--generations", "0"});
    EXPECT_EQ(lots.status, ExitSuccess);
    std::size_t lines = 0;
    for (std::size_t at = lots.err.find("warning: "); at != std::string::npos; at = lots.err.find("warning: ", at + 1))
        ++lines;
    EXPECT_EQ(lines, 11u) << lots.err;
    EXPECT_NE(lots.err.find("warning: " + many.path() + ": "), std::string::npos) << lots.err;
}

TEST(CommandLine, CtrlCWritesTheMapAndEndsWith130)
{
    TempFile four(FourSites);
    const std::string out = (std::filesystem::temp_directory_path() / "tessarin-interrupted.csv").string();
    // Ctrl-C comes once the run has put its handler in place; the search then
    // stops at its next 10th generation, long before the count is reached.
    std::thread interrupter([] {
        for (;;) {
            struct sigaction current {};
            sigaction(SIGINT, nullptr, &current);
            if (current.sa_handler != SIG_DFL && current.sa_handler != SIG_IGN)
                break;
            std::this_thread::yield();
        }
        std::raise(SIGINT);
    });
    const Outcome result = run({"--batch", four.path(), "--generations", "1000000000000", "--coords", out});
    interrupter.join();
    EXPECT_EQ(result.status, ExitInterrupted) << result.err;
    EXPECT_NE(result.err.find("interrupted at generation "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("\nfit: "), std::string::npos) << result.err;
    EXPECT_TRUE(std::filesystem::exists(out));
    std::filesystem::remove(out);
}

} // namespace
} // namespace tessarin
