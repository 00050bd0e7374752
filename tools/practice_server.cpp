#include "tools/practice_server.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

namespace practice {

namespace {

using Clock = std::chrono::steady_clock;

const int MAX_DATAGRAM = 65536;
// Inflated text kept per datagram; a coach never sends anything near it.
const size_t MAX_INFLATED = 1 << 20;
const double PITCH_HALF_LENGTH = 52.5;
const double PITCH_HALF_WIDTH = 34.0;
const double GOAL_HALF_WIDTH = 7.01;

int openLoopback(int* port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    perror("[server] socket");
    return -1;
  }
  sockaddr_in address;
  memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) < 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
    perror("[server] bind");
    close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

// Rounded up, so that a wait for the rest of a period never ends early.
int remainingMs(Clock::time_point until) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

std::string cutAtNul(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

// A sync flush always ends a deflate piece with an empty stored block.
bool isSyncFlushed(const std::string& bytes) {
  static const std::string marker("\0\0\xff\xff", 4);
  return bytes.size() >= marker.size() &&
         bytes.compare(bytes.size() - marker.size(), marker.size(), marker) == 0;
}

// Runs deflate or inflate over `in` with a sync flush until it stops making
// progress, appending at most `limit` bytes of output.
int runStream(z_stream* stream, const std::string& in, bool deflating, size_t limit,
              std::string* out) {
  char chunk[4096];
  stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  stream->avail_in = static_cast<uInt>(in.size());
  int status = Z_OK;
  while (status == Z_OK) {
    stream->next_out = reinterpret_cast<Bytef*>(chunk);
    stream->avail_out = sizeof(chunk);
    status = deflating ? deflate(stream, Z_SYNC_FLUSH) : inflate(stream, Z_SYNC_FLUSH);
    const size_t produced = sizeof(chunk) - stream->avail_out;
    out->append(chunk, std::min(produced, limit - std::min(limit, out->size())));
  }
  stream->next_in = Z_NULL;
  stream->avail_in = 0;
  return status;
}

std::string number(double value) {
  std::ostringstream os;
  os << (value == 0 ? 0.0 : value);  // never "-0"
  return os.str();
}

std::string headWord(const std::string& text) {
  if (text.empty() || text[0] != '(') {
    return text.empty() ? "(empty)" : "(raw)";
  }
  const size_t end = text.find_first_of(" )", 1);
  return text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

struct NamedValue {
  const char* name;
  const char* value;
};

// The server parameters with their default values (switches as 0 or 1).
const NamedValue SERVER_PARAMS[] = {
    {"goalie_max_moves", "2"},
    {"say_coach_cnt_max", "128"},
    {"say_coach_msg_size", "128"},
    {"clang_win_size", "300"},
    {"clang_define_win", "1"},
    {"clang_meta_win", "1"},
    {"clang_advice_win", "1"},
    {"clang_info_win", "1"},
    {"clang_mess_delay", "50"},
    {"clang_mess_per_cycle", "1"},
    {"half_time", "300"},
    {"simulator_step", "100"},
    {"send_step", "150"},
    {"recv_step", "10"},
    {"sense_body_step", "100"},
    {"lcm_step", "300"},
    {"say_msg_size", "10"},
    {"hear_max", "1"},
    {"hear_inc", "1"},
    {"hear_decay", "1"},
    {"catch_ban_cycle", "5"},
    {"slow_down_factor", "1"},
    {"start_goal_l", "0"},
    {"start_goal_r", "0"},
    {"drop_ball_time", "200"},
    {"synch_offset", "60"},
    {"synch_micro_sleep", "1"},
    {"point_to_ban", "5"},
    {"point_to_duration", "20"},
    {"port", "6000"},
    {"coach_port", "6001"},
    {"olcoach_port", "6002"},
    {"send_vi_step", "100"},
    {"game_log_version", "3"},
    {"text_log_compression", "0"},
    {"game_log_compression", "0"},
    {"tackle_cycles", "10"},
    {"freeform_wait_period", "600"},
    {"freeform_send_period", "20"},
    {"max_goal_kicks", "3"},
    {"clang_del_win", "1"},
    {"clang_rule_win", "1"},
    {"kick_off_wait", "100"},
    {"connect_wait", "300"},
    {"game_over_wait", "100"},
    {"keepaway_start", "-1"},
    {"nr_normal_halfs", "2"},
    {"nr_extra_halfs", "2"},
    {"pen_before_setup_wait", "30"},
    {"pen_setup_wait", "100"},
    {"pen_ready_wait", "50"},
    {"pen_taken_wait", "200"},
    {"pen_nr_kicks", "5"},
    {"pen_max_extra_kicks", "10"},
    {"goal_width", "14.02"},
    {"inertia_moment", "5"},
    {"player_size", "0.3"},
    {"player_decay", "0.4"},
    {"player_rand", "0.05"},
    {"player_weight", "60"},
    {"player_speed_max", "1.2"},
    {"player_accel_max", "1"},
    {"stamina_max", "4000"},
    {"stamina_inc_max", "45"},
    {"recover_init", "1"},
    {"recover_dec_thr", "0.3"},
    {"recover_min", "0.5"},
    {"recover_dec", "0.002"},
    {"effort_init", "1"},
    {"effort_dec_thr", "0.3"},
    {"effort_min", "0.6"},
    {"effort_dec", "0.005"},
    {"effort_inc_thr", "0.6"},
    {"effort_inc", "0.01"},
    {"kick_rand", "0"},
    {"prand_factor_l", "1"},
    {"prand_factor_r", "1"},
    {"kick_rand_factor_l", "1"},
    {"kick_rand_factor_r", "1"},
    {"ball_size", "0.085"},
    {"ball_decay", "0.94"},
    {"ball_rand", "0.05"},
    {"ball_weight", "0.2"},
    {"ball_speed_max", "2.7"},
    {"ball_accel_max", "2.7"},
    {"dash_power_rate", "0.006"},
    {"kick_power_rate", "0.027"},
    {"kickable_margin", "0.7"},
    {"control_radius", "2"},
    {"control_radius_width", "1.7"},
    {"maxpower", "100"},
    {"minpower", "-100"},
    {"maxmoment", "180"},
    {"minmoment", "-180"},
    {"maxneckmoment", "180"},
    {"minneckmoment", "-180"},
    {"maxneckang", "90"},
    {"minneckang", "-90"},
    {"visible_angle", "90"},
    {"visible_distance", "3"},
    {"wind_dir", "0"},
    {"wind_force", "0"},
    {"wind_ang", "0"},
    {"wind_rand", "0"},
    {"kickable_area", "1.085"},
    {"catchable_area_l", "2"},
    {"catchable_area_w", "1"},
    {"catch_probability", "1"},
    {"ckick_margin", "1"},
    {"offside_active_area_size", "2.5"},
    {"offside_kick_margin", "9.15"},
    {"audio_cut_dist", "50"},
    {"quantize_step", "0.1"},
    {"quantize_step_l", "0.01"},
    {"quantize_step_dir", "0.1"},
    {"quantize_step_dist_team_l", "0.1"},
    {"quantize_step_dist_team_r", "0.1"},
    {"quantize_step_dist_l_team_l", "0.01"},
    {"quantize_step_dist_l_team_r", "0.01"},
    {"quantize_step_dir_team_l", "0.1"},
    {"quantize_step_dir_team_r", "0.1"},
    {"slowness_on_top_for_left_team", "1"},
    {"slowness_on_top_for_right_team", "1"},
    {"tackle_dist", "2"},
    {"tackle_back_dist", "0.5"},
    {"tackle_width", "1"},
    {"tackle_exponent", "6"},
    {"tackle_power_rate", "0.027"},
    {"stopped_ball_vel", "0.01"},
    {"keepaway_length", "20"},
    {"keepaway_width", "20"},
    {"pen_dist_x", "42.5"},
    {"pen_max_goalie_dist_x", "14"},
    {"wind_none", "0"},
    {"wind_random", "0"},
    {"coach", "0"},
    {"coach_w_referee", "0"},
    {"old_coach_hear", "0"},
    {"team_actuator_noise", "0"},
    {"use_offside", "1"},
    {"forbid_kick_off_offside", "1"},
    {"fullstate_l", "0"},
    {"fullstate_r", "0"},
    {"synch_mode", "0"},
    {"verbose", "0"},
    {"send_comms", "0"},
    {"text_logging", "1"},
    {"game_logging", "1"},
    {"text_log_fixed", "0"},
    {"game_log_fixed", "0"},
    {"text_log_dated", "1"},
    {"game_log_dated", "1"},
    {"log_times", "0"},
    {"record_messages", "0"},
    {"profile", "0"},
    {"free_kick_faults", "1"},
    {"back_passes", "1"},
    {"proper_goal_kicks", "0"},
    {"auto_mode", "0"},
    {"keepaway", "0"},
    {"keepaway_logging", "1"},
    {"keepaway_log_fixed", "0"},
    {"keepaway_log_dated", "1"},
    {"penalty_shoot_outs", "1"},
    {"pen_random_winner", "0"},
    {"pen_allow_mult_kicks", "1"},
    {"pen_coach_moves_players", "1"},
    {"replay", "\"\""},
    {"landmark_file", "\"~/.rcssserver-landmark.xml\""},
    {"text_log_dir", "\"./\""},
    {"game_log_dir", "\"./\""},
    {"text_log_fixed_name", "\"rcssserver\""},
    {"game_log_fixed_name", "\"rcssserver\""},
    {"log_date_format", "\"%Y%m%d%H%M-\""},
    {"team_l_start", "\"\""},
    {"team_r_start", "\"\""},
    {"keepaway_log_dir", "\"./\""},
    {"keepaway_log_fixed_name", "\"rcssserver\""},
    {"module_dir", "\"\""},
};

// The heterogeneous player parameters with their default values.
const NamedValue PLAYER_PARAMS[] = {
    {"player_types", "7"},
    {"subs_max", "3"},
    {"pt_max", "3"},
    {"player_speed_max_delta_min", "0"},
    {"player_speed_max_delta_max", "0"},
    {"stamina_inc_max_delta_factor", "0"},
    {"player_decay_delta_min", "0"},
    {"player_decay_delta_max", "0.2"},
    {"inertia_moment_delta_factor", "25"},
    {"dash_power_rate_delta_min", "0"},
    {"dash_power_rate_delta_max", "0"},
    {"player_size_delta_factor", "-100"},
    {"kickable_margin_delta_min", "0"},
    {"kickable_margin_delta_max", "0.2"},
    {"kick_rand_delta_factor", "0.5"},
    {"extra_stamina_delta_min", "0"},
    {"extra_stamina_delta_max", "100"},
    {"effort_max_delta_factor", "-0.002"},
    {"effort_min_delta_factor", "-0.002"},
    {"new_dash_power_rate_delta_min", "0"},
    {"new_dash_power_rate_delta_max", "0.002"},
    {"new_stamina_inc_max_delta_factor", "-10000"},
    {"random_seed", "-1"},
};

template <size_t N>
std::string namedForm(const char* head, const NamedValue (&defaults)[N],
                      const std::map<std::string, std::string>& overrides) {
  std::map<std::string, std::string> values(overrides);
  for (const NamedValue& entry : defaults) {
    values.insert(std::make_pair(entry.name, entry.value));
  }
  std::string text = std::string("(") + head + " ";
  for (const auto& entry : values) {
    text += "(" + entry.first + " " + entry.second + ")";
  }
  return text + ")";
}

int playerTypeCount() {
  for (const NamedValue& entry : PLAYER_PARAMS) {
    if (strcmp(entry.name, "player_types") == 0) {
      return atoi(entry.value);
    }
  }
  return 0;
}

int playerParamValue(const char* name) {
  for (const NamedValue& entry : PLAYER_PARAMS) {
    if (strcmp(entry.name, name) == 0) {
      return atoi(entry.value);
    }
  }
  return 0;
}

std::string playerObject(const std::string& team, const PlayerView& p) {
  std::string text = "((p \"" + team + "\" " + std::to_string(p.unum) +
                     (p.goalie ? " goalie" : "") + ") " + number(p.x) + " " + number(p.y) + " " +
                     number(p.vx) + " " + number(p.vy) + " " + number(p.body) + " " +
                     number(p.neck);
  if (p.pointing) {
    text += " " + number(p.pointto);
  }
  if (p.tackle) {
    text += " t";
  }
  return text + ")";
}

}  // namespace

// ---------------------------------------------------------------------------
// PracticeServer

PracticeServer::PracticeServer()
    : init_fd_(-1),
      init_port_(0),
      game_fd_(-1),
      game_port_(0),
      has_peer_(false),
      level_(-1),
      start_(Clock::now()) {
  memset(&peer_, 0, sizeof(peer_));
  memset(&deflater_, 0, sizeof(deflater_));
  memset(&inflater_, 0, sizeof(inflater_));
  deflateInit(&deflater_, Z_DEFAULT_COMPRESSION);
  inflateInit(&inflater_);
  init_fd_ = openLoopback(&init_port_);
}

PracticeServer::~PracticeServer() {
  if (init_fd_ != -1) {
    close(init_fd_);
  }
  if (game_fd_ != -1) {
    close(game_fd_);
  }
  deflateEnd(&deflater_);
  inflateEnd(&inflater_);
}

double PracticeServer::elapsed() const {
  return std::chrono::duration<double>(Clock::now() - start_).count();
}

bool PracticeServer::waitInit(Datagram* init, int timeout_ms) {
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd entry = {init_fd_, POLLIN, 0};
    const int ready = poll(&entry, 1, remainingMs(until));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return false;
    }
    if (readFrom(init_fd_, init_port_, init)) {
      return true;
    }
  }
}

