#include "platform/base/Classes.h"

#include <gtest/gtest.h>

#include "platform/base/Exceptions.h"

namespace bellcut {
namespace {

// Counts destructions so ownership can be checked.
class Probe : public TComponent {
 public:
  Probe(TComponent* owner, std::vector<std::string>* log, std::string name) : TComponent(owner), log_(log) {
    SetName(name);
  }
  ~Probe() override { log_->push_back(Name()); }
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == opRemove) log_->push_back(Name() + " heard " + c->Name());
  }

 private:
  std::vector<std::string>* log_;
};

TEST(Components, OwnerDestroysOwnedLastFirstAndFindsByName) {
  std::vector<std::string> log;
  {
    auto owner = std::make_unique<Probe>(nullptr, &log, "owner");
    TComponent::MakeOwned<Probe>(owner.get(), &log, "a");
    auto* b = TComponent::MakeOwned<Probe>(owner.get(), &log, "b");
    EXPECT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->FindComponent("B"), b);
    EXPECT_EQ(owner->FindComponent("zz"), nullptr);
    log.clear();
  }
  // The owner's own destructor body runs first (as any C++ destructor), then
  // its components go, last first.
  EXPECT_EQ(log, (std::vector<std::string>{"owner", "b", "a"}));
}

TEST(Components, DestroyingOneRemovesItFromOwnerAndTellsWatchers) {
  std::vector<std::string> log;
  auto owner = std::make_unique<Probe>(nullptr, &log, "owner");
  auto* a = TComponent::MakeOwned<Probe>(owner.get(), &log, "a");
  auto watcher = std::make_unique<Probe>(nullptr, &log, "w");
  watcher->FreeNotification(a);
  TComponent::Destroy(a);
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_NE(std::find(log.begin(), log.end(), "w heard a"), log.end());
}

TEST(Persistent, AssignWithoutSupportRaisesConvertError) {
  TPersistent a, b;
  EXPECT_THROW(a.Assign(&b), EConvertError);
  EXPECT_THROW(a.Assign(nullptr), EConvertError);
}

}  // namespace
}  // namespace bellcut
