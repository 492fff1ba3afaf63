// A host string: reference-counted by the host's kernel.
//
// A String either holds one reference of its own (released when it goes) or
// borrows a string someone else keeps alive: a resource string, a string the
// host caches until it ends. A default String is the module's own empty
// string, which needs no host.
#pragma once

#include "host_types.h"

namespace framework {

class String {
 public:
  String() = default;
  ~String();
  String(const String &other);
  String &operator=(const String &other);
  String(String &&other) noexcept;
  String &operator=(String &&other) noexcept;

  // Takes over the one reference the caller holds on `text`.
  static String Adopt(HostString *text);
  // Refers to `text` without a reference; its owner keeps it alive.
  static String Borrow(const HostString *text);
  // A fixed text of the module, kept by the host until it ends.
  static String Literal(const char *utf8);

  // Null for the module's own empty string.
  const HostString *Get() const { return text_; }

  // A new string: this text followed by `tail`.
  String operator+(const String &tail) const;

 private:
  void Drop();

  const HostString *text_ = nullptr;
  bool owned_ = false;
};

}  // namespace framework
