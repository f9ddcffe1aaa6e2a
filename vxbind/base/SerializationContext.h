// -----------------------------------------------------------------------------
// File: SerializationContext.h
// -----------------------------------------------------------------------------
//
// CXmlSerializationContext: the caller's options for one serialisation or
// binding. Reading tolerances (unknown elements and attributes, missing
// mandatory elements, empty choices, collection counts, namespaces), the
// kind of schema the classes come from, and what is added to the root
// element when writing (processing instructions, a default namespace,
// namespace aliases, an in-line schema, additional attributes).
//
// The library reads a context and never changes it during a call. The
// process-wide default instance, GetDefaultContext(), is built when the
// library is loaded and is modifiable: changes affect every later caller.

#ifndef VXBIND_BASE_SERIALIZATIONCONTEXT_H
#define VXBIND_BASE_SERIALIZATIONCONTEXT_H

#include <vector>

#include "vxbind/base/Enums.h"
#include "vxbind/base/NamespaceAliasMap.h"
#include "vxbind/base/SmartPtr.h"
#include "vxbind/platform/Export.h"
#include "vxbind/platform/String.h"

namespace VxVevAva5 {

class CXmlObjectBase;
class CAttributeCol;  // collections/Element.h

// What the streaming entry points (core/Streaming.h) put in their copy of
// the caller's context to stream one repeated member of class type: the
// member is the property `propertyIndex` of the objects that `owns`
// accepts (objects of the declaring class or of a class derived from it).
// Reading, each item of the member's run is bound, handed to `take` and
// released instead of being appended to the collection; writing, the items
// come from `next` instead of the collection's. Only the outermost run
// streams: a run of the same member inside a streamed item is read and
// written as usual.
struct CXmlStreamHook {
  bool (*owns)(const CXmlObjectBase* object) = nullptr;
  int propertyIndex = -1;
  // Reading: takes the bound item; false stops the read.
  bool (*take)(void* state, CXmlObjectBase* item) = nullptr;
  // Writing: the next item, null at the end.
  CSmartPtr<CXmlObjectBase> (*next)(void* state) = nullptr;
  void* state = nullptr;
  // Kept by the library during the call: the collection whose run is
  // streamed now (null between runs) and the number of its items so far.
  const CXmlObjectBase* collection = nullptr;
  int count = 0;
};

// Thrown through the binding when a stream stops the read (its taker said
// so, or threw: the streaming entry point then rethrows what it threw). No
// CVxException, so that nothing on the way wraps it; the streaming entry
// points catch it.
struct CXmlStreamStop {};

class VXBIND_EXPORT CXmlSerializationContext {
 public:
  // Copies share the additional root attributes (see below).
  CXmlSerializationContext();
  CXmlSerializationContext(const CXmlSerializationContext&);
  CXmlSerializationContext& operator=(const CXmlSerializationContext&);
  ~CXmlSerializationContext();

  static CXmlSerializationContext& GetDefaultContext();

  bool GetIgnoreUnknownAttributes() const { return m_ignoreUnknownAttributes; }
  void SetIgnoreUnknownAttributes(bool value) { m_ignoreUnknownAttributes = value; }

  // Reading cannot both skip unknown elements and accept missing mandatory
  // ones: setting one of these two to true while the other is true throws
  // CVxInvalidStateException and leaves the flag unchanged.
  bool GetIgnoreUnknownElements() const { return m_ignoreUnknownElements; }
  void SetIgnoreUnknownElements(bool value);
  bool GetIgnoreMissingMandatoryElements() const { return m_ignoreMissingMandatoryElements; }
  void SetIgnoreMissingMandatoryElements(bool value);

  bool GetIgnoreMissingChoice() const { return m_ignoreMissingChoice; }
  void SetIgnoreMissingChoice(bool value) { m_ignoreMissingChoice = value; }

  bool GetIgnoreInvalidCollectionCounts() const { return m_ignoreInvalidCollectionCounts; }
  void SetIgnoreInvalidCollectionCounts(bool value) { m_ignoreInvalidCollectionCounts = value; }

  // True when the flag is set or the schema type is 2.
  bool GetIgnoreNamespaces() const {
    return m_ignoreNamespaces || m_schemaType == SchemaType_NoNamespaces;
  }
  void SetIgnoreNamespaces(bool value) { m_ignoreNamespaces = value; }

