#include "datafile/FileOpen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "common/TempDir.h"

using kirmel::Env;
using kirmel::test::TempDir;
using kirmel::test::readFile;
namespace fs = std::filesystem;

namespace {

// A console with scripted input and recorded output.
struct Console {
  std::istringstream in;
  std::ostringstream out;
  Env env;
  explicit Console(const std::string& input = "") : in(input), env(in, out) {}
  std::string text() const { return out.str(); }
};

// Runs fn; returns the stop status, or -1 when it returned normally.
int stopStatus(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const kirmel::Stop& s) {
    return s.status;
  }
  return -1;
}

std::string listing(const std::string& unit, const std::string& name, const std::string& status,
                    const std::string& type, const std::string& reclen, const std::string& priv) {
  std::ostringstream s;
  s << "\n Arguments of the CALL to FOPENG leading to this error:\n"
    << "   Unit             = " << unit << "\n"
    << "   File name        =    " << name << "\n"
    << "   File status      =    " << status << "\n"
    << "   File type        =    " << type << "\n"
    << "   Record length    = " << reclen << "\n"
    << "   Delete privilege =    " << priv << "\n"
    << "   IOSTAT           =      0 <-- system I/O status code\n"
    << " Fatal execution error, press <Enter>\n";
  return s.str();
}

// The first message line FOPENG printed (after its empty line).
std::string firstMessage(const std::string& text) {
  if (text.size() < 2 || text[0] != '\n') return "<no empty line first>" + text;
  return text.substr(1, text.find('\n', 1) - 1);
}

// Runs one FOPENG call expected to fail; returns its message line.
std::string openFails(const std::string& dirName, int unit, const std::string& name,
                      const std::string& status, const std::string& type, int reclen,
                      const std::string& priv) {
  Console c;
  int st = stopStatus([&] { kirmel::FOPENG(c.env, unit, name, status, type, reclen, priv); });
  EXPECT_EQ(st, 1) << dirName << " " << name;
  return firstMessage(c.text());
}

}  // namespace

TEST(FOPENG, ChecksInOrderWithTheirMessages) {
  TempDir dir;
  const std::string have = dir.write("have.dat", "x\n");
  const std::string none = dir.file("none.dat");
  const std::string d = dir.str();

  // The unit is checked before the status, type or the name's file.
  EXPECT_EQ(openFails(d, 9, none, "bad", "ZZ", 7, "ZZZ"),
            " ERROR in FOPENG: Unit number is < 10 or > 99 !");
  EXPECT_EQ(openFails(d, 100, "", "OLD", "FS", 0, ""),
            " ERROR in FOPENG: Unit number is < 10 or > 99 !");
  // Only a too long name comes before the unit, and its line has no leading blank.
  EXPECT_EQ(openFails(d, 9, std::string(kirmel::kFileNameField + 1, 'a'), "OLD", "FS", 0, ""),
            "ERROR in FOPENG: File name too long for internal buffer");

  EXPECT_EQ(openFails(d, 10, have, "NE", "FS", 0, "DEL"), " ERROR in FOPENG: illegal file status");
  EXPECT_EQ(openFails(d, 10, have, "NEWER", "FS", 0, "DEL"),
            " ERROR in FOPENG: illegal file status");
  EXPECT_EQ(openFails(d, 10, have, "SCR", "XX", 0, "DEL"), " ERROR in FOPENG: illegal file status");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "F", 0, ""),
            " ERROR in FOPENG: Illegal TYPE description");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "FSX", 0, ""),
            " ERROR in FOPENG: Illegal TYPE description");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "XS", 0, ""), " ERROR in FOPENG: No FORM specified");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "FX", 0, ""), " ERROR in FOPENG: No ACCESS specified");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "FS", 132, ""),
            " ERROR in FOPENG: Illegal record length for direct access file");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "UD", 0, ""),
            " ERROR in FOPENG: Illegal record length for direct access file");
  EXPECT_EQ(openFails(d, 10, have, "OLD", "ud", -4, ""),
            " ERROR in FOPENG: Illegal record length for direct access file");
  EXPECT_EQ(openFails(d, 10, have, "NEW", "FS", 0, ""), " ERROR in FOPENG: illegal privilege");
  EXPECT_EQ(openFails(d, 10, have, "NEW", "FS", 0, "DELETE"),
            " ERROR in FOPENG: illegal privilege");
  EXPECT_EQ(openFails(d, 10, "   ", "NEW", "FS", 0, "DEL"),
            " ERROR in FOPENG: zero length file name");
  EXPECT_EQ(openFails(d, 10, none, "RDO", "FS", 0, " "), " ERROR in FOPENG: File does not exist");
  EXPECT_EQ(openFails(d, 10, have, "NEW", "FS", 0, "NOD"),
            " ERROR in FOPENG: Existing file cannot be deleted");
  EXPECT_EQ(readFile(have), "x\n");  // NOD left it alone
  EXPECT_EQ(openFails(d, 10, dir.file("nodir/new.dat"), "NEW", "FS", 0, "DEL"),
            " ERROR in FOPENG: system error while trying to open file");
  // A directory is no file: it is neither read nor removed.
  fs::create_directory(dir.path() / "sub");
  EXPECT_EQ(openFails(d, 10, dir.file("sub"), "RDO", "FS", 0, ""),
            " ERROR in FOPENG: system error while trying to open file");
  EXPECT_EQ(openFails(d, 10, dir.file("SUB"), "NEW", "FS", 0, "DEL"),
            " ERROR in FOPENG: existing file cannot be deleted");
  EXPECT_TRUE(fs::is_directory(dir.path() / "sub"));
}

