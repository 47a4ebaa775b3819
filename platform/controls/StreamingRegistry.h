// Published properties, published methods, fields and creatable classes: the
// run-time type information that form resources are read and written with.
//
// Each class publishes its properties once, in declaration order, through a
// TPublishedClass<T> builder (usually from a static registration object in
// the class's own .cpp file, which the linker keeps because the class itself
// is used). A class names its base class; its property list is the base's
// list followed by its own, and a property it declares again under a base's
// name replaces the base's entry in the base's position (to change a default,
// a stored rule or the accessors).
//
// Nested persistent objects (Font, Picture, Colors) are published as Object
// properties; a resource addresses their properties by dotted names
// ("Font.Name = 'Arial'"), the nested object's own published list applying.
#pragma once

#include <any>
#include <climits>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/base/Exceptions.h"
#include "platform/gdi/Types.h"

namespace bellcut {

enum class TPropKind : std::uint8_t {
  Integer,      // whole number, optionally with names for some values (cursors, charsets)
  Boolean,      // True / False
  Enumeration,  // one value of an enumeration, by name
  Set,          // set of enumeration values: [akLeft, akTop]
  String,       // text in the active code page
  Color,        // TColor: by name where it has one (clWhite, clBtnFace), else a number
  Object,       // nested persistent object owned by the instance
  Binary,       // opaque bytes, written in hex (picture data)
  Event,        // handler: the name of a published method of the root
  Component,    // reference to another component of the same root, by name
};

// The value names of an enumeration, in ordinal order.
struct TEnumInfo {
  std::string Name;
  std::vector<std::string> Names;
  // Ordinal of a value name (case-insensitive), or nothing.
  [[nodiscard]] std::optional<int> Find(std::string_view name) const;
};

[[nodiscard]] std::shared_ptr<const TEnumInfo> MakeEnumInfo(std::string name, std::initializer_list<const char*> names);

// Names for particular values of an integer property.
struct TIdentMap {
  std::vector<std::pair<std::string, std::int64_t>> Entries;
  [[nodiscard]] std::optional<std::int64_t> Find(std::string_view name) const;  // case-insensitive
  [[nodiscard]] const std::string* NameOf(std::int64_t value) const;
};

// The platform's colour names (clBlack ... clWhite, the system colours,
// clNone, clDefault).
[[nodiscard]] const std::shared_ptr<const TIdentMap>& ColorIdents();
// Case-insensitive comparison of identifiers, as the platform compares names.
[[nodiscard]] bool SameIdent(std::string_view a, std::string_view b);

// A published method: an invoker taking the object the method belongs to
// and the event's arguments. Invoker holds std::function<void(TObject*, Args...)>.
struct TMethodEntry {
  std::string Name;
  std::any Invoker;
};

// What an event property holds once a resource has bound it to a published
// method: the method's owner and entry. The writer recognises handlers of
// this type and writes the method's name; handlers set in code from other
// callables have no name and are not written.
template <class... Args>
struct TPublishedMethodCall {
  TObject* Self = nullptr;
  std::shared_ptr<const TMethodEntry> Entry;
  void operator()(Args... args) const {
    const auto& invoke = std::any_cast<const std::function<void(TObject*, Args...)>&>(Entry->Invoker);
    invoke(Self, std::forward<Args>(args)...);
  }
};

// A handler calling the published method Name of Self (for code that wires
// events by name, as a resource does). EReadError when there is none or its
// parameters differ from the event's.
template <class... Args>
[[nodiscard]] std::function<void(Args...)> MethodHandler(TObject* Self, std::string_view Name);

struct TPropInfo {
  std::string Name;
  TPropKind Kind = TPropKind::Integer;
  std::shared_ptr<const TEnumInfo> Enum;     // Enumeration, Set
  std::shared_ptr<const TIdentMap> Idents;   // Integer (optional), Color
  std::int64_t MinValue = INT32_MIN;         // Integer, Color
  std::int64_t MaxValue = INT32_MAX;
  std::optional<std::int64_t> OrdDefault;    // Integer, Boolean, Enumeration, Set (bits), Color
  std::optional<std::string> StrDefault;     // String
  // An extra rule: when it says false the property is not written.
  std::function<bool(TObject&)> Stored;

