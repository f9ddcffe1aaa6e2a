// -----------------------------------------------------------------------------
// File: Streaming.h
// -----------------------------------------------------------------------------
//
// Streaming one repeated member: a document is read or written as usual
// except for one repeated member of class type, whose items pass one at a
// time between the document and the caller, so that a document of any
// number of items needs the memory of one.
//
// Generated code names the member: every repeated member of a class with an
// element of its own has a static handle in the class that declares it,
// Stream<Member>(), typed with the item's class:
//
//   CSmartPtr<CPurchaseOrderType> order = new CPurchaseOrderType();
//   StreamFromXmlFile(*order, fileName, CItems::StreamItem(),
//                     [&](CSmartPtr<CItem> item) { ...; return true; });
//
// Reading. The root is bound as by the corresponding entry point of
// CXmlObjectBase, except that each item of the member's run (wherever the
// member stands: in the root or in any object below it, derived classes
// included) is bound into a new object of its class, handed to `onItem`
// and released; the collection stays empty. `onItem` takes a
// CSmartPtr<Item> or an Item&, and returns bool (false: stop) or nothing
// (go on). An item keeps nothing of the document, so it may be kept.
//   - Every check of a whole read applies, validation on read included, to
//     every item as it comes and to the number of items (minOccurs and
//     maxOccurs, after the run). A document that turns out malformed or
//     invalid stops the read with the exception a whole read throws, after
//     the items handed over before it.
//   - `onItem` returning false stops the read there, without an exception.
//     The root then holds what was bound before the stop; every member that
//     comes after it holds what a new object holds.
//   - What `onItem` throws leaves the read unchanged: the same exception,
//     not wrapped, and nothing kept.
//   - Only the outermost run streams: the same member inside a streamed
//     item is read into its collection as usual. Each run of the member is
//     streamed (the member of each of several objects, in document order).
//
// Writing. The root is written as by the corresponding entry point, except
// that the member's items are not its collection's but those that `next`
// gives, one at a time, until it gives none: `next` is CSmartPtr<Item>() (a
// null pointer ends) or bool(CSmartPtr<Item>&) (false ends). Each item takes
// the member's element name. The number of items is checked against the
// member's bounds after the last (a maximum as soon as it is passed),
// unless the context ignores collection counts. What `next` throws leaves
// the write unchanged. A member that stands where the root holds no object
// (an optional child that is absent) is not written.
//
// The context passed is copied for the call; the copy carries the member
// (CXmlSerializationContext::SetStreamHook).

#ifndef VXBIND_CORE_STREAMING_H
#define VXBIND_CORE_STREAMING_H

#include <exception>
#include <type_traits>
#include <utility>

#include "vxbind/base/Enums.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/base/XmlObjectBase.h"
#include "vxbind/platform/String.h"
#include "vxbind/values/BinaryData.h"

namespace VxVevAva5 {

// A repeated member of class type whose items are `Item`s, as generated
// code names it (Stream<Member>()): the property `propertyIndex` of the
// objects that `owns` accepts.
template <class Item>
class CStreamedMember {
 public:
  using OwnerTest = bool (*)(const CXmlObjectBase* object);

  CStreamedMember(OwnerTest owns, int propertyIndex)
      : m_owns(owns), m_propertyIndex(propertyIndex) {}

  OwnerTest GetOwnerTest() const { return m_owns; }
  int GetPropertyIndex() const { return m_propertyIndex; }

 private:
  OwnerTest m_owns;
  int m_propertyIndex;
};

// The owner test of generated handles: an object of `Owner` or of a class
// derived from it.
template <class Owner>
bool IsStreamedMemberOwner(const CXmlObjectBase* object) {
  return dynamic_cast<const Owner*>(object) != nullptr;
}

namespace streaming_internal {

template <class Item, class OnItem>
struct ReadState {
  OnItem& onItem;
  std::exception_ptr error;

  static bool Take(void* state, CXmlObjectBase* object) {
    auto& self = *static_cast<ReadState*>(state);
    try {
      CSmartPtr<Item> item = static_cast<Item*>(object);
      if constexpr (std::is_invocable_v<OnItem&, CSmartPtr<Item>>) {
        if constexpr (std::is_void_v<std::invoke_result_t<OnItem&, CSmartPtr<Item>>>) {
          self.onItem(std::move(item));
          return true;
        } else {
          return static_cast<bool>(self.onItem(std::move(item)));
        }
      } else {
        static_assert(std::is_invocable_v<OnItem&, Item&>,
                      "onItem takes a CSmartPtr<Item> or an Item&");
        if constexpr (std::is_void_v<std::invoke_result_t<OnItem&, Item&>>) {
          self.onItem(*item);
          return true;
        } else {
          return static_cast<bool>(self.onItem(*item));
        }
      }
    } catch (...) {
      self.error = std::current_exception();
      throw CXmlStreamStop();
    }
  }
};

template <class Item, class Next>
struct WriteState {
  Next& next;
  std::exception_ptr error;