TEST(FOPENG, ListingOfTheFailedCall) {
  TempDir dir;
  Console c("\n");
  const std::string name = dir.file("missing.dat");
  EXPECT_EQ(stopStatus([&] { kirmel::FOPENR(c.env, 12, name + "   ", "RDO", " "); }), 1);
  EXPECT_EQ(c.text(), "\n ERROR in FOPENG: File does not exist\n" +
                          listing("   12", name, "RDO", "FS", "   0", " "));
}

TEST(FOPENG, UnitInUseAndFileAlreadyOpen) {
  TempDir dir;
  const std::string a = dir.write("a.dat", "a\n");
  const std::string b = dir.write("b.dat", "b\n");
  Console c;
  kirmel::FOPENR(c.env, 10, a, "RDO", "");
  ASSERT_TRUE(c.env.units().isOpen(10));

  Console c2;
  kirmel::FOPENR(c2.env, 10, a, "RDO", "");
  EXPECT_EQ(stopStatus([&] { kirmel::FOPENR(c2.env, 10, b, "OLD", ""); }), 1);
  EXPECT_EQ(c2.text().substr(0, c2.text().find("\n Arguments")),
            "\n ERROR in FOPENG: Unit number is already in use for file\n " + a + "\n");

  // The same file under another unit, also when named in other case.
  Console c3;
  kirmel::FOPENR(c3.env, 10, a, "RDO", "");
  EXPECT_EQ(stopStatus([&] { kirmel::FOPENR(c3.env, 11, dir.file("A.DAT"), "OLD", ""); }), 1);
  EXPECT_EQ(firstMessage(c3.text()), " ERROR in FOPENG: File is already open");
  EXPECT_FALSE(c3.env.units().isOpen(10));  // the stop closed every unit
}

TEST(FOPENG, StatusAndNameHandling) {
  TempDir dir;
  dir.write("WLNU.INP", "upper\n");
  Console c;
  // Lower-case status accepted; the upper-case name reaches the upper-case file.
  kirmel::FOPENR(c.env, 10, dir.file("WLNU.INP"), "rdo", "");
  ASSERT_TRUE(c.env.units().isOpen(10));
  EXPECT_EQ(c.env.units().get(10)->path, dir.file("WLNU.INP"));
  EXPECT_FALSE(c.env.units().get(10)->writing);
  // Another case finds the same file.
  c.env.units().close(10);
  kirmel::FOPENR(c.env, 11, dir.file("Wlnu.inp"), "Old", "");
  EXPECT_EQ(c.env.units().get(11)->path, dir.file("WLNU.INP"));
  EXPECT_EQ(c.env.units().get(11)->name, dir.file("Wlnu.inp"));
  EXPECT_EQ(c.text(), "");

  // "new" in lower case creates the file under the name as given.
  kirmel::FOPENR(c.env, 12, dir.file("RdIndx.Log"), "new", "del");
  c.env.units().writeLine(12, "log line");
  c.env.units().close(12);
  EXPECT_EQ(readFile(dir.file("RdIndx.Log")), "log line\n");
  EXPECT_FALSE(fs::exists(dir.file("rdindx.log")));
}

