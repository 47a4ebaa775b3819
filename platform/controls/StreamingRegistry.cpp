#include "platform/controls/StreamingRegistry.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace bellcut {
namespace {

struct TClassInfo {
  std::string Name;
  std::string BaseName;
  std::vector<std::shared_ptr<const TPropInfo>> Declared;
  std::vector<std::shared_ptr<const TMethodEntry>> Methods;
  std::vector<streaming_detail::TFieldEntry> Fields;
  std::vector<std::pair<std::string, TComponentFactory>> FieldClasses;
};

// Keys compare without regard to case, as the platform looks names up.
struct IdentLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
  }
};

// Filled by static registration objects before main and read afterwards on
// the one GUI thread, so it needs no lock.
std::map<std::string, TClassInfo, IdentLess>& Classes() {
  static std::map<std::string, TClassInfo, IdentLess> classes;
  return classes;
}

std::map<std::string, TComponentFactory, IdentLess>& Factories() {
  static std::map<std::string, TComponentFactory, IdentLess> factories;
  return factories;
}

TClassInfo& Info(std::string_view name, std::string_view base) {
  auto& classes = Classes();
  auto it = classes.find(name);
  if (it == classes.end()) {
    it = classes.emplace(std::string(name), TClassInfo{}).first;
    it->second.Name = std::string(name);
  }
  if (!base.empty()) it->second.BaseName = std::string(base);
  return it->second;
}

const TClassInfo* Lookup(std::string_view name) {
  auto& classes = Classes();
  auto it = classes.find(name);
  return it == classes.end() ? nullptr : &it->second;
}

// The class and its bases, most derived first. A base chain longer than the
// number of registered classes can only be a cycle.
std::vector<const TClassInfo*> Chain(std::string_view name) {
  std::vector<const TClassInfo*> chain;
  const TClassInfo* info = Lookup(name);
  if (info == nullptr) throw EReadError("Class " + std::string(name) + " has no published properties");
  while (info != nullptr) {
    chain.push_back(info);
    if (chain.size() > Classes().size()) throw EReadError("Class " + std::string(name) + " has a cyclic base chain");
    if (info->BaseName.empty()) break;
    const TClassInfo* base = Lookup(info->BaseName);
    if (base == nullptr)
      throw EReadError("Class " + info->Name + " names base " + info->BaseName + ", which has no published properties");
    info = base;
  }
  return chain;
}

// The object model's own published properties: what every component has.
const bool baseClassesPublished = [] {
  TPublishedClass<TPersistent>();
  TPublishedClass<TComponent, TPersistent>().Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
  return true;
}();

}  // namespace

