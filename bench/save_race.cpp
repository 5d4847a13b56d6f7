// Programs that share a scenario folder, measured: pairs of saves started
// together, and loads while another program saves.
//
//   kirmel_save_race pairs ROOT [N]   N pairs of processes save one scenario at
//                                     the same moment (N with the folders
//                                     exchanged, N moved one after the other);
//                                     counts the pairs that lost the user's
//                                     notes file or sub-folder, and the saves
//                                     refused because the other held the lock
//   kirmel_save_race loads ROOT [N [PAUSE [SLOW [UID]]]]
//                                     N loads, PAUSE microseconds apart
//                                     (5000), while another process saves two
//                                     versions in turn, also PAUSE apart (each
//                                     waits for the other's lock, so programs
//                                     that never pause would keep the other
//                                     waiting); counts the loads whose
//                                     model is made of both versions, and the
//                                     saves seen between loads.  SLOW
//                                     microseconds are added before each file
//                                     a load opens (0).  With UID the loads
//                                     run as that user, who cannot write
//                                     SCENARIOS and so cannot make its lock
//                                     file (run it as root, which saves)
//
// ROOT is a scratch folder (its SCENARIOS and PESTICIDES are made and
// emptied).  Exit status 0 when nothing was lost or mixed.
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "frontend/editor/Editor.h"

namespace {

namespace fs = std::filesystem;
using kirmel::fe::TKirmelEditor;

std::unique_ptr<TKirmelEditor> Editor(const std::string& root, bool exchange) {
  TKirmelEditor::TEnvironment env;
  env.Root = root;
  env.DecimalSeparator = '.';
  if (!exchange)
    env.SaveFault = [](kirmel::files::TSaveStep step, const std::string&) {
      return step == kirmel::files::TSaveStep::Swap ? EINVAL : 0;
    };
  auto editor = std::make_unique<TKirmelEditor>(std::move(env));
  editor->Data().SetScenarioName("S");
  editor->Data().SetPesticideName("P");
  return editor;
}

// One version of the scenario: its total time (WLNU.INP, read first) and
// flow velocity (HY.INP, read seventh) go together.
void SetVersion(TKirmelEditor& editor, int version) {
  editor.Data().TotalTime().SetTime(30 + 10 * version, 0, 0, 0);
  editor.Data().Hydrology().SetFlowVelocity(20 + 10 * version);
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

int Pairs(const std::string& root, int n) {
  int lostNotes[2] = {0, 0}, lostSub[2] = {0, 0}, refused[2] = {0, 0}, failed[2] = {0, 0};
  for (int exchange = 1; exchange >= 0; --exchange) {
    for (int i = 0; i < n; ++i) {
      fs::remove_all(root + "/SCENARIOS");
      fs::create_directories(root + "/SCENARIOS");
      auto first = Editor(root, true);
      first->SaveScenario();
      const fs::path dir = first->Settings().ScenarioDir("S");
      std::ofstream(dir / "notes.txt") << "mine";
      fs::create_directories(dir / "sub");
      std::ofstream(dir / "sub" / "n.txt") << "mine";

      // Both wait on one pipe; closing it starts them at the same moment.
      int go[2];
      if (::pipe(go) != 0) return 2;
      pid_t children[2];
      for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        if (children[c] == 0) {
          ::close(go[1]);
          auto editor = Editor(root, exchange == 1);
          SetVersion(*editor, c + 1);
          char byte;
          while (::read(go[0], &byte, 1) < 0 && errno == EINTR) {
          }
          try {
            editor->SaveScenario();
          } catch (const kirmel::fe::EInOutError& e) {
            const std::string what = e.what();
            ::_exit(what.find("another program") != std::string::npos ? 3 : 4);
          }
          ::_exit(0);
        }
      }
      ::close(go[0]);
      ::close(go[1]);
      for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 5;
        if (code == 3) ++refused[exchange];
        if (code != 0 && code != 3) ++failed[exchange];
      }
      if (!Exists(dir / "notes.txt")) ++lostNotes[exchange];
      if (!Exists(dir / "sub" / "n.txt")) ++lostSub[exchange];
    }
  }
  for (int exchange = 1; exchange >= 0; --exchange)
    std::printf("%d pairs, %s: notes lost %d, sub-folder lost %d, saves refused %d, failed %d\n",
                n, exchange ? "folders exchanged" : "two moves", lostNotes[exchange],
                lostSub[exchange], refused[exchange], failed[exchange]);
  return lostNotes[0] + lostNotes[1] + lostSub[0] + lostSub[1] + failed[0] + failed[1] ? 1 : 0;
}

