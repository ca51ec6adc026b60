// Files written whole or not at all: the map CSV, the report and the pictures
// all go through WriteFileAtomically.
#include "io/atomic_file.h"
#include "temp_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;

/// A fresh folder for one case, removed with everything in it.
struct Folder {
    Folder()
    {
        static int counter = 0;
        path = fs::temp_directory_path() /
               ("tessarin-atomic-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    fs::path path;
};

TEST(WriteFileAtomically, WritesTheWholeFileOrLeavesWhatWasThere)
{
    struct Case {
        const char *name;
        // What stands at the target before: nothing, a file, a folder; or the
        // target's folder is missing or a plain file.
        enum Before { Nothing, OldFile, Directory, MissingFolder, FileAsFolder } before;
        std::string bytes;
        int error;
    } cases[] = {
        {"new file", Case::Nothing, "item,x,y\n1,5,995\n", 0},
        {"empty file", Case::Nothing, "", 0},
        {"bytes with a zero", Case::Nothing, std::string("a\0b", 3), 0},
        {"replaces an old file", Case::OldFile, "new", 0},
        {"target is a folder", Case::Directory, "new", EISDIR},
        {"folder missing", Case::MissingFolder, "new", ENOENT},
        {"folder is a file", Case::FileAsFolder, "new", ENOTDIR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Folder folder;
        fs::path target = folder.path / "out.csv";
        switch (c.before) {
        case Case::Nothing:
            break;
        case Case::OldFile:
            std::ofstream(target, std::ios::binary) << "old contents";
            break;
        case Case::Directory:
            fs::create_directory(target);
            break;
        case Case::MissingFolder:
            target = folder.path / "missing" / "out.csv";
            break;
        case Case::FileAsFolder:
            std::ofstream(folder.path / "plain") << "x";
            target = folder.path / "plain" / "out.csv";
            break;
        }
        EXPECT_EQ(WriteFileAtomically(target.string(), c.bytes), c.error);
        if (c.error == 0) {
            EXPECT_EQ(ReadFileBytes(target), c.bytes);
        } else if (c.before == Case::Directory) {
            EXPECT_TRUE(fs::is_directory(target));
        } else {
            EXPECT_FALSE(fs::exists(target));
        }
        // Never a temporary left behind.
        EXPECT_FALSE(fs::exists(target.string() + ".part"));
    }
}

} // namespace
} // namespace tessarin