  // Accessors; which pair is set follows Kind.
  std::function<std::int64_t(TObject&)> GetOrd;
  std::function<void(TObject&, std::int64_t)> SetOrd;
  std::function<std::string(TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TPersistent*(TObject&)> GetObject;
  std::function<std::vector<std::uint8_t>(TObject&)> GetBinary;
  std::function<void(TObject&, std::span<const std::uint8_t>)> SetBinary;
  std::function<std::string(TObject&)> GetMethodName;  // "" when unbound or not a published method
  // Binds the event to method Entry of Self; EReadError on a parameter mismatch.
  std::function<void(TObject&, TObject* Self, const std::shared_ptr<const TMethodEntry>& Entry)> SetMethod;
  std::function<TComponent*(TObject&)> GetComponent;
  std::function<void(TObject&, TComponent*)> SetComponent;
};

using TComponentFactory = std::function<TComponent*(TComponent* Owner)>;

// Registers a class the reader may create by name (also a component class
// that publishes nothing of its own).
void RegisterClass(std::string_view Name, TComponentFactory Factory);
template <class T>
void RegisterClass() {
  RegisterClass(T::StaticClassName(), [](TComponent* Owner) -> TComponent* { return TComponent::MakeOwned<T>(Owner); });
}
// The factory of a registered class; EClassNotFound "Class %s not found".
[[nodiscard]] TComponentFactory FindClass(std::string_view Name);
// The same, or an empty function.
[[nodiscard]] TComponentFactory GetClass(std::string_view Name);

// The published property list of a class (the base's, then its own), or
// EReadError when the class, or a base it names, never published anything.
[[nodiscard]] std::vector<std::shared_ptr<const TPropInfo>> GetPropList(std::string_view ClassName);
[[nodiscard]] bool IsPublishedClass(std::string_view ClassName);
[[nodiscard]] std::shared_ptr<const TPropInfo> FindPropInfo(std::string_view ClassName, std::string_view PropName);
// A published method of the class or of its bases, or nullptr.
[[nodiscard]] std::shared_ptr<const TMethodEntry> FindMethod(std::string_view ClassName, std::string_view Name);
// Stores Component in the root's field named Name, when the root's class (or
// a base) declares one; false when there is no such field. EReadError when
// the field's type does not accept the component.
bool AssignField(TObject& Root, std::string_view Name, TComponent* Component);
// A class the root's fields name (so a form's resource can create the
// classes its fields are declared with), or an empty function.
[[nodiscard]] TComponentFactory FindFieldClass(std::string_view RootClassName, std::string_view Name);

namespace streaming_detail {

struct TFieldEntry {
  std::string Name;
  std::function<bool(TObject& Root, TComponent* Component)> Assign;  // false: wrong type
  std::string ClassName;
};

void AddClass(std::string_view ClassName, std::string_view BaseName);
void AddProperty(std::string_view ClassName, std::string_view BaseName, TPropInfo Info);
void AddMethod(std::string_view ClassName, std::string_view BaseName, std::shared_ptr<const TMethodEntry> Entry);
void AddField(std::string_view ClassName, std::string_view BaseName, TFieldEntry Entry, TComponentFactory Factory);
void SetLastStored(std::string_view ClassName, std::function<bool(TObject&)> Stored);
[[noreturn]] void WrongInstance(std::string_view PropName, std::string_view Wanted, const TObject& Got);
[[noreturn]] void MethodMismatch(std::string_view Method);
[[nodiscard]] std::shared_ptr<const TMethodEntry> FindMethodOrThrow(TObject* Self, std::string_view Name);

template <class T>
T& As(TObject& o, std::string_view prop) {
  if (auto* t = dynamic_cast<T*>(&o)) return *t;
  WrongInstance(prop, T::StaticClassName(), o);
}

template <class F>
struct EventTraits;
template <class... Args>
struct EventTraits<std::function<void(Args...)>> {
  static std::string NameOf(const std::function<void(Args...)>& f) {
    const auto* call = f.template target<TPublishedMethodCall<Args...>>();
    return call != nullptr && call->Entry ? call->Entry->Name : std::string();
  }
  static std::function<void(Args...)> Bind(TObject* Self, const std::shared_ptr<const TMethodEntry>& Entry) {
    if (std::any_cast<std::function<void(TObject*, Args...)>>(&Entry->Invoker) == nullptr) MethodMismatch(Entry->Name);
    return TPublishedMethodCall<Args...>{Self, Entry};
  }
};

template <class M>
struct MethodTraits;
template <class C, class... Args>
struct MethodTraits<void (C::*)(Args...)> {
  using Invoker = std::function<void(TObject*, Args...)>;
};

}  // namespace streaming_detail

template <class... Args>
std::function<void(Args...)> MethodHandler(TObject* Self, std::string_view Name) {
  return streaming_detail::EventTraits<std::function<void(Args...)>>::Bind(
      Self, streaming_detail::FindMethodOrThrow(Self, Name));
}

// Publishes the properties, methods and fields of class T (whose base class
// in the published hierarchy is Base). Every call adds to the registry at
// once; the builder holds no state of its own but the names.
template <class T, class Base = void>
class TPublishedClass {
 public:
  TPublishedClass() : name_(T::StaticClassName()) {
    if constexpr (!std::is_void_v<Base>) base_ = Base::StaticClassName();
    streaming_detail::AddClass(name_, base_);
  }