void PracticeServer::answerInit(const std::string& text) {
  if (game_fd_ == -1) {
    game_fd_ = openLoopback(&game_port_);
  }
  send(text);
}

void PracticeServer::refuseInit(const std::string& error) {
  send("(error " + error + ")");
}

void PracticeServer::answerAsPlayerPort(char side, int unum) {
  answerInit(std::string("(init ") + side + " " + std::to_string(unum) + " before_kick_off)");
  send("(see 0 ((f c) 10.5 0) ((f c t) 36.2 -73) ((b) 10.5 0))");
  send(
      "(sense_body 0 (view_mode high normal) (stamina 8000 1 130600) (speed 0 0) "
      "(head_angle 0) (kick 0) (dash 0) (turn 0) (say 0) (turn_neck 0) (catch 0) (move 0) "
      "(change_view 0))");
}

void PracticeServer::send(const std::string& text) {
  if (level_ > 0) {
    sendBytes(deflateMessage(text), text);
  } else {
    sendBytes(text + std::string(1, '\0'), text);
  }
}

void PracticeServer::sendRaw(const std::string& bytes) {
  sendBytes(bytes, cutAtNul(bytes));
}

void PracticeServer::sendBytes(const std::string& bytes, const std::string& text) {
  if (!has_peer_) {
    std::cerr << "[server] no coach address yet; not sent: " << text << std::endl;
    return;
  }
  const int fd = game_fd_ != -1 ? game_fd_ : init_fd_;
  sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer_),
         sizeof(peer_));
  Datagram d;
  d.t = elapsed();
  d.bytes = bytes;
  d.text = text;
  d.local_port = game_fd_ != -1 ? game_port_ : init_port_;
  sent_.push_back(d);
}

