// Replays the committed seed corpus of every fuzz target built into this
// program through the target's own code, so that every input the fuzzers
// start from (and every finding kept in the corpus) runs in each build of
// the tests, the sanitizer build included. A target that rejects an input
// aborts, and the signal handler below names the file first.

#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

namespace {

const std::string CORPUS = std::string(BRENVO_SOURCE_DIR) + "/fuzz/corpus/";

// The input being replayed, for the abort handler.
char S_current[512] = "";

void nameTheInput(int) {
  const char head[] = "\nfuzz corpus replay aborted on ";
  (void)!::write(2, head, sizeof(head) - 1);
  (void)!::write(2, S_current, std::strlen(S_current));
  (void)!::write(2, "\n", 1);
  ::signal(SIGABRT, SIG_DFL);
  ::raise(SIGABRT);
}

std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> files;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return files;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] != '.') files.push_back(folder + "/" + entry->d_name);
  }
  ::closedir(dir);
  std::sort(files.begin(), files.end());
  return files;
}

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FuzzCorpusTest, EveryTargetHasSeeds) {
  ASSERT_FALSE(fuzz::targets().empty());
  for (const auto& target : fuzz::targets()) {
    EXPECT_NE(nullptr, target.second.run) << target.first;
    EXPECT_FALSE(filesIn(CORPUS + target.first).empty()) << target.first;
  }
}

TEST(FuzzCorpusTest, SeedsReplayWithoutFault) {
  // A slowed-down server in a seed re-arms the interval timer; the dispatch
  // target disarms it after the input, and until then it must not end us.
  struct sigaction ignore_alarm {};
  ignore_alarm.sa_handler = SIG_IGN;
  struct sigaction old_alarm {};
  ::sigaction(SIGALRM, &ignore_alarm, &old_alarm);
  struct sigaction name_abort {};
  name_abort.sa_handler = nameTheInput;
  struct sigaction old_abort {};
  ::sigaction(SIGABRT, &name_abort, &old_abort);
  std::streambuf* old_out = std::cout.rdbuf(fuzz::nullStream().rdbuf());
  std::streambuf* old_err = std::cerr.rdbuf(fuzz::nullStream().rdbuf());

  int replayed = 0;
  for (const auto& target : fuzz::targets()) {
    if (target.second.init != nullptr) target.second.init();
    for (const std::string& path : filesIn(CORPUS + target.first)) {
      std::snprintf(S_current, sizeof(S_current), "%s", path.c_str());
      const std::string input = contents(path);
      target.second.run(reinterpret_cast<const uint8_t*>(input.data()), input.size());
      ++replayed;
    }
    fuzz::resetProcessState();
  }

  std::cout.rdbuf(old_out);
  std::cerr.rdbuf(old_err);
  ::sigaction(SIGABRT, &old_abort, nullptr);
  ::sigaction(SIGALRM, &old_alarm, nullptr);
  CoachConfig::instance().setDefaultParam();
  EXPECT_LT(100, replayed);
}

}  // namespace
