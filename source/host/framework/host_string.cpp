#include "host_string.h"

#include "module_record.h"

namespace framework {

String::~String() {
  Drop();
}

String::String(const String &other) : text_(other.text_), owned_(other.owned_) {
  if (owned_ && Kernel() != nullptr) {
    Kernel()->addReference(text_);
  }
}

String &String::operator=(const String &other) {
  if (this != &other) {
    String copy(other);
    *this = static_cast<String &&>(copy);
  }
  return *this;
}

String::String(String &&other) noexcept : text_(other.text_), owned_(other.owned_) {
  other.text_ = nullptr;
  other.owned_ = false;
}

String &String::operator=(String &&other) noexcept {
  if (this != &other) {
    Drop();
    text_ = other.text_;
    owned_ = other.owned_;
    other.text_ = nullptr;
    other.owned_ = false;
  }
  return *this;
}

String String::Adopt(HostString *text) {
  String result;
  result.text_ = text;
  result.owned_ = text != nullptr;
  return result;
}

String String::Borrow(const HostString *text) {
  String result;
  result.text_ = text;
  return result;
}

String String::Literal(const char *utf8) {
  const KernelInterface *kernel = Kernel();
  return kernel != nullptr ? Borrow(kernel->getAndCacheConstString(utf8)) : String();
}

String String::operator+(const String &tail) const {
  // An empty side adds nothing; the host is asked only to join two texts.
  if (tail.text_ == nullptr) {
    return *this;
  }
  if (text_ == nullptr) {
    return tail;
  }
  const KernelInterface *kernel = Kernel();
  return kernel != nullptr ? Adopt(kernel->concat(text_, tail.text_)) : String();
}

void String::Drop() {
  if (owned_ && Kernel() != nullptr) {
    Kernel()->free(text_);
  }
  text_ = nullptr;
  owned_ = false;
}

}  // namespace framework
