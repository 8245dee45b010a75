#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tests/scratch_folder.h"

namespace vandrel::e2e {

using TempFolder = ScratchFolder;
using vandrel::ReadWhole;

// One line of the simulator's manifest.
struct StoredObject {
  int formatCode = 0;
  std::string title;
  std::size_t size = 0;
  std::string bytes;  // the stored object itself
  bool operator==(const StoredObject&) const = default;
};

// handset-sim as a child process, serving the client's port until it is stopped or destroyed.
class SimulatedHandset {
 public:
  // `store` and `link`, when not empty, are passed as --store and --link; the simulator's log goes
  // beside the store.
  explicit SimulatedHandset(const std::vector<std::string>& options,
                            const std::filesystem::path& store = {}, const std::string& link = {});
  ~SimulatedHandset() { Stop(); }
  SimulatedHandset(const SimulatedHandset&) = delete;
  SimulatedHandset& operator=(const SimulatedHandset&) = delete;
  const std::string& path() const { return path_; }
  std::vector<StoredObject> Stored() const;
  // Waits for the process to end by itself: its exit status, or -1 when it has not within `limit`.
  int AwaitExit(std::chrono::milliseconds limit);
  // Asks the process to end, kills it when it does not within a few seconds: its exit status.
  int Stop();

 private:
  int pid_ = -1;
  std::string path_;
  std::filesystem::path store_;
};

// What one run of vandrel-cli left behind.
struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
  std::string trace;
  std::vector<StoredObject> stored;
  int port = 0;  // the port number the trace shows
};

// Where vandrel-cli runs: natively on a pseudo-terminal given by --device, or under Wine on a
// COM port linked to it. Chosen by the environment (see CMakeLists.txt).
class Target {
 public:
  static Target& Get();
  bool wine() const { return wine_; }
  // A path as the program under test spells it.
  std::string FilePath(const std::filesystem::path& path) const;
  // Takes a free COM number (Wine) and returns it, 0 natively; waits while all are taken.
  int AcquirePort();
  void ReleasePort(int port);
  // The command that starts `program`: under Wine, `program` is a Windows executable.
  std::vector<std::string> Launch(const std::string& program) const;
  std::vector<std::string> CliCommand() const { return Launch(cli_); }

 private:
  Target();
  bool wine_ = false;
  std::string wineLauncher_;
  std::string cli_;
  std::vector<int> freePorts_;
  std::mutex mutex_;
  std::condition_variable portFreed_;
};

// The window's settings as the program under test stores them: a registry file under the run's
// own configuration folder natively, the Wine prefix's registry under Wine.
class StoredSettings {
 public:
  explicit StoredSettings(std::filesystem::path configFolder)
      : configFolder_(std::move(configFolder)) {}
  void Set(const std::string& name, std::uint32_t value);
  std::optional<std::uint32_t> Get(const std::string& name) const;

 private:
  std::filesystem::path configFolder_;
};

// One run against a fresh simulator: a home of its own, a port, the simulator.
class Session {
 public:
  explicit Session(const std::vector<std::string>& simOptions);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Runs `vandrel-cli <command> <arguments...>` with the port option that reaches the simulator
  // (when `withPort`) and a trace; the stored objects are read afterwards.
  CliRun Run(const std::string& command, const std::vector<std::string>& arguments,
             bool withPort = true);
  // The arguments of such a run, after the program's name.
  std::vector<std::string> Arguments(const std::string& command,
                                     const std::vector<std::string>& arguments, bool withPort);
  // Runs `argv` in the session's own settings and home; its output goes to Collect. `started`,
  // when given, is set to the process's id once it runs.
  int Start(const std::vector<std::string>& argv, std::atomic<int>* started = nullptr);
  // What the run left behind, its exit status given.
  CliRun Collect(int status);
  // Another simulator on the same port, as when a different handset is plugged in.
  void ReplaceHandset(const std::vector<std::string>& simOptions);
  StoredSettings& settings() { return settings_; }
  const SimulatedHandset& handset() const { return *handset_; }
  SimulatedHandset& handset() { return *handset_; }
  const std::filesystem::path& folder() const { return folder_.path(); }
  // The runs' home, their settings under it.
  std::filesystem::path home() const { return folder_.path() / "home"; }

 private:
  std::filesystem::path OutPath() const { return folder_.path() / "out"; }
  std::filesystem::path ErrPath() const { return folder_.path() / "err"; }
  std::filesystem::path TracePath() const { return folder_.path() / "trace.txt"; }

  TempFolder folder_;
  int comPort_ = 0;
  std::string link_;
  StoredSettings settings_;
  std::unique_ptr<SimulatedHandset> handset_;
};

inline constexpr int kRunLimitSeconds = 240;

// The environment variable `name`, or `fallback` when it is unset or empty.
std::string EnvOr(const char* name, const std::string& fallback);

// Runs `argv` with `environment` added, stdout and stderr into the files given; the exit status.
// A program still running after `limitSeconds` has hung: it is killed (status -1). `started`, when
// given, is set to the process's id once it runs.
int RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               const std::filesystem::path& out, const std::filesystem::path& err,
               int limitSeconds = kRunLimitSeconds, std::atomic<int>* started = nullptr);

// A Windows console stream ends its lines with CR LF and Wine may add lines of its own; the texts
// compared end their lines with LF and hold only the program's output.
std::string ConsoleText(std::string text);

// The bytes the simulator must have stored for a sound sent as its ADPCM rendition: what
// `vandrel-cli convert` writes.
std::string AdpcmRendition(const std::filesystem::path& wav, const std::filesystem::path& folder);

std::filesystem::path Sample(const std::string& name);

// An event's English message for `port`, as the user reads it (one line).
std::string EventLine(std::uint8_t code, int port);
// A diagnostic line of the port search for `port`, catalogue text `textId`.
std::string LogLine(int port, int textId);
// A message as `send` prints it for `file` (the path as given on its command line): every line
// labelled with the file, LF line ends.
std::string Labelled(const std::string& file, const std::string& message);

// Waits for the sends the suite starts side by side before its first test; under Wine the
// settings are shared, so the tests that change them run only after.
void AwaitAllSends();

}  // namespace vandrel::e2e
