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
#include <process.h>
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

inline std::string Quote(const std::string &argument) {
#ifdef _WIN32
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"')
      quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
#else
  std::string quoted = "'";
  for (char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
#endif
}

// Runs HOSTEMU_PROGRAM with arguments; scratch holds what it printed.
inline ProgramRun RunHostemu(const ScratchFolder &scratch, const std::vector<std::string> &arguments) {
  static int runs = 0;
  std::string tag = std::to_string(++runs);
  std::filesystem::path out = scratch / ("stdout-" + tag);
  std::filesystem::path err = scratch / ("stderr-" + tag);
  std::string command = Quote(HOSTEMU_PROGRAM);
  for (const std::string &argument : arguments)
    command += " " + Quote(argument);
  command += " >" + Quote(out.string()) + " 2>" + Quote(err.string());
#ifdef _WIN32
  command = "\"" + command + "\"";
#endif
  int raw = std::system(command.c_str());
  ProgramRun run;
#ifdef _WIN32
  run.status = raw;
#else
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
#endif
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