bool PracticeServer::receive(Datagram* d, int timeout_ms) {
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd entries[2] = {{init_fd_, POLLIN, 0}, {game_fd_, POLLIN, 0}};
    const nfds_t count = game_fd_ != -1 ? 2 : 1;
    const int ready = poll(entries, count, remainingMs(until));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return false;
    }
    if ((entries[0].revents & POLLIN) && readFrom(init_fd_, init_port_, d)) {
      return true;
    }
    if (count == 2 && (entries[1].revents & POLLIN) && readFrom(game_fd_, game_port_, d)) {
      return true;
    }
  }
}

bool PracticeServer::receiveUntil(const std::string& text, int timeout_ms, Datagram* d) {
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeout_ms);
  Datagram got;
  while (receive(&got, remainingMs(until))) {
    if (got.text == text) {
      if (d != nullptr) {
        *d = got;
      }
      return true;
    }
  }
  return false;
}

bool PracticeServer::readFrom(int fd, int port, Datagram* d) {
  char buffer[MAX_DATAGRAM];
  sockaddr_in from;
  socklen_t length = sizeof(from);
  const ssize_t n = recvfrom(fd, buffer, sizeof(buffer), MSG_DONTWAIT,
                             reinterpret_cast<sockaddr*>(&from), &length);
  if (n < 0) {
    return false;
  }
  peer_ = from;
  has_peer_ = true;
  Datagram got;
  got.t = elapsed();
  got.bytes.assign(buffer, n);
  got.text = decode(got.bytes);
  got.local_port = port;
  received_.push_back(got);
  if (d != nullptr) {
    *d = got;
  }
  return true;
}

