#include "coach/handler.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <string>

#include "coach/basic_client.h"
#include "tests/in_child.h"

namespace {

bool isBlocked(int signal_number) {
  sigset_t current;
  sigprocmask(SIG_BLOCK, nullptr, &current);
  return sigismember(&current, signal_number) == 1;
}

bool isPending(int signal_number) {
  sigset_t pending;
  sigpending(&pending);
  return sigismember(&pending, signal_number) == 1;
}

void stopTimer() {
  itimerval off;
  memset(&off, 0, sizeof(off));
  setitimer(ITIMER_REAL, &off, nullptr);
}

bool allHeld() {
  for (const int signum : {SIGINT, SIGTERM, SIGHUP, SIGIO, SIGALRM}) {
    if (!isBlocked(signum)) return false;
  }
  return true;
}

// Counts the calls the handlers route to it and notes what was blocked then.
// Each operation leaves errno as a failing call of a real client's would.
class ProbeClient : public BasicClient {
 public:
  bool isServerAlive() const override { return actions < alive_alarms; }
  // Notes the mask the loop starts with, and raises a termination if asked.
  void start(const Handler&) override {
    held_in_start = allHeld();
    if (terminate_in_start) {
      raise(SIGTERM);
      termination_in_start = terminationSignal();
    }
  }
  void finishAll() override { held_in_finish = allHeld(); }

  void sense() override {
    ++senses;
    alarm_blocked_in_sense = isBlocked(SIGALRM);
    if (fd != -1) {
      char buffer[64];
      const ssize_t n = recv(fd, buffer, sizeof(buffer) - 1, 0);
      if (n > 0) {
        received.assign(buffer, n);
      }
    }
    if (sense_waits_for_alarm) {
      // Busy (bounded) until the alarm has come due, or has run the action.
      Handler::set_one_alarm(1);
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!isPending(SIGALRM) && actions == 0 && std::chrono::steady_clock::now() < end) {
      }
      alarm_pending_in_sense = isPending(SIGALRM);
      actions_during_sense = actions;
    }
    errno = EBADF;
  }

  void action() override {
    ++actions;
    io_blocked_in_action = isBlocked(SIGIO);
    errno = EBADF;
  }

  volatile int senses = 0;
  volatile int actions = 0;
  volatile int actions_during_sense = -1;
  bool alarm_blocked_in_sense = false;
  bool io_blocked_in_action = false;
  bool sense_waits_for_alarm = false;
  bool alarm_pending_in_sense = false;
  bool terminate_in_start = false;
  bool held_in_start = false;
  int termination_in_start = -1;
  bool held_in_finish = false;
  int alive_alarms = INT_MAX;
  int fd = -1;
  std::string received;
};

// Saves and restores everything a test of the signal layer may change.
class HandlerTest : public testing::Test {
 protected:
  void SetUp() override {
    sigaction(SIGIO, nullptr, &saved_io_);
    sigaction(SIGALRM, nullptr, &saved_alarm_);
    sigprocmask(SIG_BLOCK, nullptr, &saved_mask_);
    struct sigaction ignore;
    memset(&ignore, 0, sizeof(ignore));
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGIO, &ignore, nullptr);
    sigaction(SIGALRM, &ignore, nullptr);
  }

  void TearDown() override {
    stopTimer();
    if (socket_fd_ != -1) {
      close(socket_fd_);
    }
    sigaction(SIGIO, &saved_io_, nullptr);
    sigaction(SIGALRM, &saved_alarm_, nullptr);
    sigprocmask(SIG_SETMASK, &saved_mask_, nullptr);
    Handler::S_client_ptr = nullptr;
  }

  // A UDP socket on 127.0.0.1; returns its port.
  int openSocket() {
    socket_fd_ = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address;
    memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket_fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    getsockname(socket_fd_, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
  }

  int socket_fd_ = -1;

 private:
  struct sigaction saved_io_;
  struct sigaction saved_alarm_;
  sigset_t saved_mask_;
};

long toMicroseconds(const timeval& t) {
  return t.tv_sec * 1000000L + t.tv_usec;
}

TEST_F(HandlerTest, IntervalAlarmSplitsSecondsAndMicroseconds) {
  Handler::set_interval_alarm(1500);
  itimerval timer;
  getitimer(ITIMER_REAL, &timer);
  EXPECT_EQ(1, timer.it_interval.tv_sec);
  EXPECT_EQ(500000, timer.it_interval.tv_usec);
  EXPECT_LE(toMicroseconds(timer.it_value), 1500000L);
  EXPECT_GT(toMicroseconds(timer.it_value), 1000000L);
}

TEST_F(HandlerTest, OneAlarmIsNotRepeatedAndReplacesTheInterval) {
  Handler::set_interval_alarm(100);
  Handler::set_one_alarm(2250);
  itimerval timer;
  getitimer(ITIMER_REAL, &timer);
  EXPECT_EQ(0, toMicroseconds(timer.it_interval));
  EXPECT_LE(toMicroseconds(timer.it_value), 2250000L);
  EXPECT_GT(toMicroseconds(timer.it_value), 2000000L);
}

TEST_F(HandlerTest, AssignIOOfMinusOneFailsAndLeavesSigioUnblocked) {
  Handler handler(nullptr);
  sigset_t io_set;
  sigemptyset(&io_set);
  sigaddset(&io_set, SIGIO);
  sigprocmask(SIG_BLOCK, &io_set, nullptr);
  EXPECT_FALSE(handler.assignIO(-1));
  EXPECT_FALSE(isBlocked(SIGIO));
}

