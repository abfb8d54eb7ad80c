#include "tools/save/author_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace wander {
namespace {

namespace fs = std::filesystem;

class SaveFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("save_test." + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    world_ = folder_ / "World.txt";
    put(world_, "old");
  }
  void TearDown() override { fs::remove_all(folder_); }

  static void put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string held(const fs::path& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
  }
  SaveOutcome save(const fs::path& path, std::string_view read = "old", bool backup = true) {
    save_ = Save{.keep_backup = backup};
    error_.clear();
    return save_file(path, read, "new", save_, error_);
  }

  fs::path folder_;
  fs::path world_;
  Save save_;
  std::string error_;
};

TEST_F(SaveFileTest, BackupsNeverOverwriteAndKeepTheMode) {
  put(folder_ / "World.txt.orig", "notes");
  fs::permissions(world_, fs::perms(0640));
  ASSERT_EQ(save(world_), SaveOutcome::kSaved) << error_;
  EXPECT_EQ(held(world_), "new");
  EXPECT_EQ(held(folder_ / "World.txt.orig"), "notes");
  EXPECT_EQ(save_.backup, folder_ / "World.txt.orig.1");
  EXPECT_EQ(held(save_.backup), "old");
  EXPECT_EQ(fs::status(world_).permissions(), fs::perms(0640));
  EXPECT_EQ(fs::status(save_.backup).permissions(), fs::perms(0640));
  ASSERT_EQ(save(world_, "new"), SaveOutcome::kSaved) << error_;
  EXPECT_EQ(save_.backup, folder_ / "World.txt.orig.2");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 4) << "a temporary file is left";
}

TEST_F(SaveFileTest, AFileChangedSinceItWasReadIsLeftAlone) {
  EXPECT_EQ(save(world_, "what the check read"), SaveOutcome::kChanged);
  EXPECT_EQ(held(world_), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}), 1) << "a backup or temporary";
}

TEST_F(SaveFileTest, ALinkStaysALinkAndEveryNameSeesTheNewBytes) {
  fs::create_directories(folder_ / "kept");
  const fs::path target = folder_ / "kept" / "world";
  fs::rename(world_, target);
  fs::create_symlink(target, world_);
  fs::create_hard_link(target, folder_ / "other name");
  ASSERT_EQ(save(world_), SaveOutcome::kSaved) << error_;
  EXPECT_TRUE(fs::is_symlink(fs::symlink_status(world_)));
  EXPECT_EQ(held(target), "new");
  EXPECT_EQ(held(folder_ / "other name"), "new");
  EXPECT_EQ(save_.backup, folder_ / "World.txt.orig");
  EXPECT_EQ(held(save_.backup), "old");
}

TEST_F(SaveFileTest, AReadOnlyFileIsNeverReplaced) {
  fs::permissions(world_, fs::perms(0444));
  EXPECT_EQ(save(world_), SaveOutcome::kFailed);
  EXPECT_NE(error_.find("nothing was changed"), std::string::npos) << error_;
  EXPECT_EQ(held(world_), "old");
  EXPECT_EQ(fs::status(world_).permissions(), fs::perms(0444));
  EXPECT_FALSE(fs::exists(folder_ / "World.txt.orig"));
}

TEST_F(SaveFileTest, TheOwnerAndGroupAreKept) {
  // Only the super-user can give a file to another group than its own.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a file of another group";
  ASSERT_EQ(::chown(world_.c_str(), 1, 65534), 0);
  ASSERT_EQ(save(world_), SaveOutcome::kSaved) << error_;
  struct stat status {};
  ASSERT_EQ(::stat(world_.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 1u);
  EXPECT_EQ(status.st_gid, 65534u);
}

}  // namespace
}  // namespace wander