int Loads(const std::string& root, int n, int pauseMicroseconds, int slowMicroseconds, int uid) {
  fs::remove_all(root + "/SCENARIOS");
  fs::create_directories(root + "/SCENARIOS");
  {
    auto editor = Editor(root, true);
    SetVersion(*editor, 0);
    editor->SaveScenario();
  }
  const pid_t saver = ::fork();
  if (saver == 0) {
    auto editor = Editor(root, true);
    for (int version = 1;; version = 1 - version) {
      ::usleep(pauseMicroseconds);
      SetVersion(*editor, version);
      try {
        editor->SaveScenario();
      } catch (const kirmel::fe::EInOutError&) {
      }
    }
  }
  const pid_t loader = uid > 0 ? ::fork() : 0;
  if (loader > 0) {
    int status = 0;
    ::waitpid(loader, &status, 0);
    ::kill(saver, SIGKILL);
    ::waitpid(saver, nullptr, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
  }
  if (uid > 0 && (::setgroups(0, nullptr) != 0 || ::setresgid(uid, uid, uid) != 0 ||
                  ::setresuid(uid, uid, uid) != 0)) {
    std::perror("cannot become that user");
    ::_exit(2);
  }
  int mixed = 0, failed = 0, saves = 0;
  double last = -1;
  auto reader = Editor(root, true);
  reader->SetMessageSink([](const std::string& m) { std::fprintf(stderr, "%s\n", m.c_str()); });
  if (slowMicroseconds > 0)
    reader->SetSaveFault([slowMicroseconds](kirmel::files::TSaveStep step, const std::string&) {
      if (step == kirmel::files::TSaveStep::ReadFile) ::usleep(slowMicroseconds);
      return 0;
    });
  for (int i = 0; i < n; ++i) {
    // Users load and save now and then, not back to back: each program
    // gets its turn in between.
    ::usleep(pauseMicroseconds);
    bool ok = false;
    try {
      ok = reader->LoadScenario("S");
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
    }
    if (!ok) {
      ++failed;
      continue;
    }
    const double days = reader->Data().TotalTime().AsDays();
    const double flow = reader->Data().Hydrology().FlowVelocity();
    if (flow - 20 != days - 30) ++mixed;
    if (days != last) ++saves;
    last = days;
  }
  std::printf("%d loads during saves%s: mixed %d, failed %d, version changes seen %d\n", n,
              uid > 0 ? " by a user who cannot make the lock file" : "", mixed, failed, saves);
  if (uid > 0) {
    std::fflush(stdout);
    ::_exit(mixed + failed ? 1 : 0);
  }
  ::kill(saver, SIGKILL);
  ::waitpid(saver, nullptr, 0);
  return mixed + failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s pairs ROOT [N] | loads ROOT [N [PAUSE [SLOW [UID]]]]\n",
                 argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const std::string root = fs::absolute(argv[2]).string();
  fs::create_directories(root + "/PESTICIDES");
  if (mode == "pairs") return Pairs(root, argc > 3 ? std::atoi(argv[3]) : 60);
  if (mode == "loads")
    return Loads(root, argc > 3 ? std::atoi(argv[3]) : 1000, argc > 4 ? std::atoi(argv[4]) : 5000,
                 argc > 5 ? std::atoi(argv[5]) : 0, argc > 6 ? std::atoi(argv[6]) : 0);
  std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
  return 2;
}
