// t_C4DOS_Bd: a document's first object, its selection and its undo groups.
#include "document.h"
#include "fault.h"
#include "journal_values.h"
#include "kernel.h"
#include "tables.h"
#include "utf8.h"

namespace hostemu {
namespace {

Document &require(HostDocument *document, const char *service) {
  if (document == nullptr)
    moduleFault(service, "the document is null");
  return *Document::fromHost(document);
}

const Document &require(const HostDocument *document, const char *service) {
  if (document == nullptr)
    moduleFault(service, "the document is null");
  return *Document::fromHost(document);
}

nlohmann::json reference(const HostDocument *document) {
  return document ? nlohmann::json(validUtf8(Document::fromHost(document)->name)) : nlohmann::json();
}

HostObject *getFirstObject(const HostDocument *document) {
  journalWhenOn("Bd.getFirstObject", [&] { return nlohmann::json::array({reference(document)}); });
  return require(document, "Bd.getFirstObject").firstObject();
}

void getActiveObjects(const HostDocument *document, HostObjectArray *selection, int32_t flags) {
  journalWhenOn("Bd.getActiveObjects", [&] {
    return nlohmann::json::array({reference(document), jsonArray(selection), flags});
  });
  const Document &d = require(document, "Bd.getActiveObjects");
  Host::current().kernel().requireObjectArray(selection, "Bd.getActiveObjects");
  d.activeObjects(selection->entries, flags);
}

bool startUndo(HostDocument *document) {
  journalWhenOn("Bd.startUndo", [&] { return nlohmann::json::array({reference(document)}); });
  return require(document, "Bd.startUndo").startUndo();
}

bool endUndo(HostDocument *document) {
  journalWhenOn("Bd.endUndo", [&] { return nlohmann::json::array({reference(document)}); });
  return require(document, "Bd.endUndo").endUndo();
}

bool addUndo(HostDocument *document, int32_t type, void *object, bool noDelta) {
  auto *o = static_cast<HostObject *>(object);
  journalWhenOn("Bd.addUndo", [&] {
    nlohmann::json target = o ? nlohmann::json(Document::journalPathOf(o)) : nlohmann::json();
    return nlohmann::json::array({reference(document), type, target, noDelta});
  });
  return require(document, "Bd.addUndo").addUndo(type, o);
}

}  // namespace

const HostDocumentTable *documentTable() {
  static const HostDocumentTable table = [] {
    HostDocumentTable t{};
    t.size = sizeof(HostDocumentTable);
    t.getFirstObject = getFirstObject;
    t.getActiveObjects = getActiveObjects;
    t.startUndo = startUndo;
    t.endUndo = endUndo;
    t.addUndo = addUndo;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