std::string PracticeServer::decode(const std::string& bytes) {
  if (level_ <= 0 || !isSyncFlushed(bytes)) {
    return cutAtNul(bytes);
  }
  std::string inflated;
  const int status = runStream(&inflater_, bytes, false, MAX_INFLATED, &inflated);
  if (status != Z_OK && status != Z_BUF_ERROR) {
    std::cerr << "[server] cannot inflate a datagram of " << bytes.size() << " bytes (zlib "
              << status << ")" << std::endl;
  }
  return cutAtNul(inflated);
}

std::string PracticeServer::deflateMessage(const std::string& text) {
  std::string out;
  out.swap(pending_);
  runStream(&deflater_, text + std::string(1, '\0'), true, MAX_DATAGRAM, &out);
  return out;
}

void PracticeServer::enableCompression(int level) {
  send("(ok compression " + std::to_string(level) + ")");
  if (level > 0 && level <= 9) {
    // A level change may flush what the stream holds; it goes out first
    // with the next message.
    char chunk[256];
    deflater_.next_out = reinterpret_cast<Bytef*>(chunk);
    deflater_.avail_out = sizeof(chunk);
    deflateParams(&deflater_, level, Z_DEFAULT_STRATEGY);
    pending_.append(chunk, sizeof(chunk) - deflater_.avail_out);
  }
  level_ = level;
}

std::string PracticeServer::seeGlobal(int cycle, const std::string& our_team,
                                      const std::string& their_team) {
  return seeGlobal(cycle, kickOffView(our_team, their_team));
}

std::string PracticeServer::seeGlobal(int cycle, const FieldView& view) {
  std::string text = "(see_global " + std::to_string(cycle) +
                     " ((g r) 52.5 0) ((g l) -52.5 0) ((b) " + number(view.ball_x) + " " +
                     number(view.ball_y) + " " + number(view.ball_vx) + " " + number(view.ball_vy) +
                     ")";
  for (const PlayerView& p : view.left) {
    text += " " + playerObject(view.left_team, p);
  }
  for (const PlayerView& p : view.right) {
    text += " " + playerObject(view.right_team, p);
  }
  return text + ")";
}

FieldView PracticeServer::kickOffView(const std::string& left_team, const std::string& right_team) {
  // A 4-3-3 at kick-off: 2, 3 and 6 in the centre of the defence, 4 and 5 on
  // the wings, 7 and 8 in midfield, 9, 10 and 11 up front.
  static const double FORMATION[11][2] = {{-50, 0},  {-36, -7},   {-36, 7},   {-33, -22},
                                          {-33, 22}, {-26, 0},    {-16, -14}, {-16, 14},
                                          {-3, -20}, {-0.5, 0.3}, {-3, 20}};
  FieldView view;
  view.left_team = left_team;
  view.right_team = right_team;
  for (int i = 0; i < 11; ++i) {
    PlayerView p;
    p.unum = i + 1;
    p.goalie = i == 0;
    p.x = FORMATION[i][0];
    p.y = FORMATION[i][1];
    view.left.push_back(p);
    p.x = -p.x;
    p.y = -p.y;
    p.body = 180;
    view.right.push_back(p);
  }
  return view;
}

std::string PracticeServer::playerType(const PlayerTypeValues& t) {
  return "(player_type (id " + std::to_string(t.id) + ")(player_speed_max " +
         number(t.player_speed_max) + ")(stamina_inc_max " + number(t.stamina_inc_max) +
         ")(player_decay " + number(t.player_decay) + ")(inertia_moment " +
         number(t.inertia_moment) + ")(dash_power_rate " + number(t.dash_power_rate) +
         ")(player_size " + number(t.player_size) + ")(kickable_margin " +
         number(t.kickable_margin) + ")(kick_rand " + number(t.kick_rand) + ")(extra_stamina " +
         number(t.extra_stamina) + ")(effort_max " + number(t.effort_max) + ")(effort_min " +
         number(t.effort_min) + "))";
}

