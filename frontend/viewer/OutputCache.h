// The results viewer's cache of the output files it has read: each file is
// read once while it stays as it is, and every window and comparison that
// asks for it again gets the tables read before.
//
// A file is the same as before when its path, device and inode, size,
// modification and status-change times are; a run written anew (the run
// script deletes the old files), a kernel still writing, or a file edited
// gives another key and is read again.  The tables hold numbers only (the
// readers keep no text); the concentration lists are shared handles, the
// small tables are copied out.  Least recently used tables are dropped
// when the tables together outgrow a budget.
//
// A table read from a damaged file keeps the reader's message, and every
// read that gets it reports the message through its own context, so each
// window names the damaged file once (as the reader named it: as it is on
// disk).  A file that cannot be opened, an
// input echo that is refused, and a read that is cancelled are not kept.
//
//   fe::TReadContext context(fe::ProgramParser());
//   fe::TWLSOCOList wl;
//   if (!fe::TOutputCache::Viewer().WLSOCO(dir + "/WLSOCO.OUT", context, wl)) ...
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "frontend/viewer/DB.h"
#include "frontend/viewer/EC.h"
#include "frontend/viewer/INPUT.h"
#include "frontend/viewer/ReaderSupport.h"
#include "frontend/viewer/WBMBALL.h"
#include "frontend/viewer/WBSCO.h"
#include "frontend/viewer/WLMB.h"
#include "frontend/viewer/WLSOCO.h"

namespace kirmel::fe {

class TOutputCache {
 public:
  static constexpr std::size_t kDefaultBudget = 256u * 1024 * 1024;

  explicit TOutputCache(std::size_t budgetBytes = kDefaultBudget);
  TOutputCache(const TOutputCache&) = delete;
  TOutputCache& operator=(const TOutputCache&) = delete;

  // The cache that the viewer's windows and comparisons share.
  static TOutputCache& Viewer();

  // Each puts the table of `fileName` into the last argument, read unless
  // the cache holds it for the file as it is now, and returns what the
  // reader's ReadFile returns (false: the file cannot be opened, or the
  // input echo is refused; the argument is then unchanged).  A read that is
  // cancelled leaves with TReadCancelled.
  bool INPUT(const std::string& fileName, TReadContext& context, TINPUT& input);
  bool WLSOCO(const std::string& fileName, TReadContext& context, TWLSOCOList& list);
  bool WBSCO(const std::string& fileName, TReadContext& context, TWBSCOList& list);
  bool EC(const std::string& fileName, int skipLines, TReadContext& context, TECList& list);
  bool WLMB(const std::string& fileName, TReadContext& context, TWLMBList& list);
  bool WBMBALL(const std::string& fileName, TReadContext& context, TWBMBALLList& list);
  bool DB(const std::string& fileName, TReadContext& context, TDBList& list);

  // Forgets every table and the count of files read.
  void Clear();
  // Files read since the cache was made or last cleared (the reads the
  // cache did not save).
  std::uint64_t FilesRead() const { return filesRead_; }
  // Tables held, and the bytes they hold.
  std::size_t Count() const { return entries_.size(); }
  std::size_t MemoryBytes() const;

  // What identifies a file as it is now; exposed for the entries' type.
  struct TKey {
    int Kind = 0;
    int Extra = 0;
    std::string Path;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Modified{};
    timespec Changed{};
  };

 private:
  struct TEntry {
    TKey Key;
    std::string ReadError;
    std::shared_ptr<const void> Table;
    std::size_t Bytes = 0;
    std::uint64_t LastUse = 0;
  };

  template <class Table, class Read>
  bool Get(int kind, int extra, const std::string& fileName, TReadContext& context, Table& out,
           Read read);
  void Store(TEntry entry);

  std::size_t budget_;
  std::vector<TEntry> entries_;
  std::uint64_t clock_ = 0;
  std::uint64_t filesRead_ = 0;
};

}  // namespace kirmel::fe
