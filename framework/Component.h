// The base of every named part of a window: controls, menus, timers and the
// non-visual components placed on a form. A component belongs to its owner,
// which destroys it; Loaded() runs once the owner's description is built.
#pragma once

#include <string>
#include <vector>

#include "framework/NoCopy.h"

class TComponent : TNoCopy {
 public:
  explicit TComponent(TComponent* owner = nullptr);
  virtual ~TComponent();

  // The component's name, as a window description gives it (cp1251).
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  TComponent* Owner() const { return FOwner; }

  // Called once after the owner and all its components were created from
  // the owner's description. Overrides call the base first.
  virtual void Loaded() {}

  const std::vector<TComponent*>& Components() const { return FComponents; }
  TComponent* FindComponent(const std::string& name) const;

 private:
  void InsertComponent(TComponent* c) { FComponents.push_back(c); }
  void RemoveComponent(TComponent* c);

  TComponent* FOwner;
  std::string FName;
  std::vector<TComponent*> FComponents;
};
