#include "strategy/clang_manager.h"

#include <iostream>
#include <string_view>

#include "geom/number_reader.h"
#include "param/coach_config.h"

namespace {

const std::string_view HEAD = "(clang (ver";

// Reads a decimal integer at the front of *text, leading blanks skipped, as
// strtol does: no digits read gives 0. Moves *text past what was read;
// values beyond int are clamped.
int readInt(std::string_view* text) {
  *text = NumberReader::skipBlanks(*text);
  int value = 0;
  text->remove_prefix(NumberReader::read(*text, &value));
  return value;
}

void reportParseError(const char* message) {
  std::cerr << "clang parse error. " << message << std::endl;
}

}  // namespace

const int CLangManager::S_DEFAULT_CLANG_MIN_VER;
const int CLangManager::S_DEFAULT_CLANG_MAX_VER;

CLangManager::CLangManager()
    : shared_min(S_DEFAULT_CLANG_MIN_VER),
      shared_max(S_DEFAULT_CLANG_MAX_VER),
      any_announced(false) {
  for (std::pair<int, int>& v : player_versions) {
    v = std::make_pair(S_DEFAULT_CLANG_MIN_VER, S_DEFAULT_CLANG_MAX_VER);
  }
}

// A message cut short before the side's name is closed or before the ")"
// after the uniform number is reported as a parse error, like a wrong head.
void CLangManager::parseCLangVer(const char* message) {
  const std::string_view text(message);
  if (text.substr(0, HEAD.size()) != HEAD) {
    reportParseError(message);
    return;
  }

  const std::size_t open_quote = text.find('"', 1);
  if (open_quote == std::string_view::npos) {
    reportParseError(message);
    return;
  }
  const std::size_t name_begin = open_quote + 1;
  const std::size_t close_quote = text.find('"', name_begin);
  if (close_quote == std::string_view::npos) {
    reportParseError(message);
    return;
  }
  const bool our =
      text.substr(name_begin, close_quote - name_begin) == CoachConfig::instance().team_name;

  std::string_view rest = text.substr(close_quote + 1);
  const int unum = readInt(&rest);
  if (unum < 1 || ServerParam::DEFAULT_MAX_PLAYER < unum) {
    std::cerr << "CLangVer::Unexpected uniform number. " << unum << "[" << message << "]"
              << std::endl;
    return;
  }

  const std::size_t close = rest.find(')');
  if (close == std::string_view::npos) {
    reportParseError(message);
    return;
  }
  rest.remove_prefix(close + 1);
  const int min_ver = readInt(&rest);
  const int max_ver = readInt(&rest);

  if (min_ver < S_DEFAULT_CLANG_MIN_VER || S_DEFAULT_CLANG_MAX_VER < max_ver || max_ver < min_ver) {
    std::cerr << "CLangVer::Unexpected clang ver. "
              << " min=" << min_ver << " max=" << max_ver << "[" << message << "]" << std::endl;
    return;
  }
  if (!our) return;

  std::cout << "clang our " << unum << " min=" << min_ver << " max=" << max_ver << std::endl;
  if (shared_min < min_ver) shared_min = min_ver;
  if (max_ver < shared_max) shared_max = max_ver;
  player_versions[unum] = std::make_pair(min_ver, max_ver);
  any_announced = true;
}

std::pair<int, int> CLangManager::playerVersion(int unum) const {
  if (unum < 1 || ServerParam::DEFAULT_MAX_PLAYER < unum) {
    return std::make_pair(S_DEFAULT_CLANG_MIN_VER, S_DEFAULT_CLANG_MAX_VER);
  }
  return player_versions[unum];
}
