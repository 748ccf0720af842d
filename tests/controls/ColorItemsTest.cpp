// Colour items: default names, unique names under a case-insensitive
// comparison (Cyrillic included), the errors and their prefixes, copying.
#include "controls/ColorItems.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Component.h"

namespace {

std::vector<std::string> Names(const TColorItemCollection& items) {
  std::vector<std::string> names;
  for (int i = 0; i < items.Count(); ++i) names.push_back(static_cast<TNamedItem*>(items.Items(i))->Name());
  return names;
}

// The message of the EColorItemsError that `action` raises.
template <class F>
std::string ErrorOf(F action) {
  try {
    action();
  } catch (const EColorItemsError& e) {
    return e.Message();
  } catch (...) {
    return "<another exception>";
  }
  return "<no exception>";
}

class ColorItemsTest : public ::testing::Test {
 protected:
  ColorItemsTest() : items(&memo) { memo.SetName("AboutESColorMemo"); }
  TComponent memo;
  TColorItems items;
};

TEST(ColorItemNameTest, ComparesWithoutLetterCaseIncludingCyrillic) {
  EXPECT_TRUE(SameItemName("ColorItem1", "colorITEM1"));
  EXPECT_TRUE(SameItemName("Синий", "СИНИЙ"));
  EXPECT_TRUE(SameItemName("ёжик", "ЁЖИК"));
  EXPECT_TRUE(SameItemName("Зелёный K3-600", "ЗЕЛЁНЫЙ k3-600"));
  EXPECT_TRUE(SameItemName("", ""));
  EXPECT_FALSE(SameItemName("Синий", "Синий2"));
  EXPECT_FALSE(SameItemName("Синий", "Синяя"));
  EXPECT_FALSE(SameItemName("Синий", ""));
  EXPECT_FALSE(SameItemName("", "Синий"));
  EXPECT_FALSE(SameItemName("ColorItem1", "ColorItem2"));
  // Latin "C" and Cyrillic "С" look alike but are different letters.
  EXPECT_FALSE(SameItemName("Cиний", "Синий"));
}

TEST_F(ColorItemsTest, NewItemsGetRunningDefaultNames) {
  TColorItem* first = items.AddColorItem();
  items.AddColorItem();
  items.AddColorItem();
  EXPECT_EQ(Names(items), (std::vector<std::string>{"ColorItem1", "ColorItem2", "ColorItem3"}));
  EXPECT_EQ(first->Text(), "");
  EXPECT_EQ(first->Color(), 0u);
  items.Delete(1);
  EXPECT_EQ(items.AddColorItem()->Name(), "ColorItem4");
  EXPECT_EQ(Names(items), (std::vector<std::string>{"ColorItem1", "ColorItem3", "ColorItem4"}));
  EXPECT_EQ(first->DisplayName(), "ColorItem1");
}

TEST_F(ColorItemsTest, ADefaultNameThatIsTakenMovesToTheNextFreeNumber) {
  items.Add("ColorItem2");  // the item has ID 0
  TColorItem* next = items.AddColorItem();
  EXPECT_EQ(next->ID(), 1);
  EXPECT_EQ(next->Name(), "ColorItem3");
  items.Add("colorItem5");
  EXPECT_EQ(items.AddColorItem()->Name(), "ColorItem4");  // ID 3
  EXPECT_EQ(items.AddColorItem()->Name(), "ColorItem6");  // ID 4, "ColorItem5" taken
  EXPECT_EQ(items.Count(), 5);
}

TEST_F(ColorItemsTest, AddNamesTheNewItem) {
  items.Add("Синий");
  items.Add("Red");
  EXPECT_EQ(Names(items), (std::vector<std::string>{"Синий", "Red"}));
  EXPECT_EQ(items.GetColorItem(1)->ID(), 1);
  EXPECT_EQ(items.IndexOf("синий"), 0);
  EXPECT_EQ(items.IndexOf("RED"), 1);
  EXPECT_EQ(items.IndexOf("Green"), -1);
}

TEST_F(ColorItemsTest, AddWithATakenNameRaisesThePrefixedDuplicateError) {
  items.AddColorItem();
  EXPECT_EQ(ErrorOf([&] { items.Add("colorItem1"); }), "AboutESColorMemo: Дублирование имени 'colorItem1'");
  items.Add("Синий");
  EXPECT_EQ(ErrorOf([&] { items.Add("СИНИЙ"); }), "AboutESColorMemo: Дублирование имени 'СИНИЙ'");
  EXPECT_EQ(Names(items), (std::vector<std::string>{"ColorItem1", "Синий"}));
  // Nothing was added, so no ID was spent either.
  EXPECT_EQ(items.AddColorItem()->Name(), "ColorItem3");
}

TEST_F(ColorItemsTest, MessagesAreNotPrefixedForAMemoWithoutName) {
  memo.SetName("");
  items.Add("A");
  EXPECT_EQ(ErrorOf([&] { items.Add("a"); }), "Дублирование имени 'a'");
  EXPECT_EQ(ErrorOf([&] { items.Find("B"); }), "Не найден 'B'");
  TColorItems unowned(nullptr);
  unowned.Add("A");
  EXPECT_EQ(ErrorOf([&] { unowned.Add("A"); }), "Дублирование имени 'A'");
}

TEST_F(ColorItemsTest, FindRaisesThePrefixedNotFoundError) {
  items.Add("Синий");
  EXPECT_EQ(items.Find("синий"), items.GetColorItem(0));
  EXPECT_EQ(ErrorOf([&] { items.Find("Красный"); }), "AboutESColorMemo: Не найден 'Красный'");
  // The collection's own Find answers null instead.
  const TColorItemCollection& plain = items;
  EXPECT_EQ(plain.Find("Красный"), nullptr);
  EXPECT_EQ(plain.Find("СИНИЙ"), items.GetColorItem(0));
}

TEST_F(ColorItemsTest, RenamingToAnotherItemsNameIsRefusedWithoutPrefix) {
  items.AddColorItem();
  TColorItem* second = items.AddColorItem();
  EXPECT_EQ(ErrorOf([&] { second->SetName("COLORITEM1"); }), "Дублирование имени 'COLORITEM1'");
  EXPECT_EQ(second->Name(), "ColorItem2");
  // Its own name in another letter case is allowed.
  second->SetName("COLORITEM2");
  EXPECT_EQ(second->Name(), "COLORITEM2");
  second->SetName("Синий");
  items.GetColorItem(0)->SetName("Красный");
  EXPECT_EQ(ErrorOf([&] { items.GetColorItem(0)->SetName("сИНИЙ"); }), "Дублирование имени 'сИНИЙ'");
  EXPECT_EQ(Names(items), (std::vector<std::string>{"Красный", "Синий"}));
}

TEST_F(ColorItemsTest, EmptyNamesAreAcceptedWithoutCheck) {
  items.AddColorItem()->SetName("");
  items.AddColorItem()->SetName("");
  EXPECT_EQ(Names(items), (std::vector<std::string>{"", ""}));
  std::vector<std::string> names{"stale"};
  items.GetItemNames(names);
  EXPECT_TRUE(names.empty());
  // An item of its own has no list to check against.
  TColorItem loose;
  loose.SetName("ColorItem1");
  EXPECT_EQ(loose.Name(), "ColorItem1");
}

TEST_F(ColorItemsTest, GetItemNamesClearsAndListsTheNonEmptyNames) {
  items.Add("Синий");
  items.AddColorItem()->SetName("");
  items.Add("Red");
  std::vector<std::string> names{"old", "list"};
  items.GetItemNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Синий", "Red"}));
}

TEST_F(ColorItemsTest, AssignCopiesNameTextAndColour) {
  TColorItem source;
  source.SetName("Синий");
  source.SetText("K3-600");
  source.SetColor(0xFF0000);
  TColorItem* item = items.AddColorItem();
  item->Assign(source);
  EXPECT_EQ(item->Name(), "Синий");
  EXPECT_EQ(item->Text(), "K3-600");
  EXPECT_EQ(item->Color(), 0xFF0000u);
  EXPECT_EQ(items.UpdateCount(), 0);
}

TEST_F(ColorItemsTest, AssignWithATakenNameChangesNothing) {
  items.Add("Синий");
  TColorItem* item = items.AddColorItem();
  item->SetText("old");
  item->SetColor(1);
  TColorItem source;
  source.SetName("СИНИЙ");
  source.SetText("new");
  source.SetColor(2);
  EXPECT_EQ(ErrorOf([&] { item->Assign(source); }), "Дублирование имени 'СИНИЙ'");
  EXPECT_EQ(item->Name(), "ColorItem2");
  EXPECT_EQ(item->Text(), "old");
  EXPECT_EQ(item->Color(), 1u);
  // The update bracket was closed on the way out.
  EXPECT_EQ(items.UpdateCount(), 0);
}

TEST_F(ColorItemsTest, AssignFromAnotherKindIsNotSupported) {
  class TPlainItem : public TCollectionItem {};
  TPlainItem plain;
  TColorItem* item = items.AddColorItem();
  try {
    item->Assign(plain);
    ADD_FAILURE() << "no exception";
  } catch (const EColorItemsError&) {
    ADD_FAILURE() << "not a colour-item error";
  } catch (const TException& e) {
    EXPECT_NE(e.Message().find("не поддерживается"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(item->Name(), "ColorItem1");
}

TEST_F(ColorItemsTest, SetColorItemCopiesIntoTheExistingItem) {
  items.Add("Синий");
  items.Add("Red");
  TColorItem* kept = items.GetColorItem(1);
  TColorItem value;
  value.SetName("Green");
  value.SetText("ПЛИС");
  value.SetColor(0x00FF00);
  items.SetColorItem(1, value);
  EXPECT_EQ(items.GetColorItem(1), kept);
  EXPECT_EQ(kept->Name(), "Green");
  EXPECT_EQ(kept->Text(), "ПЛИС");
  EXPECT_EQ(kept->Color(), 0x00FF00u);
  EXPECT_EQ(items.Count(), 2);
  // The copy keeps no link to its source.
  value.SetText("other");
  EXPECT_EQ(kept->Text(), "ПЛИС");
  // Another item's name is refused, a bad index raises.
  value.SetName("синий");
  EXPECT_THROW(items.SetColorItem(1, value), EColorItemsError);
  EXPECT_EQ(kept->Name(), "Green");
  EXPECT_THROW(items.SetColorItem(2, value), TException);
  EXPECT_THROW(items.GetColorItem(-1), TException);
}

TEST_F(ColorItemsTest, AssigningAListCopiesEveryItem) {
  TComponent other;
  TColorItems source(&other);
  source.Add("ColorItem4");
  source.GetColorItem(0)->SetText("K3-600");
  source.GetColorItem(0)->SetColor(0x0000FF);
  source.Add("ColorItem3");
  source.Add("Синий");
  source.GetColorItem(2)->SetText("USB");
  items.Add("Old");
  items.Assign(source);
  EXPECT_EQ(Names(items), (std::vector<std::string>{"ColorItem4", "ColorItem3", "Синий"}));
  EXPECT_EQ(items.GetColorItem(0)->Text(), "K3-600");
  EXPECT_EQ(items.GetColorItem(0)->Color(), 0x0000FFu);
  EXPECT_EQ(items.GetColorItem(2)->Text(), "USB");
  EXPECT_NE(items.GetColorItem(0), source.GetColorItem(0));
  // The copy raises with this list's memo, the source is unchanged.
  EXPECT_EQ(ErrorOf([&] { items.Find("Old"); }), "AboutESColorMemo: Не найден 'Old'");
  EXPECT_EQ(source.Count(), 3);
}

TEST_F(ColorItemsTest, ErrorFunctionsFormatAndPrefix) {
  EXPECT_EQ(ErrorOf([&] { ColorItemsError("Текст", &memo); }), "AboutESColorMemo: Текст");
  EXPECT_EQ(ErrorOf([&] { ColorItemsError("Текст", nullptr); }), "Текст");
  EXPECT_EQ(ErrorOf([&] { ColorItemsErrorFmt("'%s' и '%s'", {"a", "b", "c"}, nullptr); }), "'a' и 'b'");
  EXPECT_EQ(ErrorOf([&] { ColorItemsErrorFmt("%s: 100%% '%s'", {"x"}, &memo); }),
            "AboutESColorMemo: x: 100% ''");
  EXPECT_EQ(ErrorOf([&] { ColorItemsErrorFmt("%d %", {"x"}, nullptr); }), "%d %");
  EXPECT_EQ(ErrorOf([&] { ColorItemsErrorFmt(SColorItemsNotFound, {"Синий"}, nullptr); }), "Не найден 'Синий'");
  EXPECT_STREQ(SColorItemsDuplicateName, "Дублирование имени '%s'");
}

}  // namespace