PlayerTypeValues PracticeServer::defaultPlayerType() {
  PlayerTypeValues t;
  t.id = 0;
  t.player_speed_max = 1.2;
  t.stamina_inc_max = 45;
  t.player_decay = 0.4;
  t.inertia_moment = 5;
  t.dash_power_rate = 0.006;
  t.player_size = 0.3;
  t.kickable_margin = 0.7;
  t.kick_rand = 0;
  t.extra_stamina = 0;
  t.effort_max = 1;
  t.effort_min = 0.6;
  return t;
}

std::vector<PlayerTypeValues> PracticeServer::demoPlayerTypes() {
  // Each type is the default player moved by deltas within the default
  // player parameters: decay d (inertia + 25 d), dash power rate p (stamina
  // increase - 10000 p), kickable margin k (kick_rand + 0.5 k) and extra
  // stamina e (both efforts - 0.002 e).
  struct Deltas {
    double decay, inertia, dash_rate, stamina_inc, kmargin, kick_rand, extra, effort_max,
        effort_min;
  };
  static const Deltas DELTAS[6] = {
      {0.45, 6.25, 0.0071, 34, 0.8, 0.05, 40, 0.92, 0.52},   // real speed 1.188
      {0.52, 8, 0.0066, 39, 0.76, 0.03, 30, 0.94, 0.54},     // 1.2
      {0.42, 5.5, 0.0076, 29, 0.85, 0.075, 80, 0.84, 0.44},  // recovers too slowly
      {0.56, 9, 0.0063, 42, 0.73, 0.015, 20, 0.96, 0.56},    // 1.2
      {0.48, 7, 0.0074, 31, 0.82, 0.06, 45, 0.91, 0.51},     // 1.2
      {0.4, 5, 0.0075, 30, 0.88, 0.09, 100, 0.8, 0.4},       // reaches only 1.0
  };
  std::vector<PlayerTypeValues> types(1, defaultPlayerType());
  for (int i = 0; i < 6; ++i) {
    PlayerTypeValues t = defaultPlayerType();
    t.id = i + 1;
    t.player_decay = DELTAS[i].decay;
    t.inertia_moment = DELTAS[i].inertia;
    t.dash_power_rate = DELTAS[i].dash_rate;
    t.stamina_inc_max = DELTAS[i].stamina_inc;
    t.kickable_margin = DELTAS[i].kmargin;
    t.kick_rand = DELTAS[i].kick_rand;
    t.extra_stamina = DELTAS[i].extra;
    t.effort_max = DELTAS[i].effort_max;
    t.effort_min = DELTAS[i].effort_min;
    types.push_back(t);
  }
  return types;
}

std::string PracticeServer::serverParam(const std::map<std::string, std::string>& overrides) {
  return namedForm("server_param", SERVER_PARAMS, overrides);
}

std::string PracticeServer::playerParam(const std::map<std::string, std::string>& overrides) {
  return namedForm("player_param", PLAYER_PARAMS, overrides);
}

// ---------------------------------------------------------------------------
// DemoMatch

DemoMatch::DemoMatch(PracticeServer* server, const DemoOptions& options, std::ostream& log)
    : server_(server), options_(options), log_(log), team_(options.team), our_types_(12, 0) {}

bool DemoMatch::play(const std::function<bool()>& coach_gone) {
  coach_gone_ = coach_gone;
  deadline_ =
      Clock::now() + std::chrono::milliseconds(static_cast<long>(options_.timeout_s * 1000));
  next_step_ = Clock::now();
  if (!connect()) {
    return false;
  }
  const int half = options_.half_time_s * 10;  // cycles of 100 ms
  bool going = step();
  for (int i = 0; going && i < 20; ++i) {
    going = step();
  }

  kickOff('l');
  for (cycle_ = 1; going && cycle_ <= half; ++cycle_) {
    moveWorld();
    going = step();
    if (going && mode_.compare(0, 6, "goal_l") == 0) {
      for (int i = 0; going && i < 10; ++i) {
        going = step();
      }
      kickOff('r');
    }
  }
  cycle_ = half;
  if (going) {
    referee("half_time");
    referee("before_kick_off");
    resetField();
    for (int i = 0; going && i < 10; ++i) {
      going = step();
    }
  }
  kickOff('r');
  for (cycle_ = half + 1; going && cycle_ <= 2 * half; ++cycle_) {
    moveWorld();
    going = step();
  }
  cycle_ = 2 * half;
  if (going) {
    referee("time_up");
    referee("time_over");
    step();
    serveUntil(std::min(deadline_, Clock::now() + std::chrono::seconds(2)));
  }
  return init_received_ && bye_received_;
}

