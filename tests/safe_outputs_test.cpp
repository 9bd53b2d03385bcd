// Output files are written whole or not at all: a write that fails part-way leaves the previous file as it
// was and no temporary file behind; a symbolic link to a file replaces the file it names; the temporary files
// of a killed run are removed by the next write of the same target, never those of a live one.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "test_support.h"

namespace glowfield::test {
namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int entriesIn(const std::string& folder) {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

TEST(AtomicFile, AFailedWriteKeepsThePreviousFileAndLeavesNothingBehind) {
    TempDir dir;
    const std::string target = dir.file("out.bin");
    std::ofstream(target) << "previous";
    // In a child limited to 4096-byte files, as a nearly full disk would be: the write of 100000 bytes fails.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const bool written = writeFileAtomically(target, std::vector<uint8_t>(100000, 7), error);
        _exit(!written && error.find("cannot write") == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(readAll(target), "previous");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(AtomicFile, ReplacesTheFileOrWhatALinkNames) {
    TempDir dir;
    const std::string target = dir.file("real.bin");
    std::ofstream(target) << "old";
    ASSERT_EQ(symlink("real.bin", dir.file("link.bin").c_str()), 0);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(dir.file("link.bin"), {'n', 'e', 'w'}, error)) << error;
    EXPECT_EQ(readAll(target), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.bin")));
    EXPECT_EQ(entriesIn(dir.path()), 2);
    EXPECT_FALSE(writeFileAtomically(dir.file("no/such/folder/x"), {'x'}, error));
}

// A run killed with SIGKILL leaves its temporary file; the next write of the same target removes it, but not
// the temporary file a live writer holds, nor those of other targets or files that only look alike.
TEST(AtomicFile, TheNextWriteRemovesTheTemporaryFilesOfKilledRuns) {
    TempDir dir;
    const std::string target = dir.file("run.y4m");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {
        TemporaryFile file;
        std::string error;
        const char made = createTemporaryFile(target, file, error) ? 'y' : 'n';
        (void)!write(ready[1], &made, 1);
        pause();
        _exit(0);
    }
    char made = 0;
    ASSERT_EQ(read(ready[0], &made, 1), 1);
    ASSERT_EQ(made, 'y');
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    ASSERT_EQ(entriesIn(dir.path()), 1); // the killed run's temporary file

    TemporaryFile live;
    std::string error;
    ASSERT_TRUE(createTemporaryFile(dir.file("other.y4m"), live, error)) << error;
    for (const char* name : {".run.y4m.backup", ".run.y4m.glowfield-keep", "run.y4m.glowfield-abcdef"}) {
        std::ofstream(dir.file(name)) << "mine";
    }
    ASSERT_TRUE(writeFileAtomically(target, {'n', 'e', 'w'}, error)) << error;
    EXPECT_EQ(readAll(target), "new");
    // The live temporary file of another target, the look-alikes and the new file: nothing else.
    EXPECT_TRUE(std::filesystem::exists(live.path));
    EXPECT_EQ(entriesIn(dir.path()), 5);

    // A temporary file of the same target held by a live writer stays too.
    TemporaryFile held;
    ASSERT_TRUE(createTemporaryFile(target, held, error)) << error;
    ASSERT_TRUE(writeFileAtomically(target, {'2'}, error)) << error;
    EXPECT_TRUE(std::filesystem::exists(held.path));
    discardTemporaryFile(held);
    discardTemporaryFile(live);
    EXPECT_EQ(entriesIn(dir.path()), 4);
}

} // namespace
} // namespace glowfield::test
