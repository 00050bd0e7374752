#ifndef BRENVO_BENCH_BENCH_SUPPORT_H
#define BRENVO_BENCH_BENCH_SUPPORT_H

// Shared pieces of the benchmarks: realistic messages, a sink for the
// coach's output, and the table of ratios that bench_main prints after the
// run (each measured subject against a floor measured in the same run).

#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

namespace bench {

const char TEAM[] = "Coachees";

// A subject, the floor it is compared with, and the ratio it should stay
// within (0 for none).
struct Comparison {
  const char* subject;
  const char* floor;
  double target;
};

// Every comparison the benchmarks register; bench_main reports them.
inline std::vector<Comparison>& comparisons() {
  static std::vector<Comparison> list;
  return list;
}

// Registers a comparison at static-initialisation time.
struct Compare {
  Compare(const char* subject, const char* floor, double target) {
    comparisons().push_back({subject, floor, target});
  }
};

// Swallows everything written to it.
class NullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Sends a standard stream into a sink for the life of the object.
class Silence {
 public:
  explicit Silence(std::ostream& stream) : stream_(stream), old_(stream.rdbuf(&sink_)) {}
  ~Silence() { stream_.rdbuf(old_); }

 private:
  std::ostream& stream_;
  NullBuffer sink_;
  std::streambuf* old_;
};

// A global view of 22 moving players as a current server writes it during
// play (about 1.4 KB): four decimals, some pointing arms and tackles. The
// seed varies the numbers, so consecutive cycles differ like a real match.
inline std::string globalView(int cycle, int seed = 0) {
  char buf[200];
  std::snprintf(buf, sizeof(buf),
                "(see_global %d ((g r) 52.5 0) ((g l) -52.5 0) ((b) %.4f %.4f %.4f %.4f)", cycle,
                12.3456 + seed * 0.0173, -7.8912 + seed * 0.0091, 0.8123, -0.2314);
  std::string view = buf;
  for (int side = 0; side < 2; ++side) {
    for (int unum = 1; unum <= 11; ++unum) {
      const double x = (side == 0 ? -1 : 1) * (3.25 * unum + 0.1234) + seed * 0.0137;
      const double y = -30.5 + 5.0123 * unum - seed * 0.0071;
      std::snprintf(buf, sizeof(buf), " ((p \"%s\" %d%s) %.4f %.4f %.4f %.4f %d %d%s%s)",
                    side == 0 ? TEAM : "Opponents", unum, unum == 1 ? " goalie" : "", x, y,
                    0.0123 * unum + seed * 0.001, -0.0456, (10 * unum + seed) % 360 - 180,
                    unum * 7 - 45, unum % 4 == 0 ? " 33.5" : "", unum % 5 == 0 ? " t" : "");
      view += buf;
    }
  }
  return view + ")";
}

}  // namespace bench

#endif