bool DemoMatch::connect() {
  Datagram init;
  const int wait_ms = std::min(options_.init_timeout_ms, remainingMs(deadline_));
  if (!server_->waitInit(&init, wait_ms)) {
    log_ << "[server] no init from the coach within " << wait_ms << " ms" << std::endl;
    return false;
  }
  log_ << "[server] coach says " << init.text << std::endl;
  char team[128] = "";
  if (sscanf(init.text.c_str(), "(init %127[^ ()]", team) != 1) {
    log_ << "[server] not an init command" << std::endl;
    return false;
  }
  init_received_ = true;
  team_ = team;
  const size_t version_at = init.text.find("(version ");
  if (version_at != std::string::npos && atof(init.text.c_str() + version_at + 9) < 8.0) {
    log_ << "[server] note: this server writes parameters and player types only in the named "
            "form of protocol version 8 and later"
         << std::endl;
  }
  if (team_ != options_.team) {
    log_ << "[server] the coach plays for " << team_ << std::endl;
  }
  server_->answerInit("(init l ok)");
  log_ << "[server] init answered from game port " << server_->gamePort() << std::endl;
  formation_ = PracticeServer::kickOffView(team_, options_.opponent);
  view_ = formation_;
  sendParameters();
  return true;
}

void DemoMatch::sendParameters() {
  std::map<std::string, std::string> values;
  values["half_time"] = std::to_string(options_.half_time_s);
  values["synch_mode"] = options_.synch ? "1" : "0";
  server_->send(PracticeServer::serverParam(values));
  server_->send(PracticeServer::playerParam());
  for (const PlayerTypeValues& type : PracticeServer::demoPlayerTypes()) {
    server_->send(PracticeServer::playerType(type));
  }
  server_->send("(clang (ver (p \"" + team_ + "\" 2) 7 8))");
  server_->send("(clang (ver (p \"" + options_.opponent + "\" 3) 7 8))");
}

bool DemoMatch::stopped() const {
  return bye_received_ || gone_ || timed_out_;
}

// One simulation step: the view of the current cycle (and "(think)" in
// synchronous mode), then the coach's commands are answered until the step's
// time is up and, in synchronous mode, the coach has answered the "(think)",
// as a real server waits for it. False once the match cannot go on.
bool DemoMatch::step() {
  if (stopped()) {
    return false;
  }
  if (eye_on_) {
    server_->send(PracticeServer::seeGlobal(cycle_, view_));
  }
  if (options_.synch) {
    server_->send("(think)");
    ++thinks_sent_;
  }
  next_step_ += std::chrono::milliseconds(options_.step_ms);
  serveUntil(std::min(next_step_, deadline_));
  Datagram d;
  while (thinks_answered_ < thinks_sent_ && !bye_received_ && Clock::now() < deadline_ &&
         !(coach_gone_ && coach_gone_())) {
    if (server_->receive(&d, std::min(remainingMs(deadline_), std::max(1, options_.step_ms)))) {
      answer(d);
    }
  }
  if (Clock::now() >= deadline_ && !timed_out_) {
    timed_out_ = true;
    log_ << "[server] timeout after " << options_.timeout_s << " s" << std::endl;
  }
  if (!gone_ && coach_gone_ && coach_gone_()) {
    gone_ = true;
    log_ << "[server] the coach is gone" << std::endl;
  }
  return !stopped();
}

void DemoMatch::serveUntil(Clock::time_point until) {
  Datagram d;
  while (!bye_received_ && server_->receive(&d, remainingMs(until))) {
    answer(d);
  }
}

void DemoMatch::answer(const Datagram& d) {
  const std::string& text = d.text;
  if (d.local_port != server_->gamePort()) {
    log_ << "[server] refused on the init port: " << text << std::endl;
    return;
  }
  if (text == "(eye on)" || text == "(eye off)") {
    eye_on_ = text == "(eye on)";
    server_->send("(ok " + text.substr(1));
  } else if (text == "(check_ball)") {
    server_->send("(ok check_ball " + std::to_string(cycle_) + " " + ballStatus() + ")");
  } else if (text.compare(0, 20, "(change_player_type ") == 0) {
    answerChange(text);
  } else if (text == "(done)") {
    ++thinks_answered_;
  } else if (text == "(bye)") {
    bye_received_ = true;
    log_ << "[server] the coach said goodbye at cycle " << cycle_ << std::endl;
  } else if (text == "(look)") {
    const std::string view = PracticeServer::seeGlobal(cycle_, view_);
    server_->send("(ok look " + view.substr(strlen("(see_global ")));
  } else if (text == "(team_names)") {
    server_->send("(ok team_names (team l " + team_ + ") (team r " + options_.opponent + "))");
  } else if (text.compare(0, 13, "(compression ") == 0) {
    server_->enableCompression(atoi(text.c_str() + 13));
  } else {
    log_ << "[server] cannot read: [" << text << "]" << std::endl;
    server_->send("(error illegal_command_form)");
  }
}

void DemoMatch::answerChange(const std::string& text) {
  int unum = 0;
  int type = 0;
  char close = 0;
  if (sscanf(text.c_str(), "(change_player_type %d %d%c", &unum, &type, &close) != 3 ||
      close != ')' || unum < 1 || unum > 11 || type < 0 || type >= playerTypeCount()) {
    server_->send("(error illegal_command_form)");
    return;
  }
  if (mode_ == "play_on") {
    server_->send("(warning cannot_sub_while_playon)");
    return;
  }
  if (kicked_off_ && subs_used_ >= playerParamValue("subs_max")) {
    server_->send("(warning no_subs_left)");
    return;
  }
  int same_type = 0;
  for (int u = 1; u <= 11; ++u) {
    if (u != unum && our_types_[u] == type) {
      ++same_type;
    }
  }
  if (type != 0 && same_type >= playerParamValue("pt_max")) {
    server_->send("(warning max_of_that_type_on_field)");
    return;
  }
  our_types_[unum] = type;
  if (kicked_off_) {
    ++subs_used_;
  }
  const std::string change =
      "change_player_type " + std::to_string(unum) + " " + std::to_string(type) + ")";
  server_->send("(" + change);
  server_->send("(ok " + change);
}

