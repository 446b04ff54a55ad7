// The --output writer on real files: whole result or the old file, never a
// lie, never a file it was not asked to write.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/atomic_output.h"
#include "tool_run.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#else
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// The signal tests need SIGTERM, SIGINT and SIGHUP at their defaults, as a
// shell in the foreground leaves them, from before the first output has
// installed the tool's handlers: a run started in a script's background
// inherits SIGINT ignored, which the tool rightly keeps.
[[maybe_unused]] const bool EndingSignalsAtDefault = [] {
  for (const int ending : {SIGTERM, SIGINT, SIGHUP}) signal(ending, SIG_DFL);
  return true;
}();
#endif

class OutputFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("velumor-out-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Names are UTF-8, as the tool takes them, also on Windows.
  fs::path At(const std::string& name) const { return dir_ / fs::path(std::u8string(name.begin(), name.end())); }
  std::string PathOf(const std::string& name) const {
    const std::u8string path = At(name).u8string();
    return std::string(path.begin(), path.end());
  }
  static std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }
  static void Put(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::string Block(const std::string& text) { return Tool({"-s", "5", text}).out; }

  fs::path dir_;
};

TEST_F(OutputFiles, FailuresAreReportedWithThePathAndLeaveNothingBehind) {
  const ToolRun unreadable = Tool({"-i", PathOf("fehlt.txt")});
  EXPECT_EQ(unreadable.code, 1);
  EXPECT_NE(unreadable.err.find(PathOf("fehlt.txt")), std::string::npos);
  fs::create_directory(dir_ / "ordner");
  const ToolRun intoFolder = Tool({"-s", "1", "hi", "--output", PathOf("ordner")});
  EXPECT_EQ(intoFolder.code, 1);
  EXPECT_NE(intoFolder.err.find(PathOf("ordner")), std::string::npos) << intoFolder.err;
  EXPECT_TRUE(fs::is_empty(dir_ / "ordner"));

  // The final step fails: something else took the name in the meantime.
  auto opened = cli::AtomicOutput::Open(PathOf("ziel.html"));
  auto& output = std::get<cli::AtomicOutput>(opened);
  EXPECT_TRUE(output.Write("neu"));
  fs::create_directory(dir_ / "ziel.html");
  fs::create_directory(dir_ / "ziel.html" / "belegt");
  const auto problem = output.Commit();
  ASSERT_TRUE(problem.has_value());
  EXPECT_NE(problem->find(PathOf("ziel.html")), std::string::npos);
  EXPECT_EQ(Names(), (std::vector<std::string>{"ordner", "ziel.html"}));

  // Given up before the end: the old file stays, the neighbour goes.
  Put(dir_ / "alt.html", "alt");
  EXPECT_EQ(Tool({"-o", PathOf("alt.html")}, "").code, 1);
  {
    auto abandoned = cli::AtomicOutput::Open(PathOf("alt.html"));
    std::get<cli::AtomicOutput>(abandoned).Write("x");
  }
  EXPECT_EQ(Contents(dir_ / "alt.html"), "alt");
  EXPECT_EQ(Names(), (std::vector<std::string>{"alt.html", "ordner", "ziel.html"}));
}

