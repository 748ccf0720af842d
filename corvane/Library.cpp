// The library's two entry points and its five interfaces: objects whose first
// word points to a table of __stdcall functions.
#include <cstring>
#include <new>

#include "corvane/Records.h"
#include "corvane/Scenario.h"
#include "corvane/State.h"
#include "device/CorvaneAbi.h"

using namespace Standin;

namespace {

struct StandinInterface {
  IModuleInterface head;  // first word: the function table
  bool base = false;
  Model model = Model::None;
  int slot = -1;  // the open slot, -1 when none
  Module module;  // the module in the open slot, as it was when opened
};

// Every function checks its object against the live ones: a pointer the
// library did not hand out, or one already released, gets a failure.
StandinInterface* Live(IModuleInterface* self) {
  return IsLiveInterface(self) ? reinterpret_cast<StandinInterface*>(self) : nullptr;
}

StandinInterface* Opened(IModuleInterface* self) {
  StandinInterface* me = Live(self);
  return me && me->slot >= 0 ? me : nullptr;
}

BOOL __stdcall Unsupported(IModuleInterface*) { return FALSE; }

BOOL __stdcall OpenSlot(IModuleInterface* self, DWORD slot) {
  try {
    StateLock lock;
    BeginCall();
    CheckScenario();
    Counters& c = Stats();
    ++c.total.open;
    StandinInterface* me = Live(self);
    BOOL ok = FALSE;
    if (me) {
      me->slot = -1;  // whatever was open is closed first
      if (slot < static_cast<DWORD>(SlotCount)) {
        int s = static_cast<int>(slot);
        ++c.slot[s].open;
        const Module& m = CurrentScenario().slots[s];
        if (m.PresentAt(ScenarioElapsed()) && (me->base || m.model == me->model)) {
          bool any = SwitchFails(s, OpOpen);
          bool narrow = SwitchFails(s, me->base ? OpBaseOpen : OpModelOpen);
          if (!any && !narrow) {
            me->module = m;
            me->slot = s;
            ++c.total.opened;
            ++c.slot[s].opened;
            ok = TRUE;
          }
        }
      }
    }
    StatsChanged(false);
    return ok;
  } catch (...) {
    return FALSE;
  }
}

BOOL __stdcall CloseSlot(IModuleInterface* self) {
  try {
    StateLock lock;
    BeginCall();
    Counters& c = Stats();
    ++c.total.close;
    StandinInterface* me = Live(self);
    if (!me) return FALSE;
    BOOL ok = TRUE;
    if (me->slot >= 0) {
      ++c.slot[me->slot].close;
      ok = SwitchFails(me->slot, OpClose) ? FALSE : TRUE;
      me->slot = -1;
    }
    StatsChanged(false);
    return ok;
  } catch (...) {
    return FALSE;
  }
}

BOOL __stdcall ReleaseInterface(IModuleInterface* self) {
  try {
    StateLock lock;
    BeginCall();
    ++Stats().releaseCalls;
    CountLibraryCall(OpRelease);
    StandinInterface* me = Live(self);
    if (me) {
      UnregisterInterface(me);
      delete me;
    }
    StatsChanged(true);
    return me ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

BOOL __stdcall ReadModuleName(IModuleInterface* self, char* name) {
  try {
    StateLock lock;
    BeginCall();
    ++Stats().total.name;
    StandinInterface* me = Opened(self);
    BOOL ok = FALSE;
    if (me) {
      ++Stats().slot[me->slot].name;
      bool any = SwitchFails(me->slot, OpName);
      bool narrow = SwitchFails(me->slot, me->base ? OpBaseName : OpModelName);
      if (!any && !narrow && name) {
        // At most 15 characters and the terminator: the buffer has 16 bytes.
        std::size_t n = me->module.name.size();
        if (n > Corvane::ModuleNameSize - 1) n = Corvane::ModuleNameSize - 1;
        std::memcpy(name, me->module.name.data(), n);
        name[n] = '\0';
        ok = TRUE;
      }
    }
    StatsChanged(false);
    return ok;
  } catch (...) {
    return FALSE;
  }
}

BOOL __stdcall ReadUsbSpeed(IModuleInterface* self, BYTE* speed) {
  try {
    StateLock lock;
    BeginCall();
    ++Stats().total.speed;
    StandinInterface* me = Opened(self);
    BOOL ok = FALSE;
    if (me) {
      ++Stats().slot[me->slot].speed;
      if (!SwitchFails(me->slot, OpSpeed) && speed) {
        *speed = me->module.speed;
        ok = TRUE;
      }
    }
    StatsChanged(false);
    return ok;
  } catch (...) {
    return FALSE;
  }
}

// The file argument names a firmware file; the program passes null for the
// built-in firmware, and the simulation loads the same either way.
BOOL __stdcall LoadFirmware(IModuleInterface* self, const char*) {
  DWORD sleepMs = 0;
  BOOL ok = FALSE;
  bool notice = false;
  try {
    StateLock lock;
    BeginCall();
    ++Stats().total.load;
    StandinInterface* me = Opened(self);
    if (me) {
      ++Stats().slot[me->slot].load;
      ok = SwitchFails(me->slot, OpLoad) ? FALSE : TRUE;
      sleepMs = me->module.loadMs < MaxLoadMs ? me->module.loadMs : MaxLoadMs;
      notice = me->module.loadNotice;
    }
    StatsChanged(true);
  } catch (...) {
    return FALSE;
  }
  // A load takes its time whether it succeeds or not; the state is free meanwhile.
  if (sleepMs) Sleep(sleepMs);
  // The module re-enumerates with its new firmware: Windows broadcasts
  // that devices changed while the caller's scan goes on.
  if (notice) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0, SMTO_ABORTIFHUNG,
                        1000, &result);
  }
  return ok;
}

BOOL Test(IModuleInterface* self) {
  try {
    StateLock lock;
    BeginCall();
    ++Stats().total.test;
    StandinInterface* me = Opened(self);
    BOOL ok = FALSE;
    if (me) {
      ++Stats().slot[me->slot].test;
      ok = SwitchFails(me->slot, OpTest) ? FALSE : TRUE;
    }
    StatsChanged(true);
    return ok;
  } catch (...) {
    return FALSE;
  }
}

// K80-50: TestModule takes a reserved argument (the program passes 0).
BOOL __stdcall TestModuleWithArgument(IModuleInterface* self, DWORD) { return Test(self); }
// K3-600: TestModule takes none.
BOOL __stdcall TestModule(IModuleInterface* self) { return Test(self); }

BOOL __stdcall ReadDescription(IModuleInterface* self, void* record) {
  try {
    StateLock lock;
    BeginCall();
    ++Stats().total.description;
    StandinInterface* me = Opened(self);
    BOOL ok = FALSE;
    if (me) {
      ++Stats().slot[me->slot].description;
      // The module was opened on its own model's interface, so the record
      // has the size of this interface's records.
      if (!SwitchFails(me->slot, OpDescription) && record && !me->base) {
        FillRecord(me->module, static_cast<unsigned char*>(record));
        ok = TRUE;
      }
    }
    StatsChanged(true);
    return ok;
  } catch (...) {
    return FALSE;
  }
}

template <typename F>
void* Entry(F function) {
  return reinterpret_cast<void*>(function);
}

// A table: the common slots, every other one failing (up to the highest
// slot the interface has; entries beyond it are never handed out).
struct FunctionTable {
  explicit FunctionTable(int count) {
    for (int i = 0; i < MaxEntries; ++i) entries[i] = i < count ? Entry(&Unsupported) : nullptr;
    entries[Corvane::SlotOpen] = Entry(&OpenSlot);
    entries[Corvane::SlotClose] = Entry(&CloseSlot);
    entries[Corvane::SlotRelease] = Entry(&ReleaseInterface);
    entries[Corvane::SlotReadModuleName] = Entry(&ReadModuleName);
  }
  FunctionTable& Set(int slot, void* function) {
    entries[slot] = function;
    return *this;
  }
  static constexpr int MaxEntries = Corvane::SlotK3600ReadDescription + 1;
  void* entries[MaxEntries];
};

struct Tables {
  FunctionTable base{Corvane::SlotReadModuleName + 1};
  FunctionTable k3200{Corvane::SlotK3200ReadDescription + 1};
  FunctionTable k390{Corvane::SlotK390ReadDescription + 1};
  FunctionTable k3600{Corvane::SlotK3600ReadDescription + 1};
  FunctionTable k8050{Corvane::SlotK8050ReadDescription + 1};

