#include "coach/udp_interface.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "tests/stream_capture.h"
#include "tools/loopback_peer.h"

namespace {

using Peer = practice::LoopbackPeer;
using ZPeer = practice::ZlibStreams;

std::string randomText(size_t length, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> letter('!', '~');
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    text += static_cast<char>(letter(generator));
  }
  return text;
}

class UDPInterfaceTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(udp.socket().connect("127.0.0.1", server.port()));
    const int fd = udp.socket().descriptor();
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
  }

  int localPort() const { return practice::localPort(udp.socket().descriptor()); }

  // Waits (bounded) until a datagram is pending, then receives it.
  int receiveOne() {
    pollfd entry = {udp.socket().descriptor(), POLLIN, 0};
    if (poll(&entry, 1, 2000) != 1) {
      return -2;
    }
    return udp.receive();
  }

  Peer server;
  UDPInterface udp;
};

TEST_F(UDPInterfaceTest, ByeWithoutCompressionIsSixBytesOnTheWire) {
  EXPECT_EQ(6, udp.send("(bye)"));
  std::string bytes;
  ASSERT_TRUE(server.receive(&bytes));
  EXPECT_EQ(std::string("(bye)\0", 6), bytes);
}

TEST_F(UDPInterfaceTest, EmptyTextSendsOnlyTheNul) {
  EXPECT_EQ(1, udp.send(""));
  std::string bytes;
  ASSERT_TRUE(server.receive(&bytes));
  EXPECT_EQ(std::string(1, '\0'), bytes);
}

TEST_F(UDPInterfaceTest, ReceiveOnEmptySocketReturnsZeroAndWritesNothing) {
  server.sendTo(localPort(), std::string("(hear 1 referee play_on)\0", 25));
  ASSERT_EQ(25, receiveOne());
  EXPECT_EQ(0, udp.receive());
  EXPECT_STREQ("(hear 1 referee play_on)", udp.received());
}

TEST_F(UDPInterfaceTest, ZeroLengthDatagramIsReportedAndReturnsZero) {
  StreamCapture err(std::cerr);
  server.sendTo(localPort(), "");
  EXPECT_EQ(0, receiveOne());
  EXPECT_EQ("receive null message\n", err.str());
}

TEST_F(UDPInterfaceTest, DestinationPortFollowsTheSender) {
  Peer game_port;
  game_port.sendTo(localPort(), std::string("(init l ok)\0", 12));
  ASSERT_EQ(12, receiveOne());
  EXPECT_EQ(game_port.port(), ntohs(udp.socket().destination().sin_port));
  EXPECT_EQ(htonl(INADDR_LOOPBACK), udp.socket().destination().sin_addr.s_addr);

  EXPECT_EQ(9, udp.send("(eye on)"));
  std::string bytes;
  EXPECT_TRUE(game_port.receive(&bytes));
  EXPECT_EQ(std::string("(eye on)\0", 9), bytes);
  EXPECT_TRUE(server.takeAll().empty());
}

TEST_F(UDPInterfaceTest, DatagramOfFullBufferSizeIsReceivedWhole) {
  const std::string text = randomText(UDPInterface::BUFFER_SIZE, 1);
  server.sendTo(localPort(), text);
  EXPECT_EQ(UDPInterface::BUFFER_SIZE, receiveOne());
  EXPECT_EQ(text, std::string(udp.received()));
}

TEST_F(UDPInterfaceTest, LongerDatagramIsCutToTheBuffer) {
  const std::string text = randomText(UDPInterface::BUFFER_SIZE + 500, 2);
  server.sendTo(localPort(), text);
  EXPECT_EQ(UDPInterface::BUFFER_SIZE, receiveOne());
  EXPECT_EQ(text.substr(0, UDPInterface::BUFFER_SIZE), std::string(udp.received()));
}