  String GetDefaultNamespaceURI() const { return m_defaultNamespaceUri; }
  void SetDefaultNamespaceURI(const unsigned short* uri);

  // The aliases declared on the root element of every output; the map itself.
  CNamespaceAliasMap& GetNamespaceAliases() { return m_namespaceAliases; }
  const CNamespaceAliasMap& GetNamespaceAliases() const { return m_namespaceAliases; }

  SchemaType GetSchemaType() const { return m_schemaType; }
  void SetSchemaType(SchemaType type) { m_schemaType = type; }

  // Written, as given, before the root element; the vector itself.
  std::vector<String>& GetProcessingInstructions() { return m_processingInstructions; }
  const std::vector<String>& GetProcessingInstructions() const { return m_processingInstructions; }

  String GetInLineSchema() const { return m_inLineSchema; }
  void SetInLineSchema(const unsigned short* schema);

  // Strict XML, off by default: the writer and the document that an entry
  // point creates get this setting (CXmlTextWriter::SetStrictXml,
  // CXmlDocument::SetStrictXml). Writing then escapes attribute values
  // losslessly (TAB, LF and CR as character references, which a reader
  // would otherwise turn into spaces) and refuses characters that XML 1.0
  // forbids with a CVxException instead of writing a document that cannot
  // be read; reading refuses input that ends before its root element is
  // closed or has junk after it. Off, output and reading are as always.
  bool GetStrictXml() const { return m_strictXml; }
  void SetStrictXml(bool strict) { m_strictXml = strict; }

  // Validation on read, off by default. On, reading an instance document
  // into generated classes refuses what an XML Schema 1.0 validator refuses
  // for the schema the classes were generated from: every facet of every
  // simple value (on elements, attributes, list items and union members),
  // the content model exactly as declared, xsi:type and xsi:nil, wildcard
  // namespaces and processContents, ID/IDREF and identity constraints. The
  // tolerances above are ignored while validating: a context with any of
  // them set reads as one without them. Off, reading checks what
  // it always did (see docs/validation.md).
  bool GetValidateOnRead() const { return m_validateOnRead; }
  void SetValidateOnRead(bool validate) { m_validateOnRead = validate; }

  // The attributes written on the root element of every output. The first
  // call creates the collection (empty, no namespace, restriction "##any");
  // every call returns a new reference to the same one. Copies of a context
  // share it. Not for a context that other threads use at the same time
  // (the default one, for instance), since it may create the collection.
  // Defined with the untyped content (collections/Element.cpp).
  CSmartPtr<CAttributeCol> GetAdditionalRootAttributes();
  // The collection, or null when GetAdditionalRootAttributes was never
  // called: what writers use, since they must neither create nor count it.
  const CAttributeCol* FindAdditionalRootAttributes() const;

  // The member streamed by the call this context is given to, or null (see
  // CXmlStreamHook): set by the streaming entry points on their own copy.
  // Copies share the hook.
  CXmlStreamHook* GetStreamHook() const { return m_streamHook; }
  void SetStreamHook(CXmlStreamHook* hook) { m_streamHook = hook; }

 private:
  String m_defaultNamespaceUri;
  CNamespaceAliasMap m_namespaceAliases;
  // A CAttributeCol, held as the object base it is (this floor knows no
  // collections); null until asked for.
  CSmartPtr<CXmlObjectBase> m_additionalRootAttributes;
  std::vector<String> m_processingInstructions;
  String m_inLineSchema;
  bool m_ignoreInvalidCollectionCounts = false;
  bool m_ignoreMissingChoice = false;
  bool m_ignoreMissingMandatoryElements = false;
  bool m_ignoreUnknownElements = false;
  bool m_ignoreUnknownAttributes = false;
  bool m_ignoreNamespaces = false;
  bool m_strictXml = false;
  bool m_validateOnRead = false;
  SchemaType m_schemaType = SchemaType_Default;
  CXmlStreamHook* m_streamHook = nullptr;
};

}  // namespace VxVevAva5

#endif  // VXBIND_BASE_SERIALIZATIONCONTEXT_H
