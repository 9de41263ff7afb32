// System: the heap hands freed memory back even after the program has freed a big block,
// and a buffer renewed every frame keeps reusing its pages.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <filesystem>
#include <vector>
#include "platform/system.h"
#include "support/child_process.h"
#include "support/proc_status.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// The SystemChild tests are started by the last test here, in a fresh process: blocks freed
// by earlier tests would otherwise be handed out again without the memory growing.
TEST(SystemChild, DISABLED_MemoryFreedAfterABigBlockGoesBack) {
  KeepHeapTrimmed();
  long sum = 0;
  {
    std::vector<char> track(24 << 20, 1);  // as a decoded music track
    sum += track[12345];
  }
  long before = AnonymousKb();
  {
    std::vector<std::vector<char>> pictures;  // as textures and grabbed screens
    pictures.reserve(12);
    for (int i = 0; i < 12; i++) pictures.emplace_back(1200 << 10, 2);
    for (const auto& p : pictures) sum += p[777];
    ASSERT_GT(AnonymousKb() - before, 12 * 1024) << "the blocks were really held";
  }
  EXPECT_EQ(sum, 1 + 12 * 2);
  EXPECT_LT(AnonymousKb() - before, 2048) << "14 MB freed, but kept by the heap";
}

long MinorFaults() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_minflt;
}

// The GL driver renews a vertex buffer of about 520 KB every frame or two in a busy scene.
TEST(SystemChild, DISABLED_BufferRenewedEachFrameKeepsItsPages) {
  KeepHeapTrimmed();
  long sum = 0, before = MinorFaults();
  for (int i = 0; i < 50; i++) {
    std::vector<char> vertices(520 << 10, 3);
    sum += vertices[i * 1000];
  }
  EXPECT_EQ(sum, 50 * 3);
  EXPECT_LT(MinorFaults() - before, 50 * 130 / 4) << "each buffer was mapped afresh";
}

TEST(System, HeapGivesFreedMemoryBackAndKeepsRenewedBuffers) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps its pages its own way";
#endif
  temp_folder logs;
  ASSERT_TRUE(logs.Make("heap"));
  childproc::child_plan plan;
  plan.program = fs::read_symlink("/proc/self/exe").string();
  plan.args = {"--gtest_also_run_disabled_tests", "--gtest_filter=SystemChild.*"};
  plan.cwd = logs.path().string();
  childproc::child_result r = childproc::RunChild(plan, logs.path());
  logs.Remove();
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("2 tests from SystemChild"), std::string::npos) << r.out;
}

}  // namespace
