#include "frontend/viewer/ReaderSupport.h"

namespace kirmel::fe::detail {

TFileScan::TFileScan(Parser& parser, std::string fileName)
    : parser_(parser), fileName_(std::move(fileName)) {}

TFileScan::~TFileScan() { Close(); }

bool TFileScan::Open() {
  open_ = parser_.OpenInputFile(fileName_);
  return open_;
}

void TFileScan::Close() {
  if (open_) parser_.CloseInputFile();
  open_ = false;
}

bool TFileScan::First(std::string& token) {
  if (!parser_.GetToken(token)) return false;
  recordLine_ = parser_.LineNumber();
  return true;
}

std::string TFileScan::Next(bool sameLine) {
  std::string token;
  if (sameLine && RestOfLineEmpty()) FailAt(recordLine_, "the line ends before the record is complete");
  if (!parser_.GetToken(token)) Fail("the file ends before the record is complete");
  return token;
}

bool TFileScan::NextOnLine(std::string& token) {
  if (RestOfLineEmpty()) return false;
  return parser_.GetToken(token);
}

void TFileScan::ExpectEndOfLine() {
  if (!RestOfLineEmpty()) Fail("the line holds more values than a record");
}

bool TFileScan::NextLine() { return parser_.NextLine(); }

void TFileScan::Find(const std::string& word) {
  if (!parser_.SkipTo(word)) Fail("the heading word \"" + word + "\" was not found");
}

bool TFileScan::RestOfLineEmpty() const {
  const std::string& line = parser_.Line();
  for (std::size_t i = static_cast<std::size_t>(parser_.Column() - 1); i < line.size(); ++i) {
    if (line[i] == ' ') continue;
    return line[i] == '!';  // the rest of the line is a comment
  }
  return true;
}

namespace {

// The token reader's conversion message without its leading file name.
std::string WithoutFileName(const std::string& message, const std::string& fileName) {
  const std::string prefix = fileName + ": ";
  if (message.compare(0, prefix.size(), prefix) == 0) return message.substr(prefix.size());
  return message;
}

}  // namespace

double TFileScan::Real(const std::string& token) const {
  double value = 0;
  try {
    parser_.StrToFloatValue(token, value);
  } catch (const EIllegalValue& e) {
    Fail(WithoutFileName(e.what(), fileName_));
  }
  return value;
}

int TFileScan::Integer(const std::string& token) const {
  int value = 0;
  try {
    parser_.StrToIntValue(token, value);
  } catch (const EIllegalValue& e) {
    Fail(WithoutFileName(e.what(), fileName_));
  }
  return value;
}

void TFileScan::Fail(const std::string& what) const { FailAt(parser_.LineNumber(), what); }

void TFileScan::FailAt(long line, const std::string& what) const {
  throw TReadFault{fileName_ + ", line " + std::to_string(line) + ": " + what};
}

std::string TFileScan::Report(const TReadFault& fault) {
  Close();
  parser_.ShowMessage(fault.message);
  return fault.message;
}

}  // namespace kirmel::fe::detail
