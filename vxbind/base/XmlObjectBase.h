// -----------------------------------------------------------------------------
// File: XmlObjectBase.h
// -----------------------------------------------------------------------------
//
// CXmlObjectBase: the base of every object that can be written as XML or read
// from it (generated classes, collections, untyped content).
//
// An object carries the local name of the element that represents it, an
// intrusive reference count (see CSmartPtr), the protected virtual protocol
// through which it writes and reads itself (ToXml_Int, FromXml_Int, ...), and
// the entry points that users call:
//
//   String xml = order->ToXml(true, true, EOLType_LF,
//                             CXmlSerializationContext::GetDefaultContext());
//   order->FromXml(xml.c_str(), CXmlSerializationContext::GetDefaultContext());
//
// Each entry point creates the writer or the document it needs for the call
// and destroys it on return and on failure; nothing of the call survives in
// the object except the values it read. Reference counts are plain integers:
// an object graph must be used by one thread at a time.

#ifndef VXBIND_BASE_XMLOBJECTBASE_H
#define VXBIND_BASE_XMLOBJECTBASE_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>

#include "vxbind/base/Enums.h"
#include "vxbind/base/Exceptions.h"
#include "vxbind/base/SerializationContext.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CBinaryData;  // values/BinaryData.h: the byte entry points' buffers
class CXmlWriter;
class CXmlTextWriter;
class CFastInfosetWriter;
class CByteSink;  // writers/ByteSink.h
class CXmlElement;
class CXmlDocument;
class CXmlCollectionBase;  // collections/XmlCollectionBase.h
class CElement;            // collections/Element.h

class VXBIND_EXPORT CXmlObjectBase {
 public:
  // Kinds of notification passed to OnEvent.
  enum MsgType {
    // A collection the object listens to has changed; `source` is that
    // collection's GetBase() and `data` is null.
    MsgType_CollectionChanged = 0,
  };

  CXmlObjectBase() = default;
  // Copies the element name and the nil state; the copy starts with its own
  // count of 0.
  CXmlObjectBase(const CXmlObjectBase& other)
      : m_elementName(other.m_elementName),
        m_xsiNil(other.m_xsiNil),
        m_xsiNillable(other.m_xsiNillable) {}
  // Copies the element name and the nil state; the target's count is
  // unchanged.
  CXmlObjectBase& operator=(const CXmlObjectBase& other) {
    m_elementName = other.m_elementName;
    m_xsiNil = other.m_xsiNil;
    m_xsiNillable = other.m_xsiNillable;
    return *this;
  }

  // Nil: an object that stands for an element with xsi:nil="true" writes
  // its start tag and attributes with xsi:nil and no content; reading sets
  // it from the element. Generated classes offer it per member (IsNilX,
  // SetNilX).
  bool IsXsiNil() const { return m_xsiNil; }
  void SetXsiNil(bool nil) { m_xsiNil = nil; }
  // Whether the element the object is read from may carry xsi:nil (its
  // declaration is nillable): set by the member or collection that reads
  // it, and by a collection for its items.
  bool IsXsiNillable() const { return m_xsiNillable; }
  void SetXsiNillable(bool nillable) { m_xsiNillable = nillable; }

  // The object that stands for this one in the object graph.
  virtual CXmlObjectBase* GetBase() = 0;
  // Namespace URI of the object's content, handed to its element infos.
  virtual String GetNamespace() const = 0;

  // Adds one to the count; returns the new count.
  int32_t AddRef() { return ++m_refCount; }
  // Subtracts one; at 0 the object deletes itself. Returns the new count.
  // An object released to 0 while another object is being deleted on the
  // same thread (a member let go by its owner's destructor) is deleted right
  // after that one instead of inside it, so that freeing a graph of any
  // depth (a chain of a million nested objects) takes constant stack.
  int32_t Release();

  // Writes the object as XML text. With `declaration`, an XML declaration
  // without encoding label comes first. `indent` indents with tabs and puts
  // elements on lines of their own; `eol` chooses CR LF or LF (another value
  // throws "Invalid EOL type."). Writer and driver failures pass through.
  String ToXml(bool declaration = true, bool indent = true, EOLType eol = EOLType_LF,
               const CXmlSerializationContext& context =
                   CXmlSerializationContext::GetDefaultContext()) const;

