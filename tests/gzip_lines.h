#ifndef BRENVO_TESTS_GZIP_LINES_H
#define BRENVO_TESTS_GZIP_LINES_H

// The lines of a gzip-compressed text file in tests/data/, read through
// zlib. A missing or damaged file fails the test and gives no lines.

#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> gzipLines(const std::string& name) {
  const std::string path = std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name;
  std::vector<std::string> lines;
  gzFile file = gzopen(path.c_str(), "rb");
  EXPECT_NE(nullptr, file) << "cannot read " << path;
  if (file == nullptr) return lines;
  std::string text;
  char buffer[1 << 16];
  int n = 0;
  while ((n = gzread(file, buffer, sizeof(buffer))) > 0) text.append(buffer, n);
  EXPECT_EQ(0, n) << "damaged: " << path;
  gzclose(file);
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

#endif
