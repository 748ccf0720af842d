#include "controls/ColorItems.h"

#include <windows.h>

#include "framework/Component.h"
#include "framework/Text.h"

const char* const SColorItemsDuplicateName = "Дублирование имени '%s'";
const char* const SColorItemsNotFound = "Не найден '%s'";

void ColorItemsError(const std::string& message, const TComponent* component) {
  if (!component || component->Name().empty()) throw EColorItemsError(message);
  throw EColorItemsError(component->Name() + ": " + message);
}

void ColorItemsErrorFmt(const char* format, std::initializer_list<std::string> arguments,
                        const TComponent* component) {
  std::string message;
  auto next = arguments.begin();
  for (const char* p = format ? format : ""; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (next != arguments.end()) message += *next++;
      ++p;
    } else if (p[0] == '%' && p[1] == '%') {
      message += '%';
      ++p;
    } else {
      message += *p;
    }
  }
  ColorItemsError(message, component);
}

bool SameItemName(const std::string& a, const std::string& b) {
  // A fixed Russian sort order, not the user's: the same answer everywhere.
  static const LCID Russian = MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT);
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  std::wstring wa = Widen(a), wb = Widen(b);
  return CompareStringW(Russian, NORM_IGNORECASE, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                        static_cast<int>(wb.size())) == CSTR_EQUAL;
}

void TNamedItem::SetDisplayName(const std::string& name) {
  if (!name.empty() && !SameItemName(name, FName)) {
    if (auto* items = dynamic_cast<const TColorItemCollection*>(Collection())) {
      if (items->IndexOf(name) >= 0)
        ColorItemsErrorFmt(SColorItemsDuplicateName, {name, items->ClassName()}, nullptr);
    }
  }
  FName = name;
  TCollectionItem::SetDisplayName(name);
}

void TColorItem::Assign(const TCollectionItem& source) {
  const auto* item = dynamic_cast<const TColorItem*>(&source);
  if (!item) {
    TCollectionItem::Assign(source);
    return;
  }
  if (item == this) return;
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  try {
    SetName(item->Name());
    FText = item->FText;
    FColor = item->FColor;
  } catch (...) {
    if (collection) collection->EndUpdate();
    throw;
  }
  if (collection) collection->EndUpdate();
}

int TColorItemCollection::IndexOf(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const auto* item = dynamic_cast<const TNamedItem*>(Items(i));
    if (item && SameItemName(item->Name(), name)) return i;
  }
  return -1;
}

TNamedItem* TColorItemCollection::Find(const std::string& name) const {
  int index = IndexOf(name);
  return index < 0 ? nullptr : dynamic_cast<TNamedItem*>(Items(index));
}

void TColorItemCollection::GetItemNames(std::vector<std::string>& names) const {
  names.clear();
  for (int i = 0; i < Count(); ++i) {
    const auto* item = dynamic_cast<const TNamedItem*>(Items(i));
    if (item && !item->Name().empty()) names.push_back(item->Name());
  }
}

void TColorItemCollection::SetItemName(TCollectionItem* item) {
  auto* named = dynamic_cast<TNamedItem*>(item);
  if (!named || !named->Name().empty()) return;
  std::string base = item->ClassName();
  if (!base.empty()) base = base.substr(1, 9);
  // "ColorItem" + (ID + 1). When an item already carries that name (given to
  // it by Add or a rename), the next free number is taken instead, so that
  // appending an item never fails.
  for (long long number = static_cast<long long>(item->ID()) + 1;; ++number) {
    std::string name = base + std::to_string(number);
    if (IndexOf(name) < 0) {
      named->SetName(name);
      return;
    }
  }
}

TColorItems::TColorItems(const TComponent* memo)
    : TColorItemCollection(memo, &TCollection::MakeItem<TColorItem>), FMemo(memo) {}

void TColorItems::Add(const std::string& name) {
  if (IndexOf(name) >= 0) ColorItemsErrorFmt(SColorItemsDuplicateName, {name}, FMemo);
  TColorItem* item = AddColorItem();
  try {
    item->SetName(name);
  } catch (...) {
    Delete(item->Index());
    throw;
  }
}

TColorItem* TColorItems::AddColorItem() { return static_cast<TColorItem*>(TCollection::Add()); }

TColorItem* TColorItems::Find(const std::string& name) const {
  int index = IndexOf(name);
  if (index < 0) ColorItemsErrorFmt(SColorItemsNotFound, {name}, FMemo);
  return GetColorItem(index);
}

TColorItem* TColorItems::GetColorItem(int index) const { return static_cast<TColorItem*>(Items(index)); }

void TColorItems::SetColorItem(int index, const TColorItem& item) { Items(index)->Assign(item); }
