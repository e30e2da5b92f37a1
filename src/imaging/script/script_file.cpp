#include "imaging/script/script_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "imaging/script/effect_table.h"

namespace imaging::script {
namespace {

// The words of one line, comments removed.
std::vector<std::string_view> Words(std::string_view line) {
  if (const size_t hash = line.find('#'); hash != std::string_view::npos)
    line = line.substr(0, hash);
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const size_t begin = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > begin) words.push_back(line.substr(begin, i - begin));
  }
  return words;
}

bool ParseWhole(std::string_view word, uint32_t& value) {
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

// A value: a decimal number, or a colour written 0xRRGGBB-style in hexadecimal.
bool ParseValue(std::string_view word, double& value) {
  const char* end = word.data() + word.size();
  if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    uint32_t bits = 0;
    const auto result = std::from_chars(word.data() + 2, end, bits, 16);
    if (result.ec != std::errc() || result.ptr != end) return false;
    value = bits;
    return true;
  }
  const auto result = std::from_chars(word.data(), end, value);
  return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

}  // namespace

bool ParseScript(std::string_view text, Script& out) {
  if (text.size() > kMaxScriptFileBytes || text.find('\0') != std::string_view::npos) return false;
  Script script;
  bool sawMagic = false, sawSize = false;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t newline = text.find('\n', pos);
    if (newline == std::string_view::npos) newline = text.size();
    const std::vector<std::string_view> words = Words(text.substr(pos, newline - pos));
    pos = newline + 1;
    if (words.empty()) continue;

    if (!sawMagic) {  // the first line names the format and its version
      if (words.size() != 2 || words[0] != "picture-script" ||
          !ParseWhole(words[1], script.version) || script.version != kScriptFormatVersion)
        return false;
      sawMagic = true;
    } else if (words[0] == "size") {
      if (sawSize || words.size() != 3 || !ParseWhole(words[1], script.width) ||
          !ParseWhole(words[2], script.height) || script.width == 0 || script.height == 0 ||
          script.width > kScriptMaxSide || script.height > kScriptMaxSide)
        return false;
      sawSize = true;
    } else if (words[0] == "effect") {
      uint32_t id = 0;
      if (!sawSize || words.size() != 2 || !ParseWhole(words[1], id) || !FindEffect(id) ||
          script.effects.size() >= kScriptMaxEffects)
        return false;
      EffectEntry entry;
      entry.id = id;
      entry.values = FindEffect(id)->defaults;
      script.effects.push_back(entry);
    } else {  // "slot = value" for the latest effect
      uint32_t slot = 0;
      double value = 0;
      if (script.effects.empty() || words.size() != 3 || words[1] != "=" ||
          !ParseWhole(words[0], slot) || slot >= kScriptValueSlots || !ParseValue(words[2], value))
        return false;
      script.effects.back().values[slot] = value;
    }
  }
  if (!sawMagic || !sawSize) return false;
  out = std::move(script);
  return true;
}

bool ReadScriptFile(const char* path, Script& out) {
  if (!path) return false;
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), std::fclose);
  if (!file) return false;
  std::string text(kMaxScriptFileBytes + 1, '\0');
  const size_t read = std::fread(text.data(), 1, text.size(), file.get());
  if (std::ferror(file.get()) || read > kMaxScriptFileBytes) return false;
  text.resize(read);
  return ParseScript(text, out);
}

}  // namespace imaging::script