void DemoMatch::referee(const std::string& mode) {
  mode_ = mode;
  server_->send("(hear " + std::to_string(cycle_) + " referee " + mode + ")");
}

void DemoMatch::kickOff(char side) {
  if (stopped()) {
    return;
  }
  if (!kicked_off_) {
    assignTypesAtFirstKickOff();
    kicked_off_ = true;
  }
  resetField();
  kick_off_cycle_ = cycle_;
  referee(std::string("kick_off_") + side);
}

// At the first kick-off a server gives a type of its own choice to every
// field player whose type was not changed, and announces the changes.
void DemoMatch::assignTypesAtFirstKickOff() {
  const int pt_max = playerParamValue("pt_max");
  for (int unum = 2; unum <= 11; ++unum) {
    if (our_types_[unum] != 0) {
      continue;
    }
    for (int type = 1; type < playerTypeCount(); ++type) {
      if (std::count(our_types_.begin() + 1, our_types_.end(), type) < pt_max) {
        our_types_[unum] = type;
        server_->send("(change_player_type " + std::to_string(unum) + " " + std::to_string(type) +
                      ")");
        break;
      }
    }
  }
  for (int unum = 2; unum <= 11; ++unum) {
    server_->send("(change_player_type " + std::to_string(unum) + ")");
  }
}

void DemoMatch::resetField() {
  view_ = formation_;
}

// Two cycles after a kick-off the ball is played. Before the first goal the
// left side carries it straight into the right goal; afterwards the play
// swings back and forth in midfield. The nearest forwards follow the ball,
// everyone else drifts with the play.
void DemoMatch::moveWorld() {
  if (mode_.compare(0, 8, "kick_off") == 0 && cycle_ >= kick_off_cycle_ + 2) {
    referee("play_on");
    const bool attack = score_left_ == 0;
    view_.ball_vx = attack ? 2.4 : -1.1;
    view_.ball_vy = attack ? 0.12 : 0.3;
  }
  if (mode_ != "play_on") {
    return;
  }
  view_.ball_x += view_.ball_vx;
  view_.ball_y += view_.ball_vy;
  if (score_left_ > 0) {
    if (std::fabs(view_.ball_x) > 20) {
      view_.ball_vx = -view_.ball_vx;
    }
    if (std::fabs(view_.ball_y) > 15) {
      view_.ball_vy = -view_.ball_vy;
    }
  }
  movePlayers();
  if (cycle_ == 15) {
    server_->send("(hear " + std::to_string(cycle_) + " (p \"" + team_ + "\" 9) \"pass\")");
  }
  if (view_.ball_x > PITCH_HALF_LENGTH && std::fabs(view_.ball_y) < GOAL_HALF_WIDTH) {
    ++score_left_;
    view_.ball_vx = 0;
    view_.ball_vy = 0;
    referee("goal_l_" + std::to_string(score_left_));
  }
}

void DemoMatch::movePlayers() {
  const double shift = std::max(-15.0, std::min(15.0, view_.ball_x * 0.4));
  for (int side = 0; side < 2; ++side) {
    std::vector<PlayerView>& team = side == 0 ? view_.left : view_.right;
    const std::vector<PlayerView>& home = side == 0 ? formation_.left : formation_.right;
    for (size_t i = 0; i < team.size(); ++i) {
      PlayerView& p = team[i];
      double tx = home[i].x + (p.goalie ? 0 : shift);
      double ty = home[i].y;
      if (p.unum == 10 || (p.unum == 9 && side == 0)) {
        tx = view_.ball_x + (side == 0 ? -1.5 : 1.5);
        ty = view_.ball_y + (p.unum == 9 ? -3 : 0);
      }
      const double dx = tx - p.x;
      const double dy = ty - p.y;
      const double distance = std::hypot(dx, dy);
      const double speed = std::min(distance, 1.0);
      p.vx = distance > 0 ? dx / distance * speed : 0;
      p.vy = distance > 0 ? dy / distance * speed : 0;
      p.x += p.vx;
      p.y += p.vy;
      if (distance > 0.01) {
        p.body = std::round(std::atan2(dy, dx) * 180 / M_PI);
      }
    }
  }
}

std::string DemoMatch::ballStatus() const {
  const double x = view_.ball_x;
  const double y = view_.ball_y;
  if (std::fabs(x) <= PITCH_HALF_LENGTH && std::fabs(y) <= PITCH_HALF_WIDTH) {
    return "in_field";
  }
  if (std::fabs(y) < GOAL_HALF_WIDTH) {
    return x > 0 ? "goal_r" : "goal_l";
  }
  return "out_of_field";
}

// ---------------------------------------------------------------------------
// runDemo

namespace {

// The coach process and its end.
class CoachChild {
 public:
  CoachChild() : pid_(-1), pidfd_(-1), exited_(false), status_(0) {}
  ~CoachChild() {
    if (pidfd_ != -1) {
      close(pidfd_);
    }
  }

