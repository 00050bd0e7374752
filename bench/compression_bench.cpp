// Compression and decompression of the messages of a running match (global
// views of consecutive cycles and the coach's short commands) through the
// coach's transport, against zlib alone on the same bytes with the same
// stream settings (one long-lived stream, a sync flush per message).

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "coach/udp_interface.h"

namespace {

const int MESSAGE_COUNT = 512;

// Views of consecutive cycles with a referee announcement now and then.
const std::vector<std::string>& messages() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> m;
    for (int i = 0; i < MESSAGE_COUNT; ++i) {
      m.push_back(i % 16 == 15 ? "(hear " + std::to_string(i) + " referee play_on)"
                               : bench::globalView(i, i));
    }
    return m;
  }();
  return list;
}

// The messages deflated as the server would send them: one stream at level
// 1, each message with its NUL and a sync flush.
const std::vector<std::string>& datagrams() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> d;
    z_stream z{};
    deflateInit(&z, 1);
    std::vector<unsigned char> out(64 * 1024);
    for (const std::string& m : messages()) {
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(m.c_str()));
      z.avail_in = static_cast<uInt>(m.size() + 1);
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      deflate(&z, Z_SYNC_FLUSH);
      d.emplace_back(reinterpret_cast<char*>(out.data()), out.size() - z.avail_out);
    }
    deflateEnd(&z);
    return d;
  }();
  return list;
}

void Compress(benchmark::State& state) {
  bench::Silence quiet(std::cout);  // the transport logs every message
  UDPInterface udp;
  udp.setCompressionLevel(1);
  size_t i = 0;
  int64_t bytes = 0;
  for (auto _ : state) {
    const std::string& m = messages()[i++ % MESSAGE_COUNT];
    udp.compress(m.c_str());
    bytes += static_cast<int64_t>(m.size() + 1);
    benchmark::DoNotOptimize(udp.converted().data());
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(Compress);

void ZlibDeflateFloor(benchmark::State& state) {
  z_stream z{};
  deflateInit(&z, 1);
  std::vector<unsigned char> out(64 * 1024);
  size_t i = 0;
  int64_t bytes = 0;
  for (auto _ : state) {
    const std::string& m = messages()[i++ % MESSAGE_COUNT];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(m.c_str()));
    z.avail_in = static_cast<uInt>(m.size() + 1);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_SYNC_FLUSH);
    bytes += static_cast<int64_t>(m.size() + 1);
    benchmark::DoNotOptimize(out.data());
  }
  deflateEnd(&z);
  state.SetBytesProcessed(bytes);
}
BENCHMARK(ZlibDeflateFloor);

// The stream has to be inflated from its start: after the last datagram a
// new interface (or a reset stream) starts over, outside the timing.
void Decompress(benchmark::State& state) {
  bench::Silence quiet(std::cout);
  const std::vector<std::string>& d = datagrams();
  std::unique_ptr<UDPInterface> udp(new UDPInterface());
  size_t i = 0;
  int64_t bytes = 0;
  for (auto _ : state) {
    if (i == d.size()) {
      state.PauseTiming();
      udp.reset(new UDPInterface());
      i = 0;
      state.ResumeTiming();
    }
    udp->decompress(d[i].data(), static_cast<int>(d[i].size()));
    bytes += static_cast<int64_t>(udp->converted().size());
    ++i;
  }
  if (udp->converted().empty()) state.SkipWithError("nothing inflated");
  state.SetBytesProcessed(bytes);
}
BENCHMARK(Decompress);

void ZlibInflateFloor(benchmark::State& state) {
  const std::vector<std::string>& d = datagrams();
  z_stream z{};
  inflateInit(&z);
  std::vector<unsigned char> out(64 * 1024);
  size_t i = 0;
  int64_t bytes = 0;
  for (auto _ : state) {
    if (i == d.size()) {
      state.PauseTiming();
      inflateReset(&z);
      i = 0;
      state.ResumeTiming();
    }
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(d[i].data()));
    z.avail_in = static_cast<uInt>(d[i].size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_SYNC_FLUSH);
    bytes += static_cast<int64_t>(out.size() - z.avail_out);
    ++i;
  }
  inflateEnd(&z);
  state.SetBytesProcessed(bytes);
}
BENCHMARK(ZlibInflateFloor);

bench::Compare compress_floor("Compress", "ZlibDeflateFloor", 0);
bench::Compare decompress_floor("Decompress", "ZlibInflateFloor", 0);

}  // namespace
