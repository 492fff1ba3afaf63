// t_C4DOS_Fn: file names.
#include "fault.h"
#include "filename.h"
#include "journal_args.h"
#include "live_set.h"
#include "strings.h"
#include "tables.h"

namespace hostemu {
namespace {

LiveSet<HostFilename> &created() {
  static LiveSet<HostFilename> set;
  return set;
}

const HostFilename &require(const HostFilename *name, const char *service) {
  if (name == nullptr)
    moduleFault(service, "null filename");
  return *name;
}

std::string pathText(const HostFilename *name) {
  return name ? name->path.string() : std::string();
}

std::filesystem::path normalised(const std::filesystem::path &path) {
  std::filesystem::path normal = path.lexically_normal();
  if (!normal.has_filename() && normal.has_relative_path())
    normal = normal.parent_path();
  return normal;
}

HostFilename *create() {
  journalCall("Fn.create");
  return created().add(std::make_unique<HostFilename>());
}

void destroy(HostFilename *name) {
  if (name == nullptr) {
    journalCall("Fn.destroy", nullptr);
    return;
  }
  if (!created().contains(name))
    moduleFault("Fn.destroy", "the filename was not created by Fn.create or is gone");
  journalCall("Fn.destroy", name->path.string());
  created().remove(name);
}

void copy(HostFilename *destination, const HostFilename *source) {
  journalCall("Fn.copy", pathText(source));
  require(destination, "Fn.copy");
  destination->path = require(source, "Fn.copy").path;
}

void getDirectory(const HostFilename *name, HostFilename *out) {
  journalCall("Fn.getDirectory", pathText(name));
  std::filesystem::path directory = require(name, "Fn.getDirectory").path.parent_path();
  require(out, "Fn.getDirectory");
  out->path = std::move(directory);
}

void join(const HostFilename *directory, const HostString *component, HostFilename *out) {
  journalCall("Fn.join", pathText(directory), std::string(textOf(component)));
  std::filesystem::path joined = require(directory, "Fn.join").path;
  joined /= std::filesystem::path(std::string(textOf(component)));
  require(out, "Fn.join");
  out->path = std::move(joined);
}

HostString *getFileName(const HostFilename *name, bool stripExtension) {
  journalCall("Fn.getFileName", pathText(name), stripExtension);
  const std::filesystem::path &path = require(name, "Fn.getFileName").path;
  return makeString((stripExtension ? path.stem() : path.filename()).string());
}

bool equals(const HostFilename *left, const HostFilename *right) {
  journalCall("Fn.equals", pathText(left), pathText(right));
  return sameFilename(require(left, "Fn.equals").path, require(right, "Fn.equals").path);
}

bool isEmpty(const HostFilename *name) {
  journalCall("Fn.isEmpty", pathText(name));
  return require(name, "Fn.isEmpty").path.empty();
}

}  // namespace

uint64_t liveFilenames() {
  return created().size();
}

bool sameFilename(const std::filesystem::path &left, const std::filesystem::path &right) {
  return normalised(left) == normalised(right);
}

const HostFilenameTable *filenameTable() {
  static const HostFilenameTable table = [] {
    HostFilenameTable t{};
    t.size = sizeof(HostFilenameTable);
    t.create = create;
    t.destroy = destroy;
    t.copy = copy;
    t.getDirectory = getDirectory;
    t.join = join;
    t.getFileName = getFileName;
    t.equals = equals;
    t.isEmpty = isEmpty;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