TEST(FOPENG, OldWithPrivilegeWarnsWaitsAndOpens) {
  TempDir dir;
  const std::string f = dir.write("old.dat", "content\n");
  Console c;  // no input: the wait returns at once
  kirmel::FOPENR(c.env, 20, f, "OLD", "DEL");
  EXPECT_TRUE(c.env.units().isOpen(20));
  EXPECT_EQ(c.text(), " WARNING from FOPENG: status OLD does not require a privilege\n");
  EXPECT_EQ(readFile(f), "content\n");
}

TEST(FOPENG, NewWithDeleteReplacesTheFile) {
  TempDir dir;
  const std::string f = dir.write("Err.log", "old content that is longer\n");
  Console c;
  kirmel::FOPENR(c.env, 30, dir.file("ERR.LOG"), "NEW", "DEL");
  c.env.units().writeLine(30, "new");
  c.env.units().closeAll();
  EXPECT_EQ(readFile(f), "new\n");  // the existing file, found by any case, is replaced
  EXPECT_EQ(c.text(), "");
}

TEST(FOPENG, DirectAccessCacheFile) {
  TempDir dir;
  const std::string f = dir.file("RD$00001.TMP");
  std::string rec1(132, 'a'), rec2(132, 'b');
  {
    Console c;
    kirmel::FOPENG(c.env, 40, f, "NEW", "UD", 132, "DEL");
    auto& u = c.env.units();
    ASSERT_EQ(u.get(40)->access, kirmel::Access::Direct);
    ASSERT_EQ(u.get(40)->reclen, 132);
    ASSERT_TRUE(u.writeRecord(40, 2, rec2.data()));
    ASSERT_TRUE(u.writeRecord(40, 1, rec1.data()));
    char back[132];
    ASSERT_TRUE(u.readRecord(40, 2, back));
    EXPECT_EQ(std::string(back, 132), rec2);
    u.close(40);
  }
  EXPECT_EQ(fs::file_size(f), 264u);
  Console c;
  kirmel::FOPENG(c.env, 40, f, "OLD", "UD", 132, " ");
  char back[132];
  ASSERT_TRUE(c.env.units().readRecord(40, 1, back));
  EXPECT_EQ(std::string(back, 132), rec1);
  EXPECT_FALSE(c.env.units().readRecord(40, 3, back));
  EXPECT_TRUE(c.env.units().closeDelete(40));
  EXPECT_FALSE(fs::exists(f));
  EXPECT_EQ(c.text(), "");
}

TEST(FOPENG, UnknownPrivilegeDialogue) {
  TempDir dir;
  const std::string f = dir.write("res.out", "keep\n");
  {
    // An unclear answer is asked again; N then an empty answer takes the
    // numbered default name.
    Console c("maybe\nn\n\n");
    kirmel::FOPENR(c.env, 10, f, "NEW", "UNK");
    EXPECT_EQ(c.env.units().get(10)->name, dir.file("res.001"));
    EXPECT_NE(c.text().find(" File " + f + " already exists\n"), std::string::npos);
    EXPECT_NE(c.text().find(std::string("[").append(dir.file("res.001")).append("]")),
              std::string::npos);
    EXPECT_EQ(readFile(f), "keep\n");
    c.env.units().closeAll();
    EXPECT_TRUE(fs::exists(dir.file("res.001")));
    // The counter runs over the whole run.
    c.in.clear();
    c.in.str("N\n\n");
    kirmel::FOPENR(c.env, 11, f, "NEW", "UNK");
    EXPECT_EQ(c.env.units().get(11)->name, dir.file("res.002"));
  }
  {
    Console c("y\n");
    kirmel::FOPENR(c.env, 10, f, "NEW", "UNK");
    c.env.units().closeAll();
    EXPECT_EQ(readFile(f), "");
  }
  {
    // End of input during the dialogue stops with a failure status.
    Console c("N\n");
    EXPECT_EQ(stopStatus([&] { kirmel::FOPENR(c.env, 10, f, "NEW", "UNK"); }), 1);
    EXPECT_NE(c.text().find(" End_Of_File detected ; program STOP or <CTRL> Z  to STOP"),
              std::string::npos);
  }
}

