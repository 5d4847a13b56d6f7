// The file-unit table shared by the data-file library and the kernel:
// Fortran-style unit numbers 10..99 connected to open files.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kirmel {

enum class Access { Sequential, Direct };
enum class Form { Formatted, Unformatted, Binary };

struct Unit {
  int number = 0;
  std::string name;     // the name the file was opened under (as given)
  std::string path;     // the path actually opened (after case-insensitive lookup)
  std::FILE* fp = nullptr;
  Form form = Form::Formatted;
  Access access = Access::Sequential;
  int reclen = 0;       // direct access: record length in bytes
  bool writing = false;
  bool failed = false;  // a write, flush or close of this file failed
};

// Opens an existing file for reading without waiting: a named pipe that no
// writer has opened yet opens at once (reads through Env::readInput then
// wait for its data, and a signal ends that wait).  nullptr with errno set
// when the file cannot be opened.
std::FILE* openForReading(const std::string& path);

class UnitTable {
 public:
  static constexpr int kFirst = 10;
  static constexpr int kLast = 99;

  UnitTable() = default;
  UnitTable(const UnitTable&) = delete;
  UnitTable& operator=(const UnitTable&) = delete;
  ~UnitTable();

  // Connects `unit` to an already opened FILE*; the table owns it from now on.
  // Output files get a large buffer.
  void attach(int unit, std::string name, std::string path, std::FILE* fp, Form form,
              Access access, int reclen, bool writing);
  // Opens `path` for writing (truncating) as a formatted sequential file, with a
  // large buffer.  Returns false when the file cannot be created.
  bool openWrite(int unit, const std::string& path);
  bool isOpen(int unit) const;
  Unit* get(int unit);
  // Unit connected to a file of this name (exact or case-insensitive match of
  // the path opened), 0 when none.
  int findByName(const std::string& name) const;
  // Lowest free unit number >= from, 0 when none.
  int freeUnit(int from = kFirst) const;
  // Flushes and closes; false when the flush or close failed, or an earlier
  // write to the file did.
  bool close(int unit);
  void closeAll();
  // Flushes every file open for writing.
  void flushAll();

  // Writes one record (text plus a line end) to a formatted unit.  Once a
  // write to a file has failed, nothing more is written to it.
  void writeLine(int unit, std::string_view text);

  // Files written record by record (sequential files opened for writing)
  // whose writing failed: a write, a flush or the close.  Each file counts
  // once, open or closed since.  writeFailed: any so far in the table's
  // life; newWriteFailures: the names of those not handed out before.
  bool writeFailed() const { return !failures_.empty(); }
  bool hasNewWriteFailures() const { return handedOut_ < failures_.size(); }
  std::vector<std::string> newWriteFailures();

  // Direct-access units (Access::Direct): record n (1-based) is the `reclen`
  // bytes at offset (n-1)*reclen.  readRecord fills buf with reclen bytes and
  // is false for a unit that is not open for direct access, n < 1, or a record
  // that lies (partly) beyond the end of the file.  writeRecord writes reclen
  // bytes from buf, extending the file as needed (a gap reads back as zero
  // bytes); false on a bad unit, n < 1 or a write error.
  bool readRecord(int unit, long long n, void* buf);
  bool writeRecord(int unit, long long n, const void* buf);
  // Closes the unit and deletes its file (Fortran CLOSE with STATUS='DELETE').
  // False when the unit is not open or the file could not be removed.
  bool closeDelete(int unit);

 private:
  // Notes that writing the file of unit u failed (once per file).
  void fail(Unit& u);

  std::vector<std::unique_ptr<Unit>> units_ = std::vector<std::unique_ptr<Unit>>(kLast + 1);
  std::vector<std::string> failures_;
  std::size_t handedOut_ = 0;
};

}  // namespace kirmel
