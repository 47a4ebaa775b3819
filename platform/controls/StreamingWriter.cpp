#include "platform/controls/StreamingWriter.h"

#include <set>

#include "platform/base/CodePage.h"
#include "platform/controls/StreamingRegistry.h"

namespace bellcut {
namespace {

class Writer {
 public:
  explicit Writer(TComponent* root) : root_(root) {}

  TFormObject WriteComponent(TComponent* c) {
    TFormObject node;
    node.Name = c->Name();
    node.ClassName = std::string(c->ClassName());
    written_.insert(c);
    WriteProperties(node, *c, "", 0);
    c->GetChildren(
        [&](TComponent* child) {
          // Only what the root owns belongs to its resource, and each
          // component once, whatever a GetChildren override lists.
          if (child == nullptr || child->Owner() != root_ || written_.count(child) != 0) return;
          node.Children.push_back(WriteComponent(child));
        },
        root_);
    return node;
  }

 private:
  void WriteProperties(TFormObject& node, TObject& obj, const std::string& prefix, int depth) {
    // An object that (directly or not) publishes itself would never end.
    if (depth > MaxFormNesting) throw EWriteError("Nested objects too deep at " + prefix);
    for (const auto& p : GetPropList(obj.ClassName())) {
      if (p->Stored && !p->Stored(obj)) continue;
      const std::string path = prefix + p->Name;
      TFormValue v;
      switch (p->Kind) {
        case TPropKind::Integer:
        case TPropKind::Color: {
          const std::int64_t value = p->GetOrd(obj);
          if (p->OrdDefault && *p->OrdDefault == value) continue;
          const std::string* name = p->Idents ? p->Idents->NameOf(value) : nullptr;
          if (name != nullptr) {
            v.Type = TFormValueType::Ident;
            v.Text = *name;
          } else {
            v.Type = TFormValueType::Integer;
            v.Int = value;
          }
          break;
        }
        case TPropKind::Boolean: {
          const std::int64_t value = p->GetOrd(obj) != 0 ? 1 : 0;
          if (p->OrdDefault && *p->OrdDefault == value) continue;
          v.Type = TFormValueType::Ident;
          v.Text = value != 0 ? "True" : "False";
          break;
        }
        case TPropKind::Enumeration: {
          const std::int64_t value = p->GetOrd(obj);
          if (p->OrdDefault && *p->OrdDefault == value) continue;
          if (value < 0 || value >= static_cast<std::int64_t>(p->Enum->Names.size()))
            throw EWriteError(path + " holds " + std::to_string(value) + ", which is no " + p->Enum->Name + " value");
          v.Type = TFormValueType::Ident;
          v.Text = p->Enum->Names[static_cast<std::size_t>(value)];
          break;
        }
        case TPropKind::Set: {
          const auto bits = static_cast<std::uint64_t>(p->GetOrd(obj));
          if (p->OrdDefault && static_cast<std::uint64_t>(*p->OrdDefault) == bits) continue;
          v.Type = TFormValueType::Set;
          for (std::size_t i = 0; i < 64; ++i) {
            if ((bits & (std::uint64_t{1} << i)) == 0) continue;
            if (i >= p->Enum->Names.size())
              throw EWriteError(path + " holds element " + std::to_string(i) + ", which is no " + p->Enum->Name + " value");
            v.Items.push_back(p->Enum->Names[i]);
          }
          break;
        }
        case TPropKind::String: {
          std::string value = p->GetStr(obj);
          if (p->StrDefault && *p->StrDefault == value) continue;
          v.Type = TFormValueType::String;
          v.Text = ToUtf8(value);
          break;
        }
        case TPropKind::Object: {
          TPersistent* nested = p->GetObject(obj);
          if (nested != nullptr) WriteProperties(node, *nested, path + ".", depth + 1);
          continue;
        }
        case TPropKind::Binary:
          v.Type = TFormValueType::Binary;
          v.Bytes = p->GetBinary(obj);
          if (v.Bytes.empty()) continue;
          break;
        case TPropKind::Event:
          v.Type = TFormValueType::Ident;
          v.Text = p->GetMethodName(obj);
          if (v.Text.empty()) continue;
          break;
        case TPropKind::Component: {
          TComponent* target = p->GetComponent(obj);
          // Only names the reader can find again: the root and what it owns.
          if (target == nullptr || target->Name().empty() || (target != root_ && target->Owner() != root_)) continue;
          v.Type = TFormValueType::Ident;
          v.Text = target->Name();
          break;
        }
      }
      node.Properties.push_back({path, std::move(v), 0});
    }
  }

  TComponent* root_;
  std::set<TComponent*> written_;
};

}  // namespace

TFormObject WriteComponentTree(TComponent* Root) {
  if (Root == nullptr) throw EWriteError("No component to write");
  return Writer(Root).WriteComponent(Root);
}

std::string WriteComponentText(TComponent* Root) { return FormatFormText(WriteComponentTree(Root)); }

}  // namespace bellcut
