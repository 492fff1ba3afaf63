// t_C4DOS_Bo: the values, links and points of a document's objects.
#include "document.h"
#include "fault.h"
#include "journal_values.h"
#include "strings.h"
#include "tables.h"

#include <limits>

namespace hostemu {
namespace {

// A point object without points still hands out an array, so the module can
// tell "no points" from "points not accessible".
HostVector g_noPoints{0.0, 0.0, 0.0};

const HostObject &require(const HostObject *object, const char *service) {
  if (object == nullptr)
    moduleFault(service, "the object is null");
  return *object;
}

HostObject &require(HostObject *object, const char *service) {
  if (object == nullptr)
    moduleFault(service, "the object is null");
  return *object;
}

nlohmann::json reference(const HostObject *object) {
  return object ? nlohmann::json(Document::journalPathOf(object)) : nlohmann::json();
}

void getVector(const char *service, const HostObject *object, HostVector *out, HostVector HostObject::*field) {
  journalWhenOn(service, [&] { return nlohmann::json::array({reference(object)}); });
  const HostObject &o = require(object, service);
  if (out == nullptr)
    moduleFault(service, "the result vector is null");
  *out = o.*field;
}

void setVector(const char *service, HostObject *object, const HostVector *value, HostVector HostObject::*field) {
  journalWhenOn(service, [&] { return nlohmann::json::array({reference(object), jsonVector(value)}); });
  HostObject &o = require(object, service);
  if (value == nullptr)
    moduleFault(service, "the value is null");
  o.*field = *value;
}

void getRelPos(const HostObject *o, HostVector *out) {
  getVector("Bo.getRelPos", o, out, &HostObject::position);
}
void setRelPos(HostObject *o, const HostVector *v) {
  setVector("Bo.setRelPos", o, v, &HostObject::position);
}
void getRelRot(const HostObject *o, HostVector *out) {
  getVector("Bo.getRelRot", o, out, &HostObject::rotation);
}
void setRelRot(HostObject *o, const HostVector *v) {
  setVector("Bo.setRelRot", o, v, &HostObject::rotation);
}
void getRelScale(const HostObject *o, HostVector *out) {
  getVector("Bo.getRelScale", o, out, &HostObject::scale);
}
void setRelScale(HostObject *o, const HostVector *v) {
  setVector("Bo.setRelScale", o, v, &HostObject::scale);
}

HostObject *link(const char *service, const HostObject *object, HostObject *(HostObject::*get)() const) {
  journalWhenOn(service, [&] { return nlohmann::json::array({reference(object)}); });
  return (require(object, service).*get)();
}

HostObject *getDown(const HostObject *o) {
  return link("Bo.getDown", o, &HostObject::firstChild);
}
HostObject *getNext(const HostObject *o) {
  return link("Bo.getNext", o, &HostObject::next);
}
HostObject *getUp(const HostObject *o) {
  return link("Bo.getUp", o, &HostObject::parent);
}

bool isInstanceOf(const HostObject *object, int32_t type) {
  journalWhenOn("Bo.isInstanceOf", [&] { return nlohmann::json::array({reference(object), type}); });
  return require(object, "Bo.isInstanceOf").isInstanceOf(type);
}

// Points beyond what a 32-bit count can say are not handed out: the module
// would otherwise treat only some of them.
bool countFits(const HostObject &o) {
  return o.points.size() <= std::numeric_limits<int32_t>::max();
}

void *getTagDataW(HostObject *object, int32_t tagType, int32_t index) {
  journalWhenOn("Bo.getTagDataW", [&] { return nlohmann::json::array({reference(object), tagType, index}); });
  HostObject &o = require(object, "Bo.getTagDataW");
  if (tagType != POINT_TAG_TYPE || index != 0 || !o.isPointObject() || o.pointsLocked || !countFits(o)) {
    return nullptr;
  }
  return o.points.empty() ? &g_noPoints : o.points.data();
}

int32_t getTagDataCount(const HostObject *object, int32_t tagType) {
  journalWhenOn("Bo.getTagDataCount", [&] { return nlohmann::json::array({reference(object), tagType}); });
  const HostObject &o = require(object, "Bo.getTagDataCount");
  if (tagType != POINT_TAG_TYPE || !o.isPointObject())
    return 0;
  return countFits(o) ? static_cast<int32_t>(o.points.size()) : std::numeric_limits<int32_t>::max();
}

void getMp(const HostObject *object, HostVector *out) {
  journalWhenOn("Bo.getMp", [&] { return nlohmann::json::array({reference(object)}); });
  const HostObject &o = require(object, "Bo.getMp");
  if (out == nullptr)
    moduleFault("Bo.getMp", "the result vector is null");
  *out = o.boundingBoxCenter();
}

HostString *getName(const HostObject *object) {
  journalWhenOn("Bo.getName", [&] { return nlohmann::json::array({reference(object)}); });
  return makeString(require(object, "Bo.getName").name);
}

bool message(HostObject *object, int32_t id, void *data) {
  journalWhenOn("Bo.message", [&] {
    return nlohmann::json::array({reference(object), id, data ? nlohmann::json("data") : nlohmann::json()});
  });
  HostObject &o = require(object, "Bo.message");
  // The bounding box needs no refresh: it is measured whenever it is asked.
  if (id == MSG_UPDATE_CODE)
    ++o.updateMessages;
  return true;
}

}  // namespace

const HostObjectTable *objectTable() {
  static const HostObjectTable table = [] {
    HostObjectTable t{};
    t.size = sizeof(HostObjectTable);
    t.getRelPos = getRelPos;
    t.setRelPos = setRelPos;
    t.getRelRot = getRelRot;
    t.setRelRot = setRelRot;
    t.getRelScale = getRelScale;
    t.setRelScale = setRelScale;
    t.getDown = getDown;
    t.getNext = getNext;
    t.getUp = getUp;
    t.isInstanceOf = isInstanceOf;
    t.getTagDataW = getTagDataW;
    t.getTagDataCount = getTagDataCount;
    t.getMp = getMp;
    t.getName = getName;
    t.message = message;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