TEST_F(UDPInterfaceTest, CompressionLevelZeroKeepsMessagesPlain) {
  EXPECT_EQ(-1, udp.compressionLevel());
  EXPECT_TRUE(udp.setCompressionLevel(0));
  EXPECT_EQ(0, udp.compressionLevel());
  EXPECT_EQ(6, udp.send("(bye)"));
  std::string bytes;
  ASSERT_TRUE(server.receive(&bytes));
  EXPECT_EQ(std::string("(bye)\0", 6), bytes);
}

TEST_F(UDPInterfaceTest, CompressedSendsAreOneStreamThePeerInflatesInOrder) {
  udp.setCompressionLevel(1);
  ZPeer zpeer;
  StreamCapture out(std::cout);
  const std::string big = randomText(20000, 3);
  const std::string messages[] = {"(check_ball)", big, "(check_ball)", "(bye)"};
  std::ostringstream expected_log;
  for (const std::string& message : messages) {
    const int sent = udp.send(message.c_str());
    std::string bytes;
    ASSERT_TRUE(server.receive(&bytes));
    EXPECT_EQ(static_cast<int>(bytes.size()), sent);
    EXPECT_EQ(message + '\0', zpeer.inflateDatagram(bytes));
    expected_log << "compress " << message.size() + 1 << " bytes to " << bytes.size() << " bytes\n";
  }
  EXPECT_EQ(expected_log.str(), out.str());
}

TEST_F(UDPInterfaceTest, CheckBallCompressesThirteenBytes) {
  udp.setCompressionLevel(6);
  StreamCapture out(std::cout);
  const int first = udp.send("(check_ball)");
  const int second = udp.send("(check_ball)");
  EXPECT_EQ("compress 13 bytes to " + std::to_string(first) + " bytes\ncompress 13 bytes to " +
                std::to_string(second) + " bytes\n",
            out.str());
  // The long-lived stream remembers the first copy.
  EXPECT_LT(second, first);
}

TEST_F(UDPInterfaceTest, ChangingTheLevelKeepsTheStreamReadable) {
  ZPeer zpeer;
  StreamCapture out(std::cout);
  const std::string messages[] = {"(check_ball)", "(change_player_type 9 3)", "(bye)"};
  const int levels[] = {6, 1, 9};
  for (int i = 0; i < 3; ++i) {
    udp.setCompressionLevel(levels[i]);
    udp.send(messages[i].c_str());
    std::string bytes;
    ASSERT_TRUE(server.receive(&bytes));
    EXPECT_EQ(messages[i] + '\0', zpeer.inflateDatagram(bytes));
  }
}

TEST_F(UDPInterfaceTest, CompressedDatagramsInflateIntoTheBuffer) {
  udp.setCompressionLevel(1);
  ZPeer zpeer;
  StreamCapture out(std::cout);
  std::ostringstream expected_log;
  const std::string messages[] = {"(ok check_ball 44 goal_r)", "(hear 44 referee kick_off_r)",
                                  "(ok check_ball 45 in_field)"};
  for (const std::string& message : messages) {
    const std::string bytes = zpeer.deflateMessage(message);
    server.sendTo(localPort(), bytes);
    EXPECT_EQ(static_cast<int>(bytes.size()), receiveOne());
    EXPECT_STREQ(message.c_str(), udp.received());
    expected_log << "decompress from " << bytes.size() << " bytes to " << message.size() + 1
                 << " bytes\n";
  }
  EXPECT_EQ(expected_log.str(), out.str());
}

TEST_F(UDPInterfaceTest, InflatedTextLongerThanTheBufferIsCut) {
  udp.setCompressionLevel(1);
  ZPeer zpeer;
  StreamCapture out(std::cout);
  std::string long_text;
  const std::string piece = randomText(2000, 4);
  for (int i = 0; i < 10; ++i) {
    long_text += piece;
  }
  server.sendTo(localPort(), zpeer.deflateMessage(long_text));
  ASSERT_GT(receiveOne(), 0);
  EXPECT_EQ(long_text.substr(0, UDPInterface::BUFFER_SIZE - 1), std::string(udp.received()));

  server.sendTo(localPort(), zpeer.deflateMessage("(think)"));
  ASSERT_GT(receiveOne(), 0);
  EXPECT_STREQ("(think)", udp.received());
}

