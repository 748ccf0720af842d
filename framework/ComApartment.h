// COM on the window thread for the life of the object: a single-threaded
// apartment with OLE1 DDE off, as ShellExecuteW asks of its callers (some URL
// and mail handlers are COM objects).
#pragma once

#include "framework/NoCopy.h"

class TComApartment : TNoCopy {
 public:
  TComApartment();
  ~TComApartment();
  // False when the thread already is in another kind of apartment: it is
  // then left as it is.
  bool Entered() const { return FEntered; }

 private:
  bool FEntered;
};
