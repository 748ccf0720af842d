// A small owned collection: a list of items that belong to it, each with a
// running ID, an insertion hook for default names, an item-changed hook and
// a begin-update/end-update bracket. Only what the colour items need.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/NoCopy.h"

class TComponent;
class TCollection;

class TCollectionItem : TNoCopy {
 public:
  TCollectionItem() = default;
  virtual ~TCollectionItem() = default;

  // The collection the item belongs to; null for an item of its own.
  TCollection* Collection() const { return FCollection; }
  // Running number given by the collection on insertion (0, 1, 2, ...).
  int ID() const { return FID; }
  // Position in the collection, -1 for an item of its own.
  int Index() const;

  // The text that names the item; the base gives its class name.
  virtual std::string DisplayName() const;
  // The base only tells the collection that the item changed.
  virtual void SetDisplayName(const std::string& name);

  // Copies another item into this one. The base accepts nothing and raises
  // TException; subclasses handle their own kinds and pass the rest here.
  virtual void Assign(const TCollectionItem& source);

  virtual const char* ClassName() const { return "TCollectionItem"; }

 protected:
  // Tells the collection that this item changed (not while it is updating).
  void Changed();

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : TNoCopy {
 public:
  // Makes the new, empty items that Add appends.
  using TItemFactory = std::unique_ptr<TCollectionItem> (*)();
  template <class T>
  static std::unique_ptr<TCollectionItem> MakeItem() {
    return std::make_unique<T>();
  }

  // `owner` names the collection in error messages and may be null.
  TCollection(const TComponent* owner, TItemFactory factory);
  virtual ~TCollection();

  const TComponent* Owner() const { return FOwner; }
  int Count() const { return static_cast<int>(FItems.size()); }
  // The item at `index`; raises TException when the index is out of range.
  TCollectionItem* Items(int index) const;

  // Appends a new item from the factory; the insertion hook names it. When
  // the hook raises, nothing is added and the failure propagates.
  TCollectionItem* Add();
  // Removes and destroys the item at `index`; raises TException when the
  // index is out of range.
  void Delete(int index);
  void Clear();

  void BeginUpdate() { ++FUpdateCount; }
  // Ends one bracket; the last one reports a change of the whole collection.
  // Unbalanced calls are ignored.
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // Replaces every item by a copy of the items of `source` (through the
  // items' Assign), inside one update bracket. When a copy fails, the
  // previous items are put back and the failure propagates.
  virtual void Assign(const TCollection& source);

  virtual const char* ClassName() const { return "TCollection"; }

 protected:
  // Insertion hook, run for every new item after it got its ID and place.
  virtual void SetItemName(TCollectionItem* item);
  // Change notification: `item` changed, or the whole collection when null.
  // Not called while an update bracket is open.
  virtual void Update(TCollectionItem* item);
  // "Owner: message" when the owner has a name, else the message alone.
  std::string Prefixed(const std::string& message) const;

 private:
  friend class TCollectionItem;
  void Changed(TCollectionItem* item);
  void CheckIndex(int index) const;

  const TComponent* FOwner;
  TItemFactory FFactory;
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
  int FNextID = 0;
  int FUpdateCount = 0;
};