TEST(ERRSTOP, TextsAndNonZeroStatusAtEndOfInput) {
  struct Case {
    const char* module;
    const char* msg;
    const char* want;
  };
  const Case cases[] = {
      {"", "", " Fatal execution error, press <Enter>\n"},
      {"  ", "   ", " Fatal execution error, press <Enter>\n"},
      {"RDINIT  ", "", " Fatal execution error in RDINIT, press <Enter>\n"},
      {"EXTENS", "no filename supplied  ", " ERROR in EXTENS: no filename supplied\n Press <Enter>\n"},
      {"", "only a message", " ERROR in : only a message\n Press <Enter>\n"},
  };
  for (const auto& k : cases) {
    Console c;  // standard input at end of file: the wait returns at once
    EXPECT_EQ(stopStatus([&] { kirmel::ERRSTOP(c.env, k.module, k.msg); }), 1);
    EXPECT_EQ(c.text(), k.want);
  }
  // The wait consumes exactly one line.
  Console c("answer\nnext\n");
  EXPECT_EQ(stopStatus([&] { kirmel::ERRSTOP(c.env, "M", "x"); }), 1);
  std::string rest;
  std::getline(c.in, rest);
  EXPECT_EQ(rest, "next");
}

TEST(WARNMSG, TextsAndReturn) {
  Console c("\n");
  kirmel::WARNMSG(c.env, "", "");
  kirmel::WARNMSG(c.env, "RDSCHA ", "");
  kirmel::WARNMSG(c.env, "FOPENG", "status OLD does not require a privilege ");
  EXPECT_EQ(c.text(),
            " WARNING from unspecified source\n WARNING from RDSCHA\n"
            " WARNING from FOPENG: status OLD does not require a privilege\n");
}

TEST(ASKSTR, DefaultRepeatAndEndOfInput) {
  Console c("\n  \nvalue\n");
  EXPECT_EQ(kirmel::ASKSTR(c.env, "Name", ""), "value");
  EXPECT_NE(c.text().find(" Enter a CHARACTER string !!\n"), std::string::npos);
  Console d("\n");
  EXPECT_EQ(kirmel::ASKSTR(d.env, "Name", "a.001"), "a.001");
  Console e;
  EXPECT_EQ(stopStatus([&] { kirmel::ASKSTR(e.env, "Name", "x"); }), 1);
  EXPECT_NE(e.text().find(" End_Of_File detected ; program STOP or <CTRL> Z  to STOP "
                          "(<Command>. on Mac)\n"),
            std::string::npos);
}

TEST(EXTENS, ReplacesRemovesAndChecks) {
  Console c;
  EXPECT_EQ(kirmel::EXTENS(c.env, "c:\\dir.x\\file", "TMP", 0), "c:\\dir.x\\file.TMP");
  EXPECT_EQ(kirmel::EXTENS(c.env, "a.b.c", ".d", 0), "a.b.d");
  EXPECT_EQ(kirmel::EXTENS(c.env, "a.b", " ", 0), "a");
  EXPECT_EQ(kirmel::EXTENS(c.env, "a.b  ", "", 0), "a");
  EXPECT_EQ(kirmel::EXTENS(c.env, "/runs/x.y/data", "TMP", 1), "/runs/x.y/data.TMP");
  EXPECT_EQ(kirmel::EXTENS(c.env, "dir]file.dat", "TMP", 1), "dir]file.TMP");
  EXPECT_EQ(kirmel::EXTENS(c.env, "data.tmp", "TMP", 0), "data.TMP");
  EXPECT_EQ(c.text(), "");

  struct Stops {
    std::string in, ext;
    int icheck;
    std::size_t outlen;
    const char* msg;
  };
  const Stops stops[] = {
      {"data.tmp", "TMP", 1, 132, "old and new extension equal"},
      {"   ", "TMP", 0, 132, "no filename supplied"},
      {std::string(kirmel::kFileNameField + 1, 'n') + ".x", "TMP", 0, 132, "input filename too long"},
      {std::string(kirmel::kFileNameField - 2, 'n'), "TMP", 0, 132, "new filename too long"},
      {"abcdef.x", "TMP", 0, 8, "output string too short for new name"},
  };
  for (const auto& s : stops) {
    Console k;
    EXPECT_EQ(stopStatus([&] { kirmel::EXTENS(k.env, s.in, s.ext, s.icheck, s.outlen); }), 1);
    EXPECT_NE(k.text().find(std::string(" ERROR in EXTENS: ") + s.msg + "\n Press <Enter>\n"),
              std::string::npos)
        << k.text();
  }
}

TEST(FEXIST, AnyCaseAndWholeName) {
  TempDir dir;
  dir.write("Scenario.DAT", "");
  EXPECT_TRUE(kirmel::FEXIST(dir.file("Scenario.DAT")));
  EXPECT_TRUE(kirmel::FEXIST(dir.file("SCENARIO.dat") + "  "));
  EXPECT_FALSE(kirmel::FEXIST(dir.file("scenario.da")));
  EXPECT_FALSE(kirmel::FEXIST("   "));
}