  bool start(const std::vector<std::string>& args, std::ostream& log) {
    std::vector<char*> argv;
    for (const std::string& arg : args) {
      argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::cout.flush();
    std::cerr.flush();
    log.flush();
    pid_ = fork();
    if (pid_ < 0) {
      log << "[server] cannot fork: " << strerror(errno) << std::endl;
      return false;
    }
    if (pid_ == 0) {
      execv(argv[0], argv.data());
      const std::string message =
          "[server] cannot start the coach " + args[0] + ": " + strerror(errno) + "\n";
      (void)!write(STDERR_FILENO, message.data(), message.size());
      _exit(127);
    }
#ifdef SYS_pidfd_open
    pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
#endif
    return true;
  }

  pid_t pid() const {
    return pid_;
  }

  // Collects the exit status if the coach has ended.
  bool exited() {
    if (!exited_ && pid_ > 0 && waitpid(pid_, &status_, WNOHANG) == pid_) {
      exited_ = true;
    }
    return exited_;
  }

  // Waits up to timeout_ms for the coach to end.
  bool waitExit(int timeout_ms) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!exited()) {
      const int left = remainingMs(until);
      if (left == 0) {
        return false;
      }
      if (pidfd_ != -1) {
        pollfd entry = {pidfd_, POLLIN, 0};
        poll(&entry, 1, left);
      } else {
        poll(nullptr, 0, std::min(left, 20));
      }
    }
    return true;
  }

  std::string describe() const {
    if (!exited_) {
      return "still running";
    }
    if (WIFEXITED(status_)) {
      return "exit status " + std::to_string(WEXITSTATUS(status_));
    }
    if (WIFSIGNALED(status_)) {
      return std::string("killed by signal ") + std::to_string(WTERMSIG(status_));
    }
    return "ended";
  }

  bool exitedWithZero() const {
    return exited_ && WIFEXITED(status_) && WEXITSTATUS(status_) == 0;
  }

 private:
  pid_t pid_;
  int pidfd_;
  bool exited_;
  int status_;
};

void printSummary(const PracticeServer& server, const DemoMatch& match, const CoachChild& coach,
                  std::ostream& log) {
  std::map<std::string, int> kinds;
  for (const Datagram& d : server.sent()) {
    ++kinds[headWord(d.text)];
  }
  log << "[server] ---- summary ----" << std::endl;
  log << "[server] sent " << server.sent().size() << " messages:";
  const char* separator = " ";
  for (const auto& kind : kinds) {
    log << separator << kind.first << " " << kind.second;
    separator = ", ";
  }
  log << std::endl;
  log << "[server] received " << server.received().size()
      << " datagrams from the coach:" << std::endl;
  for (const Datagram& d : server.received()) {
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%7.3f s", d.t);
    log << "[server]   " << stamp << " " << d.bytes.size() << " bytes  " << d.text << std::endl;
  }
  log << "[server] our player types:";
  for (int unum = 1; unum <= 11; ++unum) {
    log << " " << unum << ":" << match.ourTypes()[unum];
  }
  log << std::endl;
  if (match.thinksSent() > 0) {
    log << "[server] (think) answered " << match.thinksAnswered() << " of " << match.thinksSent()
        << std::endl;
  }
  log << "[server] score " << match.team() << " " << match.scoreLeft() << " - "
      << match.scoreRight() << " " << match.opponent() << std::endl;
  log << "[server] init " << (match.initReceived() ? "received" : "missing") << ", bye "
      << (match.byeReceived() ? "received" : "missing") << ", coach " << coach.describe()
      << std::endl;
}

}  // namespace

int runDemo(const DemoOptions& options, std::ostream& log) {
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(static_cast<long>(options.timeout_s * 1000));
  PracticeServer server;
  if (server.port() == 0) {
    return 1;
  }
  std::vector<std::string> args = {
      options.coach_path, "-host", "127.0.0.1", "-port", std::to_string(server.port()), "-t",
      options.team};
  args.insert(args.end(), options.coach_args.begin(), options.coach_args.end());
  log << "[server] listening on 127.0.0.1:" << server.port() << "; starting";
  for (const std::string& arg : args) {
    log << " " << arg;
  }
  log << std::endl;

  CoachChild coach;
  if (!coach.start(args, log)) {
    return 1;
  }
  DemoMatch match(&server, options, log);
  match.play([&coach]() { return coach.exited(); });

  const int grace_ms = std::min(5000, std::max(200, remainingMs(deadline)));
  if (!coach.waitExit(grace_ms)) {
    log << "[server] the coach does not exit; SIGTERM to pid " << coach.pid() << std::endl;
    kill(coach.pid(), SIGTERM);
    if (!coach.waitExit(1000)) {
      log << "[server] SIGKILL to pid " << coach.pid() << std::endl;
      kill(coach.pid(), SIGKILL);
      coach.waitExit(1000);
    }
  }
  printSummary(server, match, coach, log);
  const bool went_through = match.initReceived() && match.byeReceived() && coach.exitedWithZero();
  log << "[server] " << (went_through ? "match completed" : "match failed") << std::endl;
  return went_through ? 0 : 1;
}

}  // namespace practice
