// t_C4DOS_Bc: containers of typed values under int keys.
#include "container.h"
#include "fault.h"
#include "host.h"
#include "journal_args.h"
#include "json_numbers.h"
#include "live_set.h"
#include "tables.h"

namespace hostemu {
namespace {

LiveSet<HostContainer> &created() {
  static LiveSet<HostContainer> set;
  return set;
}

// A container appears in the journal as its id.
nlohmann::json idOf(const HostContainer *c) {
  return c ? nlohmann::json(c->id) : nlohmann::json();
}

const HostContainer &require(const HostContainer *c, const char *service) {
  if (c == nullptr)
    moduleFault(service, "null container");
  return *c;
}

template <typename T>
T get(const HostContainer *c, int32_t key, T fallback, const char *service) {
  const HostContainer &container = require(c, service);
  auto found = container.values.find(key);
  if (found == container.values.end())
    return fallback;
  const T *value = std::get_if<T>(&found->second);
  return value ? *value : fallback;
}

template <typename T>
void set(HostContainer *c, int32_t key, T value, const char *service) {
  require(c, service);
  c->values[key] = value;
}

HostContainer *create(int32_t id) {
  journalCall("Bc.create", id);
  auto container = std::make_unique<HostContainer>();
  container->id = id;
  return created().add(std::move(container));
}

void destroy(HostContainer *c) {
  if (c == nullptr) {
    journalCall("Bc.destroy", nullptr);
    return;
  }
  // Checked before anything reads it: a stale pointer must not be touched.
  if (!created().contains(c))
    moduleFault("Bc.destroy", "the container was not created by Bc.create or is gone");
  journalCall("Bc.destroy", c->id);
  created().remove(c);
}

int32_t getId(const HostContainer *c) {
  journalCall("Bc.getId", idOf(c));
  return require(c, "Bc.getId").id;
}

void setBool(HostContainer *c, int32_t key, bool value) {
  journalCall("Bc.setBool", idOf(c), key, value);
  set(c, key, value, "Bc.setBool");
}

void setFloat(HostContainer *c, int32_t key, double value) {
  journalCall("Bc.setFloat", idOf(c), key, jsonFromNumber(value));
  set(c, key, value, "Bc.setFloat");
}

void setInt32(HostContainer *c, int32_t key, int32_t value) {
  journalCall("Bc.setInt32", idOf(c), key, value);
  set(c, key, value, "Bc.setInt32");
}

bool getBool(const HostContainer *c, int32_t key, bool fallback) {
  journalCall("Bc.getBool", idOf(c), key, fallback);
  return get(c, key, fallback, "Bc.getBool");
}

double getFloat(const HostContainer *c, int32_t key, double fallback) {
  journalCall("Bc.getFloat", idOf(c), key, jsonFromNumber(fallback));
  return get(c, key, fallback, "Bc.getFloat");
}

int32_t getInt32(const HostContainer *c, int32_t key, int32_t fallback) {
  journalCall("Bc.getInt32", idOf(c), key, fallback);
  return get(c, key, fallback, "Bc.getInt32");
}

}  // namespace

uint64_t liveContainers() {
  return created().size();
}

const HostContainerTable *containerTable() {
  static const HostContainerTable table = [] {
    HostContainerTable t{};
    t.size = sizeof(HostContainerTable);
    t.create = create;
    t.destroy = destroy;
    t.getId = getId;
    t.setBool = setBool;
    t.setFloat = setFloat;
    t.setInt32 = setInt32;
    t.getBool = getBool;
    t.getFloat = getFloat;
    t.getInt32 = getInt32;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
