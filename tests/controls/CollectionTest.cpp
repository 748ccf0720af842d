// The owned collection under the colour items: IDs, ownership, the update
// bracket, the hooks and copying.
#include "framework/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Exception.h"

namespace {

class TValueItem : public TCollectionItem {
 public:
  int Value = 0;
  bool Refuse = false;  // a source item that cannot be copied
  void Assign(const TCollectionItem& source) override {
    const auto* item = dynamic_cast<const TValueItem*>(&source);
    if (!item || item->Refuse) {
      TCollectionItem::Assign(source);
      return;
    }
    Value = item->Value;
  }
  const char* ClassName() const override { return "TValueItem"; }
};

class TOtherItem : public TCollectionItem {
 public:
  const char* ClassName() const override { return "TOtherItem"; }
};

class TRecordingCollection : public TCollection {
 public:
  explicit TRecordingCollection(const TComponent* owner = nullptr)
      : TCollection(owner, &TCollection::MakeItem<TValueItem>) {}
  TValueItem* Item(int i) const { return static_cast<TValueItem*>(Items(i)); }
  TValueItem* AddValue(int value) {
    auto* item = static_cast<TValueItem*>(Add());
    item->Value = value;
    return item;
  }
  std::vector<int> Values() const {
    std::vector<int> v;
    for (int i = 0; i < Count(); ++i) v.push_back(Item(i)->Value);
    return v;
  }

  std::vector<int> NamedIDs;        // IDs seen by the insertion hook
  std::vector<int> NamedCounts;     // Count() as the hook saw it
  int WholeChanges = 0;             // Update(null)
  std::vector<TCollectionItem*> ItemChanges;  // Update(item)
  bool RefuseNames = false;