TEST_F(OutputFiles, InputAndOutputFilesAndTheSameFileReplacedWithANote) {
  Put(dir_ / "eingabe.txt", "Zeile 1\r\nGrüße");
  const ToolRun run = Tool({"--input", PathOf("eingabe.txt"), "--output", PathOf("ausgabe.html"), "--seed", "5"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(run.out.empty());
  EXPECT_EQ(Contents(dir_ / "ausgabe.html"), Block("Zeile 1\r\nGrüße"));
  EXPECT_EQ(Tool({"-d", "-i", PathOf("ausgabe.html")}).out, "Zeile 1\r\nGrüße\n");

  const ToolRun same = Tool({"-s", "5", "-i", PathOf("eingabe.txt"), "-o", PathOf("eingabe.txt")});
  EXPECT_EQ(same.code, 0);
  EXPECT_NE(same.err.find("Hinweis"), std::string::npos);
  EXPECT_EQ(Contents(dir_ / "eingabe.txt"), Block("Zeile 1\r\nGrüße"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"ausgabe.html", "eingabe.txt"}));
}

#ifndef _WIN32

TEST_F(OutputFiles, LinksAreFollowedAndFifosWrittenIntoNeverReplaced) {
  // A link planted where a neighbour file might go must not lead the writer to another file.
  Put(dir_ / "fremd.txt", "fremd");
  fs::create_symlink(dir_ / "fremd.txt", dir_ / "out.html.velumor-partial");
  // A link to the output: the file it names gets the result, the link stays.
  Put(dir_ / "echt.html", "alt");
  fs::create_symlink("echt.html", dir_ / "out.html");
  ASSERT_EQ(Tool({"-s", "5", "eins", "-o", PathOf("out.html")}).code, 0);
  EXPECT_EQ(Contents(dir_ / "fremd.txt"), "fremd");
  EXPECT_TRUE(fs::is_symlink(dir_ / "out.html"));
  EXPECT_EQ(Contents(dir_ / "echt.html"), Block("eins"));
  // A link to a file that does not exist yet makes that file.
  fs::create_symlink("neu.html", dir_ / "zeiger.html");
  ASSERT_EQ(Tool({"-s", "5", "zwei", "-o", PathOf("zeiger.html")}).code, 0);
  EXPECT_EQ(Contents(dir_ / "neu.html"), Block("zwei"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"echt.html", "fremd.txt", "neu.html", "out.html",
                                               "out.html.velumor-partial", "zeiger.html"}));

  ASSERT_EQ(mkfifo(PathOf("fifo").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = Contents(dir_ / "fifo"); });
  const ToolRun intoFifo = Tool({"-s", "5", "drei", "-o", PathOf("fifo")});
  // Should the tool not have opened the FIFO, the reader still waits: release it.
  if (const int writer = open(PathOf("fifo").c_str(), O_WRONLY | O_NONBLOCK); writer >= 0) close(writer);
  reader.join();
  EXPECT_EQ(intoFifo.code, 0) << intoFifo.err;
  EXPECT_EQ(received, Block("drei"));
  EXPECT_TRUE(fs::is_fifo(dir_ / "fifo"));

  // /dev/fd/N, like /dev/stdout, is the descriptor the caller handed over.
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const ToolRun intoDescriptor = Tool({"-s", "5", "vier", "-o", "/dev/fd/" + std::to_string(pipeEnds[1])});
  close(pipeEnds[1]);
  EXPECT_EQ(intoDescriptor.code, 0) << intoDescriptor.err;
  char buffer[4096];
  const auto count = read(pipeEnds[0], buffer, sizeof buffer);
  close(pipeEnds[0]);
  EXPECT_EQ(std::string(buffer, count > 0 ? count : 0), Block("vier"));
}

TEST_F(OutputFiles, AFifoAsInputIsReadToTheEndOfWhatItsWriterSends) {
  ASSERT_EQ(mkfifo(PathOf("rohr").c_str(), 0600), 0);
  std::thread writer([&] {
    // A reader that closes early must fail the write, not end the tests.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    std::ofstream(dir_ / "rohr", std::ios::binary) << "Grüße";
  });
  const ToolRun run = Tool({"-s", "5", "--input", PathOf("rohr")});
  // Should the tool not have opened the FIFO, the writer still waits: release it.
  if (const int reader = open(PathOf("rohr").c_str(), O_RDONLY | O_NONBLOCK); reader >= 0) close(reader);
  writer.join();
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, Block("Grüße"));
}

// The built velumor-encode as a process of its own, for what only a whole
// process shows: how it ends, and what it leaves on disk.
struct ToolProcess {
  pid_t pid = -1;

  explicit ToolProcess(std::vector<std::string> args) {
    args.insert(args.begin(), (fs::read_symlink("/proc/self/exe").parent_path() / "velumor-encode").string());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    for (const int output : {1, 2}) posix_spawn_file_actions_addopen(&quiet, output, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&quiet);
  }
  ~ToolProcess() {
    if (pid > 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
  }

  // Waits, for at most ten seconds, until the running process has a file
  // open in `folder` other than those `there` before, the output it writes;
  // false when it never has.
  bool WaitForOutputIn(const fs::path& folder, const std::vector<std::string>& there) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (siginfo_t info{}; std::chrono::steady_clock::now() < deadline; usleep(200)) {
      if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0) return false;
      std::error_code error;
      for (const auto& open : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const fs::path file = fs::read_symlink(open.path(), error);
        if (file.parent_path() == folder && std::ranges::count(there, file.filename().string()) == 0) return true;
      }
    }
    return false;
  }

  // How it ended, as waitpid says; it is killed after ten seconds.
  int Ended() {
    int status = 0;
    for (int waited = 0; waited < 10000 && waitpid(pid, &status, WNOHANG) == 0; ++waited) usleep(1000);
    if (waitpid(pid, &status, WNOHANG) == 0) kill(pid, SIGKILL), waitpid(pid, &status, 0);
    pid = -1;
    return status;
  }
};