  static CSmartPtr<CXmlObjectBase> Give(void* state) {
    auto& self = *static_cast<WriteState*>(state);
    try {
      CSmartPtr<Item> item;
      if constexpr (std::is_invocable_v<Next&, CSmartPtr<Item>&>) {
        if (!self.next(item)) return nullptr;
      } else {
        static_assert(std::is_invocable_v<Next&>,
                      "next is bool(CSmartPtr<Item>&) or returns a CSmartPtr<Item>");
        item = self.next();
      }
      return CSmartPtr<CXmlObjectBase>(item.get());
    } catch (...) {
      self.error = std::current_exception();
      throw CXmlStreamStop();
    }
  }
};

template <class Item>
CXmlStreamHook MakeHook(const CStreamedMember<Item>& member) {
  CXmlStreamHook hook;
  hook.owns = member.GetOwnerTest();
  hook.propertyIndex = member.GetPropertyIndex();
  return hook;
}

}  // namespace streaming_internal

// Reads with `read(root, context)`, which calls a reading entry point of the
// root with the context it is given, streaming `member` to `onItem` (see
// the file comment). The entry points below are this with their reading.
template <class Item, class OnItem, class Read>
void StreamFromXmlWith(CXmlObjectBase& root, const CStreamedMember<Item>& member,
                       OnItem&& onItem, const CXmlSerializationContext& context, Read&& read) {
  using State = streaming_internal::ReadState<Item, std::remove_reference_t<OnItem>>;
  State state{onItem, nullptr};
  CXmlStreamHook hook = streaming_internal::MakeHook(member);
  hook.take = &State::Take;
  hook.state = &state;
  CXmlSerializationContext streamed(context);
  streamed.SetStreamHook(&hook);
  try {
    read(root, static_cast<const CXmlSerializationContext&>(streamed));
  } catch (const CXmlStreamStop&) {
    if (state.error) std::rethrow_exception(state.error);
  }
}

// UTF-16 or 8-bit text (as FromXml reads it).
template <class Item, class OnItem, class Char>
void StreamFromXml(
    CXmlObjectBase& root, const Char* xmlText, const CStreamedMember<Item>& member,
    OnItem&& onItem,
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext()) {
  static_assert(std::is_same<Char, unsigned short>::value || std::is_same<Char, char>::value,
                "the text is UTF-16 (unsigned short) or 8-bit (char)");
  StreamFromXmlWith(root, member, std::forward<OnItem>(onItem), context,
                    [xmlText](CXmlObjectBase& r, const CXmlSerializationContext& c) {
                      r.FromXml(xmlText, c);
                    });
}

template <class Item, class OnItem>
void StreamFromXmlFile(
    CXmlObjectBase& root, const unsigned short* fileName, const CStreamedMember<Item>& member,
    OnItem&& onItem,
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext()) {
  StreamFromXmlWith(root, member, std::forward<OnItem>(onItem), context,
                    [fileName](CXmlObjectBase& r, const CXmlSerializationContext& c) {
                      r.FromXmlFile(fileName, c);
                    });
}

// The bytes of a document (as FromXmlStream reads them).
template <class Item, class OnItem>
void StreamFromXmlStream(
    CXmlObjectBase& root, const CBinaryData& data, const CStreamedMember<Item>& member,
    OnItem&& onItem,
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext()) {
  StreamFromXmlWith(root, member, std::forward<OnItem>(onItem), context,
                    [&data](CXmlObjectBase& r, const CXmlSerializationContext& c) {
                      r.FromXmlStream(data, c);
                    });
}

// Writes with `write(root, context)`, which calls a writing entry point of
// the root with the context it is given and returns what it returns,
// taking the items of `member` from `next` (see the file comment). The
// entry points below are this with their writing.
template <class Item, class Next, class Write>
auto StreamToXmlWith(const CXmlObjectBase& root, const CStreamedMember<Item>& member, Next&& next,
                     const CXmlSerializationContext& context, Write&& write)
    -> decltype(write(root, context)) {
  using State = streaming_internal::WriteState<Item, std::remove_reference_t<Next>>;
  State state{next, nullptr};
  CXmlStreamHook hook = streaming_internal::MakeHook(member);
  hook.next = &State::Give;
  hook.state = &state;
  CXmlSerializationContext streamed(context);
  streamed.SetStreamHook(&hook);
  try {
    return write(root, static_cast<const CXmlSerializationContext&>(streamed));
  } catch (const CXmlStreamStop&) {
    if (state.error) std::rethrow_exception(state.error);  // only `next` stops a write
    throw;
  }
}

template <class Item, class Next>
String StreamToXml(
    const CXmlObjectBase& root, const CStreamedMember<Item>& member, Next&& next,
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
    bool declaration = true, bool indent = true, EOLType eol = EOLType_LF) {
  return StreamToXmlWith(root, member, std::forward<Next>(next), context,
                         [&](const CXmlObjectBase& r, const CXmlSerializationContext& c) {
                           return r.ToXml(declaration, indent, eol, c);
                         });
}

template <class Item, class Next>
CBinaryData StreamToXmlStream(
    const CXmlObjectBase& root, const CStreamedMember<Item>& member, Next&& next,
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
    XmlEncoding encoding = XmlEncoding_UTF8, bool declaration = true, bool indent = true,
    EOLType eol = EOLType_LF, CompressionType compression = CompressionType_None) {
  return StreamToXmlWith(root, member, std::forward<Next>(next), context,
                         [&](const CXmlObjectBase& r, const CXmlSerializationContext& c) {
                           return r.ToXmlStream(declaration, indent, encoding, eol, c,
                                                compression);
                         });
}

template <class Item, class Next>
void StreamToXmlFile(
    const CXmlObjectBase& root, const unsigned short* fileName,
    const CStreamedMember<Item>& member, Next&& next,
    const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
    XmlEncoding encoding = XmlEncoding_UTF8, bool declaration = true, bool indent = true,
    EOLType eol = EOLType_LF, CompressionType compression = CompressionType_None) {
  StreamToXmlWith(root, member, std::forward<Next>(next), context,
                  [&](const CXmlObjectBase& r, const CXmlSerializationContext& c) {
                    r.ToXmlFile(fileName, declaration, indent, encoding, eol, c, compression);
                  });
}

}  // namespace VxVevAva5

#endif  // VXBIND_CORE_STREAMING_H
