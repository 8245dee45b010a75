#include "tests/integration/harness.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "app/settings.h"
#include "cli/console_lines.h"
#include "objects/event_table.h"
#include "platform/file_registry_store.h"
#include "runtime/message_catalogue.h"
#include "runtime/port_log.h"

namespace vandrel::e2e {

namespace {

constexpr int kWineServerLingerSeconds = 30;
// A simulator asked to end is given this long before it is killed.
constexpr int kStopLimitSeconds = 5;

// "21-29" (or "21"): the Wine COM numbers this suite may use.
std::vector<int> ParsePorts(const std::string& text) {
  const std::size_t dash = text.find('-');
  const int first = std::stoi(text.substr(0, dash));
  const int last = dash == std::string::npos ? first : std::stoi(text.substr(dash + 1));
  std::vector<int> ports;
  for (int port = first; port <= last; ++port) ports.push_back(port);
  return ports;
}

std::string WinePrefix() {
  return EnvOr("WINEPREFIX", EnvOr("HOME", "/root") + "/.wine");
}

// `wine reg` on the settings key; the output of the command.
std::string WineReg(const std::vector<std::string>& arguments) {
  TempFolder folder;
  std::vector<std::string> argv{EnvOr("VANDREL_E2E_WINE", "wine"), "reg"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  RunProgram(argv, {}, folder.path() / "out", folder.path() / "err");
  return ReadWhole(folder.path() / "out");
}

const std::string kWineSettingsKey = std::string("HKCU\\") + kSettingsKey;

// A line the Wine server or Wine's debug channels wrote into the program's stream: the server
// keeps the standard error of the process that started it and writes a dump of its objects there
// when it ends ("0x55d0c1e4a2b0:1: Event manual=0 signaled=1", "    0034: 0x55d0... Event ...",
// "  c000: ref=10 ..."); a debug channel writes "0024:err:module:...".
bool IsWineLine(std::string_view line) {
  const std::size_t indent = line.find_first_not_of(' ');
  if (indent == std::string_view::npos) return false;
  std::string_view rest = line.substr(indent);
  const bool objectAddress = indent == 0 && rest.starts_with("0x");
  if (objectAddress) rest.remove_prefix(2);
  const std::size_t digits = rest.find_first_not_of("0123456789abcdef");
  if (digits == 0 || digits == std::string_view::npos || rest[digits] != ':') return false;
  constexpr std::size_t kThreadIdDigits = 4;
  return objectAddress || indent >= 2 || digits == kThreadIdDigits;
}

}  // namespace

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

std::string ConsoleText(std::string text) {
  if (!Target::Get().wine()) return text;
  std::string lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string_view line(text.data() + start, end - start);
    start = end;
    if (IsWineLine(line)) continue;
    if (line.size() >= 2 && line.substr(line.size() - 2) == "\r\n") {
      lines.append(line.substr(0, line.size() - 2));
      lines += '\n';
    } else {
      lines.append(line);
    }
  }
  return lines;
}

std::filesystem::path Sample(const std::string& name) {
  return std::filesystem::path(SAMPLES_DIR) / name;
}

namespace {

// Starts `argv` (searched in PATH) with `env` added to this process's environment and its standard
// streams set by `actions`. Everything is prepared before the child exists: a forked copy of this
// many-threaded process could deadlock on a lock another thread held, in the allocator or the
// environment, before it reached exec.
pid_t Spawn(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
            const posix_spawn_file_actions_t& actions) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    if (!env.contains(std::string(text.substr(0, text.find('='))))) environment.emplace_back(text);
  }
  for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  std::vector<char*> variables;
  for (std::string& variable : environment) variables.push_back(variable.data());
  variables.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), variables.data()) != 0)
    return -1;
  return pid;
}

