// The cache file: RDTMP1 writes the values of a parse, RDTMPI appends the
// variable index or reads it back.
//
// Layout: direct-access records of 132 bytes, 128 bytes of data followed by a
// 4-byte link.  Record 1 is the header (last value record, 128, 4, number of
// names, number of sets).  Each column's value runs form a chain of records;
// a run starts at an offset that is a multiple of 8.  Integers are stored in
// the machine's (little-endian) byte order.
#include <cstring>

#include "datafile/FileOpen.h"
#include "datafile/RdParse.h"

namespace kirmel {

namespace {

constexpr int kData = 128;
constexpr int kRecLen = 132;
// Bound on the cache file (about 2 GB), so that positions fit 4-byte integers.
constexpr long long kMaxRecords = 16'000'000;

void put32(unsigned char* p, std::int32_t v) { std::memcpy(p, &v, 4); }
std::int32_t get32(const unsigned char* p) {
  std::int32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

void RdParse::tmpFault(const char* what) { ERRSTOP(env_, "RDTMP1", what); }

void RdParse::writeBuffer(const Buffer& b, long long link) {
  unsigned char rec[kRecLen];
  std::memcpy(rec, b.data.data(), kData);
  put32(rec + kData, static_cast<std::int32_t>(link));
  if (!env_.units().writeRecord(tmpUnit_, b.rec, rec)) tmpFault("cannot write the temporary file");
}

// Takes the next record for buffer b; the full buffer is written first, with
// a link to the new record when the column's chain goes on there.
void RdParse::newRecord(Buffer& b, bool link) {
  if (lastRec_ >= kMaxRecords) tmpFault("temporary file too large");
  const long long nr = ++lastRec_;
  writeBuffer(b, link ? (nr - 1) * kData : 0);
  b.data.fill(0);
  b.rec = nr;
  b.off = 0;
}

void RdParse::align8(Buffer& b) {
  b.off = (b.off + 7) / 8 * 8;
  if (b.off >= kData) newRecord(b, true);
}

void RdParse::putBytes(Buffer& b, const unsigned char* p, int n) {
  for (int i = 0; i < n; ++i) {
    if (b.off >= kData) newRecord(b, true);
    b.data[static_cast<std::size_t>(b.off++)] = p[i];
  }
}

long long RdParse::RDTMP1(int itask, long long arg) {
  const int prev = prevTask_;
  prevTask_ = itask;
  switch (itask) {
    case 1:
      tmpUnit_ = static_cast<int>(arg);
      FOPENG(env_, tmpUnit_, tmpName_, "NEW", "UD", kRecLen, "DEL");
      lastRec_ = 2;
      shared_ = Buffer{};
      shared_.rec = 2;
      colBuf_.clear();
      ncolTmp_ = 0;
      nextCol_ = 0;
      lastCol_ = -1;
      lastRunType_ = ' ';
      return 0;
    case 2:
      if (prev != 8 && prev != 1) tmpFault("Internal_1");
      colBuf_.clear();
      ncolTmp_ = 0;
      nextCol_ = 0;
      lastCol_ = -1;
      return 0;
    case 4: {
      if (nerr_ > 0) return 0;
      if (ncolTmp_ >= NCOLMX) tmpFault("Internal_2");
      Buffer b;
      if (ncolTmp_ == 0) {
        b = shared_;
        b.off = (b.off + 7) / 8 * 8;
        if (b.off >= kData) newRecord(b, false);
      } else {
        if (lastRec_ >= kMaxRecords) tmpFault("temporary file too large");
        b.rec = ++lastRec_;
        b.off = 0;
      }
      colBuf_.push_back(b);
      ++ncolTmp_;
      return (b.rec - 1) * kData + b.off;
    }
    case 6: {
      if (nerr_ > 0 || ncolTmp_ == 0) return 0;
      const int col = nextCol_;
      nextCol_ = (nextCol_ + 1) % ncolTmp_;
      lastCol_ = col;
      Buffer& b = colBuf_[static_cast<std::size_t>(col)];
      align8(b);
      unsigned char w[8] = {};
      const auto count = static_cast<std::int32_t>(arg);
      switch (tok_.type) {
        case 'I':
        case 'L':
          put32(w, count);
          put32(w + 4, tok_.type == 'I' ? tok_.ival : (tok_.lval ? 1 : 0));
          putBytes(b, w, 8);
          break;
        case 'F':
        case 'T': {
          put32(w, count);
          putBytes(b, w, 8);
          const double v = tok_.type == 'F' ? tok_.dval : tok_.tval;
          std::memcpy(w, &v, 8);
          putBytes(b, w, 8);
          break;
        }
        case 'C':
          put32(w, count);
          putBytes(b, w, 4);
          putBytes(b, &txt_[static_cast<std::size_t>(tok_.first + 1)], tok_.last - tok_.first - 1);
          w[0] = 0;
          putBytes(b, w, 1);
          break;
        case '-':
          put32(w, -count);
          putBytes(b, w, 8);
          break;
        default:
          tmpFault("illegal variable type");
      }
      lastRunType_ = tok_.type;
      return 0;
    }
    case 7: {
      if (nerr_ > 0) return 0;
      if (lastRunType_ != 'C' || tok_.type != 'C' || lastCol_ < 0) tmpFault("Internal_3");
      Buffer& b = colBuf_[static_cast<std::size_t>(lastCol_)];
      // The terminating 0 of the previous part is still in this buffer: a
      // new record is only taken when a further byte is written.
      --b.off;
      putBytes(b, &txt_[static_cast<std::size_t>(tok_.first + 1)], tok_.last - tok_.first - 1);
      const unsigned char z = 0;
      putBytes(b, &z, 1);
      return 0;
    }
    case 8:
      if (nerr_ > 0) return 0;
      for (const Buffer& b : colBuf_) {
        if (b.rec < lastRec_) {
          writeBuffer(b, 0);
        } else {
          shared_ = b;
        }
      }
      return 0;
    case 9:
      if (prev != 8) tmpFault("Internal_4");
      if (nerr_ == 0) {
        writeBuffer(shared_, 0);
        unsigned char rec[kRecLen] = {};
        put32(rec, static_cast<std::int32_t>(lastRec_));
        put32(rec + 4, kData);
        put32(rec + 8, 4);
        if (!env_.units().writeRecord(tmpUnit_, 1, rec)) tmpFault("cannot write the temporary file");
      } else {
        env_.units().closeDelete(tmpUnit_);
      }
      return 0;
    default:
      tmpFault("Internal_5");
  }
}

bool RdParse::RDTMPI(int itask, int iunit, VarIndex& index) {
  UnitTable& units = env_.units();
  unsigned char rec[kRecLen] = {};
  if (itask == 1) {
    tmpUnit_ = iunit;
    if (!units.readRecord(iunit, 1, rec)) ERRSTOP(env_, "RDTMPI", "cannot read the temporary file");
    const long long last = get32(rec);
    const int n = index.size();
    put32(rec + 12, n);
    put32(rec + 16, index.nsets);
    if (!units.writeRecord(iunit, 1, rec)) ERRSTOP(env_, "RDTMPI", "cannot write the temporary file");
    long long r = last + 1;
    // Type letters and names, four entries a record.
    for (int i = 0; i < n; i += 4) {
      std::memset(rec, 0, sizeof rec);
      for (int j = 0; j < 4 && i + j < n; ++j) {
        unsigned char* p = rec + 32 * j;
        p[0] = static_cast<unsigned char>(index.types[static_cast<std::size_t>(i + j)]);
        std::memset(p + 1, ' ', NAMLEN);
        const std::string& nm = index.names[static_cast<std::size_t>(i + j)];
        std::memcpy(p + 1, nm.data(), std::min<std::size_t>(nm.size(), NAMLEN));
      }
      if (!units.writeRecord(iunit, r++, rec)) ERRSTOP(env_, "RDTMPI", "cannot write the temporary file");
    }
    // (number of values, position) pairs, sixteen a record.
    for (int i = 0; i < n; i += 16) {
      std::memset(rec, 0, sizeof rec);
      for (int j = 0; j < 16 && i + j < n; ++j) {
        put32(rec + 8 * j, static_cast<std::int32_t>(index.counts[static_cast<std::size_t>(i + j)]));
        put32(rec + 8 * j + 4, static_cast<std::int32_t>(index.positions[static_cast<std::size_t>(i + j)]));
      }
      if (!units.writeRecord(iunit, r++, rec)) ERRSTOP(env_, "RDTMPI", "cannot write the temporary file");
    }
    return true;
  }
  if (itask != 2) ERRSTOP(env_, "RDTMPI", "illegal ITASK value");
  index.clear();
  if (!units.readRecord(iunit, 1, rec)) return false;
  const long long last = get32(rec);
  const int n = get32(rec + 12);
  if (get32(rec + 4) != kData || get32(rec + 8) != 4 || last < 2 || last > kMaxRecords || n < 0 ||
      n > ILNDAT)
    return false;
  index.nsets = get32(rec + 16);
  long long r = last + 1;
  for (int i = 0; i < n; i += 4) {
    if (!units.readRecord(iunit, r++, rec)) return false;
    for (int j = 0; j < 4 && i + j < n; ++j) {
      const unsigned char* p = rec + 32 * j;
      const char t = static_cast<char>(p[0]);
      if (std::strchr("CIFLT-", t) == nullptr || t == 0) return false;
      std::string nm(reinterpret_cast<const char*>(p + 1), NAMLEN);
      nm = rdtext::rtrim(nm);
      index.types.push_back(t);
      index.names.push_back(nm);
    }
  }
  for (int i = 0; i < n; i += 16) {
    if (!units.readRecord(iunit, r++, rec)) return false;
    for (int j = 0; j < 16 && i + j < n; ++j) {
      const long long cnt = get32(rec + 8 * j);
      const long long pos = get32(rec + 8 * j + 4);
      if (cnt < 0 || pos < kData || pos >= last * kData) return false;
      index.counts.push_back(cnt);
      index.positions.push_back(pos);
    }
  }
  return true;
}

}  // namespace kirmel
