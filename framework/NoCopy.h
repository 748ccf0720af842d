// The base of every class that owns something it must not share: a handle, a
// lock, a window, a thread. It takes away copying; a class that can be moved
// says so itself.
#pragma once

class TNoCopy {
 public:
  TNoCopy(const TNoCopy&) = delete;
  TNoCopy& operator=(const TNoCopy&) = delete;

 protected:
  TNoCopy() = default;
  ~TNoCopy() = default;
};