TEST_F(UDPInterfaceTest, HugeInflationIsCappedAndTheStreamStaysInStep) {
  udp.setCompressionLevel(1);
  ZPeer zpeer;
  StreamCapture out(std::cout);
  const std::string huge(5000000, 'a');
  const std::string bytes = zpeer.deflateMessage(huge);
  ASSERT_LT(bytes.size(), 8192u);
  server.sendTo(localPort(), bytes);
  ASSERT_EQ(static_cast<int>(bytes.size()), receiveOne());
  EXPECT_EQ(huge.substr(0, UDPInterface::BUFFER_SIZE - 1), std::string(udp.received()));
  EXPECT_NE(std::string::npos, out.str().find(" bytes to 5000001 bytes\n"));
  EXPECT_LE(udp.converted().size(), static_cast<size_t>(Decompressor::S_MAX_CAPACITY));

  server.sendTo(localPort(), zpeer.deflateMessage("(think)"));
  ASSERT_GT(receiveOne(), 0);
  EXPECT_STREQ("(think)", udp.received());
}

TEST_F(UDPInterfaceTest, GarbageIsSurvivedAndAFreshStreamIsReadAfterIt) {
  udp.setCompressionLevel(1);
  StreamCapture out(std::cout);
  const std::string garbage = randomText(3000, 5);
  server.sendTo(localPort(), garbage);
  EXPECT_EQ(3000, receiveOne());
  EXPECT_LT(strlen(udp.received()), static_cast<size_t>(UDPInterface::BUFFER_SIZE));

  ZPeer fresh;
  server.sendTo(localPort(), fresh.deflateMessage("(ok eye on)"));
  ASSERT_GT(receiveOne(), 0);
  EXPECT_STREQ("(ok eye on)", udp.received());
}

TEST(UDPSocketTest, UnknownHostFailsClosed) {
  UDPSocket socket;
  StreamCapture err(std::cerr);
  EXPECT_FALSE(socket.connect("no-such-host.invalid", 6002));
  EXPECT_EQ("UDPSocket::Connect(): fail to find host\n", err.str());
  EXPECT_EQ(-1, socket.descriptor());
  EXPECT_EQ(0, socket.destination().sin_port);
}

TEST(UDPSocketTest, CloseZeroesTheDestination) {
  UDPSocket socket;
  ASSERT_TRUE(socket.connect("127.0.0.1", 6002));
  EXPECT_NE(-1, socket.descriptor());
  EXPECT_EQ(htons(6002), socket.destination().sin_port);
  socket.close();
  EXPECT_EQ(-1, socket.descriptor());
  EXPECT_EQ(0, socket.destination().sin_port);
  EXPECT_EQ(0u, socket.destination().sin_addr.s_addr);
}

TEST(UDPSocketTest, ReceiveOnAClosedSocketFindsNothingAndSaysNothing) {
  UDPSocket socket;
  ASSERT_TRUE(socket.connect("127.0.0.1", 6002));
  socket.close();
  StreamCapture err(std::cerr);
  char buffer[16] = "untouched";
  EXPECT_EQ(0, socket.receive(buffer, sizeof(buffer)));
  EXPECT_EQ("", err.str());
  EXPECT_STREQ("untouched", buffer);
}

TEST(DecompressorTest, EmptyInputProducesNothing) {
  Decompressor decompressor;
  decompressor.decompress("", 0, Z_SYNC_FLUSH);
  EXPECT_EQ(0, decompressor.producedBytes());
  EXPECT_EQ(0, decompressor.stored());
}

}  // namespace
