#include "frontend/viewer/OutputCache.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "platform/Paths.h"

namespace kirmel::fe {

namespace {

enum TKind { kInput = 1, kWlsoco, kWbsco, kEc, kWlmb, kWbmball, kDb };

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool SameFile(const TOutputCache::TKey& a, const TOutputCache::TKey& b) {
  return a.Kind == b.Kind && a.Extra == b.Extra && a.Path == b.Path && a.Device == b.Device &&
         a.Inode == b.Inode && a.Size == b.Size && SameTime(a.Modified, b.Modified) &&
         SameTime(a.Changed, b.Changed);
}

// The key of the file as it is now; nothing when there is no regular file
// (the reader then says it cannot open it).
std::optional<TOutputCache::TKey> KeyOf(int kind, int extra, const std::string& fileName) {
  const std::optional<std::string> resolved = paths::resolveExisting(fileName);
  if (!resolved) return std::nullopt;
  struct stat st;
  if (::stat(resolved->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  TOutputCache::TKey key;
  key.Kind = kind;
  key.Extra = extra;
  key.Path = *resolved;
  key.Device = st.st_dev;
  key.Inode = st.st_ino;
  key.Size = st.st_size;
  key.Modified = st.st_mtim;
  key.Changed = st.st_ctim;
  return key;
}

template <class Table>
std::size_t BytesOf(const Table& table) {
  return table.MemoryBytes();
}

std::size_t BytesOf(const TINPUT& in) {
  return sizeof(TINPUT) +
         sizeof(double) * static_cast<std::size_t>(in.NumberOfWLSegments() +
                                                   in.NumberOfSedimentSegments()) +
         sizeof(int) * static_cast<std::size_t>(in.NumberOfSubsystems());
}

template <class Table>
std::string ErrorOf(const Table& table) {
  return table.ReadError();
}

std::string ErrorOf(const TINPUT&) { return {}; }

}  // namespace

TOutputCache::TOutputCache(std::size_t budgetBytes) : budget_(budgetBytes) {}

TOutputCache& TOutputCache::Viewer() {
  static TOutputCache cache;
  return cache;
}

template <class Table, class Read>
bool TOutputCache::Get(int kind, int extra, const std::string& fileName, TReadContext& context,
                       Table& out, Read read) {
  const std::optional<TKey> key = KeyOf(kind, extra, fileName);
  if (key) {
    for (TEntry& e : entries_) {
      if (!SameFile(e.Key, *key)) continue;
      e.LastUse = ++clock_;
      out = *std::static_pointer_cast<const Table>(e.Table);
      // The reader named the file as it is on disk: by the key's path.
      if (!e.ReadError.empty()) context.ReportStopped(e.Key.Path, e.ReadError);
      return true;
    }
  }
  auto table = std::make_shared<Table>();
  ++filesRead_;
  if (!read(*table)) return false;
  out = *table;
  if (key) {
    TEntry entry;
    entry.Key = *key;
    entry.ReadError = ErrorOf(*table);
    entry.Bytes = BytesOf(*table);
    entry.Table = std::move(table);
    Store(std::move(entry));
  }
  return true;
}

void TOutputCache::Store(TEntry entry) {
  // The file's tables of before are stale now.
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [&](const TEntry& e) {
                                  return e.Key.Kind == entry.Key.Kind &&
                                         e.Key.Extra == entry.Key.Extra &&
                                         e.Key.Path == entry.Key.Path;
                                }),
                 entries_.end());
  entry.LastUse = ++clock_;
  entries_.push_back(std::move(entry));
  // Over the budget: the least recently used go first; the newest stays.
  while (entries_.size() > 1 && MemoryBytes() > budget_) {
    auto oldest = std::min_element(entries_.begin(), entries_.end() - 1,
                                   [](const TEntry& a, const TEntry& b) { return a.LastUse < b.LastUse; });
    entries_.erase(oldest);
  }
}

void TOutputCache::Clear() {
  entries_.clear();
  filesRead_ = 0;
}

std::size_t TOutputCache::MemoryBytes() const {
  std::size_t bytes = 0;
  for (const TEntry& e : entries_) bytes += e.Bytes;
  return bytes;
}

bool TOutputCache::INPUT(const std::string& fileName, TReadContext& context, TINPUT& input) {
  return Get(kInput, 0, fileName, context, input,
             [&](TINPUT& t) { return t.ReadFile(fileName, context); });
}

bool TOutputCache::WLSOCO(const std::string& fileName, TReadContext& context, TWLSOCOList& list) {
  return Get(kWlsoco, 0, fileName, context, list,
             [&](TWLSOCOList& t) { return t.ReadFile(fileName, context); });
}

bool TOutputCache::WBSCO(const std::string& fileName, TReadContext& context, TWBSCOList& list) {
  return Get(kWbsco, 0, fileName, context, list,
             [&](TWBSCOList& t) { return t.ReadFile(fileName, context); });
}

bool TOutputCache::EC(const std::string& fileName, int skipLines, TReadContext& context,
                      TECList& list) {
  // The caller's distance is the caller's: it is kept, not cached.
  const double distance = list.Distance();
  const bool read = Get(kEc, skipLines, fileName, context, list,
                        [&](TECList& t) { return t.ReadFile(fileName, skipLines, context); });
  list.SetDistance(distance);
  return read;
}

bool TOutputCache::WLMB(const std::string& fileName, TReadContext& context, TWLMBList& list) {
  return Get(kWlmb, 0, fileName, context, list,
             [&](TWLMBList& t) { return t.ReadFile(fileName, context); });
}

bool TOutputCache::WBMBALL(const std::string& fileName, TReadContext& context,
                           TWBMBALLList& list) {
  return Get(kWbmball, 0, fileName, context, list,
             [&](TWBMBALLList& t) { return t.ReadFile(fileName, context); });
}

bool TOutputCache::DB(const std::string& fileName, TReadContext& context, TDBList& list) {
  return Get(kDb, 0, fileName, context, list,
             [&](TDBList& t) { return t.ReadFile(fileName, context); });
}

}  // namespace kirmel::fe
