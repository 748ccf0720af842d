#include "framework/Collection.h"

#include "framework/Component.h"
#include "framework/Exception.h"

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i].get() == this) return static_cast<int>(i);
  return -1;
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const std::string&) { Changed(); }

void TCollectionItem::Assign(const TCollectionItem& source) {
  std::string message = std::string("Нельзя присвоить ") + source.ClassName() + " объекту " + ClassName() +
                        ": не поддерживается";
  throw TException(FCollection ? FCollection->Prefixed(message) : message);
}

void TCollectionItem::Changed() {
  if (FCollection) FCollection->Changed(this);
}

TCollection::TCollection(const TComponent* owner, TItemFactory factory) : FOwner(owner), FFactory(factory) {}

TCollection::~TCollection() {
  // No notifications from a collection that is going away.
  ++FUpdateCount;
  FItems.clear();
}

std::string TCollection::Prefixed(const std::string& message) const {
  if (FOwner && !FOwner->Name().empty()) return FOwner->Name() + ": " + message;
  return message;
}

void TCollection::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    throw TException(Prefixed("Индекс списка вне границ (" + std::to_string(index) + ")"));
}

TCollectionItem* TCollection::Items(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].get();
}

TCollectionItem* TCollection::Add() {
  std::unique_ptr<TCollectionItem> item = FFactory ? FFactory() : nullptr;
  if (!item) throw TException(Prefixed("Элемент списка не создан"));
  TCollectionItem* raw = item.get();
  raw->FCollection = this;
  raw->FID = FNextID++;
  FItems.push_back(std::move(item));
  try {
    SetItemName(raw);
  } catch (...) {
    FItems.pop_back();
    throw;
  }
  Changed(nullptr);
  return raw;
}

void TCollection::Delete(int index) {
  CheckIndex(index);
  // Take the item out first, so that the list is consistent while it dies.
  std::unique_ptr<TCollectionItem> item = std::move(FItems[static_cast<size_t>(index)]);
  FItems.erase(FItems.begin() + index);
  item->FCollection = nullptr;
  item.reset();
  Changed(nullptr);
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  std::vector<std::unique_ptr<TCollectionItem>> gone;
  gone.swap(FItems);
  for (auto& item : gone) item->FCollection = nullptr;
  gone.clear();
  Changed(nullptr);
}

void TCollection::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) Changed(nullptr);
}

void TCollection::Assign(const TCollection& source) {
  if (&source == this) return;
  BeginUpdate();
  std::vector<std::unique_ptr<TCollectionItem>> previous;
  previous.swap(FItems);
  try {
    for (const auto& item : source.FItems) Add()->Assign(*item);
  } catch (...) {
    for (auto& item : FItems) item->FCollection = nullptr;
    FItems.clear();
    FItems.swap(previous);
    EndUpdate();
    throw;
  }
  for (auto& item : previous) item->FCollection = nullptr;
  previous.clear();
  EndUpdate();
}

void TCollection::SetItemName(TCollectionItem*) {}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed(TCollectionItem* item) {
  if (FUpdateCount == 0) Update(item);
}
