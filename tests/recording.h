#ifndef BRENVO_TESTS_RECORDING_H
#define BRENVO_TESTS_RECORDING_H

// The messages of a real server's recording in tests/data/, one JSON object
// {"text": "..."} a line. A missing or malformed file fails the test.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

inline std::vector<std::string> recordedMessages(const std::string& name) {
  const std::string path = std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name;
  std::ifstream in(path);
  EXPECT_TRUE(in.is_open()) << "cannot read the recording " << path;
  const std::string head = "{\"text\": \"";
  std::vector<std::string> messages;
  for (std::string line; std::getline(in, line);) {
    const bool whole = line.size() >= head.size() + 2 && line.compare(0, head.size(), head) == 0 &&
                       line.compare(line.size() - 2, 2, "\"}") == 0;
    EXPECT_TRUE(whole) << path << ": line " << messages.size() + 1;
    if (!whole) break;
    std::string text;
    for (std::size_t i = head.size(); i + 2 < line.size(); ++i) {
      if (line[i] == '\\') ++i;  // the texts hold only \" and \\ escapes
      text += line[i];
    }
    messages.push_back(text);
  }
  return messages;
}

#endif
