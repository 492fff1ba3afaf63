#include "host.h"

#include "console.h"
#include "dialogs.h"
#include "document.h"
#include "journal.h"
#include "kernel.h"
#include "plugins.h"
#include "preferences.h"
#include "resources.h"
#include "tables.h"

#include <cstdio>
#include <cstdlib>

namespace hostemu {
namespace {

// Tables the module never calls: present, so a module can bind, but empty.
HostTableHeader g_emptyTables[HOST_TABLE_COUNT] = {};

void fillRecord(HostRecord &record) {
  for (int i = 0; i < HOST_TABLE_COUNT; ++i) {
    g_emptyTables[i].size = sizeof(HostTableHeader);
    record.tables[i] = &g_emptyTables[i];
  }
  record.tables[HOST_TABLE_Ge] = generalTable();
  record.tables[HOST_TABLE_St] = stringTable();
  record.tables[HOST_TABLE_Bc] = containerTable();
  record.tables[HOST_TABLE_Bm] = bitmapTable();
  record.tables[HOST_TABLE_Fn] = filenameTable();
  record.tables[HOST_TABLE_Lr] = resourceTable();
  record.tables[HOST_TABLE_Bo] = objectTable();
  record.tables[HOST_TABLE_Bd] = documentTable();
  record.tables[HOST_TABLE_At] = objectArrayTable();
  record.tables[HOST_TABLE_Pl] = pluginTable();
  record.tables[HOST_TABLE_Gd] = dialogTable();
}

}  // namespace

Host *Host::current_ = nullptr;

Host::Host(HostOptions options) : options_(std::move(options)) {
  if (current_ != nullptr) {
    std::fputs("hostemu: only one host may exist at a time\n", stderr);
    std::abort();
  }
  current_ = this;
  record_.version = options_.version;
  fillRecord(record_);
  journal_ = std::make_unique<Journal>();
  console_ = std::make_unique<Console>();
  kernel_ = std::make_unique<Kernel>(*this);
  preferences_ = std::make_unique<Preferences>(*this);
  resources_ = std::make_unique<Resources>(*this);
  plugins_ = std::make_unique<Plugins>(*this);
  dialogs_ = std::make_unique<Dialogs>(*this);
}

Host::~Host() {
  // Dialogs and plug-ins hold module objects; they go before the kernel that
  // allocated them. Plug-ins go first: destroying a command destroys its
  // dialog, which gives its host dialog back.
  document_.reset();
  plugins_.reset();
  dialogs_.reset();
  resources_.reset();
  preferences_.reset();
  kernel_.reset();
  current_ = nullptr;
}

void Host::noHostAlive() {
  std::fputs("hostemu: a service table was called with no host alive\n", stderr);
  std::abort();
}

void Host::setActiveDocument(std::unique_ptr<Document> document) {
  document_ = std::move(document);
}

std::unique_ptr<Document> Host::takeActiveDocument() {
  return std::move(document_);
}

}  // namespace hostemu
