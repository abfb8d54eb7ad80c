// The game when reading World.txt fails part way: whichever read fails, the player is never shown
// a room or a text the world does not hold. A failure before the first description is the
// start-up error; a later one ends the run.
#include "game/game.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

#include "console/console.h"
#include "tests/support/captured.h"

namespace wander {
namespace {

constexpr char kWorld[] =
    "Start: Hall\n"
    "<Hall>\nA hall.\n*\nNorth: Kitchen East: None South: None West: None\nObjects: 1 lamp\n"
    "<Kitchen>\nA kitchen.\n*\nNorth: None East: None South: Hall West: None\nObjects: 0\n"
    "<Hall|lamp>\nA brass lamp.\n*\n";
// A move, a move back, an examine and its key, and quit.
constexpr char kKeys[] = "n\ns\nexa\nlamp\n\nquit\n\n";

// The world's bytes, a few at a time, with one read that fails: the `failing`th (from 1).
class FailingSource final : public ByteSource {
 public:
  explicit FailingSource(int failing) : failing_(failing) {}
  std::size_t read(char* dst, std::size_t size) override {
    if (error_ != 0 || ++reads_ == failing_) {
      error_ = EIO;
      return 0;
    }
    const std::size_t n = std::min<std::size_t>({size, 16, bytes_.size() - at_});
    bytes_.copy(dst, n, at_);
    at_ += n;
    return n;
  }
  bool seek(std::uint64_t offset) override {
    at_ = std::min<std::size_t>(offset, bytes_.size());
    error_ = 0;
    return true;
  }
  int error() const override { return error_; }

 private:
  std::string bytes_ = kWorld;
  std::size_t at_ = 0;
  int failing_;
  int reads_ = 0;
  int error_ = 0;
};

struct Played {
  int status = 0;
  std::string out;
  std::string failure;  // what StreamFailed said, if it was thrown
};

Played play_with(std::unique_ptr<ByteSource> world) {
  Played run;
  run.out = testing::written([&](std::FILE* out) {
    try {
      Screen screen{out, {}};
      run.status = run_game(std::move(world), make_string_source(kKeys), screen);
    } catch (const StreamFailed& failure) {
      run.failure = failure.what();
    }
  });
  return run;
}

TEST(GameTest, AWorldFileThatFailsToReadIsNeverPlayedAsIfItEnded) {
  const Played whole = play_with(std::make_unique<FailingSource>(0));
  ASSERT_EQ(whole.status, kQuitStatus);
  ASSERT_EQ(whole.out.find("A hall.\n\n\n\n> A kitchen."), 0u);
  int at_start = 0;
  int later = 0;
  for (int failing = 1;; ++failing) {
    SCOPED_TRACE("read " + std::to_string(failing) + " fails");
    const Played run = play_with(std::make_unique<FailingSource>(failing));
    if (run.failure.empty() && run.status == kNoWorld) {
      EXPECT_EQ(run.out, "Unable to find World.txt\n");
      ++at_start;
    } else if (!run.failure.empty()) {
      EXPECT_EQ(run.failure, "cannot read World.txt: Input/output error");
      // What was shown before the failure is what the whole world shows.
      EXPECT_EQ(whole.out.substr(0, run.out.size()), run.out);
      EXPECT_NE(run.out.size(), 0u);
      ++later;
    } else {
      // The failing read comes after the last one the game makes.
      EXPECT_EQ(run.status, whole.status);
      EXPECT_EQ(run.out, whole.out);
      break;
    }
  }
  EXPECT_GT(at_start, 0);
  EXPECT_GT(later, 0);
}

}  // namespace
}  // namespace wander
