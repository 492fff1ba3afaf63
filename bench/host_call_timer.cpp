#include "host_call_timer.h"

#include "clock.h"
#include "host_api.h"

#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {

const HostObjectTable *g_objects = nullptr;
const HostDocumentTable *g_documents = nullptr;
HostObjectTable g_timedObjects{};
HostDocumentTable g_timedDocuments{};
HostCallSeconds g_seconds;

template <class Call>
auto Timed(double &account, Call &&call) {
  struct Charge {
    double &account;
    double start = ThreadSeconds();
    ~Charge() { account += ThreadSeconds() - start; }
  } charge{account};
  return call();
}

void getMp(const HostObject *object, HostVector *out) {
  Timed(g_seconds.centre, [&] { g_objects->getMp(object, out); });
}
bool isInstanceOf(const HostObject *object, int32_t type) {
  return Timed(g_seconds.other, [&] { return g_objects->isInstanceOf(object, type); });
}
void *getTagDataW(HostObject *object, int32_t tagType, int32_t index) {
  return Timed(g_seconds.other, [&] { return g_objects->getTagDataW(object, tagType, index); });
}
int32_t getTagDataCount(const HostObject *object, int32_t tagType) {
  return Timed(g_seconds.other, [&] { return g_objects->getTagDataCount(object, tagType); });
}
bool addUndo(HostDocument *document, int32_t type, void *object, bool noDelta) {
  return Timed(g_seconds.undo, [&] { return g_documents->addUndo(document, type, object, noDelta); });
}

}  // namespace

HostCallTimer::HostCallTimer(HostRecord &record)
    : record_(record),
      originalObjects_(record.tables[HOST_TABLE_Bo]),
      originalDocuments_(record.tables[HOST_TABLE_Bd]) {
  if (g_objects != nullptr) {
    std::fputs("kwantel_bench: only one host call timer at a time\n", stderr);
    std::abort();
  }
  g_objects = static_cast<const HostObjectTable *>(originalObjects_);
  g_documents = static_cast<const HostDocumentTable *>(originalDocuments_);
  g_timedObjects = *g_objects;
  g_timedObjects.getMp = getMp;
  g_timedObjects.isInstanceOf = isInstanceOf;
  g_timedObjects.getTagDataW = getTagDataW;
  g_timedObjects.getTagDataCount = getTagDataCount;
  g_timedDocuments = *g_documents;
  g_timedDocuments.addUndo = addUndo;
  record.tables[HOST_TABLE_Bo] = &g_timedObjects;
  record.tables[HOST_TABLE_Bd] = &g_timedDocuments;
  reset();
}

HostCallTimer::~HostCallTimer() {
  record_.tables[HOST_TABLE_Bo] = originalObjects_;
  record_.tables[HOST_TABLE_Bd] = originalDocuments_;
  g_objects = nullptr;
  g_documents = nullptr;
}

const HostCallSeconds &HostCallTimer::seconds() const {
  return g_seconds;
}

void HostCallTimer::reset() {
  g_seconds = HostCallSeconds{};
}

}  // namespace bench
