#include "frontend/viewer/ReaderSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

#include "frontend/model/Numbers.h"
#include "platform/Paths.h"

namespace kirmel::fe {

// ---- context ----

TReadContext::TReadContext(TMessageSink sink, char decimalSeparator, TReadProgress progress)
    : sink_(std::move(sink)), decimalSeparator_(decimalSeparator), progress_(std::move(progress)) {}

TReadContext::TReadContext(const Parser& parser, TReadProgress progress)
    : sink_([&parser](const std::string& message) { parser.ShowMessage(message); }),
      decimalSeparator_(parser.DecimalSeparator()),
      progress_(std::move(progress)) {}

void TReadContext::Report(const std::string& fileName, const std::string& message) {
  if (!named_.insert(fileName).second) return;
  if (sink_) sink_(message);
}

void TReadContext::ReportStopped(const std::string& fileName, const std::string& message) {
  if (!runStillWritten_) Report(fileName, message);
}

// ---- reports ----

TMessageSink TReadReports::Sink() {
  return [this](const std::string& message) { messages_.push_back(message); };
}

std::string TReadReports::Take() {
  std::string text;
  for (const std::string& message : messages_) {
    if (!text.empty()) text += '\r';
    text += message;
  }
  messages_.clear();
  return text;
}

// ---- numbers ----

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ConvertReal(std::string_view token, bool commaToo, double& value) {
  // The token rewritten for from_chars: no "+", "." as separator.  Longer
  // tokens take the general conversion, which follows the same rule.
  char plain[64];
  if (token.size() >= sizeof plain) {
    std::string text(token);
    if (commaToo) std::replace(text.begin(), text.end(), '.', ',');
    return TryStrToFloat(text, commaToo ? ',' : '.', value);
  }
  std::size_t n = 0;
  std::size_t i = 0;
  const std::size_t size = token.size();
  if (i < size && (token[i] == '+' || token[i] == '-')) {
    if (token[i] == '-') plain[n++] = '-';
    ++i;
  }
  int digits = 0;
  bool separator = false;
  for (; i < size; ++i) {
    const char c = token[i];
    if (IsDigit(c)) {
      plain[n++] = c;
      ++digits;
    } else if (!separator && (c == '.' || (commaToo && c == ','))) {
      plain[n++] = '.';
      separator = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < size && (token[i] == 'e' || token[i] == 'E')) {
    plain[n++] = 'e';
    ++i;
    if (i < size && (token[i] == '+' || token[i] == '-')) plain[n++] = token[i++];
    int exponentDigits = 0;
    for (; i < size && IsDigit(token[i]); ++i, ++exponentDigits) plain[n++] = token[i];
    if (exponentDigits == 0) return false;
  }
  if (i != size) return false;
  double v = 0;
  const auto result = std::from_chars(plain, plain + n, v, std::chars_format::general);
  if (result.ec != std::errc() || result.ptr != plain + n || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ConvertInteger(std::string_view token, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  if (i == token.size()) return false;
  long long v = 0;
  for (; i < token.size(); ++i) {
    if (!IsDigit(token[i])) return false;
    v = v * 10 + (token[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

namespace detail {

namespace {

constexpr std::size_t kBlock = 1024 * 1024;

std::string At(const std::string& fileName, long line, const std::string& what) {
  return fileName + ", line " + std::to_string(line) + ": " + what;
}

}  // namespace

// ---- lines ----

TLineSource::TLineSource(const std::string& fileName, std::size_t longestLine,
                         TReadContext& context)
    : fileName_(fileName), longestLine_(longestLine), context_(context) {}

TLineSource::~TLineSource() { Close(); }

bool TLineSource::Open() {
  Close();
  if (const auto resolved = paths::resolveExisting(fileName_)) {
    // Only a regular file: a directory opens but reads as nothing, and a
    // named pipe would wait for a writer.
    struct stat st;
    if (::stat(resolved->c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      fd_ = ::open(resolved->c_str(), O_RDONLY | O_CLOEXEC);
      if (fd_ >= 0 && (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) Close();
      if (fd_ >= 0) {
        fileName_ = *resolved;  // from now on the file is named as it is on disk
        size_ = static_cast<std::uint64_t>(st.st_size);
#ifdef POSIX_FADV_SEQUENTIAL
        ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
      }
    }
  }
  if (fd_ < 0) {
    context_.Report(fileName_, "Cannot open file \"" + fileName_ + "\"");
    return false;
  }
  // A block of the file at a time, or the whole of a smaller file; always
  // room for two of the longest lines.  Not cleared: every byte used is read.
  const std::size_t least = 2 * longestLine_ + 16;
  const std::size_t capacity =
      std::clamp<std::size_t>(static_cast<std::size_t>(std::min<std::uint64_t>(size_, kBlock)) + 16,
                              least, std::max(kBlock, least));
  buffer_.reset(new char[capacity]);
  capacity_ = capacity;
  begin_ = end_ = 0;
  done_ = 0;
  atEnd_ = false;
  lineNumber_ = 0;
  terminated_ = true;
  if (!context_.Progress(fileName_, 0, size_)) {
    Close();
    throw TReadCancelled();
  }
  return true;
}

void TLineSource::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.reset();
  capacity_ = 0;
}

bool TLineSource::Fill() {
  if (atEnd_ || fd_ < 0) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  ssize_t n;
  do {
    n = ::read(fd_, buffer_.get() + end_, capacity_ - end_);
  } while (n < 0 && errno == EINTR);
  if (n < 0)
    throw TReadFault{fileName_ + ": the file could not be read (" + std::strerror(errno) + ")"};
  if (n == 0) {
    atEnd_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(n);
  done_ += static_cast<std::uint64_t>(n);
  if (!context_.Progress(fileName_, done_, std::max(size_, done_))) throw TReadCancelled();
  return true;
}

void TLineSource::TooLong() const {
  throw TReadFault{At(fileName_, lineNumber_ + 1,
                      "the line is longer than the " + std::to_string(longestLine_) +
                          " characters a line of this file can hold")};
}

bool TLineSource::Next(std::string_view& line) {
  if (fd_ < 0) return false;
  for (;;) {
    const char* b = buffer_.get() + begin_;
    const char* e = buffer_.get() + end_;
    const auto* lf = static_cast<const char*>(std::memchr(b, '\n', static_cast<std::size_t>(e - b)));
    const char* stop = lf ? lf : e;
    const auto* cr = static_cast<const char*>(std::memchr(b, '\r', static_cast<std::size_t>(stop - b)));
    const char* lineEnd;
    const char* next;
    if (cr) {
      // A CR as the last byte read may be the first half of a CR LF.
      if (cr + 1 == e && !atEnd_) {
        if (static_cast<std::size_t>(cr - b) > longestLine_) TooLong();
        Fill();
        continue;
      }
      lineEnd = cr;
      next = cr + 1;
      if (next < e && *next == '\n') ++next;
      terminated_ = true;
    } else if (lf) {
      lineEnd = lf;
      next = lf + 1;
      terminated_ = true;
    } else {
      if (static_cast<std::size_t>(e - b) > longestLine_) TooLong();
      if (!atEnd_) {
        Fill();  // moves the unread bytes: the views above are stale
        continue;
      }
      if (b == e) return false;
      lineEnd = e;
      next = e;
      terminated_ = false;
    }
    if (static_cast<std::size_t>(lineEnd - b) > longestLine_) TooLong();
    line = std::string_view(b, static_cast<std::size_t>(lineEnd - b));
    begin_ = static_cast<std::size_t>(next - buffer_.get());
    ++lineNumber_;
    return true;
  }
}

// ---- tokens ----

TFileScan::TFileScan(TReadContext& context, std::string fileName, TFileRules rules)
    : context_(context), rules_(rules), source_(fileName, rules.LongestLine, context) {}

bool TFileScan::Open() {
  haveLine_ = false;
  line_ = {};
  column_ = 0;
  return source_.Open();
}

void TFileScan::Close() {
  source_.Close();
  haveLine_ = false;
  line_ = {};
}

bool TFileScan::ReadDataLine() {
  haveLine_ = false;
  line_ = {};
  column_ = 0;
  std::string_view raw;
  while (source_.Next(raw)) {
    if (raw.empty() || raw[0] == '*' || (raw.size() >= 2 && raw[0] == ' ' && raw[1] == '*'))
      continue;
    // The kernel ends every line: a last line without its end that is
    // shorter than a row (blanks only, perhaps) is where the file was cut.
    if (!source_.Terminated() && !rules_.UserFile && (rowWidth_ == 0 || raw.size() < rowWidth_))
      FailAt(Line(), "the file ends inside this line (it has no line end)");
    // A line of blanks, or one whose content a "!" ends at once, holds no
    // token either.
    const std::size_t first = raw.find_first_not_of(' ');
    if (first == std::string_view::npos || raw[first] == '!') continue;
    line_ = raw;
    column_ = first;
    haveLine_ = true;
    return true;
  }
  return false;
}

bool TFileScan::AtToken() {
  while (column_ < line_.size() && line_[column_] == ' ') ++column_;
  if (column_ >= line_.size()) return false;
  if (line_[column_] == '!') {
    column_ = line_.size();  // the rest of the line is a comment
    return false;
  }
  return true;
}

std::string_view TFileScan::TakeToken() {
  const std::size_t start = column_;
  if (line_[column_] == '(') {
    ++column_;
    if (column_ < line_.size() && (line_[column_] == '.' || IsDigit(line_[column_])))
      return line_.substr(start, 1);
  }
  while (column_ < line_.size() && line_[column_] != ' ') ++column_;
  return line_.substr(start, column_ - start);
}

bool TFileScan::First(std::string_view& token) {
  if (!(haveLine_ && AtToken()) && !ReadDataLine()) return false;
  recordLine_ = Line();
  token = TakeToken();
  return true;
}

std::string_view TFileScan::Next(bool sameLine) {
  if (haveLine_ && AtToken()) return TakeToken();
  if (sameLine) FailAt(recordLine_, "the line ends before the record is complete");
  if (!ReadDataLine()) Fail("the file ends before the record is complete");
  return TakeToken();
}

bool TFileScan::NextOnLine(std::string_view& token) {
  if (!(haveLine_ && AtToken())) return false;
  token = TakeToken();
  return true;
}

void TFileScan::ExpectEndOfLine() {
  if (haveLine_ && AtToken()) Fail("the line holds more values than a record");
}

void TFileScan::Skip(int count) {
  for (int i = 0; i < count; ++i) Next();
}

int TFileScan::TokensLeft() {
  if (!haveLine_) return 0;
  const std::size_t column = column_;
  int count = 0;
  while (AtToken()) {
    TakeToken();
    ++count;
  }
  column_ = column;
  return count;
}

bool TFileScan::NextLine() { return ReadDataLine(); }

void TFileScan::Find(std::string_view word) {
  std::string_view token;
  while (First(token))
    if (token == word) return;
  FailAtEnd("the heading word \"" + std::string(word) + "\" was not found");
}

double TFileScan::Real(std::string_view token) const {
  double value = 0;
  const bool commaToo = rules_.UserFile || context_.DecimalSeparator() == ',';
  if (!ConvertReal(token, commaToo, value))
    Fail("Illegal floating-point value: \"" + std::string(token) + "\"");
  return value;
}

int TFileScan::Integer(std::string_view token) const {
  int value = 0;
  if (!ConvertInteger(token, value)) {
    std::string what = "Illegal integer value: " + std::string(token);
    if (!token.empty() && token.find_first_not_of('*') == std::string_view::npos)
      what += " (the value did not fit its field)";
    Fail(what);
  }
  return value;
}

int TFileScan::Step(std::string_view token) const {
  if (!token.empty() && token.find_first_not_of('*') == std::string_view::npos)
    return kStepDidNotFit;
  const int step = Integer(token);
  if (step < 0) Fail("Illegal time step: " + std::string(token));
  return step;
}

void TFileScan::Fail(const std::string& what) const { FailAt(Line(), what); }

void TFileScan::FailAt(long line, const std::string& what) const {
  throw TReadFault{At(FileName(), line, what)};
}

void TFileScan::FailAtEnd(const std::string& what) const {
  if (Line() == 0) throw TReadFault{FileName() + ": the file is empty"};
  FailAt(Line(), what);
}

std::string TFileScan::Report(const TReadFault& fault) {
  Close();
  context_.ReportStopped(FileName(), fault.message);
  return fault.message;
}

std::string TFileScan::Refuse(const TReadFault& fault) {
  Close();
  context_.Report(FileName(), fault.message);
  return fault.message;
}

}  // namespace detail
}  // namespace kirmel::fe
