// One use of the emulated application: a host with the scene as its active
// document and the module loaded, what the user sees printed as it happens,
// and the result files written at the end.
#pragma once

#include "host.h"
#include "module_loader.h"
#include "scene.h"
#include "timings.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace hostemu::cli {

enum ExitStatus : int {
  kDone = 0,
  kModuleFailed = 1,  // the module was refused or failed to start
  kBadInput = 2,      // bad command line, bad input file, refused action
};

// Why a command stops: its exit status and one line for stderr.
struct Failure {
  int status = kBadInput;
  std::string message;
};

struct SessionOptions {
  std::filesystem::path module;
  std::filesystem::path scene;  // empty: an empty document
  std::filesystem::path prefs;  // empty: the store lives in memory only
  int32_t hostVersion = 2025200;
  bool journal = false;
  bool timings = false;  // print the time of each phase on stderr
};

struct OutputFiles {
  std::filesystem::path scene;
  std::filesystem::path console;
  std::filesystem::path journal;
};

// Whether a file can be written where option asks for it: checked before
// anything runs, so that a long run does not end with nothing to show.
std::optional<Failure> checkOutputFile(const std::filesystem::path &file, std::string_view option);

class Session {
 public:
  explicit Session(SessionOptions options);
  ~Session();
  Session(const Session &) = delete;
  Session &operator=(const Session &) = delete;

  // Reads the scene and the preference file, makes the host with the scene as
  // its active document, loads and starts the module.
  std::optional<Failure> open();
  // Ends and unloads the module, then loads and starts it again.
  std::optional<Failure> restart();
  // Ends the module; the document stays.
  void end();

  Host &host() { return *host_; }
  Document &document();
  // The scene as read; writeResults puts the document's values into it.
  const Scene &scene() const { return scene_; }

  // Prints the message boxes and opened documents that came since the last
  // call. Console lines are printed as they are written.
  void showUserOutput();

  // Puts the document's values into the scene and writes the files asked for.
  std::optional<Failure> writeResults(const OutputFiles &files);

  Timings &timings() { return timings_; }

 private:
  std::optional<Failure> checkModuleFile() const;
  std::optional<Failure> start();

  SessionOptions options_;
  Timings timings_;
  Scene scene_;
  std::unique_ptr<Host> host_;
  std::unique_ptr<ModuleLoader> loader_;
  size_t shownMessageBoxes_ = 0;
  size_t shownOpenedFiles_ = 0;
};

// A store the module asked for that the preference file did not take: the
// module does not report it, so the user is told here.
void warnIfSettingsUnsaved(Session &session);

}  // namespace hostemu::cli
