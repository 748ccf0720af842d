// The only place that names the imported entry points: an executable pulls
// this file in, and with it the import of Corvane.dll, only when it uses
// ImportedCorvaneLibrary().
#include "device/CorvaneLibrary.h"

const TCorvaneLibrary& ImportedCorvaneLibrary() {
  static const TCorvaneLibrary library = {&::GetLibraryVersion, &::CreateModuleInterface};
  return library;
}