// Waits up to `limit` for `pid` to end: its exit status (-1 when it did not exit), nothing while
// it runs.
std::optional<int> AwaitEnd(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  // looked at once at least, so that a limit of 0 asks whether it has ended
  for (pid_t ended = waitpid(pid, &status, WNOHANG); ended != pid;
       ended = waitpid(pid, &status, WNOHANG)) {
    if (ended < 0) return -1;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Kill(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

int RunProgram(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               const std::filesystem::path& out, const std::filesystem::path& err, int limitSeconds,
               std::atomic<int>* started) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const pid_t pid = Spawn(argv, env, actions);
  posix_spawn_file_actions_destroy(&actions);
  if (pid < 0) return -1;
  if (started != nullptr) *started = pid;
  if (const std::optional<int> status = AwaitEnd(pid, std::chrono::seconds(limitSeconds)))
    return *status;
  Kill(pid);
  return -1;
}

SimulatedHandset::SimulatedHandset(const std::vector<std::string>& options,
                                   const std::filesystem::path& store, const std::string& link)
    : store_(store) {
  int output[2];
  if (pipe2(output, O_CLOEXEC) != 0) return;
  std::vector<std::string> argv{HANDSET_SIM_PATH};
  if (!store.empty()) argv.insert(argv.end(), {"--store", store.string()});
  if (!link.empty()) argv.insert(argv.end(), {"--link", link});
  argv.insert(argv.end(), options.begin(), options.end());
  const std::string log = (store.parent_path() / "handset-sim.log").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  if (!store.empty()) {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  }
  pid_ = Spawn(argv, {}, actions);
  posix_spawn_file_actions_destroy(&actions);
  close(output[1]);
  char c = 0;
  while (read(output[0], &c, 1) == 1 && c != '\n') path_ += c;
  close(output[0]);
}

int SimulatedHandset::AwaitExit(std::chrono::milliseconds limit) {
  if (pid_ <= 0) return -1;
  const std::optional<int> status = AwaitEnd(pid_, limit);
  if (status) pid_ = -1;
  return status.value_or(-1);
}

int SimulatedHandset::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  const int status = AwaitExit(std::chrono::seconds(kStopLimitSeconds));
  if (pid_ > 0) Kill(pid_);
  pid_ = -1;
  return status;
}

std::vector<StoredObject> SimulatedHandset::Stored() const {
  std::vector<StoredObject> objects;
  std::ifstream manifest(store_ / "manifest.tsv");
  for (std::string line; std::getline(manifest, line);) {
    std::stringstream fields(line);
    std::string format, title, size;
    std::getline(fields, format, '\t');
    std::getline(fields, title, '\t');
    std::getline(fields, size, '\t');
    StoredObject object{std::stoi(format), title, std::stoul(size), {}};
    char name[32];
    std::snprintf(name, sizeof name, "object-%04d.bin", static_cast<int>(objects.size() + 1));
    object.bytes = ReadWhole(store_ / name);
    objects.push_back(std::move(object));
  }
  return objects;
}

Target& Target::Get() {
  static Target target;
  return target;
}

Target::Target() {
  const std::string exe = EnvOr("VANDREL_E2E_CLI", "");
  wine_ = !exe.empty();
  if (!wine_) {
    cli_ = VANDREL_CLI_PATH;
    return;
  }
  cli_ = exe;
  wineLauncher_ = EnvOr("VANDREL_E2E_WINE", "wine");
  // a Wine server of the suite's own, started with no output of ours: one that a run started
  // would write into that run's standard error; it lingers a while after the last run
  RunProgram({"wineserver", "-p" + std::to_string(kWineServerLingerSeconds)}, {}, "/dev/null",
             "/dev/null");
  freePorts_ = ParsePorts(EnvOr("VANDREL_E2E_PORTS", "21-29"));
}

std::string Target::FilePath(const std::filesystem::path& path) const {
  if (!wine_) return path.string();
  std::string text = "Z:" + path.string();
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

int Target::AcquirePort() {
  if (!wine_) return 0;
  std::unique_lock lock(mutex_);
  // every session ends within one run's limit and gives its port back
  if (!portFreed_.wait_for(lock, std::chrono::seconds(kRunLimitSeconds),
                           [this] { return !freePorts_.empty(); }))
    throw std::runtime_error("no COM port came free within a run's time limit");
  const int port = freePorts_.back();
  freePorts_.pop_back();
  return port;
}

void Target::ReleasePort(int port) {
  if (port == 0) return;
  {
    std::lock_guard lock(mutex_);
    freePorts_.push_back(port);
  }
  portFreed_.notify_one();
}

std::vector<std::string> Target::Launch(const std::string& program) const {
  if (!wine_) return {program};
  return {wineLauncher_, program};
}

void StoredSettings::Set(const std::string& name, std::uint32_t value) {
  if (Target::Get().wine()) {
    WineReg({"add", kWineSettingsKey, "/v", name, "/t", "REG_DWORD", "/d", std::to_string(value),
             "/f"});
    return;
  }
  FileRegistryStore store(configFolder_ / "kesta");
  ScopedRegistryKey key(store, store.CreateKey(RegistryRoot::kCurrentUser, kSettingsKey));
  store.SetValue(*key, name, RegistryValue::Dword(value));
}

std::optional<std::uint32_t> StoredSettings::Get(const std::string& name) const {
  if (Target::Get().wine()) {
    const std::string text = WineReg({"query", kWineSettingsKey, "/v", name});
    std::smatch match;
    if (!std::regex_search(text, match, std::regex("REG_DWORD\\s+0x([0-9a-fA-F]+)")))
      return std::nullopt;
    return static_cast<std::uint32_t>(std::stoul(match[1].str(), nullptr, 16));
  }
  FileRegistryStore store(configFolder_ / "kesta");
  ScopedRegistryKey key(store, store.OpenKey(RegistryRoot::kCurrentUser, kSettingsKey));
  if (!key) return std::nullopt;
  const auto value = store.QueryValue(*key, name);
  return value ? value->AsDword() : std::nullopt;
}

Session::Session(const std::vector<std::string>& simOptions)
    : comPort_(Target::Get().AcquirePort()), settings_(home() / ".config") {
  std::filesystem::create_directories(folder_.path() / "store");
  std::filesystem::create_directories(home());
  // the client opens a link, so that another simulator can take the port's place
  link_ = comPort_ == 0 ? (folder_.path() / "port").string()
                        : WinePrefix() + "/dosdevices/com" + std::to_string(comPort_);
  handset_ = std::make_unique<SimulatedHandset>(simOptions, folder_.path() / "store", link_);
}

Session::~Session() {
  handset_.reset();
  Target::Get().ReleasePort(comPort_);
}

void Session::ReplaceHandset(const std::vector<std::string>& simOptions) {
  handset_.reset();
  handset_ = std::make_unique<SimulatedHandset>(simOptions, folder_.path() / "store", link_);
}

std::vector<std::string> Session::Arguments(const std::string& command,
                                            const std::vector<std::string>& arguments,
                                            bool withPort) {
  const Target& target = Target::Get();
  std::vector<std::string> argv{command};
  if (command == "send") argv.insert(argv.end(), {"--trace", target.FilePath(TracePath())});
  if (withPort && target.wine()) argv.insert(argv.end(), {"--port", std::to_string(comPort_)});
  if (withPort && !target.wine()) argv.insert(argv.end(), {"--device", link_});
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

int Session::Start(const std::vector<std::string>& argv, std::atomic<int>* started) {
  std::map<std::string, std::string> env;
  if (!Target::Get().wine()) {
    // the run's own settings and home, so that nothing of the user's is read or written
    env["XDG_CONFIG_HOME"] = (home() / ".config").string();
    env["HOME"] = home().string();
  }
  return RunProgram(argv, env, OutPath(), ErrPath(), kRunLimitSeconds, started);
}

CliRun Session::Run(const std::string& command, const std::vector<std::string>& arguments,
                    bool withPort) {
  std::vector<std::string> argv = Target::Get().CliCommand();
  for (std::string& argument : Arguments(command, arguments, withPort))
    argv.push_back(std::move(argument));
  return Collect(Start(argv));
}

CliRun Session::Collect(int status) {
  CliRun run;
  run.status = status;
  run.out = ConsoleText(ReadWhole(OutPath()));
  run.err = ConsoleText(ReadWhole(ErrPath()));
  run.trace = ReadWhole(TracePath());
  run.stored = handset_->Stored();
  // a plain search: sends run on several threads, and compiling a std::regex on each of them at
  // once races inside the standard library's locale cache
  constexpr std::string_view kPortTag = "port COM";
  if (const std::size_t at = run.trace.find(kPortTag); at != std::string::npos)
    std::from_chars(run.trace.data() + at + kPortTag.size(), run.trace.data() + run.trace.size(),
                    run.port);
  return run;
}

namespace {

// The English messages of the events a send ends with in these tests, as the user reads them;
// "%d" stands for the port.
struct ExpectedMessage {
  std::uint8_t code;
  std::string_view text;
};

constexpr ExpectedMessage kExpectedMessages[] = {
    {kEventConnectFailed,
     "Error 0x02 : Mobile phone connexion failure on port %d\n"
     "Check that the mobile is configured in 'Automatic' speed"},
    {kEventPhoneMemoryLow, "Error 0x04 : Not enough memory in cell phone"},
    {kEventPortReadFailed, "Error 0x12 : Failed reading in port %d"},
    {kEventPortWriteFailed, "Error 0x13 : Failed writing in port %d"},
    {kEventPortTimeout, "Error 0x14 : Timeout error in port %d"},
    {kEventUnexpectedResponse, "Error 0x15 : Unexpected cell phone's reponse"},
    {kEventFormatUnsupported, "Error 0x19 : This format isn't supported by cell phone"},
    {kEventObjectUnsupported, "Error 0x1A : This object isn't supported by cell phone"},
    {kEventNoSim, "Error 0x1D : The handset does not contain a SIM card."},
};

}  // namespace

std::string EventLine(std::uint8_t code, int port) {
  for (const ExpectedMessage& message : kExpectedMessages) {
    if (message.code != code) continue;
    std::string line(message.text);
    if (const std::size_t at = line.find("%d"); at != std::string::npos)
      line.replace(at, 2, std::to_string(port));
    return line + "\n";
  }
  ADD_FAILURE() << "no expected message for event " << int{code};
  return {};
}

std::string LogLine(int port, int textId) {
  std::string log;
  AppendPortLog(log, port, textId);
  return log + "\n";
}

std::string Labelled(const std::string& file, const std::string& message) {
  return ConsoleLines(message, file) + "\n";
}

std::string AdpcmRendition(const std::filesystem::path& wav, const std::filesystem::path& folder) {
  const std::filesystem::path output = folder / "rendition.wav";
  RunProgram({VANDREL_CLI_PATH, "convert", wav.string(), output.string()}, {}, folder / "conv.out",
             folder / "conv.err");
  return ReadWhole(output);
}

}  // namespace vandrel::e2e
