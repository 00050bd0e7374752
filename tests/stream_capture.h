#ifndef BRENVO_TESTS_STREAM_CAPTURE_H
#define BRENVO_TESTS_STREAM_CAPTURE_H

// Redirects a standard stream into a string for the life of the object.

#include <ostream>
#include <sstream>
#include <string>

class StreamCapture {
 public:
  explicit StreamCapture(std::ostream& os) : os_(os), old_(os.rdbuf(buf_.rdbuf())) {}
  ~StreamCapture() { os_.rdbuf(old_); }
  std::string str() const { return buf_.str(); }

 private:
  std::ostream& os_;
  std::ostringstream buf_;
  std::streambuf* old_;
};

#endif
