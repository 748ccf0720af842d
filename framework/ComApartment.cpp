#include "framework/ComApartment.h"

#include <objbase.h>

// Every successful entry, S_FALSE (already entered) included, is left once.
TComApartment::TComApartment()
    : FEntered(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

TComApartment::~TComApartment() {
  if (FEntered) CoUninitialize();
}
