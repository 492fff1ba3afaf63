#include "session.h"

#include "console.h"
#include "document.h"
#include "file_replace.h"
#include "journal.h"
#include "preferences.h"
#include "scene_document.h"
#include "scene_file.h"

#include <cstdio>
#include <sstream>
#include <system_error>

namespace hostemu::cli {

std::optional<Failure> checkOutputFile(const std::filesystem::path &file, std::string_view option) {
  if (file.empty())
    return std::nullopt;
  std::error_code error;
  std::string named = std::string(option) + " " + file.string();
  if (std::filesystem::is_directory(file, error)) {
    return Failure{kBadInput, named + ": is a folder; give the path of a file to write"};
  }
  std::filesystem::path folder = file.parent_path();
  if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
    return Failure{kBadInput, named + ": the folder " + folder.string() + " does not exist; create it first"};
  }
  return std::nullopt;
}

Session::Session(SessionOptions options) : options_(std::move(options)), timings_(options_.timings) {}

Session::~Session() {
  // The module goes before the host whose tables it holds.
  loader_.reset();
  host_.reset();
}

Document &Session::document() {
  return *host_->activeDocument();
}

std::optional<Failure> Session::open() {
  if (auto failure = checkModuleFile())
    return failure;
  if (!options_.scene.empty()) {
    SceneRead read = readSceneFile(options_.scene);
    if (read.error)
      return Failure{kBadInput, read.error->message};
    if (read.unknownFields > 0) {
      std::fprintf(stderr, "hostemu: note: %s: %zu field%s this program does not know (first: %s) kept as read\n",
                   options_.scene.string().c_str(), read.unknownFields, read.unknownFields == 1 ? "" : "s",
                   read.firstUnknownField.c_str());
    }
    scene_ = std::move(read.scene);
    timings_.mark("read");
  }

  HostOptions hostOptions;
  hostOptions.version = options_.hostVersion;
  hostOptions.preferencesFile = options_.prefs;
  host_ = std::make_unique<Host>(hostOptions);
  if (host_->preferences().state() != PreferencesState::ready) {
    return Failure{kBadInput, host_->preferences().problem()};
  }
  host_->journal().setEnabled(options_.journal);
  host_->console().setSink([](const ConsoleLine &line) {
    std::fwrite(line.text.data(), 1, line.text.size(), stdout);
    std::fputc('\n', stdout);
  });
  std::unique_ptr<Document> document = makeDocument(scene_);
  if (!options_.scene.empty())
    document->name = options_.scene.filename().string();
  host_->setActiveDocument(std::move(document));
  timings_.mark("document");

  loader_ = std::make_unique<ModuleLoader>(*host_);
  std::optional<Failure> failure = start();
  timings_.mark("start");
  return failure;
}

std::optional<Failure> Session::checkModuleFile() const {
  // A path that names no file is a bad command line, found before a large
  // scene is read; a file the host refuses or a module that fails to start
  // is the module's doing.
  std::error_code error;
  if (std::filesystem::is_regular_file(options_.module, error))
    return std::nullopt;
  return Failure{kBadInput, "--module " + options_.module.string() +
                                ": no such module file; give the path of a built module (make build puts one in "
                                "dist/linux/kwantel/)"};
}

std::optional<Failure> Session::start() {
  if (auto failure = checkModuleFile())
    return failure;
  LoadResult loaded = loader_->load(options_.module);
  showUserOutput();
  if (loaded.ok())
    return std::nullopt;
  return Failure{kModuleFailed, loaded.message};
}

std::optional<Failure> Session::restart() {
  loader_->end();
  showUserOutput();
  return start();
}

void Session::end() {
  if (loader_)
    loader_->end();
  if (host_)
    showUserOutput();
  std::fflush(stdout);
}

void Session::showUserOutput() {
  for (; shownMessageBoxes_ < host_->messageBoxes.size(); ++shownMessageBoxes_) {
    const MessageBoxRecord &box = host_->messageBoxes[shownMessageBoxes_];
    std::printf("message box (%d): %s\n", box.style, box.text.c_str());
  }
  for (; shownOpenedFiles_ < host_->openedFiles.size(); ++shownOpenedFiles_) {
    std::printf("open: %s\n", host_->openedFiles[shownOpenedFiles_].c_str());
  }
}

std::optional<Failure> Session::writeResults(const OutputFiles &files) {
  if (host_ == nullptr)
    return std::nullopt;
  if (!files.scene.empty() && !takeDocumentValues(document(), scene_)) {
    return Failure{kBadInput, "the document no longer has the scene's objects; nothing written"};
  }
  // The console and journal are formatted before the first file is replaced;
  // the scene, which may be gigabytes, is formatted as it is written.
  std::ostringstream console;
  std::ostringstream journal;
  if (!files.console.empty())
    host_->console().writeJsonLines(console);
  if (!files.journal.empty())
    host_->journal().writeJsonLines(journal);

  if (!files.scene.empty()) {
    if (std::string problem = writeSceneFile(files.scene, scene_); !problem.empty())
      return Failure{kBadInput, problem};
  }
  const std::pair<const std::filesystem::path *, std::string> logs[] = {{&files.console, console.str()},
                                                                        {&files.journal, journal.str()}};
  for (const auto &[file, text] : logs) {
    if (file->empty())
      continue;
    if (std::string problem = replaceFile(*file, text); !problem.empty())
      return Failure{kBadInput, problem};
  }
  timings_.mark("write");
  return std::nullopt;
}

void warnIfSettingsUnsaved(Session &session) {
  const std::string &error = session.host().preferences().error();
  if (!error.empty())
    std::fprintf(stderr, "hostemu: warning: %s\n", error.c_str());
}

}  // namespace hostemu::cli
