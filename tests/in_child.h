#ifndef BRENVO_TESTS_IN_CHILD_H
#define BRENVO_TESTS_IN_CHILD_H

// Runs checks in a forked child process, for code that keeps state in
// function-local statics: whatever the checks change dies with the child, so
// the test passes however often and in whatever order it runs, as long as
// every test that moves those statics runs them this way. The child reports
// its failures as usual; the test fails when the child did.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

template <typename Checks>
void inChild(Checks checks) {
  std::cout.flush();
  std::fflush(nullptr);
  const pid_t pid = fork();
  ASSERT_NE(-1, pid);
  if (pid == 0) {
    checks();
    std::cout.flush();
    std::fflush(nullptr);
    _exit(testing::Test::HasFailure() ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  EXPECT_EQ(0, status) << "the checks in the child process failed (see above)";
}

#endif
