#include "platform/base/Classes.h"

#include <algorithm>
#include <cctype>

#include "platform/base/Exceptions.h"

namespace bellcut {

void TPersistent::Assign(const TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
    return;
  }
  AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string from = Source != nullptr ? std::string(Source->ClassName()) : "nil";
  throw EConvertError("Cannot assign a " + from + " to a " + std::string(ClassName()));
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  state_.Include(csDestroying);
  // Tell everyone who asked, then forget them, so nobody keeps a dangling pointer.
  auto notifies = freeNotifies_;
  for (TComponent* c : notifies) {
    c->freeNotifies_.erase(this);
    c->Notification(this, opRemove);
  }
  freeNotifies_.clear();
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (c->name_.size() == name.size() &&
        std::equal(name.begin(), name.end(), c->name_.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
      return c;
  }
  return nullptr;
}

void TComponent::SetName(const std::string& NewName) { name_ = NewName; }

void TComponent::SetDesigning(bool value) {
  if (value) state_.Include(csDesigning); else state_.Exclude(csDesigning);
  for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::SetLoading(bool value) {
  if (value) state_.Include(csLoading); else state_.Exclude(csLoading);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::ReadState(TReader& Reader) { Reader.ReadData(this); }

void TComponent::SetParentComponent(TComponent* /*Value*/) {}

void TComponent::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const {
  if (Root != this) return;
  for (TComponent* c : components_)
    if (!c->HasParent()) Proc(c);
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->owner_ != nullptr) AComponent->owner_->RemoveComponent(AComponent);
  components_.push_back(AComponent);
  AComponent->owner_ = this;
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  auto it = std::find(components_.begin(), components_.end(), AComponent);
  if (it == components_.end()) return;
  Notification(AComponent, opRemove);
  components_.erase(it);
  AComponent->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    c->BeforeDestruction();
    // The hook may have destroyed or handed on the component itself.
    if (components_.empty() || components_.back() != c) continue;
    RemoveComponent(c);
    delete c;  // ownership: this component owned it
  }
}

void TComponent::Destroy(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  AComponent->BeforeDestruction();
  delete AComponent;
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove) freeNotifies_.erase(AComponent);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  freeNotifies_.insert(AComponent);
  AComponent->freeNotifies_.insert(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  freeNotifies_.erase(AComponent);
  if (AComponent != nullptr) AComponent->freeNotifies_.erase(this);
}

}  // namespace bellcut