  // Byte output: the XML text as ToXml writes it (the declaration, when
  // asked for, carries the encoding's label), encoded as UTF-8 or UTF-16 low
  // byte first without byte order mark, then compressed by `compression`.
  // XmlEncoding_None is refused by the writer's GetBytes after the object
  // was written; a compression whose output does not fit the input's size
  // fails in CBinaryData::CompressData.
  CBinaryData ToXmlStream(
      bool declaration = true, bool indent = true, XmlEncoding encoding = XmlEncoding_UTF8,
      EOLType eol = EOLType_LF,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None) const;
  // Writing straight to the destination. The output is never held whole:
  // the writer keeps at most 64 KiB of text (about 60 KiB of Fast Infoset
  // octets, plus what a single long value needs), encodes and compresses it
  // as it goes (deflate keeps its own state of about 300 KiB) and hands the
  // bytes over in pieces, so memory stays bounded whatever the document's
  // size, and no 4 GiB limit applies.
  //
  // The bytes are exactly those of ToXmlStream / ToFastInfosetStream with
  // the same options (no byte order mark), in pieces of any size; a
  // compressed output whose bytes would not fit ToXmlStream's buffer is
  // written here too.
  //
  // Failures. Whatever fails (the object, the writer, the encoding, the
  // destination) stops the write with nothing left in memory; the bytes
  // handed over before stay where they went:
  // - a std::ostream that is bad before the call, goes bad or throws gives
  //   CVxException "The output stream failed after [N] bytes were written
  //   to it" (with the stream's own message in square brackets when it
  //   threw one);
  // - what the callback throws passes through unchanged, so that it can
  //   stop a write with its own exception; an empty callback throws
  //   CVxInvalidParamException "The callback to write to is empty";
  // - a file that cannot be created, written (a full disk) or closed gives
  //   CVxException "Failed to write data to the file [name] error
  //   [0x%08X]" with the system's error number. The file is created or
  //   truncated only when the first bytes are ready (after the first
  //   64 KiB, or at the end for less): a failure before that leaves it as
  //   it was, one after leaves it as far as written.
  using ByteCallback = std::function<void(const unsigned char* data, size_t length)>;
  void ToXmlStream(
      std::ostream& out, bool declaration = true, bool indent = true,
      XmlEncoding encoding = XmlEncoding_UTF8, EOLType eol = EOLType_LF,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None) const;
  void ToXmlCallback(
      const ByteCallback& callback, bool declaration = true, bool indent = true,
      XmlEncoding encoding = XmlEncoding_UTF8, EOLType eol = EOLType_LF,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None) const;
  // The same bytes written to `fileName`, preceded by the byte order mark FF
  // FE for the UTF-16 encodings; a gzip file holds the mark inside its
  // compressed bytes, so that readers still see the gzip header first.
  // Written straight to the file as above. CompressionType_ZLib throws
  // CVxException "ZLIB Compression only available for To Stream methods."
  // and an encoding other than UTF-8 or UTF-16 "Unknown Encoding, select
  // UTF-8", before anything is written.
  void ToXmlFile(
      const unsigned short* fileName, bool declaration = true, bool indent = true,
      XmlEncoding encoding = XmlEncoding_UTF8, EOLType eol = EOLType_LF,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None) const;

  // Fast Infoset output (ITU-T X.891): the object written as a binary
  // document, preceded by the XML declaration that `declaration` selects,
  // then compressed by `compression`. The document is always ended, and
  // any reading entry point recognises it by its content. With the
  // context's strict setting, characters that XML 1.0 forbids are refused
  // as for text output (CFastInfosetWriter::SetStrictXml). Writer and
  // driver failures pass through.
  CBinaryData ToFastInfosetStream(
      FInfoDecl declaration = FInfoDecl_None,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None);
  // ToFastInfosetStream's bytes written straight to `out` or handed to
  // `callback`, as ToXmlStream(std::ostream&, ...) does.
  void ToFastInfosetStream(
      std::ostream& out, FInfoDecl declaration = FInfoDecl_None,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None) const;
  void ToFastInfosetCallback(
      const ByteCallback& callback, FInfoDecl declaration = FInfoDecl_None,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None) const;
  // ToFastInfosetStream's bytes written straight to `fileName`, without byte
  // order mark, as ToXmlFile does. CompressionType_ZLib throws CVxException
  // "ZLIB Compression only available for To Stream methods." before
  // anything is written.
  void ToFastInfosetFile(
      const unsigned short* fileName, FInfoDecl declaration = FInfoDecl_None,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext(),
      CompressionType compression = CompressionType_None);