// Ended mid-write, by a signal it can handle or by one it cannot: no file
// half written, no hidden one left, and the exit status of the signal.
TEST_F(OutputFiles, EndedBySignalWhileWritingLeavesNoFileBehind) {
  Put(dir_ / "gross.txt", std::string(24 << 20, 'a'));
  std::string addresses;
  for (int i = 0; i < 60000; ++i) addresses += "<p>a@b.de</p>\n";
  Put(dir_ / "seite.html", addresses);
  Put(dir_ / "ziel.html", "alt");
  fs::permissions(dir_ / "ziel.html", fs::perms(0640));

  const struct {
    std::vector<std::string> args;
    int signal;
  } runs[] = {
      {{"-s", "1", "-i", PathOf("gross.txt"), "-o", PathOf("ziel.html")}, SIGTERM},
      {{"-s", "1", "-i", PathOf("gross.txt"), "-o", PathOf("ziel.html")}, SIGINT},
      {{"-s", "1", "-i", PathOf("gross.txt"), "-o", PathOf("neu.html")}, SIGKILL},
      {{"-s", "1", "--rewrite", PathOf("seite.html")}, SIGTERM},
      {{"-s", "1", "--rewrite", PathOf("seite.html")}, SIGINT},
  };
  for (const auto& [args, signal] : runs) {
    ToolProcess tool(args);
    ASSERT_GT(tool.pid, 0) << "velumor-encode neben den Tests fehlt";
    ASSERT_TRUE(tool.WaitForOutputIn(dir_, Names())) << args.back() << ": nie beim Schreiben angetroffen";
    kill(tool.pid, signal);
    const int status = tool.Ended();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << args.back() << ": " << status;
    EXPECT_EQ(Names(), (std::vector<std::string>{"gross.txt", "seite.html", "ziel.html"})) << args.back();
    EXPECT_EQ(Contents(dir_ / "ziel.html"), "alt");
    EXPECT_EQ(fs::status(dir_ / "ziel.html").permissions(), fs::perms(0640));
    EXPECT_TRUE(Contents(dir_ / "seite.html") == addresses) << args.back();  // no diff of 60,000 lines
  }
}

// Where the file system makes no unnamed files, the named neighbour goes when
// the signal comes.
TEST_F(OutputFiles, NamedNeighbourIsRemovedBeforeASignalEndsTheProcess) {
  Put(dir_ / "ziel.html", "alt");
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    EXPECT_EXIT(
        {
          auto opened = cli::AtomicOutput::Open(PathOf("ziel.html"), cli::AtomicOutput::Neighbour::Named);
          std::get<cli::AtomicOutput>(opened).Write("neu");
          if (Names().size() != 2) std::exit(3);  // no neighbour that the signal could leave
          raise(signal);
          std::exit(4);
        },
        ::testing::KilledBySignal(signal), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"ziel.html"});
    EXPECT_EQ(Contents(dir_ / "ziel.html"), "alt");
  }
}

TEST_F(OutputFiles, ReplacementKeepsTheMode) {
  for (const auto mode : {fs::perms(0600), fs::perms(0640), fs::perms(0755)}) {
    Put(dir_ / "geheim.html", "alt");
    fs::permissions(dir_ / "geheim.html", mode);
    ASSERT_EQ(Tool({"-s", "5", "x", "-o", PathOf("geheim.html")}).code, 0);
    EXPECT_EQ(fs::status(dir_ / "geheim.html").permissions(), mode);
    EXPECT_EQ(Contents(dir_ / "geheim.html"), Block("x"));
  }
}

#else

TEST_F(OutputFiles, ReplacementKeepsTheAttributes) {
  const std::string name = "versteckt \xC3\xA4\xE2\x82\xAC.html";  // ä and €: beyond the ANSI code page
  const std::wstring path = At(name).wstring();
  Put(At(name), "alt");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_EQ(Tool({"-s", "5", "x", "-o", PathOf(name)}).code, 0);
  EXPECT_EQ(Contents(At(name)), Block("x"));
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);

  // Read-only stays read-only: refused, like any editor would.
  Put(dir_ / "fest.html", "alt");
  SetFileAttributesW((dir_ / "fest.html").wstring().c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Tool({"-s", "5", "x", "-o", PathOf("fest.html")}).code, 1);
  EXPECT_EQ(Contents(dir_ / "fest.html"), "alt");
  SetFileAttributesW((dir_ / "fest.html").wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
}

#endif

}  // namespace