TEST(IFINDC, SearchBothWaysAndBounds) {
  const std::string arr[] = {"WLNU", "OPOUT ", "WLNU", "SED", "wlnu"};
  Console c;
  EXPECT_EQ(kirmel::IFINDC(c.env, arr, 5, 1, 5, "WLNU"), 1);
  EXPECT_EQ(kirmel::IFINDC(c.env, arr, 5, 5, 1, "WLNU"), 3);  // downwards: first met
  EXPECT_EQ(kirmel::IFINDC(c.env, arr, 5, 2, 2, "OPOUT"), 2);
  EXPECT_EQ(kirmel::IFINDC(c.env, arr, 5, 4, 5, "OPOUT"), 0);
  EXPECT_EQ(kirmel::IFINDC(c.env, arr, 5, 1, 0, "WLNU"), 0);
  EXPECT_EQ(kirmel::IFINDC(c.env, arr, 5, 5, 5, "wlnu  "), 5);
  for (const auto& bounds : {std::pair{0, 3}, {1, 6}, {6, 1}, {2, -1}}) {
    const int ist = bounds.first, iend = bounds.second;
    Console k;
    EXPECT_EQ(stopStatus([&] { kirmel::IFINDC(k.env, arr, 5, ist, iend, "X"); }), 1);
    EXPECT_EQ(k.text(), " ERROR in IFINDC: search outside array bounds\n Press <Enter>\n");
  }
}

TEST(StringRoutines, CaseBlanksAndAppending) {
  std::string s = "Ab-z9 Ü";
  kirmel::STRUPP(s);
  EXPECT_EQ(s, "AB-Z9 Ü");
  kirmel::LOWFIL(s);
  EXPECT_EQ(s, "ab-z9 Ü");
  EXPECT_EQ(kirmel::IFNBLK("   x "), 4);
  EXPECT_EQ(kirmel::IFNBLK("    "), 0);
  EXPECT_EQ(kirmel::IFNBLK(""), 0);

  std::string t;
  EXPECT_TRUE(kirmel::STRFIT("abc   ", t, 3));
  EXPECT_EQ(t, "abc");
  EXPECT_FALSE(kirmel::STRFIT("abcd", t, 3));
  EXPECT_EQ(t, "abc");
  EXPECT_TRUE(kirmel::STRFIT("", t, 1));
  EXPECT_FALSE(kirmel::STRFIT("", t, 0));

  Console c;
  std::string r = "RD$";
  kirmel::ADDREF(c.env, r, 7, "I5.5");
  EXPECT_EQ(r, "RD$00007");
  kirmel::ADDSTR(c.env, r, "  .TMP  ");
  EXPECT_EQ(r, "RD$00007.TMP");
  std::string n;
  kirmel::ADDREF(c.env, n, -42, "I0");
  kirmel::ADDREF(c.env, n, 3, "i3");
  EXPECT_EQ(n, "-42  3");
  std::string o;
  kirmel::ADDREF(c.env, o, 1000, "I3");
  EXPECT_EQ(o, "***");
  EXPECT_EQ(c.text(), "");

  const std::function<void(Env&)> misuse[] = {
      [](Env& e) { std::string x; kirmel::ADDREF(e, x, 1, "F5.2"); },
      [](Env& e) { std::string x; kirmel::ADDREF(e, x, 1, "I30"); },
      [](Env& e) { std::string x = "abcd"; kirmel::ADDREF(e, x, 12, "I2", 5); },
  };
  for (const auto& fn : misuse) {
    Console k;
    EXPECT_EQ(stopStatus([&] { fn(k.env); }), 1);
    EXPECT_EQ(k.text(), " ERROR in ADDREF: internal error\n Press <Enter>\n");
  }
  for (const auto& fn : std::initializer_list<std::function<void(Env&)>>{
           [](Env& e) { std::string x; kirmel::ADDSTR(e, x, "   "); },
           [](Env& e) { std::string x = "ab"; kirmel::ADDSTR(e, x, "cd", 3); }}) {
    Console k;
    EXPECT_EQ(stopStatus([&] { fn(k.env); }), 1);
    EXPECT_EQ(k.text(), " ERROR in ADDSTR: internal error\n Press <Enter>\n");
  }
}
