// t_C4DOS_Bm: bitmaps.
#include "bitmap.h"
#include "fault.h"
#include "filename.h"
#include "image_file.h"
#include "journal_args.h"
#include "json_numbers.h"
#include "live_set.h"
#include "tables.h"

#include <cstdio>

namespace hostemu {
namespace {

LiveSet<HostBitmap> &created() {
  static LiveSet<HostBitmap> set;
  return set;
}

HostBitmap &requireLive(HostBitmap *bitmap, const char *service) {
  if (!created().contains(bitmap))
    moduleFault(service, "the bitmap was not created by Bm.create or is gone");
  return *bitmap;
}

HostBitmap *create() {
  journalCall("Bm.create");
  return created().add(std::make_unique<HostBitmap>());
}

void destroy(HostBitmap *bitmap) {
  journalCall("Bm.destroy");
  if (bitmap == nullptr)
    return;
  requireLive(bitmap, "Bm.destroy");
  created().remove(bitmap);
}

int32_t loadFile(HostBitmap *bitmap, const HostFilename *path, int32_t frame, void *extra) {
  journalCall("Bm.loadFile", path ? path->path.string() : std::string(), frame, extra != nullptr);
  HostBitmap &target = requireLive(bitmap, "Bm.loadFile");
  if (path == nullptr)
    moduleFault("Bm.loadFile", "null filename");
  // Only the first frame exists in the images the host reads.
  if (frame != -1 && frame != 0)
    return IMAGERESULT_NOTEXISTING;
  ImageLoad load = loadImageFile(path->path, target);
  // A file that is there but cannot be read is worth a line to the user; the
  // module itself says nothing about a missing icon.
  if (load.result != IMAGERESULT_OK && load.result != IMAGERESULT_NOTEXISTING) {
    std::fprintf(stderr, "hostemu: cannot load image %s\n", load.problem.c_str());
  }
  return load.result;
}

bool setData(HostBitmap *bitmap, int32_t id, int32_t dataType, const void *data) {
  const double *number = dataType == HOST_DATATYPE_FLOAT ? static_cast<const double *>(data) : nullptr;
  journalCall("Bm.setData", id, dataType, number ? jsonFromNumber(*number) : nlohmann::json());
  HostBitmap &target = requireLive(bitmap, "Bm.setData");
  if (id != BITMAP_PROPERTY_PIXEL_RATIO || number == nullptr)
    return false;
  target.pixelRatio = *number;
  return true;
}

}  // namespace

uint64_t liveBitmaps() {
  return created().size();
}

bool isLiveBitmap(const HostBitmap *bitmap) {
  return created().contains(bitmap);
}

const HostBitmapTable *bitmapTable() {
  static const HostBitmapTable table = [] {
    HostBitmapTable t{};
    t.size = sizeof(HostBitmapTable);
    t.create = create;
    t.destroy = destroy;
    t.loadFile = loadFile;
    t.setData = setData;
    return t;
  }();
  return &table;
}

}  // namespace hostemu
