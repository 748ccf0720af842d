// The colour items of the coloured memo: named substrings, each with the
// colour it is painted in, in a list that keeps the names unique.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "framework/Collection.h"
#include "framework/Exception.h"

class TComponent;

// Message formats of the colour-item errors.
extern const char* const SColorItemsDuplicateName;  // "Дублирование имени '%s'"
extern const char* const SColorItemsNotFound;       // "Не найден '%s'"

class EColorItemsError : public TException {
 public:
  using TException::TException;
};

// Raises EColorItemsError with `message`, as "Name: message" when
// `component` is given and has a non-empty Name.
[[noreturn]] void ColorItemsError(const std::string& message, const TComponent* component);
// Fills `format` with `arguments` and raises through ColorItemsError. Each
// "%s" takes the next argument (empty when none is left), "%%" gives a
// percent sign, arguments beyond the format's are not used.
[[noreturn]] void ColorItemsErrorFmt(const char* format, std::initializer_list<std::string> arguments,
                                     const TComponent* component);

// Compares two cp1251 names as the colour items do: without regard to letter
// case, Cyrillic included, with the same answer on every system locale.
bool SameItemName(const std::string& a, const std::string& b);

class TNamedItem : public TCollectionItem {
 public:
  const std::string& Name() const { return FName; }
  // The name setter: refuses the name of another item of its colour-item
  // collection (EColorItemsError, the name stays); accepts an empty name.
  void SetName(const std::string& name) { SetDisplayName(name); }

  std::string DisplayName() const override { return FName; }
  void SetDisplayName(const std::string& name) override;
  const char* ClassName() const override { return "TNamedItem"; }

 private:
  std::string FName;
};

class TColorItem : public TNamedItem {
 public:
  // Published: Name, Color, Text.
  // 0x00BBGGRR, or a system-colour constant.
  uint32_t Color() const { return FColor; }
  void SetColor(uint32_t color) { FColor = color; }
  // The substring painted in Color.
  const std::string& Text() const { return FText; }
  void SetText(const std::string& text) { FText = text; }

  // From another TColorItem: Name (through the name setter), then Text, then
  // Color, inside the collection's update bracket. Other sources raise.
  void Assign(const TCollectionItem& source) override;
  const char* ClassName() const override { return "TColorItem"; }

 private:
  uint32_t FColor = 0;
  std::string FText;
};

class TColorItemCollection : public TCollection {
 public:
  TColorItemCollection(const TComponent* owner, TItemFactory factory) : TCollection(owner, factory) {}

  // First index whose item's Name equals `name` (letter case ignored), or -1.
  int IndexOf(const std::string& name) const;
  // The item IndexOf finds, or null.
  TNamedItem* Find(const std::string& name) const;
  // Clears `names` and appends every non-empty Name in collection order.
  void GetItemNames(std::vector<std::string>& names) const;

  const char* ClassName() const override { return "TColorItemCollection"; }

 protected:
  // Gives an unnamed new item its default name: the item class name without
  // its first letter, cut to 9 characters, then the decimal of ID + 1.
  void SetItemName(TCollectionItem* item) override;
};

class TColorItems : public TColorItemCollection {
 public:
  // `memo` only prefixes the error messages; it may be null.
  explicit TColorItems(const TComponent* memo);

  const TComponent* Memo() const { return FMemo; }

  // Appends an item named `name`; raises the duplicate-name error (and adds
  // nothing) when an item already has that name.
  void Add(const std::string& name);
  // Appends a new item with its default name.
  TColorItem* AddColorItem();
  // The item named `name`; raises the not-found error when there is none.
  TColorItem* Find(const std::string& name) const;

  TColorItem* GetColorItem(int index) const;
  // Copies `item` into the existing item at `index`.
  void SetColorItem(int index, const TColorItem& item);

  const char* ClassName() const override { return "TColorItems"; }

 private:
  const TComponent* FMemo;
};