  // Reading entry points: the input (XML text, or bytes that may be
  // gzip/zlib-compressed or Fast Infoset) is parsed as the binding asks for
  // it, and the parts of the tree that binding is done with are freed, so
  // that a long run of repeated elements does not stay in memory. Parse
  // failures carry the reader's message and win over a binding failure: the
  // rest of the input is read first, as a whole load would have. On a
  // binding failure the object keeps what it bound so far.
  //
  // FromXmlFile and the std::istream overload of FromXmlStream read their
  // input in pieces and never whole; compressed input is inflated piece by
  // piece, without the expansion limit of in-memory bytes (nothing of it is
  // held), and damaged compressed input throws "The compressed input is
  // damaged: [%s]". Fast Infoset input is read whole.
  void FromXml(const unsigned short* xmlText, const CXmlSerializationContext& context =
                                                  CXmlSerializationContext::GetDefaultContext());
  // 8-bit text; its encoding is taken from the input itself.
  void FromXml(const char* xmlText, const CXmlSerializationContext& context =
                                        CXmlSerializationContext::GetDefaultContext());
  void FromXmlFile(
      const unsigned short* fileName,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext());
  void FromXmlStream(
      unsigned char* const data, uint32_t length,
      const CXmlSerializationContext& context = CXmlSerializationContext::GetDefaultContext());
  // The bytes of `data`, as the overload above (for example what
  // ToXmlStream produced, compressed or not).
  void FromXmlStream(const CBinaryData& data, const CXmlSerializationContext& context =
                                                  CXmlSerializationContext::GetDefaultContext());
  // The bytes of `in` from where it stands to its end. A stream that goes
  // bad throws "Failed to read from the input stream".
  void FromXmlStream(std::istream& in, const CXmlSerializationContext& context =
                                           CXmlSerializationContext::GetDefaultContext());
  // Binds from an element of a document the caller holds.
  void FromXmlElement(const CXmlElement* element, CXmlSerializationContext& context);
  // Binds from untyped content: the element is written as XML text (with
  // the default context) and read back with FromXml(text, context). Defined
  // with the untyped content (collections/Element.cpp).
  void FromXmlElement(const CElement* element, CXmlSerializationContext& context);