bool SameIdent(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::optional<int> TEnumInfo::Find(std::string_view name) const {
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (SameIdent(Names[i], name)) return static_cast<int>(i);
  return std::nullopt;
}

std::shared_ptr<const TEnumInfo> MakeEnumInfo(std::string name, std::initializer_list<const char*> names) {
  auto info = std::make_shared<TEnumInfo>();
  info->Name = std::move(name);
  for (const char* n : names) info->Names.emplace_back(n);
  return info;
}

std::optional<std::int64_t> TIdentMap::Find(std::string_view name) const {
  for (const auto& [n, v] : Entries)
    if (SameIdent(n, name)) return v;
  return std::nullopt;
}

const std::string* TIdentMap::NameOf(std::int64_t value) const {
  for (const auto& [n, v] : Entries)
    if (v == value) return &n;
  return nullptr;
}

const std::shared_ptr<const TIdentMap>& ColorIdents() {
  static const std::shared_ptr<const TIdentMap> map = [] {
    auto m = std::make_shared<TIdentMap>();
    m->Entries = {
        {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
        {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
        {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
        {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
        {"clScrollBar", clScrollBar}, {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
        {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
        {"clCaptionText", clCaptionText}, {"clActiveBorder", clActiveBorder},
        {"clInactiveBorder", clInactiveBorder}, {"clAppWorkSpace", clAppWorkSpace},
        {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText}, {"clBtnFace", clBtnFace},
        {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText}, {"clBtnText", clBtnText},
        {"clInactiveCaptionText", clInactiveCaptionText}, {"clBtnHighlight", clBtnHighlight},
        {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clInfoText", clInfoText},
        {"clInfoBk", clInfoBk}, {"clHotLight", SysColor(COLOR_HOTLIGHT)},
        {"clGradientActiveCaption", SysColor(COLOR_GRADIENTACTIVECAPTION)},
        {"clGradientInactiveCaption", SysColor(COLOR_GRADIENTINACTIVECAPTION)},
        {"clMenuHighlight", SysColor(COLOR_MENUHILIGHT)}, {"clMenuBar", SysColor(COLOR_MENUBAR)},
        {"clNone", clNone}, {"clDefault", clDefault},
    };
    return std::shared_ptr<const TIdentMap>(std::move(m));
  }();
  return map;
}

void RegisterClass(std::string_view Name, TComponentFactory Factory) {
  Factories()[std::string(Name)] = std::move(Factory);
}

TComponentFactory GetClass(std::string_view Name) {
  auto& factories = Factories();
  auto it = factories.find(Name);
  return it == factories.end() ? TComponentFactory{} : it->second;
}

TComponentFactory FindClass(std::string_view Name) {
  TComponentFactory f = GetClass(Name);
  if (!f) throw EClassNotFound("Class " + std::string(Name) + " not found");
  return f;
}

bool IsPublishedClass(std::string_view ClassName) { return Lookup(ClassName) != nullptr; }

std::vector<std::shared_ptr<const TPropInfo>> GetPropList(std::string_view ClassName) {
  auto chain = Chain(ClassName);
  std::vector<std::shared_ptr<const TPropInfo>> list;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    for (const auto& p : (*it)->Declared) {
      auto same = std::find_if(list.begin(), list.end(), [&](const auto& q) { return SameIdent(q->Name, p->Name); });
      if (same != list.end()) *same = p;  // re-declared: new settings, base position
      else list.push_back(p);
    }
  }
  return list;
}

std::shared_ptr<const TPropInfo> FindPropInfo(std::string_view ClassName, std::string_view PropName) {
  for (const TClassInfo* info : Chain(ClassName))
    for (const auto& p : info->Declared)
      if (SameIdent(p->Name, PropName)) return p;
  return nullptr;
}

std::shared_ptr<const TMethodEntry> FindMethod(std::string_view ClassName, std::string_view Name) {
  if (Lookup(ClassName) == nullptr) return nullptr;
  for (const TClassInfo* info : Chain(ClassName))
    for (const auto& m : info->Methods)
      if (SameIdent(m->Name, Name)) return m;
  return nullptr;
}

bool AssignField(TObject& Root, std::string_view Name, TComponent* Component) {
  if (Lookup(Root.ClassName()) == nullptr) return false;
  for (const TClassInfo* info : Chain(Root.ClassName()))
    for (const auto& f : info->Fields)
      if (SameIdent(f.Name, Name)) {
        if (!f.Assign(Root, Component))
          throw EReadError("Field " + f.Name + " of " + std::string(Root.ClassName()) + " cannot hold a " +
                           std::string(Component->ClassName()));
        return true;
      }
  return false;
}

TComponentFactory FindFieldClass(std::string_view RootClassName, std::string_view Name) {
  if (Lookup(RootClassName) == nullptr) return {};
  for (const TClassInfo* info : Chain(RootClassName))
    for (const auto& [n, f] : info->FieldClasses)
      if (SameIdent(n, Name)) return f;
  return {};
}

namespace streaming_detail {

void AddClass(std::string_view ClassName, std::string_view BaseName) { Info(ClassName, BaseName); }

void AddProperty(std::string_view ClassName, std::string_view BaseName, TPropInfo Prop) {
  TClassInfo& info = Info(ClassName, BaseName);
  if ((Prop.Kind == TPropKind::Enumeration || Prop.Kind == TPropKind::Set) &&
      (!Prop.Enum || Prop.Enum->Names.empty()))
    throw EInvalidOperation("Property " + Prop.Name + " of " + info.Name + " needs enumeration names");
  if (Prop.Kind == TPropKind::Set && Prop.Enum->Names.size() > 64)
    throw EInvalidOperation("Property " + Prop.Name + " of " + info.Name + " is a set of more than 64 values");
  auto p = std::make_shared<TPropInfo>(std::move(Prop));
  auto same = std::find_if(info.Declared.begin(), info.Declared.end(),
                           [&](const auto& q) { return SameIdent(q->Name, p->Name); });
  if (same != info.Declared.end()) {
    info.Declared.erase(same);
  }
  info.Declared.push_back(std::move(p));
}

void AddMethod(std::string_view ClassName, std::string_view BaseName, std::shared_ptr<const TMethodEntry> Entry) {
  TClassInfo& info = Info(ClassName, BaseName);
  std::erase_if(info.Methods, [&](const auto& m) { return SameIdent(m->Name, Entry->Name); });
  info.Methods.push_back(std::move(Entry));
}

void AddField(std::string_view ClassName, std::string_view BaseName, TFieldEntry Entry, TComponentFactory Factory) {
  TClassInfo& info = Info(ClassName, BaseName);
  if (Factory) {
    std::erase_if(info.FieldClasses, [&](const auto& c) { return SameIdent(c.first, Entry.ClassName); });
    info.FieldClasses.emplace_back(Entry.ClassName, std::move(Factory));
  }
  std::erase_if(info.Fields, [&](const auto& f) { return SameIdent(f.Name, Entry.Name); });
  info.Fields.push_back(std::move(Entry));
}

void SetLastStored(std::string_view ClassName, std::function<bool(TObject&)> Stored) {
  TClassInfo& info = Info(ClassName, {});
  if (info.Declared.empty())
    throw EInvalidOperation("Stored rule for " + info.Name + " given before any property");
  auto p = std::make_shared<TPropInfo>(*info.Declared.back());
  p->Stored = std::move(Stored);
  info.Declared.back() = std::move(p);
}

void WrongInstance(std::string_view PropName, std::string_view Wanted, const TObject& Got) {
  throw EInvalidOperation("Property " + std::string(PropName) + " of " + std::string(Wanted) +
                          " used on a " + std::string(Got.ClassName()));
}

void MethodMismatch(std::string_view Method) {
  throw EReadError("Method " + std::string(Method) + " does not take the event's parameters");
}

std::shared_ptr<const TMethodEntry> FindMethodOrThrow(TObject* Self, std::string_view Name) {
  auto entry = Self != nullptr ? FindMethod(Self->ClassName(), Name) : nullptr;
  if (!entry) throw EReadError("Method " + std::string(Name) + " not found");
  return entry;
}

}  // namespace streaming_detail
}  // namespace bellcut