TEST_F(HandlerTest, AssignIOMakesTheSocketNonBlockingAndSignalDriven) {
  Handler handler(nullptr);
  openSocket();
  EXPECT_TRUE(handler.assignIO(socket_fd_));
  const int flags = fcntl(socket_fd_, F_GETFL, 0);
  EXPECT_TRUE(flags & O_NONBLOCK);
  EXPECT_TRUE(flags & O_ASYNC);
  EXPECT_EQ(getpid(), fcntl(socket_fd_, F_GETOWN));
  EXPECT_FALSE(isBlocked(SIGIO));
}

// A handler may interrupt the main flow between a failing call and its
// errno check; without a client it does nothing.
TEST_F(HandlerTest, HandlersLeaveErrnoAsTheyFoundIt) {
  ProbeClient client;
  for (BasicClient* routed :
       {static_cast<BasicClient*>(nullptr), static_cast<BasicClient*>(&client)}) {
    Handler handler(routed);
    errno = EAGAIN;
    Handler::handle_io(SIGIO);
    const int after_io = errno;
    Handler::handle_alarm(SIGALRM);
    const int after_alarm = errno;
    EXPECT_EQ(EAGAIN, after_io);
    EXPECT_EQ(EAGAIN, after_alarm);
  }
  EXPECT_EQ(1, client.senses);
  EXPECT_EQ(1, client.actions);
}

// The handlers' own masks hold the other signal; the kernel lifts them on
// return, so a pending signal never runs nested inside a handler.
TEST_F(HandlerTest, EachHandlerRunsItsOperationWithTheOtherSignalBlocked) {
  ProbeClient client;
  Handler handler(&client);
  EXPECT_EQ(&client, Handler::S_client_ptr);
  handler.init();
  ASSERT_TRUE(handler.ready());
  raise(SIGIO);
  raise(SIGALRM);
  EXPECT_EQ(1, client.senses);
  EXPECT_EQ(1, client.actions);
  EXPECT_TRUE(client.alarm_blocked_in_sense);
  EXPECT_TRUE(client.io_blocked_in_action);
  EXPECT_FALSE(isBlocked(SIGALRM));
  EXPECT_FALSE(isBlocked(SIGIO));
}

// Outside its wait the loop holds the termination signals with its own, so
// none is lost between the loop's test and the wait: one raised in start is
// handled in the wait, and ends the loop. A termination is recorded for the
// whole process, so the loop runs in a child; its alarms bound the run.
TEST_F(HandlerTest, TheLoopHoldsEverySignalOutsideItsWait) {
  inChild([] {
    ASSERT_TRUE(Handler::install_termination_handler(SIGTERM, &BasicClient::requestTermination));
    ProbeClient client;
    client.terminate_in_start = true;
    client.alive_alarms = 200;
    Handler handler(&client);
    handler.init();
    Handler::set_interval_alarm(100);
    client.run(handler);
    EXPECT_TRUE(client.held_in_start);
    EXPECT_EQ(0, client.termination_in_start);
    EXPECT_EQ(SIGTERM, BasicClient::terminationSignal());
    EXPECT_EQ(BasicClient::TERMINATED, client.endReason());
    EXPECT_TRUE(client.held_in_finish);
  });
}

TEST_F(HandlerTest, InitUnblocksBothSignalsAndInstallsTheHandlers) {
  sigset_t both;
  sigemptyset(&both);
  sigaddset(&both, SIGIO);
  sigaddset(&both, SIGALRM);
  sigprocmask(SIG_BLOCK, &both, nullptr);
  ProbeClient client;
  Handler handler(&client);
  handler.init();
  EXPECT_FALSE(isBlocked(SIGIO));
  EXPECT_FALSE(isBlocked(SIGALRM));
  struct sigaction io_action;
  sigaction(SIGIO, nullptr, &io_action);
  EXPECT_EQ(&Handler::handle_io, io_action.sa_handler);
  EXPECT_EQ(1, sigismember(&io_action.sa_mask, SIGALRM));
  EXPECT_EQ(0, io_action.sa_flags & SA_RESTART);
  struct sigaction alarm_action;
  sigaction(SIGALRM, nullptr, &alarm_action);
  EXPECT_EQ(&Handler::handle_alarm, alarm_action.sa_handler);
  EXPECT_EQ(1, sigismember(&alarm_action.sa_mask, SIGIO));
}

TEST_F(HandlerTest, ADatagramRaisesSigioAndRunsSense) {
  ProbeClient client;
  Handler handler(&client);
  handler.init();
  const int port = openSocket();
  ASSERT_TRUE(handler.assignIO(socket_fd_));
  client.fd = socket_fd_;

  const int sender = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in to;
  memset(&to, 0, sizeof(to));
  to.sin_family = AF_INET;
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  to.sin_port = htons(port);
  // The alarm bounds every wait below, whether or not SIGIO comes.
  Handler::set_interval_alarm(20);
  sendto(sender, "(think)", 8, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
  close(sender);
  while (client.senses == 0 && client.actions < 100) {
    handler.waitSignal();
  }
  stopTimer();
  EXPECT_GE(client.senses, 1);
  EXPECT_EQ(std::string("(think)\0", 8), client.received);
}

// The alarm that comes due while sense runs waits for it, then runs once.
TEST_F(HandlerTest, AnAlarmDueDuringSenseRunsOnceAfterIt) {
  ProbeClient client;
  client.sense_waits_for_alarm = true;
  Handler handler(&client);
  handler.init();
  raise(SIGIO);
  EXPECT_TRUE(client.alarm_pending_in_sense);
  EXPECT_EQ(0, client.actions_during_sense);
  EXPECT_EQ(1, client.actions);
}

}  // namespace
