#include "kernel.h"

#include "console.h"
#include "host.h"
#include "utf8.h"

#include <cstdlib>

namespace hostemu {

Kernel::Kernel(Host &host) : host_(host) {}

Kernel::~Kernel() {
  // The host is ending: whatever the module left alive goes with it. Tests
  // read the accounts before this point to find such leaks.
  for (auto &[block, info] : blocks_)
    std::free(block);
  for (const HostString *text : strings_)
    delete text;
  for (HostObjectArray *array : arrays_)
    delete array;
}

void *Kernel::allocClear(uint64_t bytes) {
  // A zero-byte request still yields a distinct block the module can free.
  void *block = std::calloc(1, bytes == 0 ? 1 : bytes);
  if (block == nullptr)
    return nullptr;
  blocks_.emplace(block, Block{bytes, ++blockSerial_});
  liveBytes_ += bytes;
  return block;
}

void Kernel::freeWithDestructor(void *block, HostDestructor destructor) {
  if (block == nullptr)
    return;
  auto found = blocks_.find(block);
  if (found == blocks_.end()) {
    moduleFault("kernel.privateFreeWithDestructor", "the block is not live (freed twice, or not from allocClear)");
  }
  // Out of the account before the destructor runs, so that a destructor
  // freeing its own block again is caught as a double free.
  liveBytes_ -= found->second.bytes;
  blocks_.erase(found);
  if (destructor != nullptr)
    destructor(block);
  std::free(block);
}

std::string Kernel::blockName(const void *block) const {
  auto found = blocks_.find(const_cast<void *>(block));
  if (found == blocks_.end())
    return {};
  return "block#" + std::to_string(found->second.serial);
}

HostString *Kernel::newString(std::string_view text) {
  auto *made = new HostString{1, false, std::string(text)};
  ++stringSerial_;
  strings_.insert(made);
  return made;
}

const HostString *Kernel::cachedString(std::string_view text) {
  std::string key(text);
  auto found = cached_.find(key);
  if (found != cached_.end())
    return found->second.get();
  auto made = std::make_unique<HostString>(HostString{1, true, key});
  ++stringSerial_;
  const HostString *result = made.get();
  cachedSet_.insert(result);
  cached_.emplace(std::move(key), std::move(made));
  return result;
}

void Kernel::requireString(const HostString *text, const char *service) const {
  if (text != nullptr && !knowsString(text))
    moduleFault(service, "the string is not live (freed once too often?)");
}

void Kernel::addReference(const HostString *text) {
  requireString(text, "kernel.addReference");
  if (text == nullptr || text->cached)
    return;  // cached strings live until the host ends anyway
  ++const_cast<HostString *>(text)->references;
}

void Kernel::release(const HostString *text) {
  requireString(text, "kernel.free");
  if (text == nullptr || text->cached)
    return;
  if (--const_cast<HostString *>(text)->references > 0)
    return;
  strings_.erase(text);
  delete text;
}

HostLogger *Kernel::findLogger(std::string_view id) {
  return id == kDefaultLoggerId ? &defaultLogger_ : nullptr;
}

void Kernel::write(HostLogger *logger, int32_t audience, std::string_view text, const char *file, int32_t line,
                   int32_t meta) {
  if (logger == nullptr)
    return;  // no logger, no output
  if (logger != &defaultLogger_)
    moduleFault("kernel.write", "the logger was not handed out by findLogger");
  host_.console().write(ConsoleLine{validUtf8(text), validUtf8(file ? file : ""), line, audience, meta});
}

void Kernel::assertion(const char *text, const char *file, int32_t line) {
  host_.console().write(ConsoleLine{validUtf8(text ? text : ""), validUtf8(file ? file : ""), line, 0, 0});
}

HostObjectArray *Kernel::newObjectArray() {
  auto *array = new HostObjectArray{++arraySerial_, {}};
  arrays_.insert(array);
  return array;
}

void Kernel::destroyObjectArray(HostObjectArray *array) {
  if (array == nullptr)
    return;
  requireObjectArray(array, "At.destroy");
  arrays_.erase(array);
  delete array;
}

void Kernel::requireObjectArray(const HostObjectArray *array, const char *service) const {
  if (arrays_.find(const_cast<HostObjectArray *>(array)) == arrays_.end()) {
    moduleFault(service, array == nullptr ? "the object array is null" : "the object array is not live");
  }
}

HostString *makeString(std::string_view text) {
  return Host::current().kernel().newString(text);
}

}  // namespace hostemu
