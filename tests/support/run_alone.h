// run_alone: for a test that needs the process as the program starts it (nothing run
// before it, or a display and start-up of its own). When the binary runs more tests than
// this one, the test runs again by itself in a child process and its result stands for it;
// run alone (as CTest runs each test), it runs right here.
//     TEST(StartValues, X) { KELVANE_RUN_ALONE(); ... }
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <filesystem>
#include <string>
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace runalone {

// 1 when the current test was run in a child process (and has been reported); the caller returns.
inline int RanInChild() {
  const ::testing::UnitTest* unit = ::testing::UnitTest::GetInstance();
  if (unit->test_to_run_count() == 1) return 0;
  const ::testing::TestInfo* info = unit->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  temp_folder logs;
  if (!logs.Make("alone")) {
    ADD_FAILURE() << "no temporary folder for " << name;
    return 1;
  }
  childproc::child_plan plan;
  plan.program = std::filesystem::read_symlink("/proc/self/exe").string();
  plan.args = {"--gtest_filter=" + name};
  plan.cwd = std::filesystem::current_path().string();
  childproc::child_result r = childproc::RunChild(plan, logs.path());
  logs.Remove();
  EXPECT_TRUE(r.exited && r.code == 0) << name << " failed when run alone:\n" << r.out << r.err;
  return 1;
}

}  // namespace runalone

#define KELVANE_RUN_ALONE()         \
  do {                              \
    if (runalone::RanInChild()) return; \
  } while (0)
