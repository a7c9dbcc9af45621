// Owners of operating-system resources: each acquisition is wrapped at the
// call that makes it, so that it is released on every path out of the
// function that holds it, early returns included.
#pragma once

#include "os/api.h"

namespace os {

// `Kind` says what an empty value is and how a held one is given back:
//   static Value Empty();  static bool Holds(Value);  static void Release(Value);
template <typename Kind>
class Unique {
 public:
  using Value = typename Kind::Value;

  Unique() = default;
  explicit Unique(Value value) : value_(value) {}
  ~Unique() { reset(); }

  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;

  Value get() const { return value_; }
  explicit operator bool() const { return Kind::Holds(value_); }

  Value release() {
    const Value value = value_;
    value_ = Kind::Empty();
    return value;
  }

  void reset(Value value = Kind::Empty()) {
    if (Kind::Holds(value_)) Kind::Release(value_);
    value_ = value;
  }

 private:
  Value value_ = Kind::Empty();
};

struct HandleKind {
  using Value = HANDLE;
  static Value Empty() { return INVALID_HANDLE_VALUE; }
  static bool Holds(Value h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Release(Value h) { Api().CloseHandle(h); }
};

struct PagesKind {
  using Value = LPVOID;
  static Value Empty() { return nullptr; }
  static bool Holds(Value p) { return p != nullptr; }
  static void Release(Value p) { Api().VirtualFree(p, 0, MEM_RELEASE); }
};

using UniqueHandle = Unique<HandleKind>;  // CloseHandle
using UniquePages = Unique<PagesKind>;    // VirtualFree(p, 0, MEM_RELEASE)

}  // namespace os
