#ifndef BRENVO_TOOLS_PRACTICE_SERVER_H
#define BRENVO_TOOLS_PRACTICE_SERVER_H

// A small stand-in for the soccer simulation server, speaking the online
// coach's protocol on 127.0.0.1 only. It is written from the protocol alone
// and shares no code with the coach (its sockets and zlib streams are those of
// tools/loopback_peer.h), so a fault in the coach's transport or parsers
// cannot hide behind the same fault here.
// Every wait is bounded by a timeout given by the caller.
//
// PracticeServer is the transport: the init and game ports, the coach's
// port, the zlib streams and a record of every datagram. The messages it
// sends are built in tools/server_messages.h; tools/demo_match.h plays a
// short scripted match over it; tools/demo_run.h starts a coach process and
// plays the demo match against it.

#include <memory>
#include <string>
#include <vector>

#include "tools/deadline.h"
#include "tools/loopback_peer.h"

namespace practice {

struct Datagram {
  double t = 0;        // seconds since the server started
  std::string bytes;   // the datagram as it was on the wire
  std::string text;    // inflated if compression was on, cut at the first NUL
  int local_port = 0;  // the server's port it arrived on or left from
};

class PracticeServer {
 public:
  // Binds the init port on 127.0.0.1 (any free port).
  PracticeServer();

  int port() const { return init_peer.port(); }
  // The port opened by answerInit; 0 before.
  int gamePort() const { return game_peer ? game_peer->port() : 0; }
  // The coach's port, from its last datagram; 0 before any.
  int coachPort() const { return coach_port; }

  // The next datagram on the init port (normally the coach's init command).
  bool waitInit(Datagram* init, int timeout_ms);
  // Opens the game port and sends text from it, as a real server answers an
  // init; from then on everything is sent from the game port.
  void answerInit(const std::string& text);
  // Refuses the init as a real server refuses a client it cannot place:
  // "(error ERROR)" from the init port, with no game port opened. The errors
  // of an online coach's port are no_such_team, already_have_coach,
  // connection_failed and illegal_client_version; the trainer's port answers
  // connected_offline_coach_without_coach_mode.
  void refuseInit(const std::string& error);
  // Answers the init as the players' port does: "(init SIDE UNUM
  // before_kick_off)" from a new port, then a player's first see and
  // sense_body messages.
  void answerAsPlayerPort(char side, int unum);

  // One message and its NUL to the coach; deflated when compression is on.
  void send(const std::string& text);
  // Exactly these bytes, never compressed, no NUL added.
  void sendRaw(const std::string& bytes);

  // The next datagram from the coach on either port, recorded in received().
  // The coach's port is taken from every datagram. False on timeout.
  bool receive(Datagram* d, int timeout_ms);
  // Receives (and records) until a datagram whose text equals `text`.
  bool receiveUntil(const std::string& text, int timeout_ms, Datagram* d = nullptr);

  // Sends "(ok compression L)"; from then on, when L > 0, both directions are
  // one long-lived zlib stream each with a sync flush per message. Datagrams
  // from the coach that are not sync-flushed pieces are read as plain text.
  void enableCompression(int level);

  const std::vector<Datagram>& received() const { return received_datagrams; }
  const std::vector<Datagram>& sent() const { return sent_datagrams; }
  // Seconds since construction.
  double elapsed() const;

 private:
  PracticeServer(const PracticeServer&) = delete;
  PracticeServer& operator=(const PracticeServer&) = delete;

  void sendBytes(const std::string& bytes, const std::string& text);
  // The next datagram on the init port, or on either port.
  bool receiveOn(bool both_ports, Datagram* d, int timeout_ms);
  // A datagram already waiting on `peer`, recorded.
  bool readFrom(const LoopbackPeer& peer, Datagram* d);
  std::string decode(const std::string& bytes);

  LoopbackPeer init_peer;
  std::unique_ptr<LoopbackPeer> game_peer;  // opened by answerInit
  int coach_port = 0;                       // of the coach's last datagram; 0 before any
  int compression_level = -1;
  ZlibStreams streams;
  Clock::time_point start = Clock::now();
  std::vector<Datagram> received_datagrams;
  std::vector<Datagram> sent_datagrams;
};

}  // namespace practice

#endif
