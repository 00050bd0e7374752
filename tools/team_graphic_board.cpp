#include "tools/team_graphic_board.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <set>

namespace practice {

namespace {

const char ILLEGAL[] = "(error illegal_command_form)";
const char INVALID_DATA[] = "(error invalid_xpm_data)";

// The characters a written picture uses for its pixels: printable, never a
// quote or a backslash.
std::string pixelAlphabet() {
  std::string alphabet;
  for (char c = ' '; c <= '~'; ++c) {
    if (c != '"' && c != '\\') alphabet += c;
  }
  return alphabet;
}

// The strings of a command, each between double quotes, from `at` to the
// closing "))"; false when the command does not have that form.
bool readStrings(const std::string& command, size_t at, std::vector<std::string>* strings) {
  for (;;) {
    at = command.find_first_not_of(' ', at);
    if (at == std::string::npos) return false;
    if (command[at] != '"') break;
    const size_t close = command.find('"', at + 1);
    if (close == std::string::npos) return false;
    strings->push_back(command.substr(at + 1, close - at - 1));
    at = close + 1;
  }
  return !strings->empty() && command.compare(at, std::string::npos, "))") == 0;
}

// The value of the c key of a colour line "CHARS c VALUE"; empty when it
// has none.
std::string colourValue(const std::string& line, size_t chars) {
  char key[8] = "";
  char value[64] = "";
  if (line.size() <= chars || sscanf(line.c_str() + chars, " %7s %63s", key, value) != 2 ||
      strcmp(key, "c") != 0) {
    return "";
  }
  std::string text = value;
  if (text[0] == '#') std::transform(text.begin(), text.end(), text.begin(), ::toupper);
  return text;
}

}  // namespace

TeamGraphicBoard::TeamGraphicBoard(int drop_every)
    : drop_every(drop_every), colours{"None"}, picture(WIDTH * HEIGHT, 0) {
  colour_at["None"] = 0;
}

std::vector<std::string> TeamGraphicBoard::answer(const std::string& command) {
  ++commands;
  if (drop_every > 0 && commands % drop_every == 0) {
    ++drops;
    return {};
  }
  if (kicked_off) return {"(warning only_before_kick_off)"};
  int x = 0;
  int y = 0;
  int used = 0;
  std::vector<std::string> strings;
  if (sscanf(command.c_str(), "(team_graphic (%d %d%n", &x, &y, &used) != 2 ||
      !readStrings(command, static_cast<size_t>(used), &strings)) {
    return {ILLEGAL};
  }
  std::string refusal;
  const bool inside = x >= 0 && x < WIDTH / TILE && y >= 0 && y < HEIGHT / TILE;
  if (!place(x, y, inside, strings, &refusal)) return {refusal};
  ++oks;
  last_ok_step = steps;
  const std::string ok = "(ok team_graphic " + std::to_string(x) + " " + std::to_string(y) + ")";
  if (!inside) return {"(warning invalid_tile_location)", ok};
  return {ok};
}

bool TeamGraphicBoard::place(int x, int y, bool show, const std::vector<std::string>& strings,
                             std::string* refusal) {
  int width = 0;
  int height = 0;
  int count = 0;
  int chars = 0;
  int used = 0;
  *refusal = INVALID_DATA;
  if (sscanf(strings[0].c_str(), "%d %d %d %d%n", &width, &height, &count, &chars, &used) != 4 ||
      strings[0].find_first_not_of(' ', used) != std::string::npos || count < 0 || chars < 1) {
    return false;
  }
  if (width != TILE || height != TILE) {
    *refusal = "(warning invalid_tile_size)";
    return false;
  }
  const size_t rows_at = 1 + static_cast<size_t>(count);
  if (strings.size() < rows_at + TILE) return false;
  for (int row = 0; row < TILE; ++row) {
    if (strings[rows_at + row].size() != static_cast<size_t>(TILE * chars)) return false;
  }
  if (!show) return true;
  std::map<std::string, int> tile_colours;
  for (size_t i = 1; i < rows_at; ++i) {
    const std::string value = colourValue(strings[i], chars);
    if (!value.empty()) tile_colours[strings[i].substr(0, chars)] = colourIndex(value);
  }
  for (int row = 0; row < TILE; ++row) {
    for (int column = 0; column < TILE; ++column) {
      const auto found = tile_colours.find(strings[rows_at + row].substr(column * chars, chars));
      if (found == tile_colours.end()) {
        ++undefined;
      } else {
        picture[(y * TILE + row) * WIDTH + x * TILE + column] = found->second;
      }
    }
  }
  return true;
}

int TeamGraphicBoard::colourIndex(const std::string& value) {
  const auto found = colour_at.find(value);
  if (found != colour_at.end()) return found->second;
  colours.push_back(value);
  return colour_at[value] = static_cast<int>(colours.size()) - 1;
}

std::string TeamGraphicBoard::xpm() const {
  const std::set<int> used(picture.begin(), picture.end());
  const std::string alphabet = pixelAlphabet();
  int chars = 1;
  for (size_t codes = alphabet.size(); codes < used.size(); codes *= alphabet.size()) ++chars;
  std::map<int, std::string> code;
  for (const int colour : used) {
    std::string text;
    for (size_t n = code.size(), i = 0; i < static_cast<size_t>(chars); ++i, n /= alphabet.size()) {
      text += alphabet[n % alphabet.size()];
    }
    code[colour] = text;
  }
  std::string out = "/* XPM */\nstatic char *team_graphic[] = {\n\"" + std::to_string(WIDTH) + " " +
                    std::to_string(HEIGHT) + " " + std::to_string(used.size()) + " " +
                    std::to_string(chars) + "\",\n";
  for (const auto& entry : code) {
    out += "\"" + entry.second + " c " + colours[entry.first] + "\",\n";
  }
  for (int y = 0; y < HEIGHT; ++y) {
    out += "\"";
    for (int x = 0; x < WIDTH; ++x) out += code[picture[y * WIDTH + x]];
    out += y + 1 < HEIGHT ? "\",\n" : "\"\n};\n";
  }
  return out;
}

void reportTeamGraphic(const TeamGraphicBoard& board, const std::string& path, std::ostream& log) {
  if (board.received() == 0) return;
  log << "[server] team graphic: " << board.received() << " commands, " << board.accepted()
      << " tiles accepted (the last at step " << board.lastAcceptedStep() << "), "
      << board.dropped() << " dropped";
  if (board.undefinedPixels() > 0) log << ", " << board.undefinedPixels() << " pixels undefined";
  log << std::endl;
  if (board.accepted() == 0 || path.empty()) return;
  std::ofstream file(path);
  file << board.xpm();
  file.close();
  if (file) {
    log << "[server] team graphic as it arrived: " << path << std::endl;
  } else {
    log << "[server] cannot write the team graphic to " << path << ": " << strerror(errno)
        << std::endl;
  }
}

}  // namespace practice