  Tables() {
    k3200.Set(Corvane::SlotReadUsbSpeed, Entry(&ReadUsbSpeed))
        .Set(Corvane::SlotK3200ReadDescription, Entry(&ReadDescription));
    k390.Set(Corvane::SlotReadUsbSpeed, Entry(&ReadUsbSpeed))
        .Set(Corvane::SlotK390ReadDescription, Entry(&ReadDescription));
    k3600.Set(Corvane::SlotReadUsbSpeed, Entry(&ReadUsbSpeed))
        .Set(Corvane::SlotK3600LoadFirmware, Entry(&LoadFirmware))
        .Set(Corvane::SlotK3600Test, Entry(&TestModule))
        .Set(Corvane::SlotK3600ReadDescription, Entry(&ReadDescription));
    k8050.Set(Corvane::SlotReadUsbSpeed, Entry(&ReadUsbSpeed))
        .Set(Corvane::SlotK8050LoadFirmware, Entry(&LoadFirmware))
        .Set(Corvane::SlotK8050Test, Entry(&TestModuleWithArgument))
        .Set(Corvane::SlotK8050ReadDescription, Entry(&ReadDescription));
  }

  void** For(bool isBase, Model model) {
    if (isBase) return base.entries;
    switch (model) {
      case Model::K3200: return k3200.entries;
      case Model::K390: return k390.entries;
      case Model::K3600: return k3600.entries;
      case Model::K8050: return k8050.entries;
      case Model::None: break;
    }
    return nullptr;
  }
};

Tables TheTables;

}  // namespace