  // Static forwarders, so that one object can drive another's protected
  // protocol.
  static void AttributesToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer,
                                  const CXmlSerializationContext& context);
  static void ToXml_Int(const CXmlObjectBase* object, CXmlWriter* writer, bool root,
                        const unsigned short* namespaceUri, const CXmlSerializationContext& context,
                        bool optional);
  // Calls the object's FromXml_Int with `optional` false.
  static CXmlElement* FromXml_Int(CXmlObjectBase* object, CXmlElement* element,
                                  CXmlElement* current, const CXmlSerializationContext& context);
  static void SetElementName(CXmlObjectBase* object, const unsigned short* name);
  // The object's GetTargetNamespace().
  static String GetTargetNamespace(const CXmlObjectBase* object);

 protected:
  virtual ~CXmlObjectBase() = default;

  // Namespace URI of the object's element when it is the root of an output.
  virtual String GetTargetNamespace() const = 0;
  // Notification from a collection the object listens to; does nothing here.
  virtual void OnEvent(CXmlObjectBase* source, MsgType type, void* data);
  // Writes the object's attributes; does nothing here.
  virtual void AttributesToXml_Int(CXmlWriter* writer,
                                   const CXmlSerializationContext& context) const;
  // Writes the object. `root` is true only for the outermost object of an
  // entry point; `namespaceUri` is the namespace of the element to write;
  // `optional` is true in an optional position of the parent.
  virtual void ToXml_Int(CXmlWriter* writer, bool root, const unsigned short* namespaceUri,
                         const CXmlSerializationContext& context, bool optional) const = 0;
  // Binds the object from `element` whose unconsumed children start at
  // `current`; returns the first child it did not consume (null if none).
  virtual CXmlElement* FromXml_Int(CXmlElement* element, CXmlElement* current,
                                   const CXmlSerializationContext& context, bool optional) = 0;

  void SetElementName(const unsigned short* name);
  const String& GetElementName() const { return m_elementName; }
  const CXmlObjectBase* GetBase() const { return const_cast<CXmlObjectBase*>(this)->GetBase(); }

  // True when `element` is the element `name` in `namespaceUri`: local names
  // only with schema type 2 or when the context ignores namespaces.
  bool DoesElementNameMatch(const CXmlSerializationContext& context, const CXmlElement* element,
                            const unsigned short* name, const unsigned short* namespaceUri) const;

  // Property-setter helpers for generated code.
  // Throws CVxInvalidParamException when `value` is null.
  static void Throw_IfPropertyIsNull(CXmlObjectBase* value, const unsigned short* propertyName);
  // Throws CVxInvalidParamException when a non-null `value` has another
  // element name than `requiredName`.
  static void Throw_IfElementNameDiffers(CXmlObjectBase* value, const unsigned short* requiredName);

  // Choice bookkeeping: `chosen` is the generated class's record of the
  // element currently chosen in a choice ("" when none). A second member of
  // the choice throws CVxInvalidStateException.
  static void Choice_SetElementValid(bool valid, const unsigned short* elementName, String& chosen);
  static void Choice_SelectElement(const unsigned short* elementName, CXmlObjectBase* value,
                                   String& chosen);
  static void Choice_CollectionChanged(const unsigned short* elementName, int32_t count,
                                       String& chosen);

  // Collections and wildcards; defined on their floor (collections/).
  // Tells `listener` that `collection` changed: its OnEvent(collection's
  // GetBase(), MsgType_CollectionChanged, null).
  static void FireOnCollectionChangeEvent(CXmlObjectBase* listener,
                                          CXmlCollectionBase* collection);
  // For a choice among collections: when `count` is 0, lets the collection
  // read the run of elements at `current`; if it took any, `current` moves
  // past them, the collection's ValidateCount runs and `count` goes up by 1.
  static void Choice_Read_Collection(CXmlCollectionBase* collection, CXmlElement* element,
                                     CXmlElement*& current, int32_t& count,
                                     const CXmlSerializationContext& context);
  // Whether a wildcard's namespace restriction (space-separated tokens:
  // "##any", "##other" (not the target namespace), "##local" (no namespace),
  // "##targetNamespace", or a URI, which also admits no namespace) admits
  // `namespaceUri`. An empty restriction admits only no namespace.
  static bool IsNamespaceValid(const unsigned short* namespaceUri,
                               const unsigned short* restriction,
                               const unsigned short* targetNamespace);
  // Throws CVxInvalidNamespaceException "Invalid namespace [%s]. The
  // namespace must be one of [%s] where the target namespace is [%s]" when
  // IsNamespaceValid is false.
  static void TestNamespace(const unsigned short* namespaceUri, const unsigned short* restriction,
                            const unsigned short* targetNamespace);

 private:
  void WriteFastInfoset(CFastInfosetWriter& writer, FInfoDecl declaration,
                        const CXmlSerializationContext& context) const;
  // The same, encoded into `sink` through a bounded buffer.
  void WriteDocumentTo(CByteSink& sink, bool declaration, bool indent, XmlEncoding encoding,
                       EOLType eol, const CXmlSerializationContext& context) const;
  void WriteFastInfosetTo(CByteSink& sink, FInfoDecl declaration,
                          const CXmlSerializationContext& context) const;
  void WriteDocument(CXmlTextWriter& writer, bool declaration, bool indent, XmlEncoding encoding,
                     EOLType eol, const CXmlSerializationContext& context) const;
  void BindDocument(CXmlDocument& document, const CXmlSerializationContext& context);

  String m_elementName;
  int32_t m_refCount = 0;
  bool m_xsiNil = false;
  bool m_xsiNillable = false;
};

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_XMLOBJECTBASE_H
