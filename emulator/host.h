// The emulated host: one object that owns every service a module can call.
//
// The service tables are C function pointers without a context argument, so
// they find their host through Host::current(). One Host exists at a time in
// a process; constructing it makes it current, destroying it clears that.
#pragma once

#include "host_record.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace hostemu {

class Kernel;
class Journal;
class Console;
class Document;
class Dialogs;
class Preferences;
class Plugins;
class Resources;

struct HostOptions {
  int32_t version = 2025200;                     // the host version at byte 0 of the record
  std::filesystem::path preferencesFile;         // empty: the store lives in memory only
  std::filesystem::path hostDirectory;           // answer to Ge.getHostDirectory
  std::filesystem::path coreLibrariesDirectory;  // answer to privateGetUrl(CORELIBS_DIR)
  int32_t messageBoxAnswer = 1;                  // batch use answers every message box at once
};

struct MessageBoxRecord {
  int32_t style = 0;
  std::string text;
};

class Host {
 public:
  explicit Host(HostOptions options = {});
  ~Host();
  Host(const Host &) = delete;
  Host &operator=(const Host &) = delete;

  // The host whose tables are being called. Aborts when there is none: a
  // table call without a host is a fault of the caller, not of the module.
  // Inline: every service a module calls asks for it.
  static Host &current() {
    if (current_ == nullptr) [[unlikely]]
      noHostAlive();
    return *current_;
  }
  static Host *currentOrNull() { return current_; }

  const HostOptions &options() const { return options_; }
  HostRecord *record() { return &record_; }

  Kernel &kernel() { return *kernel_; }
  Journal &journal() { return *journal_; }
  Console &console() { return *console_; }
  Dialogs &dialogs() { return *dialogs_; }
  Preferences &preferences() { return *preferences_; }
  Plugins &plugins() { return *plugins_; }
  Resources &resources() { return *resources_; }

  // The active document; null when the host has none.
  Document *activeDocument() { return document_.get(); }
  void setActiveDocument(std::unique_ptr<Document> document);
  std::unique_ptr<Document> takeActiveDocument();

  // What a user of the host would have seen, in order.
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<std::string> openedFiles;  // "open with the system", recorded only
  std::vector<int32_t> events;           // posted events (EVENT_FORCEREDRAW, ...)

 private:
  [[noreturn]] static void noHostAlive();

  static Host *current_;
  HostOptions options_;
  HostRecord record_{};
  std::unique_ptr<Journal> journal_;
  std::unique_ptr<Console> console_;
  std::unique_ptr<Kernel> kernel_;
  std::unique_ptr<Preferences> preferences_;
  std::unique_ptr<Resources> resources_;
  std::unique_ptr<Plugins> plugins_;
  std::unique_ptr<Dialogs> dialogs_;
  std::unique_ptr<Document> document_;
};

}  // namespace hostemu