  template <class G, class S>
  TPublishedClass& Integer(std::string Name, G Get, S Set, std::optional<std::int64_t> Default = std::nullopt,
                           std::int64_t Min = INT32_MIN, std::int64_t Max = INT32_MAX,
                           std::shared_ptr<const TIdentMap> Idents = nullptr) {
    TPropInfo p = Ordinal(std::move(Name), TPropKind::Integer, Get, Set);
    p.OrdDefault = Default;
    p.MinValue = Min;
    p.MaxValue = Max;
    p.Idents = std::move(Idents);
    return Add(std::move(p));
  }

  template <class G, class S>
  TPublishedClass& Boolean(std::string Name, G Get, S Set, std::optional<bool> Default = std::nullopt) {
    TPropInfo p = Ordinal(std::move(Name), TPropKind::Boolean, Get, Set);
    if (Default) p.OrdDefault = *Default ? 1 : 0;
    p.MinValue = 0;
    p.MaxValue = 1;
    return Add(std::move(p));
  }

  template <class E, class G, class S>
  TPublishedClass& Enumeration(std::string Name, std::shared_ptr<const TEnumInfo> Info, G Get, S Set,
                               std::optional<E> Default = std::nullopt) {
    TPropInfo p = Ordinal(std::move(Name), TPropKind::Enumeration, Get, Set);
    if (Default) p.OrdDefault = static_cast<std::int64_t>(*Default);
    p.MinValue = 0;
    p.MaxValue = static_cast<std::int64_t>(Info->Names.size()) - 1;
    p.Enum = std::move(Info);
    return Add(std::move(p));
  }

  template <class E, class G, class S>
  TPublishedClass& Set(std::string Name, std::shared_ptr<const TEnumInfo> Info, G Get, S Set,
                       std::optional<TSet<E>> Default = std::nullopt) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = TPropKind::Set;
    const std::string prop = p.Name;
    p.GetOrd = [Get, prop](TObject& o) {
      return static_cast<std::int64_t>(std::invoke(Get, streaming_detail::As<T>(o, prop)).Bits());
    };
    p.SetOrd = [Set, prop](TObject& o, std::int64_t v) {
      std::invoke(Set, streaming_detail::As<T>(o, prop), TSet<E>::FromBits(static_cast<std::uint64_t>(v)));
    };
    if (Default) p.OrdDefault = static_cast<std::int64_t>(Default->Bits());
    p.Enum = std::move(Info);
    return Add(std::move(p));
  }

  template <class G, class S>
  TPublishedClass& String(std::string Name, G Get, S Set, std::optional<std::string> Default = std::nullopt) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = TPropKind::String;
    const std::string prop = p.Name;
    p.GetStr = [Get, prop](TObject& o) { return std::string(std::invoke(Get, streaming_detail::As<T>(o, prop))); };
    p.SetStr = [Set, prop](TObject& o, const std::string& v) { std::invoke(Set, streaming_detail::As<T>(o, prop), v); };
    p.StrDefault = std::move(Default);
    return Add(std::move(p));
  }

  template <class G, class S>
  TPublishedClass& Color(std::string Name, G Get, S Set, std::optional<TColor> Default = std::nullopt) {
    TPropInfo p = Ordinal(std::move(Name), TPropKind::Color, Get, Set);
    p.OrdDefault = Default;
    p.Idents = ColorIdents();
    return Add(std::move(p));
  }

