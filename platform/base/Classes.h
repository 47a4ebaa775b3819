// The object model every component stands on: TObject (a class name for
// streaming and messages), TPersistent (copying by Assign/AssignTo) and
// TComponent (ownership, names, tags, the loading and designing states).
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace bellcut {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The platform class name ("TBitmap", "TClearPanel"); form resources and
  // error texts use it.
  [[nodiscard]] virtual std::string_view ClassName() const { return "TObject"; }
  // The same name without an instance (class registries and field tables).
  [[nodiscard]] static constexpr std::string_view StaticClassName() { return "TObject"; }
  template <class T>
  [[nodiscard]] bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Gives a class its platform name; put it in the public part of every class
// that form resources or messages name.
#define BELLCUT_CLASS_NAME(Name)                                                  \
  [[nodiscard]] std::string_view ClassName() const override { return #Name; } \
  [[nodiscard]] static constexpr std::string_view StaticClassName() { return #Name; }

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
 public:
  BELLCUT_CLASS_NAME(TPersistent)
  // Copies Source into this object. The default asks Source to do it
  // (AssignTo) and raises EConvertError when neither side knows how.
  virtual void Assign(const TPersistent* Source);

 protected:
  virtual void AssignTo(TPersistent* Dest) const;
  [[noreturn]] void AssignError(const TPersistent* Source) const;
  friend class TPersistentAccess;
};

enum class TComponentStateItem : std::uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning };
using enum TComponentStateItem;

// A small set of enumeration values, as the platform's Pascal sets are.
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  [[nodiscard]] constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr TSet& Include(E e) { bits_ |= Bit(e); return *this; }
  constexpr TSet& Exclude(E e) { bits_ &= ~Bit(e); return *this; }
  [[nodiscard]] constexpr bool Empty() const { return bits_ == 0; }
  [[nodiscard]] constexpr std::uint64_t Bits() const { return bits_; }
  static constexpr TSet FromBits(std::uint64_t bits) { TSet s; s.bits_ = bits; return s; }
  constexpr bool operator==(const TSet&) const = default;
  constexpr TSet operator+(TSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr TSet operator-(TSet o) const { return FromBits(bits_ & ~o.bits_); }
  constexpr TSet operator*(TSet o) const { return FromBits(bits_ & o.bits_); }

 private:
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
  std::uint64_t bits_ = 0;
};

using TComponentState = TSet<TComponentStateItem>;

class TComponent;

// The form-resource reader as components see it while they are being read.
// The reader itself belongs to the component library (platform/controls/
// Reader.h); a component's ReadState override receives it, does its own
// preparation and then calls the inherited ReadState, which reads the
// properties and the children.
class TReader {
 public:
  TReader() = default;
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;
  virtual ~TReader() = default;
  // Reads the properties, then the children, of Instance.
  virtual void ReadData(TComponent* Instance) = 0;
  // The component the resource describes as a whole (the form).
  [[nodiscard]] virtual TComponent* Root() const = 0;
  // The component whose object block encloses the one being read (nullptr
  // while the root is read).
  [[nodiscard]] virtual TComponent* Parent() const = 0;
};

enum class TOperation : std::uint8_t { opInsert, opRemove };
using enum TOperation;

class TComponent : public TPersistent {
 public:
  BELLCUT_CLASS_NAME(TComponent)
  // Owned components are destroyed with their owner. A component made with an
  // owner must be made with MakeOwned (or new, inside ownership code), so
  // that nothing but the owner deletes it.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  template <class T, class... Args>
  static T* MakeOwned(TComponent* AOwner, Args&&... args) {
    return new T(AOwner, std::forward<Args>(args)...);  // the owner deletes it
  }

  [[nodiscard]] TComponent* Owner() const { return owner_; }
  [[nodiscard]] int ComponentCount() const { return static_cast<int>(components_.size()); }
  [[nodiscard]] TComponent* Components(int i) const { return components_.at(static_cast<std::size_t>(i)); }
  [[nodiscard]] TComponent* FindComponent(std::string_view name) const;

  [[nodiscard]] const std::string& Name() const { return name_; }
  virtual void SetName(const std::string& NewName);
  [[nodiscard]] std::int32_t Tag() const { return tag_; }
  void SetTag(std::int32_t value) { tag_ = value; }

  [[nodiscard]] TComponentState ComponentState() const { return state_; }
  void SetDesigning(bool value);
  // Loading bracket used by the form-resource reader.
  virtual void Loaded();
  void SetLoading(bool value);

  // Form-resource hooks. ReadState reads this component from a resource: an
  // override runs before any property is set and must call the inherited one.
  virtual void ReadState(TReader& Reader);
  // The component that contains this one on screen (a control's parent). The
  // reader calls SetParentComponent with the enclosing object before
  // ReadState; a component that has no such notion ignores it.
  virtual void SetParentComponent(TComponent* Value);
  [[nodiscard]] virtual TComponent* GetParentComponent() const { return nullptr; }
  [[nodiscard]] virtual bool HasParent() const { return false; }
  // The components a resource writes inside this one, in creation order.
  // By default only a root lists anything: the components it owns that have
  // no parent of their own (a parent lists those).
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) const;

  // Runs just before the component is deleted by its owner, by Destroy or
  // by the code that owns it, while the whole object is still alive (a
  // destructor runs too late for handlers that reach into derived parts).
  virtual void BeforeDestruction() {}

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Destroys every owned component, last first.
  void DestroyComponents();
  // Destroys one owned component now.
  static void Destroy(TComponent* AComponent);

  // AComponent is about to disappear (or has been inserted): drop references.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Asks to be told (Notification with opRemove) when AComponent is destroyed.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

 protected:
  TComponentState state_;

 private:
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::set<TComponent*> freeNotifies_;
  std::string name_;
  std::int32_t tag_ = 0;
};

}  // namespace bellcut
