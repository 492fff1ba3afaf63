// The kernel interface: C slots over the current host's Kernel.
#include "filename.h"
#include "host.h"
#include "journal_values.h"
#include "kernel.h"
#include "tables.h"
#include "utf8.h"

#include <string_view>

namespace hostemu {
namespace {

Kernel &kernel() {
  return Host::current().kernel();
}

void *allocClear(uint64_t bytes) {
  journalWhenOn("kernel.allocClear", [&] { return nlohmann::json::array({bytes}); });
  return kernel().allocClear(bytes);
}

void privateFreeWithDestructor(void *block, HostDestructor destructor) {
  journalWhenOn("kernel.privateFreeWithDestructor", [&] {
    std::string name = kernel().blockName(block);
    return nlohmann::json::array({name.empty() ? nlohmann::json() : nlohmann::json(name), destructor != nullptr});
  });
  kernel().freeWithDestructor(block, destructor);
}

HostString *setCString(const char *utf8, uint64_t length) {
  // Without text there is nothing to read, whatever length says.
  std::string_view text = utf8 ? std::string_view(utf8, length) : std::string_view();
  journalWhenOn("kernel.setCString", [&] { return nlohmann::json::array({validUtf8(text)}); });
  return kernel().newString(text);
}

const HostString *getAndCacheConstString(const char *utf8) {
  journalWhenOn("kernel.getAndCacheConstString", [&] { return nlohmann::json::array({jsonText(utf8)}); });
  return kernel().cachedString(utf8 ? std::string_view(utf8) : std::string_view());
}

void addReference(const HostString *text) {
  kernel().requireString(text, "kernel.addReference");
  journalWhenOn("kernel.addReference", [&] { return nlohmann::json::array({jsonText(text)}); });
  kernel().addReference(text);
}

void freeString(const HostString *text) {
  kernel().requireString(text, "kernel.free");
  journalWhenOn("kernel.free", [&] { return nlohmann::json::array({jsonText(text)}); });
  kernel().release(text);
}

HostString *concat(const HostString *left, const HostString *right) {
  kernel().requireString(left, "kernel.concat");
  kernel().requireString(right, "kernel.concat");
  journalWhenOn("kernel.concat", [&] { return nlohmann::json::array({jsonText(left), jsonText(right)}); });
  std::string joined(textOf(left));
  joined += textOf(right);
  return kernel().newString(joined);
}

uint64_t getUtf8(const HostString *text, char *buffer, uint64_t capacity) {
  kernel().requireString(text, "kernel.getUtf8");
  journalWhenOn("kernel.getUtf8", [&] { return nlohmann::json::array({jsonText(text), capacity}); });
  std::string_view bytes = textOf(text);
  if (buffer == nullptr || capacity == 0)
    return bytes.size();
  uint64_t copied = bytes.size() < capacity - 1 ? bytes.size() : capacity - 1;
  // Never cut a character in half: back up to the start of the one cut.
  if (copied < bytes.size()) {
    while (copied > 0 && (static_cast<unsigned char>(bytes[copied]) & 0xC0) == 0x80)
      --copied;
  }
  bytes.copy(buffer, copied);
  buffer[copied] = '\0';
  return bytes.size();
}

HostLogger *findLogger(const char *id) {
  journalWhenOn("kernel.findLogger", [&] { return nlohmann::json::array({jsonText(id)}); });
  return id ? kernel().findLogger(id) : nullptr;
}

void write(HostLogger *logger, int32_t audience, const HostString *text, const char *file, int32_t line, int32_t meta) {
  kernel().requireString(text, "kernel.write");
  journalWhenOn("kernel.write", [&] {
    return nlohmann::json::array({audience, jsonText(text), jsonText(file), line, meta});
  });
  kernel().write(logger, audience, textOf(text), file, line, meta);
}

void assertion(const char *text, const char *file, int32_t line) {
  journalWhenOn("kernel.assertion", [&] { return nlohmann::json::array({jsonText(text), jsonText(file), line}); });
  kernel().assertion(text, file, line);
}

bool privateGetUrl(int32_t urlType, const char *framework, const void *, HostFilename *out) {
  journalWhenOn("kernel.privateGetUrl", [&] { return nlohmann::json::array({urlType, jsonText(framework)}); });
  const std::filesystem::path &directory = Host::current().options().coreLibrariesDirectory;
  if (out == nullptr || urlType != APPLICATION_URLTYPE_CORELIBS_DIR || directory.empty())
    return false;
  out->path = directory;
  return true;
}

}  // namespace

const KernelInterface *kernelInterface() {
  static const KernelInterface table = [] {
    KernelInterface t{};
    t.size = sizeof(KernelInterface);
    t.allocClear = allocClear;
    t.privateFreeWithDestructor = privateFreeWithDestructor;
    t.setCString = setCString;
    t.getAndCacheConstString = getAndCacheConstString;
    t.addReference = addReference;
    t.free = freeString;
    t.concat = concat;
    t.getUtf8 = getUtf8;
    t.findLogger = findLogger;
    t.write = write;
    t.assertion = assertion;
    t.privateGetUrl = privateGetUrl;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
