#include "frontend/editor/Parser.h"

#include <sys/stat.h>

#include "frontend/model/KirExcpt.h"
#include "frontend/model/Numbers.h"
#include "platform/LineReader.h"
#include "platform/Paths.h"

namespace kirmel::fe {

Parser::Parser(TMessageSink sink, char decimalSeparator)
    : sink_(std::move(sink)), decimalSeparator_(decimalSeparator) {}

Parser::~Parser() { CloseInputFile(); }

bool Parser::OpenInputFile(const std::string& fileName) {
  CloseInputFile();
  line_.clear();
  column_ = 0;
  lineNumber_ = 0;
  fileName_ = fileName;
  if (auto resolved = paths::resolveExisting(fileName)) {
    // Only a regular file: a directory opens on Linux but reads as empty.
    struct stat st;
    if (::stat(resolved->c_str(), &st) == 0 && S_ISREG(st.st_mode))
      file_ = std::fopen(resolved->c_str(), "rb");
  }
  fileOpen_ = file_ != nullptr;
  if (!fileOpen_ && sink_) sink_("Cannot open file \"" + fileName + "\"");
  return fileOpen_;
}

void Parser::CloseInputFile() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  fileOpen_ = false;
}

bool Parser::AtEnd() {
  if (!file_) return true;
  int c = std::getc(file_);
  if (c == EOF) return true;
  std::ungetc(c, file_);
  return false;
}

bool Parser::ReadNextLine() {
  bool found = false;
  std::string next;
  LineReader reader(file_, kLongestInputLine);
  while (!found && !AtEnd()) {
    if (!reader.next(next)) break;
    ++lineNumber_;
    if (reader.runsOn()) {
      CloseInputFile();
      throw EIllegalValue(fileName_ + ", line " + std::to_string(lineNumber_) +
                          ": the line is longer than the " + std::to_string(kLongestInputLine) +
                          " characters a line of this file can hold");
    }
    line_.swap(next);
    if (!line_.empty())
      found = line_[0] != '*' && !(line_.size() >= 2 && line_[0] == ' ' && line_[1] == '*');
  }
  column_ = 0;
  return found;
}

bool Parser::GetToken(std::string& token) {
  token.clear();
  bool result = fileOpen_ && !(line_.empty() && AtEnd());
  bool started = false;
  while (result && !started) {
    if (line_.empty() && !ReadNextLine()) {
      // Nothing is left: forget the comment line last read, so that a later
      // call does not hand out its words as tokens.
      line_.clear();
      column_ = 0;
      result = false;
      break;
    }
    while (column_ < line_.size() && line_[column_] == ' ') ++column_;
    if (column_ < line_.size() && line_[column_] != '!') {
      started = true;
    } else {
      line_.clear();  // end of line, or the rest of it is a comment
      column_ = 0;
    }
  }
  if (!result) return false;
  if (line_[column_] == '(') {
    token.push_back('(');
    ++column_;
    if (column_ < line_.size()) {
      char c = line_[column_];
      if (c == '.' || (c >= '0' && c <= '9')) return true;
    }
  }
  while (column_ < line_.size() && line_[column_] != ' ') token.push_back(line_[column_++]);
  return true;
}

bool Parser::SkipTo(std::string_view s) {
  std::string token;
  bool result;
  do {
    result = GetToken(token);
  } while (result && token != s);
  return result;
}

bool Parser::StrToIntValue(std::string_view s, int& value) const {
  if (!TryStrToInt(s, value))
    throw EIllegalValue(fileName_ + ": Illegal integer value: " + PrintableText(s));
  return true;
}

bool Parser::StrToFloatValue(std::string_view s, double& value) const {
  std::string text(s);
  if (decimalSeparator_ == ',') {
    if (auto dot = text.find('.'); dot != std::string::npos) text[dot] = ',';
  }
  if (!TryStrToFloat(text, decimalSeparator_, value))
    throw EIllegalValue(fileName_ + ": Illegal floating-point value: \"" + PrintableText(text) +
                        "\"");
  return true;
}

namespace {

// The length of the UTF-8 character that starts at `at`, or 0 when the bytes
// there are not one (overlong forms, surrogates and values above U+10FFFF
// included).
std::size_t Utf8Length(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(at);
  std::size_t n = 0;
  unsigned min = 0;
  unsigned code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    n = 2, min = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    n = 3, min = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    n = 4, min = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (at + n > s.size()) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((byte(at + i) & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (byte(at + i) & 0x3Fu);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  // C1 control characters do not print either.
  if (code >= 0x80 && code <= 0x9F) return 0;
  return n;
}

}  // namespace

std::string PrintableText(std::string_view token) {
  constexpr std::size_t kLongest = 80;
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t shown = 0;
  std::size_t at = 0;
  while (at < token.size() && shown < kLongest) {
    const unsigned char c = static_cast<unsigned char>(token[at]);
    std::size_t n = c >= 0x20 && c < 0x7F ? 1 : c >= 0x80 ? Utf8Length(token, at) : 0;
    if (n > 0) {
      out.append(token.substr(at, n));
      at += n;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
      ++at;
    }
    ++shown;
  }
  if (at < token.size()) out += "...";
  return out;
}

Parser& ProgramParser() {
  static Parser parser;
  return parser;
}

bool OpenInputFile(const std::string& fileName) { return ProgramParser().OpenInputFile(fileName); }
void CloseInputFile() { ProgramParser().CloseInputFile(); }
bool ReadNextLine() { return ProgramParser().ReadNextLine(); }
bool NextLine() { return ProgramParser().NextLine(); }
bool GetToken(std::string& token) { return ProgramParser().GetToken(token); }
bool SkipTo(std::string_view s) { return ProgramParser().SkipTo(s); }
bool StrToIntValue(std::string_view s, int& value) { return ProgramParser().StrToIntValue(s, value); }
bool StrToFloatValue(std::string_view s, double& value) {
  return ProgramParser().StrToFloatValue(s, value);
}

}  // namespace kirmel::fe
