// The host kernel: the module's memory, its strings and the default logger.
//
// The kernel keeps an account of everything it hands out, so that a test can
// ask whether a module left a block, a string or an object array alive. A
// block or string the module releases twice, or never got, is a fault of the
// module: the kernel stops the process with a clear message instead of
// touching memory it no longer owns.
#pragma once

#include "fault.h"
#include "host_types.h"
#include "object_array.h"
#include "strings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// A console channel; the kernel has one, the default logger.
struct HostLogger {
  const char *id;
};

namespace hostemu {

class Host;

inline constexpr const char *kDefaultLoggerId = "net.maxon.core.logger.default";

class Kernel {
 public:
  explicit Kernel(Host &host);
  ~Kernel();
  Kernel(const Kernel &) = delete;
  Kernel &operator=(const Kernel &) = delete;

  // Memory. A zero-filled block, null when no memory is left.
  void *allocClear(uint64_t bytes);
  // Runs destructor (when non-null) on a live block, then releases it. Null is
  // ignored; anything else that is not live aborts.
  void freeWithDestructor(void *block, HostDestructor destructor);
  // The journal's name of a live block ("block#N"); empty when not live.
  std::string blockName(const void *block) const;

  // Strings. newString has one reference; cachedString lives until the
  // kernel ends and is not counted as live.
  HostString *newString(std::string_view text);
  const HostString *cachedString(std::string_view text);
  const HostString *emptyString() { return cachedString({}); }
  void addReference(const HostString *text);
  void release(const HostString *text);
  // Whether text is a string the kernel holds (live or cached). Anything else
  // must not even be read: it may have been released already.
  bool knowsString(const HostString *text) const { return strings_.count(text) != 0 || cachedSet_.count(text) != 0; }
  // Aborts unless text is null or known.
  void requireString(const HostString *text, const char *service) const;

  // The default logger and what it writes.
  HostLogger *findLogger(std::string_view id);
  void write(HostLogger *logger, int32_t audience, std::string_view text, const char *file, int32_t line, int32_t meta);
  void assertion(const char *text, const char *file, int32_t line);

  // Object arrays of the At table.
  HostObjectArray *newObjectArray();
  void destroyObjectArray(HostObjectArray *array);
  // Aborts unless array is live.
  void requireObjectArray(const HostObjectArray *array, const char *service) const;

  // The accounts: what the module holds right now.
  uint64_t liveBlocks() const { return blocks_.size(); }
  uint64_t liveBytes() const { return liveBytes_; }
  uint64_t liveStrings() const { return strings_.size(); }
  uint64_t liveObjectArrays() const { return arrays_.size(); }
  // Everything handed out since the kernel started, released or not: a pass
  // that allocates for each object or point shows here.
  uint64_t blocksHandedOut() const { return blockSerial_; }
  uint64_t stringsHandedOut() const { return stringSerial_; }
  uint64_t objectArraysHandedOut() const { return arraySerial_; }

 private:
  struct Block {
    uint64_t bytes;
    uint64_t serial;
  };

  Host &host_;
  HostLogger defaultLogger_{kDefaultLoggerId};
  std::unordered_map<void *, Block> blocks_;
  uint64_t liveBytes_ = 0;
  uint64_t blockSerial_ = 0;
  std::unordered_set<const HostString *> strings_;
  uint64_t stringSerial_ = 0;
  std::unordered_map<std::string, std::unique_ptr<HostString>> cached_;
  std::unordered_set<const HostString *> cachedSet_;
  std::unordered_set<HostObjectArray *> arrays_;
  uint64_t arraySerial_ = 0;
};

}  // namespace hostemu
