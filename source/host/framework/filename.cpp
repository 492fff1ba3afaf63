#include "filename.h"

#include "host_tables.h"

namespace framework {

Filename::Filename() {
  if (t_C4DOS_Fn != nullptr) {
    name_ = t_C4DOS_Fn->create();
  }
}

Filename::~Filename() {
  if (name_ != nullptr && t_C4DOS_Fn != nullptr) {
    t_C4DOS_Fn->destroy(name_);
  }
}

Filename::Filename(const Filename &other) : Filename() {
  CopyFrom(other.name_);
}

Filename &Filename::operator=(const Filename &other) {
  if (this != &other) {
    CopyFrom(other.name_);
  }
  return *this;
}

void Filename::CopyFrom(const HostFilename *source) {
  if (name_ != nullptr && source != nullptr) {
    t_C4DOS_Fn->copy(name_, source);
  }
}

Filename Filename::Directory() const {
  Filename result;
  if (name_ != nullptr && result.name_ != nullptr) {
    t_C4DOS_Fn->getDirectory(name_, result.name_);
  }
  return result;
}

Filename Filename::Join(const String &component) const {
  Filename result;
  if (name_ != nullptr && result.name_ != nullptr && component.Get() != nullptr) {
    t_C4DOS_Fn->join(name_, component.Get(), result.name_);
  }
  return result;
}

String Filename::FileName(bool stripExtension) const {
  if (name_ == nullptr) {
    return String();
  }
  return String::Adopt(t_C4DOS_Fn->getFileName(name_, stripExtension));
}

bool Filename::Equals(const Filename &other) const {
  if (name_ == nullptr || other.name_ == nullptr) {
    return false;
  }
  return t_C4DOS_Fn->equals(name_, other.name_);
}

void Filename::DestroyInBlock(void *block) {
  static_cast<Filename *>(block)->~Filename();
}

}  // namespace framework
