#include "picture_files/atomic_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"

namespace kelvarin {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return dir_.File(name); }
  static std::string Read(const std::string& path) { return test::TempDir::Read(path); }
  std::size_t Entries() const { return dir_.Names().size(); }

  test::TempDir dir_;
};

TEST_F(AtomicFileTest, CommitReplacesTheFileKeepingItsModeAndLinks) {
  const std::string file = Path("picture.png");
  std::ofstream(file) << "old";
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const std::string link = Path("link.png");
  fs::create_symlink(file, link);

  // Larger than the writer's buffer, in pieces, so both paths of Write run.
  const std::string big(200000, 'x');
  AtomicFile out;
  ASSERT_FALSE(out.Open(link));
  ASSERT_FALSE(out.Write("head", 4));
  ASSERT_FALSE(out.Write(big.data(), big.size()));
  EXPECT_EQ(Read(file), "old");  // nothing shows before the commit
  ASSERT_FALSE(out.Commit());

  EXPECT_EQ(Read(file), "head" + big);
  EXPECT_TRUE(fs::is_symlink(link));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(), 2u);  // the file and the link, no temporary
}

TEST_F(AtomicFileTest, AnUncommittedFileLeavesThePathAsItWas) {
  const std::string file = Path("kept.png");
  std::ofstream(file) << "old";
  {
    AtomicFile out;
    ASSERT_FALSE(out.Open(file));
    ASSERT_FALSE(out.Write("new", 3));
  }
  EXPECT_EQ(Read(file), "old");
  {
    AtomicFile out;
    ASSERT_FALSE(out.Open(Path("new.png")));
    ASSERT_FALSE(out.Write("new", 3));
    out.Discard();
  }
  EXPECT_EQ(Entries(), 1u);
}

TEST_F(AtomicFileTest, ErrorsAreReportedNotSwallowed) {
  EXPECT_EQ(WriteFileAtomically(Path("no/such/folder.png"), "x", 1),
            std::errc::no_such_file_or_directory);
  EXPECT_EQ(WriteFileAtomically(dir_.path(), "x", 1), std::errc::is_a_directory);
  // A device cannot be replaced, so it is written directly, and its failure shows.
  const std::string block(100, 'x');
  EXPECT_EQ(WriteFileAtomically("/dev/full", block.data(), block.size()),
            std::errc::no_space_on_device);
  EXPECT_EQ(Entries(), 0u);
}

TEST_F(AtomicFileTest, AnEndingSignalRemovesTheTemporaryFile) {
  const std::string file = Path("interrupted.gif");
  EXPECT_EXIT(
      {
        RemoveTemporaryFilesOnSignals();
        AtomicFile out;
        if (out.Open(file) || out.Write("partial", 7)) {
          std::_Exit(1);
        }
        ::raise(SIGTERM);
        std::_Exit(2);
      },
      ::testing::KilledBySignal(SIGTERM), "");
  EXPECT_EQ(Entries(), 0u);
}

}  // namespace
}  // namespace kelvarin
