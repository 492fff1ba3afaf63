// Runs the built hostemu program as a user would, and collects what it
// printed and its exit status. For the end-to-end tests (hostemu_*_test).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#else
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <process.h>
#include <windows.h>
#endif

namespace hostemu_test {

struct ProgramRun {
  int status = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

inline std::string ReadFile(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::filesystem::path &file, const std::string &text) {
  std::ofstream(file, std::ios::binary) << text;
}

inline std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// A folder of its own for each test, removed at the end.
class ScratchFolder {
 public:
  ScratchFolder() {
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char &c : name) {
      if (c == '/')
        c = '_';
    }
    path_ = std::filesystem::path(testing::TempDir()) / ("hostemu-" + std::to_string(ProcessId()) + "-" + name);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path &path() const { return path_; }
  std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

  static int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
  }

 private:
  std::filesystem::path path_;
};

#ifdef _WIN32

// One argument as the C runtime's command-line parser reads it back: in
// quotes, a quote escaped, backslashes doubled where a quote follows them.
inline std::wstring QuotedArgument(const std::string &argument) {
  std::wstring wide = std::filesystem::path(argument).wstring();
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : wide) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

// Started directly, not through cmd.exe, whose quoting no argument can escape.
inline int RunProgram(const std::vector<std::string> &command, const std::filesystem::path &out,
                      const std::filesystem::path &err) {
  std::wstring line;
  for (const std::string &argument : command)
    line += (line.empty() ? L"" : L" ") + QuotedArgument(argument);
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE outFile = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
  HANDLE errFile = CreateFileW(err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outFile;
  startup.hStdError = errFile;
  PROCESS_INFORMATION process{};
  DWORD status = DWORD(-1);
  if (outFile != INVALID_HANDLE_VALUE && errFile != INVALID_HANDLE_VALUE &&
      CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (HANDLE file : {outFile, errFile}) {
    if (file != INVALID_HANDLE_VALUE)
      CloseHandle(file);
  }
  return static_cast<int>(status);
}

#else

inline std::string Quote(const std::string &argument) {
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

inline int RunProgram(const std::vector<std::string> &command, const std::filesystem::path &out,
                      const std::filesystem::path &err) {
  // Appended piece by piece: GCC 12 at -O3 reports a false overlap in "x" + string.
  std::string line;
  for (const std::string &argument : command) {
    if (!line.empty())
      line += ' ';
    line += Quote(argument);
  }
  line += " >";
  line += Quote(out.string());
  line += " 2>";
  line += Quote(err.string());
  const int raw = std::system(line.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
}

#endif

// Runs HOSTEMU_PROGRAM with arguments; scratch holds what it printed.
inline ProgramRun RunHostemu(const ScratchFolder &scratch, const std::vector<std::string> &arguments) {
  static int runs = 0;
  std::string tag = std::to_string(++runs);
  std::filesystem::path out = scratch / ("stdout-" + tag);
  std::filesystem::path err = scratch / ("stderr-" + tag);
  std::vector<std::string> command{HOSTEMU_PROGRAM};
  command.insert(command.end(), arguments.begin(), arguments.end());
  ProgramRun run;
  run.status = RunProgram(command, out, err);
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  return run;
}

// The two flavours of the module, as built for Linux.
struct Flavour {
  const char *name;
  const char *module;
};
inline const Flavour kFlavours[] = {{"kwantel", KWANTEL_WINDOWS_MODULE}, {"KwantelR2025", KWANTEL_MACOS_MODULE}};

inline std::string FlavourName(const testing::TestParamInfo<Flavour> &info) {
  return info.param.name;
}

}  // namespace hostemu_test
