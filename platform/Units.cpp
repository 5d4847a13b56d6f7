#include "platform/Units.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace kirmel {

namespace {
constexpr std::size_t kOutputBuffer = 1 << 20;

bool validUnit(int unit) { return unit >= UnitTable::kFirst && unit <= UnitTable::kLast; }
}  // namespace

UnitTable::~UnitTable() { closeAll(); }

void UnitTable::attach(int unit, std::string name, std::string path, std::FILE* fp, Form form,
                       Access access, int reclen, bool writing) {
  if (!validUnit(unit)) {
    if (fp) std::fclose(fp);  // the table owns fp from the call on
    return;
  }
  if (units_[unit]) close(unit);
  auto u = std::make_unique<Unit>();
  u->number = unit;
  u->name = std::move(name);
  u->path = std::move(path);
  u->fp = fp;
  u->form = form;
  u->access = access;
  u->reclen = reclen;
  u->writing = writing;
  if (writing && fp) std::setvbuf(fp, nullptr, _IOFBF, kOutputBuffer);
  units_[unit] = std::move(u);
}

std::FILE* openForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  // Reads may wait again; Env::readInput ends such a wait on a signal.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* fp = ::fdopen(fd, "rb");
  if (!fp) {
    const int e = errno;
    ::close(fd);
    errno = e;
  }
  return fp;
}

bool UnitTable::openWrite(int unit, const std::string& path) {
  if (!validUnit(unit)) return false;
  std::FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return false;
  attach(unit, path, path, fp, Form::Formatted, Access::Sequential, 0, true);
  return true;
}

bool UnitTable::isOpen(int unit) const { return validUnit(unit) && units_[unit] != nullptr; }

Unit* UnitTable::get(int unit) { return isOpen(unit) ? units_[unit].get() : nullptr; }

int UnitTable::findByName(const std::string& name) const {
  for (int u = kFirst; u <= kLast; ++u) {
    const auto& p = units_[u];
    if (!p) continue;
    if (p->name == name || p->path == name || strcasecmp(p->name.c_str(), name.c_str()) == 0 ||
        strcasecmp(p->path.c_str(), name.c_str()) == 0)
      return u;
  }
  return 0;
}

int UnitTable::freeUnit(int from) const {
  for (int u = from < kFirst ? kFirst : from; u <= kLast; ++u)
    if (!units_[u]) return u;
  return 0;
}

namespace {
// A file written record by record, whose failures the table notes.
bool tracked(const Unit& u) { return u.writing && u.access == Access::Sequential; }
}  // namespace

void UnitTable::fail(Unit& u) {
  if (u.failed) return;
  u.failed = true;
  if (tracked(u)) failures_.push_back(u.name);
}

std::vector<std::string> UnitTable::newWriteFailures() {
  std::vector<std::string> names(failures_.begin() + static_cast<std::ptrdiff_t>(handedOut_), failures_.end());
  handedOut_ = failures_.size();
  return names;
}

bool UnitTable::close(int unit) {
  if (!isOpen(unit)) return false;
  Unit& u = *units_[unit];
  bool ok = !u.failed;
  if (u.fp && std::fclose(u.fp) != 0) ok = false;
  u.fp = nullptr;
  if (!ok) fail(u);
  units_[unit].reset();
  return ok;
}

void UnitTable::closeAll() {
  for (int u = kFirst; u <= kLast; ++u)
    if (units_[u]) close(u);
}

void UnitTable::flushAll() {
  for (int n = kFirst; n <= kLast; ++n) {
    Unit* u = units_[n].get();
    if (u && u->fp && u->writing && !u->failed && std::fflush(u->fp) != 0) fail(*u);
  }
}

void UnitTable::writeLine(int unit, std::string_view text) {
  Unit* u = get(unit);
  if (!u || !u->fp || u->failed) return;
  if (std::fwrite(text.data(), 1, text.size(), u->fp) != text.size() || std::fputc('\n', u->fp) == EOF)
    fail(*u);
}

namespace {
Unit* directUnit(UnitTable& t, int unit, long long n) {
  Unit* u = t.get(unit);
  if (!u || !u->fp || u->access != Access::Direct || u->reclen <= 0 || n < 1) return nullptr;
  return u;
}

// Moves record n (1-based) of a direct-access unit through
// transfer(fp, len), which returns the bytes moved (fread or fwrite).  False
// when there is no such unit, the seek fails or fewer bytes moved; a short
// transfer also clears the stream's error and end-of-file state.
template <class Transfer>
bool transferRecord(UnitTable& t, int unit, long long n, Transfer transfer) {
  Unit* u = directUnit(t, unit, n);
  if (!u) return false;
  const auto len = static_cast<std::size_t>(u->reclen);
  if (::fseeko(u->fp, static_cast<off_t>((n - 1) * u->reclen), SEEK_SET) != 0) return false;
  if (transfer(u->fp, len) != len) {
    std::clearerr(u->fp);
    return false;
  }
  return true;
}
}  // namespace

bool UnitTable::readRecord(int unit, long long n, void* buf) {
  return transferRecord(*this, unit, n, [buf](std::FILE* fp, std::size_t len) {
    return std::fread(buf, 1, len, fp);
  });
}

bool UnitTable::writeRecord(int unit, long long n, const void* buf) {
  return transferRecord(*this, unit, n, [buf](std::FILE* fp, std::size_t len) {
    return std::fwrite(buf, 1, len, fp);
  });
}

bool UnitTable::closeDelete(int unit) {
  Unit* u = get(unit);
  if (!u) return false;
  std::string path = u->path;
  close(unit);
  return std::remove(path.c_str()) == 0;
}

}  // namespace kirmel
