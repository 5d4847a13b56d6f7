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
  LineReader reader(file_);
  while (!found && !AtEnd()) {
    if (!reader.next(next)) break;
    ++lineNumber_;
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
    throw EIllegalValue(fileName_ + ": Illegal integer value: " + std::string(s));
  return true;
}

bool Parser::StrToFloatValue(std::string_view s, double& value) const {
  std::string text(s);
  if (decimalSeparator_ == ',') {
    if (auto dot = text.find('.'); dot != std::string::npos) text[dot] = ',';
  }
  if (!TryStrToFloat(text, decimalSeparator_, value))
    throw EIllegalValue(fileName_ + ": Illegal floating-point value: \"" + text + "\"");
  return true;
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