  // A persistent object the instance owns; its own published properties are
  // read and written under "Name.".
  template <class G>
  TPublishedClass& Object(std::string Name, G Get) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = TPropKind::Object;
    const std::string prop = p.Name;
    p.GetObject = [Get, prop](TObject& o) -> TPersistent* { return std::invoke(Get, streaming_detail::As<T>(o, prop)); };
    return Add(std::move(p));
  }

  // Bytes only the class interprets (a picture: see EncodePictureData). An
  // empty value is not written.
  template <class G, class S>
  TPublishedClass& Binary(std::string Name, G Get, S Set) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = TPropKind::Binary;
    const std::string prop = p.Name;
    p.GetBinary = [Get, prop](TObject& o) {
      return std::vector<std::uint8_t>(std::invoke(Get, streaming_detail::As<T>(o, prop)));
    };
    p.SetBinary = [Set, prop](TObject& o, std::span<const std::uint8_t> v) {
      std::invoke(Set, streaming_detail::As<T>(o, prop), v);
    };
    return Add(std::move(p));
  }

  // An event held in a std::function<void(Args...)> member.
  template <class F, class C>
  TPublishedClass& Event(std::string Name, F C::*Member) {
    using Traits = streaming_detail::EventTraits<F>;
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = TPropKind::Event;
    const std::string prop = p.Name;
    p.GetMethodName = [Member, prop](TObject& o) { return Traits::NameOf(streaming_detail::As<T>(o, prop).*Member); };
    p.SetMethod = [Member, prop](TObject& o, TObject* Self, const std::shared_ptr<const TMethodEntry>& Entry) {
      streaming_detail::As<T>(o, prop).*Member = Traits::Bind(Self, Entry);
    };
    return Add(std::move(p));
  }

  template <class G, class S>
  TPublishedClass& Component(std::string Name, G Get, S Set) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = TPropKind::Component;
    const std::string prop = p.Name;
    p.GetComponent = [Get, prop](TObject& o) -> TComponent* { return std::invoke(Get, streaming_detail::As<T>(o, prop)); };
    p.SetComponent = [Set, prop](TObject& o, TComponent* v) { std::invoke(Set, streaming_detail::As<T>(o, prop), v); };
    return Add(std::move(p));
  }

  // A "stored" rule for the property declared last.
  TPublishedClass& Stored(std::function<bool(const T&)> Rule) {
    streaming_detail::SetLastStored(name_, [Rule, name = std::string(name_)](TObject& o) {
      return Rule(streaming_detail::As<T>(o, name));
    });
    return *this;
  }

  // A published method that events in the resource may name.
  template <class M>
  TPublishedClass& Method(std::string Name, M Member) {
    using Invoker = typename streaming_detail::MethodTraits<M>::Invoker;
    auto entry = std::make_shared<TMethodEntry>();
    entry->Name = std::move(Name);
    entry->Invoker = Invoker([Member](TObject* Self, auto&&... args) {
      (dynamic_cast<T&>(*Self).*Member)(std::forward<decltype(args)>(args)...);
    });
    streaming_detail::AddMethod(name_, base_, std::move(entry));
    return *this;
  }

  // A field the reader fills with the component of that name; the field's
  // class becomes creatable in this class's resources.
  template <class U>
  TPublishedClass& Field(std::string Name, U* T::*Member) {
    streaming_detail::TFieldEntry f;
    f.Name = std::move(Name);
    f.ClassName = std::string(U::StaticClassName());
    f.Assign = [Member](TObject& Root, TComponent* c) {
      auto* typed = dynamic_cast<U*>(c);
      if (typed == nullptr && c != nullptr) return false;
      dynamic_cast<T&>(Root).*Member = typed;
      return true;
    };
    TComponentFactory factory;
    if constexpr (std::is_constructible_v<U, TComponent*>)
      factory = [](TComponent* Owner) -> TComponent* { return TComponent::MakeOwned<U>(Owner); };
    streaming_detail::AddField(name_, base_, std::move(f), std::move(factory));
    return *this;
  }

 private:
  template <class G, class S>
  TPropInfo Ordinal(std::string Name, TPropKind Kind, G Get, S Set) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.Kind = Kind;
    const std::string prop = p.Name;
    p.GetOrd = [Get, prop](TObject& o) {
      return static_cast<std::int64_t>(std::invoke(Get, streaming_detail::As<T>(o, prop)));
    };
    p.SetOrd = [Set, prop](TObject& o, std::int64_t v) {
      using Arg = std::remove_cvref_t<decltype(std::invoke(Get, streaming_detail::As<T>(o, prop)))>;
      std::invoke(Set, streaming_detail::As<T>(o, prop), static_cast<Arg>(v));
    };
    return p;
  }

  TPublishedClass& Add(TPropInfo p) {
    streaming_detail::AddProperty(name_, base_, std::move(p));
    return *this;
  }

  std::string_view name_;
  std::string_view base_;
};

}  // namespace bellcut
