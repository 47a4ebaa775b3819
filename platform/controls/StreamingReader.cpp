#include "platform/controls/StreamingReader.h"

#include <exception>
#include <map>

#include "platform/base/CodePage.h"

namespace bellcut {
namespace {

std::string LineSuffix(int line) { return " on line " + std::to_string(line); }

std::string DisplayName(const TComponent* c) {
  return c->Name().empty() ? std::string(c->ClassName()) : c->Name();
}

// Raised inside ReadProperty with the reason only; ReadProperty adds the
// component, the property and the line.
class PropertyFailure : public std::exception {
 public:
  explicit PropertyFailure(std::string reason) : reason_(std::move(reason)) {}
  [[nodiscard]] const char* what() const noexcept override { return reason_.c_str(); }

 private:
  std::string reason_;
};

[[noreturn]] void Invalid(const std::string& detail) { throw PropertyFailure("Invalid property value: " + detail); }

const char* TypeName(TFormValueType t) {
  switch (t) {
    case TFormValueType::Integer: return "a number";
    case TFormValueType::Ident: return "an identifier";
    case TFormValueType::String: return "a string";
    case TFormValueType::Set: return "a set";
    case TFormValueType::Binary: return "binary data";
  }
  return "a value";
}

std::int64_t OrdinalValue(const TPropInfo& p, const TFormValue& v) {
  switch (p.Kind) {
    case TPropKind::Integer:
    case TPropKind::Color: {
      std::int64_t value = 0;
      if (v.Type == TFormValueType::Integer) {
        value = v.Int;
      } else if (v.Type == TFormValueType::Ident && p.Idents) {
        auto found = p.Idents->Find(v.Text);
        if (!found) Invalid(v.Text + " is not a known value name");
        value = *found;
      } else {
        Invalid(std::string("a number expected but ") + TypeName(v.Type) + " found");
      }
      if (value < p.MinValue || value > p.MaxValue)
        Invalid(std::to_string(value) + " is outside " + std::to_string(p.MinValue) + ".." + std::to_string(p.MaxValue));
      return value;
    }
    case TPropKind::Boolean:
      if (v.Type == TFormValueType::Ident) {
        if (SameIdent(v.Text, "True")) return 1;
        if (SameIdent(v.Text, "False")) return 0;
      }
      Invalid("True or False expected");
    case TPropKind::Enumeration: {
      if (v.Type != TFormValueType::Ident)
        Invalid(std::string("a ") + p.Enum->Name + " value expected but " + TypeName(v.Type) + " found");
      auto found = p.Enum->Find(v.Text);
      if (!found) Invalid(v.Text + " is not a " + p.Enum->Name + " value");
      return *found;
    }
    case TPropKind::Set: {
      if (v.Type != TFormValueType::Set) Invalid(std::string("a set expected but ") + TypeName(v.Type) + " found");
      std::uint64_t bits = 0;
      for (const auto& item : v.Items) {
        auto found = p.Enum->Find(item);
        if (!found) Invalid(item + " is not a " + p.Enum->Name + " value");
        bits |= std::uint64_t{1} << *found;
      }
      return static_cast<std::int64_t>(bits);
    }
    default:
      Invalid("not an ordinal property");
  }
}

std::map<std::string, std::string, std::less<>>& Resources() {
  static std::map<std::string, std::string, std::less<>> resources;
  return resources;
}

}  // namespace

void TFormReader::ReadRootComponent(TComponent* Root) {
  if (Root == nullptr) throw EReadError("No component to read into");
  if (root_ != nullptr) throw EReadError("A form reader reads one root only");
  root_ = Root;
  if (!SameIdent(tree_.ClassName, Root->ClassName()))
    throw EReadError("The resource describes a " + tree_.ClassName + ", not a " + std::string(Root->ClassName()) +
                     LineSuffix(tree_.Line));
  Root->SetLoading(true);
  try {
    if (!tree_.Name.empty()) Root->SetName(tree_.Name);
    current_ = &tree_;
    expected_ = Root;
    dataRead_ = false;
    Root->ReadState(*this);
    if (!dataRead_) throw EReadError(DisplayName(Root) + " did not read its data");
    ResolveFixups();
    for (TComponent* c : created_)
      if (!c->Name().empty()) AssignField(*Root, c->Name(), c);
  } catch (...) {
    for (TComponent* c : created_)
      if (!c->Name().empty()) {
        try {
          AssignField(*Root, c->Name(), nullptr);
        } catch (...) {  // a null always fits; nothing to undo otherwise
        }
      }
    for (auto it = created_.rbegin(); it != created_.rend(); ++it) TComponent::Destroy(*it);
    created_.clear();
    Root->SetLoading(false);
    throw;
  }
  CallLoaded();
}

void TFormReader::ReadData(TComponent* Instance) {
  if (Instance == nullptr || Instance != expected_ || dataRead_)
    throw EReadError("Form data read for the wrong component");
  dataRead_ = true;
  const TFormObject& node = *current_;
  for (const auto& prop : node.Properties) ReadProperty(Instance, prop);
  for (const auto& child : node.Children) ReadChild(Instance, child);
}

void TFormReader::ReadChild(TComponent* Parent, const TFormObject& Node) {
  TComponent* child = CreateComponent(Node);
  const TFormObject* savedNode = current_;
  TComponent* savedExpected = expected_;
  TComponent* savedParent = parent_;
  current_ = &Node;
  expected_ = child;
  dataRead_ = false;
  parent_ = Parent;
  child->SetParentComponent(Parent);
  child->ReadState(*this);
  if (!dataRead_) throw EReadError(DisplayName(child) + " did not read its data" + LineSuffix(Node.Line));
  current_ = savedNode;
  expected_ = savedExpected;
  parent_ = savedParent;
  dataRead_ = true;
}

TComponent* TFormReader::CreateComponent(const TFormObject& Node) {
  TComponentFactory factory = FindFieldClass(root_->ClassName(), Node.ClassName);
  if (!factory) factory = GetClass(Node.ClassName);
  if (!factory) throw EClassNotFound("Class " + Node.ClassName + " not found" + LineSuffix(Node.Line));
  if (!Node.Name.empty() && (SameIdent(Node.Name, root_->Name()) || root_->FindComponent(Node.Name) != nullptr))
    throw EReadError("A component named " + Node.Name + " already exists" + LineSuffix(Node.Line));
  TComponent* c = factory(root_);
  if (c == nullptr) throw EReadError("Class " + Node.ClassName + " made no component" + LineSuffix(Node.Line));
  // The root owns everything its resource creates, even if a factory forgot.
  if (c->Owner() != root_) root_->InsertComponent(c);
  created_.push_back(c);
  c->SetLoading(true);
  if (!Node.Name.empty()) c->SetName(Node.Name);
  return c;
}

void TFormReader::ReadProperty(TComponent* Instance, const TFormProperty& Prop) {
  const std::string where = "Error reading " + DisplayName(Instance) + "." + Prop.Path + ": ";
  try {
    TObject* obj = Instance;
    std::string_view path = Prop.Path;
    std::shared_ptr<const TPropInfo> info;
    for (;;) {
      const std::size_t dot = path.find('.');
      const std::string_view name = path.substr(0, dot);
      if (!IsPublishedClass(obj->ClassName()))
        throw PropertyFailure("Class " + std::string(obj->ClassName()) + " has no published properties");
      info = FindPropInfo(obj->ClassName(), name);
      if (!info) throw PropertyFailure("Property " + std::string(name) + " does not exist");
      if (dot == std::string_view::npos) break;
      if (info->Kind != TPropKind::Object) throw PropertyFailure("Property " + std::string(name) + " is not an object");
      obj = info->GetObject(*obj);
      if (obj == nullptr) throw PropertyFailure("Property " + std::string(name) + " holds no object");
      path = path.substr(dot + 1);
    }
    const TFormValue& v = Prop.Value;
    switch (info->Kind) {
      case TPropKind::Integer:
      case TPropKind::Boolean:
      case TPropKind::Enumeration:
      case TPropKind::Set:
      case TPropKind::Color:
        info->SetOrd(*obj, OrdinalValue(*info, v));
        break;
      case TPropKind::String:
        if (v.Type != TFormValueType::String) Invalid(std::string("a string expected but ") + TypeName(v.Type) + " found");
        info->SetStr(*obj, FromUtf8(v.Text));
        break;
      case TPropKind::Object:
        Invalid("an object's properties are set one by one (" + info->Name + ".Name = ...)");
      case TPropKind::Binary:
        if (v.Type != TFormValueType::Binary) Invalid(std::string("binary data expected but ") + TypeName(v.Type) + " found");
        info->SetBinary(*obj, v.Bytes);
        break;
      case TPropKind::Event: {
        if (v.Type != TFormValueType::Ident) Invalid(std::string("a method name expected but ") + TypeName(v.Type) + " found");
        auto method = FindMethod(root_->ClassName(), v.Text);
        if (!method) throw PropertyFailure("Method " + v.Text + " not found in " + std::string(root_->ClassName()));
        info->SetMethod(*obj, root_, method);
        break;
      }
      case TPropKind::Component:
        if (v.Type != TFormValueType::Ident) Invalid(std::string("a component name expected but ") + TypeName(v.Type) + " found");
        if (SameIdent(v.Text, "nil")) info->SetComponent(*obj, nullptr);
        else fixups_.push_back({obj, info, v.Text, DisplayName(Instance) + "." + Prop.Path, Prop.Line});
        break;
    }
  } catch (const PropertyFailure& e) {
    throw EReadError(where + e.what() + LineSuffix(Prop.Line));
  } catch (const Exception& e) {
    // A setter's own failure (a picture that does not decode, say).
    throw EReadError(where + e.Message() + LineSuffix(Prop.Line));
  }
}

void TFormReader::ResolveFixups() {
  for (const Fixup& f : fixups_) {
    TComponent* target = SameIdent(f.Target, root_->Name()) ? root_ : root_->FindComponent(f.Target);
    if (target == nullptr)
      throw EReadError("Error reading " + f.Owner + ": Component " + f.Target + " not found" + LineSuffix(f.Line));
    try {
      f.Prop->SetComponent(*f.Instance, target);
    } catch (const Exception& e) {
      throw EReadError("Error reading " + f.Owner + ": " + e.Message() + LineSuffix(f.Line));
    }
  }
  fixups_.clear();
}

void TFormReader::CallLoaded() {
  std::vector<TComponent*> all;
  all.reserve(created_.size() + 1);
  all.push_back(root_);
  all.insert(all.end(), created_.begin(), created_.end());
  created_.clear();
  // Every component gets its Loaded even when an earlier one fails, so
  // none is left marked as loading; the first failure is raised afterwards.
  std::exception_ptr first;
  for (TComponent* c : all) {
    try {
      c->Loaded();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
    c->SetLoading(false);
  }
  if (first) std::rethrow_exception(first);
}

void ReadComponentText(TComponent* Root, std::string_view Text) {
  const TFormObject tree = ParseFormText(Text);
  TFormReader(tree).ReadRootComponent(Root);
}

std::unique_ptr<TComponent> CreateComponentFromText(std::string_view Text) {
  const TFormObject tree = ParseFormText(Text);
  TComponentFactory factory = GetClass(tree.ClassName);
  if (!factory) throw EClassNotFound("Class " + tree.ClassName + " not found" + LineSuffix(tree.Line));
  std::unique_ptr<TComponent> root(factory(nullptr));
  if (!root) throw EReadError("Class " + tree.ClassName + " made no component");
  TFormReader(tree).ReadRootComponent(root.get());
  return root;
}

void RegisterFormResource(std::string_view ClassName, std::string_view Text) {
  Resources()[std::string(ClassName)] = std::string(Text);
}

bool InitInheritedComponent(TComponent* Instance) {
  if (Instance == nullptr) return false;
  auto& resources = Resources();
  auto it = resources.find(Instance->ClassName());
  if (it == resources.end()) return false;
  ReadComponentText(Instance, it->second);
  return true;
}

}  // namespace bellcut
