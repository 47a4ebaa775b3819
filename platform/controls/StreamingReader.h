// Reading components from a form resource.
//
// The whole text is parsed first, so malformed text fails before any
// component is made. Then, for the root and for every object block in
// order: the component is created by class name (the root's field classes
// first, then the registered classes) with the root as its owner, named,
// marked loading, given its enclosing component through
// SetParentComponent, and asked to ReadState; the inherited ReadState reads
// its properties in the resource's order and then its children. After the
// whole tree: component references are resolved by name, the root's fields
// are filled by name, and Loaded runs on every component in creation order
// (the root first).
//
// A failure while reading destroys every component this read created (last
// first), leaves the root's loading state cleared and raises EReadError
// naming the component, the property and the line. A failure inside a
// Loaded is raised after every component has had its Loaded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/controls/StreamingRegistry.h"
#include "platform/controls/StreamingText.h"

namespace bellcut {

class TFormReader final : public TReader {
 public:
  explicit TFormReader(const TFormObject& Tree) : tree_(Tree) {}

  // Reads the tree into Root, whose class must be the tree's root class.
  void ReadRootComponent(TComponent* Root);

  void ReadData(TComponent* Instance) override;
  [[nodiscard]] TComponent* Root() const override { return root_; }
  [[nodiscard]] TComponent* Parent() const override { return parent_; }

 private:
  struct Fixup {
    TObject* Instance;
    std::shared_ptr<const TPropInfo> Prop;
    std::string Target;
    std::string Owner;  // "Button1.Link", for messages
    int Line;
  };

  void ReadProperty(TComponent* Instance, const TFormProperty& Prop);
  void ReadChild(TComponent* Parent, const TFormObject& Node);
  TComponent* CreateComponent(const TFormObject& Node);
  void ResolveFixups();
  void CallLoaded();

  const TFormObject& tree_;
  const TFormObject* current_ = nullptr;
  TComponent* expected_ = nullptr;  // whose ReadState is due to call ReadData
  bool dataRead_ = false;
  TComponent* root_ = nullptr;
  TComponent* parent_ = nullptr;
  std::vector<TComponent*> created_;
  std::vector<Fixup> fixups_;
};

// Parses Text and reads it into Root.
void ReadComponentText(TComponent* Root, std::string_view Text);
// Creates the root from its registered class (no owner) and reads it.
[[nodiscard]] std::unique_ptr<TComponent> CreateComponentFromText(std::string_view Text);

// Form resources compiled into the program, by the class they describe.
void RegisterFormResource(std::string_view ClassName, std::string_view Text);
// Reads the resource registered for Instance's class into Instance, as a
// form's constructor does; false when the class has none.
bool InitInheritedComponent(TComponent* Instance);

}  // namespace bellcut
