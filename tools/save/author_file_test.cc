#include "tools/save/author_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <utility>

#include "tests/support/captured.h"

namespace wander {
namespace {

namespace fs = std::filesystem;

class SaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("save_test." + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    world_ = folder_ / "World.txt";
    std::ofstream(world_, std::ios::binary) << "old";
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Saves "new" over World.txt, read as `read`, keeping a backup.
  SaveOutcome save(std::string_view read = "old") {
    save_ = Save{.keep_backup = true};
    return save_file(world_, read, "new", save_, error_);
  }

  fs::path folder_;
  fs::path world_;
  Save save_;
  std::string error_;
};

TEST_F(SaveFileTest, AFileChangedSinceItWasReadIsLeftAlone) {
  EXPECT_EQ(save("what the check read"), SaveOutcome::kChanged);
  EXPECT_EQ(testing::file_bytes(world_), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 1) << "a backup or temporary";
}

TEST_F(SaveFileTest, AFileOfTwoNamesIsWrittenInPlaceAndBothSeeTheNewBytes) {
  fs::create_hard_link(world_, folder_ / "other name");
  ASSERT_EQ(save(), SaveOutcome::kSaved) << error_;
  EXPECT_EQ(testing::file_bytes(world_), "new");
  EXPECT_EQ(testing::file_bytes(folder_ / "other name"), "new");
  EXPECT_EQ(testing::file_bytes(folder_ / "World.txt.orig"), "old");
}

// The backup takes the first free name; it and the new file keep the file's mode, owner and group.
TEST_F(SaveFileTest, TheBackupTakesAFreeNameAndBothKeepModeOwnerAndGroup) {
  for (const char* taken : {"World.txt.orig", "World.txt.orig.1"}) std::ofstream(folder_ / taken);
  fs::permissions(world_, fs::perms(0640));
  // Only the super-user can give a file to another owner and group.
  const bool root = ::geteuid() == 0;
  ASSERT_TRUE(!root || ::chown(world_.c_str(), 1, 65534) == 0);
  ASSERT_EQ(save(), SaveOutcome::kSaved) << error_;
  EXPECT_EQ(save_.backup, folder_ / "World.txt.orig.2");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 4) << "a temporary file is left";
  for (const fs::path& file : {world_, save_.backup}) {
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u) << file;
    if (root) {
      EXPECT_EQ(std::pair(status.st_uid, status.st_gid), std::pair(1u, 65534u)) << file;
    }
  }
}

}  // namespace
}  // namespace wander