 protected:
  void SetItemName(TCollectionItem* item) override {
    NamedIDs.push_back(item->ID());
    NamedCounts.push_back(Count());
    if (RefuseNames) throw TException("no name");
  }
  void Update(TCollectionItem* item) override {
    if (item)
      ItemChanges.push_back(item);
    else
      ++WholeChanges;
  }
};

TEST(CollectionTest, IDsRunPerCollectionAndAreNeverReused) {
  TRecordingCollection items, others;
  EXPECT_EQ(items.Add()->ID(), 0);
  EXPECT_EQ(items.Add()->ID(), 1);
  EXPECT_EQ(items.Add()->ID(), 2);
  EXPECT_EQ(others.Add()->ID(), 0);
  items.Delete(2);
  items.Delete(0);
  EXPECT_EQ(items.Add()->ID(), 3);
  items.Clear();
  EXPECT_EQ(items.Add()->ID(), 4);
  EXPECT_EQ(items.NamedIDs, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(CollectionTest, TheInsertionHookSeesTheItemInPlace) {
  TRecordingCollection items;
  TCollectionItem* a = items.Add();
  TCollectionItem* b = items.Add();
  EXPECT_EQ(items.NamedCounts, (std::vector<int>{1, 2}));
  EXPECT_EQ(a->Collection(), &items);
  EXPECT_EQ(a->Index(), 0);
  EXPECT_EQ(b->Index(), 1);
  items.Delete(0);
  EXPECT_EQ(b->Index(), 0);
  EXPECT_EQ(items.Items(0), b);
}

TEST(CollectionTest, AFailingInsertionHookAddsNothing) {
  TRecordingCollection items;
  items.AddValue(1);
  items.RefuseNames = true;
  EXPECT_THROW(items.Add(), TException);
  EXPECT_EQ(items.Count(), 1);
  items.RefuseNames = false;
  // The ID of the refused item is spent.
  EXPECT_EQ(items.Add()->ID(), 2);
}

TEST(CollectionTest, AnItemOfItsOwnBelongsToNothing) {
  TValueItem item;
  EXPECT_EQ(item.Collection(), nullptr);
  EXPECT_EQ(item.Index(), -1);
  EXPECT_EQ(item.DisplayName(), "TValueItem");
  item.SetDisplayName("x");  // nobody to tell
}

TEST(CollectionTest, BadIndexesRaiseWithTheOwnersName) {
  TComponent memo;
  memo.SetName("AboutESColorMemo");
  TRecordingCollection items(&memo);
  items.AddValue(7);
  for (int bad : {-1, 1, 1000}) {
    try {
      items.Items(bad);
      ADD_FAILURE() << "no exception for index " << bad;
    } catch (const TException& e) {
      EXPECT_EQ(e.Message(), "AboutESColorMemo: Индекс списка вне границ (" + std::to_string(bad) + ")");
    }
    EXPECT_THROW(items.Delete(bad), TException);
  }
  EXPECT_EQ(items.Values(), (std::vector<int>{7}));

  TRecordingCollection unowned;
  try {
    unowned.Items(0);
    ADD_FAILURE() << "no exception";
  } catch (const TException& e) {
    EXPECT_EQ(e.Message(), "Индекс списка вне границ (0)");
  }
}

TEST(CollectionTest, ChangesAreReportedOutsideTheUpdateBracketOnly) {
  TRecordingCollection items;
  TValueItem* a = items.AddValue(1);
  EXPECT_EQ(items.WholeChanges, 1);
  a->SetDisplayName("renamed");
  EXPECT_EQ(items.ItemChanges, (std::vector<TCollectionItem*>{a}));

  items.WholeChanges = 0;
  items.ItemChanges.clear();
  items.BeginUpdate();
  items.BeginUpdate();
  items.AddValue(2);
  a->SetDisplayName("again");
  items.Delete(1);
  items.EndUpdate();
  EXPECT_EQ(items.WholeChanges, 0);
  EXPECT_EQ(items.UpdateCount(), 1);
  items.EndUpdate();
  EXPECT_EQ(items.WholeChanges, 1);
  EXPECT_TRUE(items.ItemChanges.empty());
  // An unbalanced end changes nothing.
  items.EndUpdate();
  EXPECT_EQ(items.UpdateCount(), 0);
  EXPECT_EQ(items.WholeChanges, 1);
}

TEST(CollectionTest, TheDefaultAssignmentIsNotSupported) {
  TOtherItem plain, other;
  try {
    plain.Assign(other);
    ADD_FAILURE() << "no exception";
  } catch (const TException& e) {
    EXPECT_EQ(e.Message(), "Нельзя присвоить TOtherItem объекту TOtherItem: не поддерживается");
  }
  TValueItem value;
  EXPECT_THROW(value.Assign(other), TException);
}

TEST(CollectionTest, AssignReplacesEveryItemByACopy) {
  TRecordingCollection source, target;
  source.AddValue(10);
  source.AddValue(20);
  source.AddValue(30);
  target.AddValue(1);
  target.WholeChanges = 0;
  target.Assign(source);
  EXPECT_EQ(target.Values(), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(source.Values(), (std::vector<int>{10, 20, 30}));
  EXPECT_NE(target.Items(0), source.Items(0));
  EXPECT_EQ(target.Items(2)->Collection(), &target);
  EXPECT_EQ(target.WholeChanges, 1);  // one bracket around the whole copy
  // The copies are independent of their sources.
  source.Item(0)->Value = 11;
  EXPECT_EQ(target.Item(0)->Value, 10);

  TRecordingCollection empty;
  target.Assign(empty);
  EXPECT_EQ(target.Count(), 0);
}

TEST(CollectionTest, AssignFromItselfKeepsTheItems) {
  TRecordingCollection items;
  items.AddValue(5);
  items.AddValue(6);
  items.Assign(items);
  EXPECT_EQ(items.Values(), (std::vector<int>{5, 6}));
}

TEST(CollectionTest, AFailedAssignKeepsThePreviousItems) {
  TRecordingCollection source, target;
  source.AddValue(10);
  source.AddValue(20)->Refuse = true;
  TValueItem* kept = target.AddValue(1);
  target.AddValue(2);
  EXPECT_THROW(target.Assign(source), TException);
  EXPECT_EQ(target.Values(), (std::vector<int>{1, 2}));
  EXPECT_EQ(target.Items(0), kept);
  EXPECT_EQ(kept->Index(), 0);
  EXPECT_EQ(target.UpdateCount(), 0);
}

}  // namespace