extern "C" DWORD __stdcall GetLibraryVersion(void) {
  try {
    StateLock lock;
    BeginCall();
    CheckScenario();
    ++Stats().versionCalls;
    CountLibraryCall(OpVersion);
    StatsChanged(true);
    return CurrentScenario().version;
  } catch (...) {
    return 0;
  }
}

extern "C" IModuleInterface* __stdcall CreateModuleInterface(const char* deviceName) {
  try {
    StateLock lock;
    BeginCall();
    CheckScenario();
    Counters& c = Stats();
    ++c.createCalls;
    CountLibraryCall(OpCreate);
    StandinInterface* object = nullptr;
    Model model = Model::None;
    bool base = false;
    if (!deviceName || !ModelOfDeviceName(deviceName, model, base)) {
      ++c.unknownNames;
    } else if (CurrentScenario().Refuses(deviceName)) {
      ++c.refused;
    } else {
      object = new StandinInterface;
      object->head.Table = TheTables.For(base, model);
      object->base = base;
      object->model = model;
      RegisterInterface(object);
      ++c.created;
    }
    StatsChanged(true);
    return object ? &object->head : nullptr;
  } catch (...) {
    return nullptr;
  }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      DisableThreadLibraryCalls(instance);
      try {
        AttachState();
      } catch (...) {
        return FALSE;
      }
      break;
    case DLL_PROCESS_DETACH:
      DetachState(reserved != nullptr);
      break;
    default:
      break;
  }
  return TRUE;
}
